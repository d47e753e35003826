// SPDX-License-Identifier: MIT
// The PCL side of a job with HP-GL/2 in it: the page, its orientation and
// the picture frame the plot is drawn in, as a PCL 5 printer places them.
#ifndef ZELVO_PCL_PAGE_H
#define ZELVO_PCL_PAGE_H

#include "affine.h"
#include "plot_scanner.h"

// The settings the escape sequences make; lengths in inches.
struct PclPage {
    int paper_code = 2; // ESC &l # A; letter
    bool landscape = false;
    double top_margin = 0.5;
    // Lines apart (ESC &l # D, ESC &l # C): the top margin counts in them,
    // and the first line's baseline is 3/4 of one below the margin.
    double line_spacing = 1.0 / 6;
    // Zero for the defaults: the logical page's width by its length less an
    // inch, anchored at the top margin; the plot size is the frame's.
    double frame_width = 0;
    double frame_height = 0;
    bool anchor_set = false;
    double anchor_x = 0;
    double anchor_y = 0;
    double plot_width = 0;
    double plot_height = 0;
    // The registration offsets (ESC &l # U, ESC &l # Z): they move the
    // logical page on the sheet, counted on the sheet held portrait.
    double left_offset = 0;
    double top_offset = 0;
};

// Where the PCL cursor stands, inches on the logical page: x from its left
// edge, y the baseline's distance from its top edge. It is `home` where a
// reset leaves it, on the first line, until it moves down or is put in
// place; a home cursor follows the top margin and the line spacing.
struct PclCursor {
    double x = 0;
    double y = 0;
    bool home = true;
};

// The escape sequences that change the page or the frame; ESC E resets
// them all. ESC *c 0 T anchors the frame where the cursor stands (`at`).
// Returns true when the placement of the plot changed.
bool apply_pcl_escape(PclPage &page, const EscapeSequence &sequence, PclCursor at);

// Where the plot goes: plotter units of the plot (after the plot size's
// scaling, before any RO) to millimetres on the sheet.
struct PlotPlacement {
    double sheet_width = 0; // millimetres, portrait as the printer feeds it
    double sheet_height = 0;
    // The plot's extent in plotter units: P2 after IN (P1 is the origin).
    double plot_length = 0; // along X
    double plot_width = 0;
    Affine plot_to_sheet;
    // The plot size's scaling, which the printer applies to pen widths too.
    double pen_scale = 1;
    // The picture frame on the sheet: the plot is clipped to it.
    Point frame_low;
    Point frame_high;
    // The logical page's top left corner on the sheet, in millimetres: the
    // point from which every PCL position counts.
    Point logical_origin;
    // The frame's anchor point on the logical page and its size, inches.
    Point anchor;
    double frame_width = 0;
    double frame_height = 0;
};

PlotPlacement place_plot(const PclPage &page);

// The logical page's inches (x from its left edge, y down from its top) to
// millimetres on the sheet.
Affine logical_page_to_sheet(const PclPage &page);

#endif

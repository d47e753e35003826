// SPDX-License-Identifier: MIT
// Scaling a plot to the page with PCL's picture frame.
#ifndef ZELVO_FIT_H
#define ZELVO_FIT_H

#include "paper_size.h"

#include <cstddef>
#include <optional>

// Room for the commands with their NUL.
constexpr std::size_t kFitCommands = 192;

// What -fit scales to the page: a box in plotter units (0.025 mm) on the
// plot's landscape frame, with the origin at the frame's lower left corner
// and X along its length, whatever the plot's rotation; and the frame's own
// size in plotter units, the plot size the box was measured with (P1 and P2
// span it after IN).
struct DrawingBox {
    double left = 0;
    double bottom = 0;
    double right = 0;
    double top = 0;
    double frame_length = 0;
    double frame_width = 0;
};

// A whole sheet drawn for `plot` (millimetres, width along X): its box and
// frame. With a `rotation` of 90 or 270 degrees (the rotation the printer
// ends up with) the plot's width runs along the frame's width.
DrawingBox sheet_box(PlotExtent plot, int rotation);

// The PCL commands, for PCL context before the job enters HP-GL/2, that
// scale what of `box` lies within its frame to the largest size that fits
// `paper` less 1/4 inch on every side, the same on both axes, and centre it
// on a landscape page. Where the frame would start left of or above the
// page, the page's registration offsets move the whole page instead.
void fit_commands(char (&commands)[kFitCommands], const Paper &paper, const DrawingBox &box);

// Measures the drawing of a plot file as the job prints it, for -fit: the
// regular file open on `input`, read from where it stands without moving
// it, after `prelude` (the header's HP-GL/2), with `hold` after every IN and
// BP, on a frame of the size given in plotter units (0 by 0: the measure's
// own). Nothing when nothing is drawn or the file cannot be read.
using MeasureDrawing = std::optional<DrawingBox> (*)(int input, const char *prelude,
                                                     const char *hold, double frame_length,
                                                     double frame_width);

// Whether growing the frame would show more of `box` (see grown_frame):
// the printer clips what lies outside the frame.
bool frame_can_grow(const DrawingBox &box, bool turned);

// The frame grown to hold what of `box` lies beyond it: by what lies past
// its far sides and, where the job turns the plot (`turned`: a rotation
// other than 0), by what lies before its origin, which a turned plot counts
// from the far side. Unturned, the origin stays at the frame's lower left
// corner: nothing before it ever prints, and growing the frame there would
// only move P2, and with it what the plot scales to P1 and P2.
DrawingBox grown_frame(const DrawingBox &box, bool turned);

// How much fit_commands scales what of `box` lies within its frame on
// `paper`: millimetres on the page per millimetre of the plot.
double fit_scale(const Paper &paper, const DrawingBox &box);

#endif

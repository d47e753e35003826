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

// A frame's size in plotter units: its length along the landscape page's
// long side.
struct FrameSize {
    double length = 0;
    double width = 0;
};

// The picture frame a PCL 5 printer gives a landscape page of `paper` after
// a reset: the logical page's length by the sheet's short side less an inch.
FrameSize printer_frame(const Paper &paper);

// The frame -fit measures a plot file's drawing in: letter's printer frame,
// the plot size a plot file is drawn for where it gives none. The job turns
// it with a plot it turns by a quarter (`rotation` 90 or 270), so that P1
// and P2, which span it turned, keep the plot's own proportions.
FrameSize measure_frame(int rotation);

// A whole sheet drawn for `plot` (millimetres, width along X): its box and
// frame. With a `rotation` of 90 or 270 degrees (the rotation the printer
// ends up with) the plot's width runs along the frame's width.
DrawingBox sheet_box(PlotExtent plot, int rotation);

// The numbers of the commands that fit a box to the page, as written:
// decipoints (1/720 inch) and the plot size in thousandths of an inch.
struct FitNumbers {
    long long frame_x = 0;     // ESC *c # X, the frame's size
    long long frame_y = 0;     // ESC *c # Y
    long long cursor_x = 0;    // ESC &a # H, its top left corner on the logical page
    long long cursor_y = 0;    // ESC &a # V
    long long top_offset = 0;  // ESC &l # Z, the registration offsets; 0 is left out
    long long left_offset = 0; // ESC &l # U
    long long plot_x = 0;      // ESC *c # K, the plot size in thousandths of an inch
    long long plot_y = 0;      // ESC *c # L
};

// The numbers that scale what of `box` lies within its frame to the largest
// size that fits `paper` less 1/4 inch on every side, the same on both axes,
// and centre it on a landscape page. Where the frame would start left of or
// above the page, the page's registration offsets move the whole page
// instead. A number far beyond PCL's ranges is held at a value that is
// still beyond them.
FitNumbers fit_numbers(const Paper &paper, const DrawingBox &box);

// Whether every number is one that PCL 5 defines for its command: frame
// sizes and plot sizes above 0 (0 is the printer's default) and at most
// 32767, cursor positions from 0 and registration offsets from -32767 up to
// 32767. A printer holds other values at its limits or ignores them, and
// places the plot elsewhere or nowhere.
bool within_pcl_ranges(const FitNumbers &numbers);

// The PCL commands, for PCL context before the job enters HP-GL/2, with
// `numbers`: landscape, no top margin, the registration offsets where they
// are not 0, the frame, its anchor and the plot size.
void fit_commands(char (&commands)[kFitCommands], const FitNumbers &numbers);

// A point of a frame, plotter units from its lower left corner.
struct FramePoint {
    double x = 0;
    double y = 0;
};

// Where RO puts the plot's origin in a frame of `length` by `width`: the
// corner that is the turned plot's lower left.
FramePoint plot_origin(int rotation, double length, double width);

// The drawing of `box` in a frame of its own, for a drawing whose fit in
// the frame it was measured in takes numbers beyond PCL's ranges (far from
// the plot's origin, or small against its frame): within that frame, as
// large as the page at the fit's scale with the drawing in its middle, in
// whole thousandths of an inch as the plot size is written. With
// `keep_origin`, grown to the corner where `rotation` puts the plot's
// origin, so that the plot's coordinates stay where they are (the frame
// then being smaller, but no nearer the drawing); without, the job moves
// the drawing there with HP-GL/2.
DrawingBox drawing_in_own_frame(const Paper &paper, const DrawingBox &box, int rotation,
                                bool keep_origin);

// Whether two measures found the same drawing: every side within two
// plotter units (HP-GL/2 moves a drawing, and spans P1 to P2, by whole
// ones).
bool same_drawing(const DrawingBox &a, const DrawingBox &b);

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

// Whether anything of `box` lies within its frame, which clips the rest.
bool frame_shows_drawing(const DrawingBox &box);

// How much fit_commands scales what of `box` lies within its frame on
// `paper`: millimetres on the page per millimetre of the plot.
double fit_scale(const Paper &paper, const DrawingBox &box);

#endif

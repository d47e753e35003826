// SPDX-License-Identifier: MIT
// The picture frame: its size and anchor in decipoints (1/720 inch), and the
// HP-GL/2 plot size in inches, which the printer scales to the frame.
#include "fit.h"

#include "units.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr double kMargin = kMillimetresPerInch / 4;

long decipoints(double millimetres)
{
    return static_cast<long>(millimetres / kMillimetresPerInch * kDecipointsPerInch
                             + (millimetres < 0 ? -0.5 : 0.5));
}

} // namespace

DrawingBox sheet_box(PlotExtent plot, int rotation)
{
    const bool turned = rotation % 180 != 0;
    const double length = (turned ? plot.height : plot.width) / kPlotterUnit;
    const double width = (turned ? plot.width : plot.height) / kPlotterUnit;
    return {0, 0, length, width, length, width};
}

bool frame_can_grow(const DrawingBox &box, bool turned)
{
    // By more than a plotter unit: the measure's arithmetic rounds.
    return box.right > box.frame_length + 1 || box.top > box.frame_width + 1
           || (turned && (box.left < -1 || box.bottom < -1));
}

DrawingBox grown_frame(const DrawingBox &box, bool turned)
{
    DrawingBox grown = box;
    grown.frame_length += std::max(0.0, box.right - box.frame_length);
    grown.frame_width += std::max(0.0, box.top - box.frame_width);
    if (turned) {
        grown.frame_length += std::max(0.0, -box.left);
        grown.frame_width += std::max(0.0, -box.bottom);
    }
    return grown;
}

namespace {

// What of `box` lies within its frame, in millimetres along each axis (at
// least a plotter unit), and where it starts in the frame.
struct FittedPart {
    double left, right, bottom, top;
    double drawing_x, drawing_y;
};

FittedPart fitted_part(const DrawingBox &box)
{
    const double left = std::clamp(box.left, 0.0, box.frame_length);
    const double right = std::clamp(box.right, left, box.frame_length);
    const double bottom = std::clamp(box.bottom, 0.0, box.frame_width);
    const double top = std::clamp(box.top, bottom, box.frame_width);
    return {left,
            right,
            bottom,
            top,
            std::max(right - left, 1.0) * kPlotterUnit,
            std::max(top - bottom, 1.0) * kPlotterUnit};
}

} // namespace

double fit_scale(const Paper &paper, const DrawingBox &box)
{
    const double page_width = std::max(paper.portrait.width, paper.portrait.height);
    const double page_height = std::min(paper.portrait.width, paper.portrait.height);
    const FittedPart part = fitted_part(box);
    return std::min((page_width - 2 * kMargin) / part.drawing_x,
                    (page_height - 2 * kMargin) / part.drawing_y);
}

void fit_commands(char (&commands)[kFitCommands], const Paper &paper, const DrawingBox &box)
{
    const double page_width = std::max(paper.portrait.width, paper.portrait.height);
    const double page_height = std::min(paper.portrait.width, paper.portrait.height);
    // The printer clips the plot to the picture frame: what of the drawing
    // lies beyond it never prints, and only the rest is fitted. The frame is
    // the one the box was measured in, which places P1, P2 and a turned
    // plot's origin.
    const double length = box.frame_length;
    const double width = box.frame_width;
    const auto [left, right, bottom, top, drawing_x, drawing_y] = fitted_part(box);
    // Millimetres on the page per millimetre of the plot.
    const double scale = fit_scale(paper, box);
    const double frame_x = length * kPlotterUnit * scale;
    const double frame_y = width * kPlotterUnit * scale;
    // The frame's top left corner, where the drawing lands in the middle of
    // the page. Cursor positions count from the logical page, which starts a
    // little way into the sheet; the top margin is set to 0 so that vertical
    // ones count from the top of the page.
    const double logical_left = paper.landscape_offset * kMillimetresPerInch / kPclUnitsPerInch;
    const double frame_left =
        (page_width - drawing_x * scale) / 2 - left * kPlotterUnit * scale - logical_left;
    const double frame_top =
        (page_height - drawing_y * scale) / 2 - (width - top) * kPlotterUnit * scale;

    // The cursor stops at the logical page's edges. A frame that starts
    // beyond them moves the logical page instead, by the registration
    // offsets, which count on the sheet held portrait: on a landscape page a
    // positive top offset (Z) moves everything left, a negative left offset
    // (U) moves it up.
    char registration[48] = "";
    const long left_dp = decipoints(frame_left);
    const long top_dp = decipoints(frame_top);
    if (left_dp < 0 && top_dp < 0)
        std::snprintf(registration, sizeof registration, "\033&l%ldZ\033&l%ldU", -left_dp, top_dp);
    else if (left_dp < 0)
        std::snprintf(registration, sizeof registration, "\033&l%ldZ", -left_dp);
    else if (top_dp < 0)
        std::snprintf(registration, sizeof registration, "\033&l%ldU", top_dp);

    std::snprintf(commands, sizeof commands,
                  "\033&l1O\033&l0E%s\033*c%ldx%ldY\033&a%ldh%ldV\033*c0T\033*c%.3fk%.3fL",
                  registration, decipoints(frame_x), decipoints(frame_y), std::max(left_dp, 0L),
                  std::max(top_dp, 0L), length / kPlotterUnitsPerInch,
                  width / kPlotterUnitsPerInch);
}

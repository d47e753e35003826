// SPDX-License-Identifier: MIT
// The picture frame: its size and anchor in decipoints (1/720 inch), and the
// HP-GL/2 plot size in inches, which the printer scales to the frame.
#include "fit.h"

#include "units.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

constexpr double kMargin = kMillimetresPerInch / 4;

// The printer's default frame leaves half an inch above and below it.
constexpr double kPrinterFrameInset = 1; // inches

// The largest value PCL 5 takes for a frame size, a position, an offset
// and a plot size (in inches); the plot size is written in thousandths.
constexpr long long kLargestPclValue = 32767;
constexpr long long kThousandthsPerInch = 1000;

// Beyond every range here, and within a long long: where numbers far beyond
// PCL's ranges are held, so that converting them stays defined.
constexpr double kBeyondRange = 1e15;

long long held_beyond_range(double value)
{
    return static_cast<long long>(std::clamp(value, -kBeyondRange, kBeyondRange));
}

long long decipoints(double millimetres)
{
    const double points = millimetres / kMillimetresPerInch * kDecipointsPerInch;
    return held_beyond_range(points + (points < 0 ? -0.5 : 0.5));
}

long long thousandths(double plotter_units)
{
    return held_beyond_range(
        std::round(plotter_units / kPlotterUnitsPerInch * kThousandthsPerInch));
}

// A length in plotter units made up to whole thousandths of an inch, one
// at least: the plot size the printer reads is then the frame's own.
double whole_thousandths(double plotter_units)
{
    const double count =
        std::ceil(plotter_units / kPlotterUnitsPerInch * kThousandthsPerInch - 1e-9);
    return std::max(count, 1.0) / kThousandthsPerInch * kPlotterUnitsPerInch;
}

// The sheet's sides as the printer knows them, inches: a metric size is cut
// short to a dot of 1/300 inch.
double printer_inches(double millimetres)
{
    return std::floor(millimetres / kMillimetresPerInch * kPclUnitsPerInch + 1e-6)
           / kPclUnitsPerInch;
}

bool in_range(long long value, long long low, long long high = kLargestPclValue)
{
    return value >= low && value <= high;
}

} // namespace

FrameSize printer_frame(const Paper &paper)
{
    const double long_side = printer_inches(std::max(paper.portrait.width, paper.portrait.height));
    const double short_side = printer_inches(std::min(paper.portrait.width, paper.portrait.height));
    const double logical_length = long_side - 2 * paper.landscape_offset / kPclUnitsPerInch;
    return {logical_length * kPlotterUnitsPerInch,
            (short_side - kPrinterFrameInset) * kPlotterUnitsPerInch};
}

FrameSize measure_frame(int rotation)
{
    const FrameSize plain = printer_frame(*find_paper("letter"));
    if (rotation % 180 != 0)
        return {plain.width, plain.length};
    return plain;
}

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

// The landscape page, millimetres.
PlotExtent landscape_page(const Paper &paper)
{
    return {std::max(paper.portrait.width, paper.portrait.height),
            std::min(paper.portrait.width, paper.portrait.height)};
}

} // namespace

bool frame_shows_drawing(const DrawingBox &box)
{
    return box.right >= 0 && box.top >= 0 && box.left <= box.frame_length
           && box.bottom <= box.frame_width;
}

double fit_scale(const Paper &paper, const DrawingBox &box)
{
    const PlotExtent page = landscape_page(paper);
    const FittedPart part = fitted_part(box);
    return std::min((page.width - 2 * kMargin) / part.drawing_x,
                    (page.height - 2 * kMargin) / part.drawing_y);
}

FitNumbers fit_numbers(const Paper &paper, const DrawingBox &box)
{
    const PlotExtent page = landscape_page(paper);
    // The printer clips the plot to the picture frame: what of the drawing
    // lies beyond it never prints, and only the rest is fitted. The frame is
    // the one the box was measured in, which places P1, P2 and a turned
    // plot's origin.
    const double length = box.frame_length;
    const double width = box.frame_width;
    const auto [left, right, bottom, top, drawing_x, drawing_y] = fitted_part(box);
    // Millimetres on the page per millimetre of the plot.
    const double scale = fit_scale(paper, box);
    // The frame's top left corner, where the drawing lands in the middle of
    // the page. Cursor positions count from the logical page, which starts a
    // little way into the sheet; the top margin is set to 0 so that vertical
    // ones count from the top of the page.
    const double logical_left = paper.landscape_offset * kMillimetresPerInch / kPclUnitsPerInch;
    const double frame_left =
        (page.width - drawing_x * scale) / 2 - left * kPlotterUnit * scale - logical_left;
    const double frame_top =
        (page.height - drawing_y * scale) / 2 - (width - top) * kPlotterUnit * scale;

    FitNumbers numbers;
    numbers.frame_x = decipoints(length * kPlotterUnit * scale);
    numbers.frame_y = decipoints(width * kPlotterUnit * scale);
    // The cursor stops at the logical page's edges. A frame that starts
    // beyond them moves the logical page instead, by the registration
    // offsets, which count on the sheet held portrait: on a landscape page a
    // positive top offset (Z) moves everything left, a negative left offset
    // (U) moves it up.
    const long long left_dp = decipoints(frame_left);
    const long long top_dp = decipoints(frame_top);
    numbers.cursor_x = std::max(left_dp, 0LL);
    numbers.cursor_y = std::max(top_dp, 0LL);
    numbers.top_offset = -std::min(left_dp, 0LL);
    numbers.left_offset = std::min(top_dp, 0LL);
    numbers.plot_x = thousandths(length);
    numbers.plot_y = thousandths(width);
    return numbers;
}

bool within_pcl_ranges(const FitNumbers &n)
{
    return in_range(n.frame_x, 1) && in_range(n.frame_y, 1) && in_range(n.cursor_x, 0)
           && in_range(n.cursor_y, 0) && in_range(n.top_offset, -kLargestPclValue)
           && in_range(n.left_offset, -kLargestPclValue)
           && in_range(n.plot_x, 1, kLargestPclValue * kThousandthsPerInch)
           && in_range(n.plot_y, 1, kLargestPclValue * kThousandthsPerInch);
}

void fit_commands(char (&commands)[kFitCommands], const FitNumbers &n)
{
    char registration[48] = "";
    if (n.top_offset != 0 && n.left_offset != 0)
        std::snprintf(registration, sizeof registration, "\033&l%lldZ\033&l%lldU", n.top_offset,
                      n.left_offset);
    else if (n.top_offset != 0)
        std::snprintf(registration, sizeof registration, "\033&l%lldZ", n.top_offset);
    else if (n.left_offset != 0)
        std::snprintf(registration, sizeof registration, "\033&l%lldU", n.left_offset);
    std::snprintf(
        commands, sizeof commands,
        "\033&l1O\033&l0E%s\033*c%lldx%lldY\033&a%lldh%lldV\033*c0T\033*c%lld.%03lldk%lld.%03lldL",
        registration, n.frame_x, n.frame_y, n.cursor_x, n.cursor_y, n.plot_x / kThousandthsPerInch,
        n.plot_x % kThousandthsPerInch, n.plot_y / kThousandthsPerInch,
        n.plot_y % kThousandthsPerInch);
}

FramePoint plot_origin(int rotation, double length, double width)
{
    switch (rotation) {
    case 90:
        return {length, 0};
    case 180:
        return {length, width};
    case 270:
        return {0, width};
    default:
        return {0, 0};
    }
}

namespace {

// One side of a frame of its own, from `low` to `high` on the old frame:
// made up to whole thousandths of an inch past its far side, or before its
// near side where `high` is the origin it keeps. Returns its start and
// length.
std::pair<double, double> own_frame_side(double low, double high, bool origin_at_high)
{
    const double length = whole_thousandths(high - low);
    return {origin_at_high ? high - length : low, length};
}

} // namespace

DrawingBox drawing_in_own_frame(const Paper &paper, const DrawingBox &box, int rotation,
                                bool keep_origin)
{
    // The page at the fit's scale, centred on what is fitted, where it
    // overlaps the frame the drawing was measured in: that frame clipped
    // the drawing, and the new one clips it there too.
    const double scale = fit_scale(paper, box);
    const FittedPart part = fitted_part(box);
    const PlotExtent page = landscape_page(paper);
    const double half_x = page.width / scale / kPlotterUnit / 2;
    const double half_y = page.height / scale / kPlotterUnit / 2;
    const double middle_x = (part.left + part.right) / 2;
    const double middle_y = (part.bottom + part.top) / 2;
    double low_x = std::max(middle_x - half_x, 0.0);
    double low_y = std::max(middle_y - half_y, 0.0);
    double high_x = std::min(middle_x + half_x, box.frame_length);
    double high_y = std::min(middle_y + half_y, box.frame_width);
    const FramePoint origin = plot_origin(rotation, box.frame_length, box.frame_width);
    if (keep_origin) {
        low_x = std::min(low_x, origin.x);
        low_y = std::min(low_y, origin.y);
        high_x = std::max(high_x, origin.x);
        high_y = std::max(high_y, origin.y);
    }
    // Made up past the sides away from the origin kept, which shows at
    // most a thousandth of an inch more of a drawing the old frame clipped
    // there.
    const auto [start_x, length] = own_frame_side(low_x, high_x, keep_origin && origin.x > 0);
    const auto [start_y, width] = own_frame_side(low_y, high_y, keep_origin && origin.y > 0);
    return {box.left - start_x,
            box.bottom - start_y,
            box.right - start_x,
            box.top - start_y,
            length,
            width};
}

bool same_drawing(const DrawingBox &a, const DrawingBox &b)
{
    constexpr double kSlack = 2;
    return std::abs(a.left - b.left) <= kSlack && std::abs(a.bottom - b.bottom) <= kSlack
           && std::abs(a.right - b.right) <= kSlack && std::abs(a.top - b.top) <= kSlack;
}

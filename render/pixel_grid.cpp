// SPDX-License-Identifier: MIT
#include "pixel_grid.h"

#include "units.h"

#include <algorithm>
#include <cmath>

namespace {

// How near a pixel edge a stroke or a clip edge counts as on it: the
// millimetres a path is drawn in leave a point computed onto an edge a
// rounding error to either side of it.
constexpr double kOnEdge = 1e-6;

// The interpreter keeps points on the page in fixed point, 1/256 of a
// pixel.
constexpr double kFixedSteps = 256;

// A hairline (a pen a pixel wide or thinner) on a pixel edge inks the
// pixel before it, a wider stroke of an odd width the pixel after.
double adjusted_stroke_coordinate(double v, int pixels, bool hairline)
{
    if (pixels % 2 == 0)
        return std::round(v);
    return hairline ? std::ceil(v - kOnEdge) - 0.5 : std::floor(v + kOnEdge) + 0.5;
}

// A segment whose slope is at most this runs level (or upright): only such
// segments are adjusted, the pieces of curves and slanted lines are drawn
// where they are.
constexpr double kSlant = 1e-6;

} // namespace

bool drawn_as_hairline(double width)
{
    return width <= 1 + kOnEdge;
}

PageBox clip_on_pixels(PageBox frame, const std::optional<PageBox> &window, double pixel)
{
    PageBox box = {{frame.low.x - pixel, frame.low.y - pixel},
                   {frame.high.x + pixel, frame.high.y + pixel}};
    if (window) {
        box.low = {std::max(box.low.x, window->low.x - pixel),
                   std::max(box.low.y, window->low.y - pixel)};
        box.high = {std::min(box.high.x, window->high.x + pixel),
                    std::min(box.high.y, window->high.y + pixel)};
    }
    // A pixel that only touches the low edge is inside too: the pixel before
    // an edge on a pixel boundary prints.
    const auto low_edge = [pixel](double v) {
        return (std::ceil(v / pixel - kOnEdge) - 1) * pixel;
    };
    const auto high_edge = [pixel](double v) { return std::ceil(v / pixel - kOnEdge) * pixel; };
    PageBox edges = {{low_edge(box.low.x), low_edge(box.low.y)},
                     {high_edge(box.high.x), high_edge(box.high.y)}};
    if (box.high.x <= box.low.x || box.high.y <= box.low.y)
        edges.high = edges.low; // nothing is inside
    return edges;
}

int adjusted_stroke_pixels(double width)
{
    return std::max(1, static_cast<int>(std::lround(std::min(width, 1e6))));
}

std::vector<Point> adjusted_stroke_points(std::vector<Point> points, bool closed, int pixels,
                                          bool hairline)
{
    const std::size_t n = points.size();
    std::vector<bool> adjust_x(n, false);
    std::vector<bool> adjust_y(n, false);
    const std::size_t segments = closed ? n : (n == 0 ? 0 : n - 1);
    for (std::size_t i = 0; i < segments; ++i) {
        const std::size_t j = (i + 1) % n;
        const double dx = std::fabs(points[j].x - points[i].x);
        const double dy = std::fabs(points[j].y - points[i].y);
        if (dy <= kSlant * dx) {
            adjust_y[i] = true;
            adjust_y[j] = true;
        } else if (dx <= kSlant * dy) {
            adjust_x[i] = true;
            adjust_x[j] = true;
        }
    }
    if (n == 1) // a dot
        adjust_x[0] = adjust_y[0] = true;
    for (std::size_t i = 0; i < n; ++i) {
        if (adjust_x[i])
            points[i].x = adjusted_stroke_coordinate(points[i].x, pixels, hairline);
        if (adjust_y[i])
            points[i].y = adjusted_stroke_coordinate(points[i].y, pixels, hairline);
    }
    return points;
}

double fixed_point_length(Point a, Point b, double pixel)
{
    const auto fixed = [pixel](double v) {
        return std::round(v / pixel * kFixedSteps) / kFixedSteps;
    };
    return std::hypot(fixed(b.x) - fixed(a.x), fixed(b.y) - fixed(a.y)) * pixel;
}

Point cached_glyph_shift(Point origin, double pixel)
{
    const auto nearest = [pixel](double v) {
        return std::floor(std::round(v / pixel * kFixedSteps) / kFixedSteps + 0.5) * pixel;
    };
    return {nearest(origin.x) - origin.x, nearest(origin.y) - origin.y};
}

Point fixed_point_advance(Point advance, double pixel)
{
    const auto cut = [pixel](double v) {
        return std::trunc(v / pixel * kFixedSteps) / kFixedSteps * pixel;
    };
    return {cut(advance.x), cut(advance.y)};
}

Point logical_page_shift(Point corner, double pixel)
{
    // Halfway goes on, as the printer's whole-number arithmetic takes it,
    // however our own rounding leaves a corner exactly between two.
    const auto nearest = [pixel](double v) {
        return std::floor(v / pixel + 0.5 + kOnEdge) * pixel;
    };
    return {nearest(corner.x) - corner.x, nearest(corner.y) - corner.y};
}

Point printer_plot_origin(const OriginSteps &steps, double dpi)
{
    // A centipoint in pixels: the device's pixels to a point, a float,
    // times a hundredth, stored as a float; a plotter unit of RO's step is
    // that times 7200/1016, stored as a float.
    const float centipoint = static_cast<float>(static_cast<float>(dpi / kPointsPerInch) * 0.01);
    const float plotter_unit =
        static_cast<float>(centipoint * (kCentipointsPerInch / kPlotterUnitsPerInch));
    const auto along = [](Point direction, double length) {
        return Point{direction.x * length, direction.y * length};
    };
    const auto plus = [](Point a, Point b) { return Point{a.x + b.x, a.y + b.y}; };
    // Each step rounded to a float, then added in float.
    const auto step = [](Point at, Point by) {
        const auto sum = [](double from, double offset) {
            return static_cast<double>(static_cast<float>(offset) + static_cast<float>(from));
        };
        return Point{sum(at.x, by.x), sum(at.y, by.y)};
    };
    // The corner is a whole pixel: our own rounding must not carry it off.
    const auto whole = [](double v) {
        return std::fabs(v - std::round(v)) < kOnEdge ? std::round(v) : v;
    };
    Point at = {whole(steps.corner.x), whole(steps.corner.y)};
    at = step(at, plus(along(steps.across, steps.anchor.x * centipoint),
                       along(steps.down, steps.anchor.y * centipoint)));
    at = step(at, along(steps.down, steps.frame_height * centipoint));
    // RO's step runs in plotter units of the frame.
    const double width =
        steps.frame_width / kCentipointsPerInch * kPlotterUnitsPerInch * plotter_unit;
    const double height =
        steps.frame_height / kCentipointsPerInch * kPlotterUnitsPerInch * plotter_unit;
    switch (steps.rotation) {
    case 90:
        at = step(at, along(steps.across, width));
        break;
    case 180:
        at = step(at, plus(along(steps.across, width), along(steps.down, -height)));
        break;
    case 270:
        at = step(at, along(steps.down, -height));
        break;
    default:
        break;
    }
    return at;
}

Affine with_plot_origin_on_pixel(const Affine &to_page, Point printer_origin)
{
    Affine moved = to_page;
    moved.dx = std::floor(printer_origin.x);
    moved.dy = std::floor(printer_origin.y);
    return moved;
}

Affine with_user_origin_on_pixel(const Affine &user_to_plotter, const Affine &plotter_to_page,
                                 Point exact_origin)
{
    const Point origin = plotter_to_page.apply(user_to_plotter.apply({0, 0}));
    const Point shift_on_page = {std::round(exact_origin.x) - origin.x,
                                 std::round(exact_origin.y) - origin.y};
    const Point shift = plotter_to_page.inverse().apply_vector(shift_on_page);
    Affine moved = user_to_plotter;
    moved.dx += shift.x;
    moved.dy += shift.y;
    return moved;
}

// SPDX-License-Identifier: MIT
// The plot's coordinate systems: the plot on the sheet, RO's turn of it,
// the raster's pixel corners, and SC's user units.
#include "plotter.h"

#include <algorithm>
#include <cmath>

int integer_parameter(double value)
{
    return static_cast<int>(clamp_parameter(value, -1e9, 1e9));
}

double clamp_parameter(double value, double low, double high)
{
    if (!std::isfinite(value))
        return low;
    return std::clamp(value, low, high);
}

namespace {

void place_from_pcl_page(Plotter &p)
{
    SheetPlacement &to = p.placement;
    const PlotPlacement placement = place_plot(p.page.pcl);
    const Point shift = p.options.raster_pixel > 0
                            ? logical_page_shift(placement.logical_origin, p.options.raster_pixel)
                            : Point{0, 0};
    to.sheet_width = placement.sheet_width;
    to.sheet_height = placement.sheet_height;
    to.plot_to_sheet = compose(translation(shift.x, shift.y), placement.plot_to_sheet);
    to.logical_page_to_sheet =
        compose(translation(shift.x, shift.y), logical_page_to_sheet(p.page.pcl));
    to.pen_scale = placement.pen_scale;
    to.plot_length = placement.plot_length;
    to.plot_width = placement.plot_width;
    to.frame_low = {placement.frame_low.x + shift.x, placement.frame_low.y + shift.y};
    to.frame_high = {placement.frame_high.x + shift.x, placement.frame_high.y + shift.y};
    // The printer keeps the anchor in whole centipoints, and cuts the
    // frame's size to them.
    to.origin_steps.anchor = {std::round(placement.anchor.x * kCentipointsPerInch),
                              std::round(placement.anchor.y * kCentipointsPerInch)};
    to.origin_steps.frame_width = std::floor(placement.frame_width * kCentipointsPerInch + 1e-6);
    to.origin_steps.frame_height = std::floor(placement.frame_height * kCentipointsPerInch + 1e-6);
    to.frame_clips = true;
}

void place_from_layout(Plotter &p)
{
    SheetPlacement &to = p.placement;
    const PlotLayout &layout = p.options.layout;
    to.sheet_width = layout.sheet_width;
    to.sheet_height = layout.sheet_height;
    to.plot_to_sheet = layout.plot_to_sheet;
    // A plain plot's PCL side, its raster's, counts from the top left of
    // the plot's extent after IN, y down, in inches.
    to.logical_page_to_sheet = compose(
        layout.plot_to_sheet, compose(translation(0, layout.plot_width),
                                      scaling(kPlotterUnitsPerInch, -kPlotterUnitsPerInch)));
    to.pen_scale = 1;
    to.plot_length = layout.plot_length;
    to.plot_width = layout.plot_width;
    to.frame_clips = false;
}

// How much more the plot size scales the plot across than up.
double axis_ratio(const Plotter &p)
{
    const Point x = p.placement.plot_to_sheet.apply_vector({1, 0});
    const Point y = p.placement.plot_to_sheet.apply_vector({0, 1});
    const double across = std::hypot(x.x, x.y);
    const double up = std::hypot(y.x, y.y);
    return across > 0 && up > 0 ? across / up : 1;
}

// RO turns the plot's axes; the origin goes to the corner of the plot that
// is then its lower left. The printer scales a plot to its picture frame
// along the plot's own axes, before RO turns them: turned a quarter, the
// plot's X keeps the scale the frame gives across though it now runs up, so
// where the plot size scales across and up differently, the two trade
// scales (r is across over up).
Affine rotation_of(const Plotter &p)
{
    const double r = axis_ratio(p);
    const double length = p.placement.plot_length;
    const double width = p.placement.plot_width;
    switch (p.state.rotation) {
    case 90:
        return compose(scaling(1 / r, r), compose(translation(length * r, 0), quarter_turns(1)));
    case 180:
        return compose(translation(length, width), quarter_turns(2));
    case 270:
        return compose(scaling(1 / r, r), compose(translation(0, width / r), quarter_turns(3)));
    default:
        return {};
    }
}

bool on_pixels(const Plotter &p)
{
    return p.options.pcl_job && p.options.raster_pixel > 0;
}

// On a printer's raster, the plot's origin moves to where the printer's
// arithmetic puts it, on a pixel corner.
void put_origin_on_pixel(Plotter &p, const Affine &exact_to_page)
{
    const double pixel = p.options.raster_pixel;
    OriginSteps &steps = p.placement.origin_steps;
    const Affine logical_to_page =
        compose(scaling(1 / pixel, 1 / pixel), p.placement.logical_page_to_sheet);
    const auto unit = [](Point v) {
        const double length = std::hypot(v.x, v.y);
        return Point{v.x / length, v.y / length};
    };
    steps.corner = logical_to_page.apply({0, 0});
    steps.across = unit(logical_to_page.apply_vector({1, 0}));
    steps.down = unit(logical_to_page.apply_vector({0, 1}));
    steps.rotation = p.state.rotation;
    const Point origin = printer_plot_origin(steps, kMillimetresPerInch / pixel);
    p.plotter_to_sheet =
        compose(scaling(pixel, pixel), with_plot_origin_on_pixel(exact_to_page, origin));
}

// SC's user units in plotter units; none without scaling, or with a
// scale of no extent. Point-factor scaling counts `physical` plotter units
// per plotter unit of the plot along each axis: the printer takes its
// factors in plotter units on the paper, whatever the picture frame scales
// the plot by.
std::optional<Affine> user_scaling(const GraphicsState &s, Point physical)
{
    const double dx = s.p2.x - s.p1.x;
    const double dy = s.p2.y - s.p1.y;
    double sx;
    double sy;
    double ox = s.p1.x;
    double oy = s.p1.y;
    if (s.scaling == Scaling::PointFactor) {
        sx = s.scale[1] * physical.x;
        sy = s.scale[3] * physical.y;
    } else {
        const double ux = s.scale[1] - s.scale[0];
        const double uy = s.scale[3] - s.scale[2];
        if (ux == 0 || uy == 0)
            return std::nullopt;
        sx = dx / ux;
        sy = dy / uy;
        if (s.scaling == Scaling::Isotropic) {
            const double both = std::min(std::fabs(sx), std::fabs(sy));
            sx = std::copysign(both, sx);
            sy = std::copysign(both, sy);
            ox += (dx - sx * ux) * s.iso_left / 100;
            oy += (dy - sy * uy) * s.iso_bottom / 100;
        }
    }
    return compose(compose(translation(ox, oy), scaling(sx, sy)),
                   translation(-s.scale[0], -s.scale[2]));
}

} // namespace

void place_plot_on_sheet(Plotter &p)
{
    if (p.options.pcl_job)
        place_from_pcl_page(p);
    else
        place_from_layout(p);
    // The sheet turned clockwise a quarter at a time: y runs down, so a
    // clockwise turn on paper is a counter-clockwise one in these numbers.
    SheetPlacement &to = p.placement;
    // A landscape logical page runs up the sheet: a clockwise quarter turn
    // reads it upright.
    const int quarters =
        p.options.sheet_quarters + (p.options.upright && p.options.pcl_job && p.page.pcl.landscape);
    for (int q = 0; q < (quarters & 3); ++q) {
        const Affine turn = compose(translation(to.sheet_height, 0), quarter_turns(1));
        to.plot_to_sheet = compose(turn, to.plot_to_sheet);
        to.logical_page_to_sheet = compose(turn, to.logical_page_to_sheet);
        const Point a = turn.apply(to.frame_low);
        const Point b = turn.apply(to.frame_high);
        to.frame_low = {std::min(a.x, b.x), std::min(a.y, b.y)};
        to.frame_high = {std::max(a.x, b.x), std::max(a.y, b.y)};
        std::swap(to.sheet_width, to.sheet_height);
    }
    p.sink.set_sheet(to.sheet_width, to.sheet_height);
}

Point turned_plot_extent(const Plotter &p)
{
    const double r = axis_ratio(p);
    const double length = p.placement.plot_length;
    const double width = p.placement.plot_width;
    return p.state.rotation == 90 || p.state.rotation == 270 ? Point{width / r, length * r}
                                                             : Point{length, width};
}

void update_transforms(Plotter &p)
{
    p.plotter_to_sheet = compose(p.placement.plot_to_sheet, rotation_of(p));
    const double pixel = p.options.raster_pixel;
    const Affine exact_to_page = compose(scaling(1 / pixel, 1 / pixel), p.plotter_to_sheet);
    if (on_pixels(p))
        put_origin_on_pixel(p, exact_to_page);

    p.user_to_plotter = {};
    if (p.state.scaling == Scaling::None)
        return;
    // In a PCL job the picture frame scales the plot; a plain plot's layout
    // scales the whole drawing, its point factors with it.
    Point physical{1, 1};
    if (p.options.pcl_job) {
        const auto length = [](Point v) { return std::hypot(v.x, v.y); };
        const double across = length(p.plotter_to_sheet.apply_vector({1, 0}));
        const double up = length(p.plotter_to_sheet.apply_vector({0, 1}));
        if (across > 0 && up > 0)
            physical = {kPlotterUnit / across, kPlotterUnit / up};
    }
    const std::optional<Affine> user = user_scaling(p.state, physical);
    if (!user)
        return;
    p.user_to_plotter = *user;
    if (on_pixels(p)) {
        // The interpreter rounds the user origin from where the plot's
        // origin lies on the pixels, or, with P1 and P2 where IN or IP
        // without parameters left them (in any RO, whatever the plot size
        // scaling), from its exact place.
        const Affine to_page = compose(scaling(1 / pixel, 1 / pixel), p.plotter_to_sheet);
        const Affine &rounded_from = p.state.p1_p2_given ? to_page : exact_to_page;
        p.user_to_plotter = with_user_origin_on_pixel(
            p.user_to_plotter, to_page, rounded_from.apply(p.user_to_plotter.apply({0, 0})));
    }
}

Point to_plotter(const Plotter &p, Point user)
{
    return p.user_to_plotter.apply(user);
}

// Arcs, circles and wedges are drawn in user units, as the printer draws
// them: anisotropic scaling makes ellipses of them.
std::vector<Point> to_plotter(const Plotter &p, std::vector<Point> user)
{
    for (Point &point : user)
        point = p.user_to_plotter.apply(point);
    return user;
}

Point relative_to_pen(const Plotter &p, Point user_move)
{
    const Point v = p.user_to_plotter.apply_vector(user_move);
    return {p.state.position.x + v.x, p.state.position.y + v.y};
}

double diagonal(const Plotter &p)
{
    return std::hypot(p.state.p2.x - p.state.p1.x, p.state.p2.y - p.state.p1.y);
}

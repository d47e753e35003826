// SPDX-License-Identifier: MIT
// Polygons and fills: the polygon buffer (PM, FP, EP), rectangles (RA RR EA
// ER), wedges (WG EW) and the fill type (FT).
#include "hpgl_instructions.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kDegrees = std::numbers::pi / 180;
// The polygon buffer of a printer is finite too; points beyond are dropped.
constexpr std::size_t kPolygonLimit = 1 << 16;

void close_polygon(GraphicsState &s)
{
    if (!s.polygon.empty())
        s.polygon.back().closed = true;
}

void rectangle(Plotter &p, const Parameters &n, bool relative, bool fill)
{
    if (n.count < 2)
        return;
    const Point given{n[0], n[1]};
    const Point corner = relative ? relative_to_pen(p, given) : to_plotter(p, given);
    const Point a = p.state.position;
    const std::vector<Point> outline{a, {corner.x, a.y}, corner, {a.x, corner.y}};
    if (fill)
        fill_path(p, {{outline, true}}, FillRule::NonZero);
    else
        stroke_path(p, outline, true);
}

void wedge(Plotter &p, const Parameters &n, bool fill)
{
    if (n.count < 3)
        return;
    const double radius = n[0];
    const double start = n[1];
    const double sweep = n[2];
    const double chord = n.count >= 4 ? n[3] : 0;
    if (!std::isfinite(radius) || radius == 0)
        return;
    const Point centre = p.user_to_plotter.inverse().apply(p.state.position);
    // A negative radius starts on the other side.
    const double from = radius < 0 ? start + 180 : start;
    const double r = std::fabs(radius);
    std::vector<Point> outline{
        centre,
        {centre.x + r * std::cos(from * kDegrees), centre.y + r * std::sin(from * kDegrees)}};
    for (Point point : user_arc(p, centre, r, from, sweep, chord))
        outline.push_back(point);
    outline = to_plotter(p, outline);
    if (fill)
        fill_path(p, {{outline, true}}, FillRule::NonZero);
    else
        stroke_path(p, outline, true);
}

} // namespace

void polygon_point(Plotter &p, Point plotter, bool drawn)
{
    GraphicsState &s = p.state;
    if (s.polygon_points >= kPolygonLimit)
        return;
    if (!drawn || s.polygon.empty() || !s.polygon_pen_down) {
        if (!drawn) {
            s.polygon.push_back({{plotter}, false});
            s.polygon_pen_down = false;
            ++s.polygon_points;
            return;
        }
        if (s.polygon.empty() || s.polygon.back().closed)
            s.polygon.push_back({{s.position}, false});
        s.polygon_pen_down = true;
    }
    s.polygon.back().points.push_back(plotter);
    ++s.polygon_points;
}

namespace instruction {

void polygon_mode(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    const int mode = n.count > 0 ? integer_parameter(n[0]) : 0;
    if (mode == 0) {
        s.polygon.clear();
        s.polygon_points = 0;
        s.polygon_mode = true;
        s.polygon_pen_down = false;
        s.polygon.push_back({{s.position}, false});
    } else if (mode == 1 && s.polygon_mode) {
        close_polygon(s);
        s.polygon.push_back({{s.position}, false});
    } else if (mode == 2 && s.polygon_mode) {
        close_polygon(s);
        s.polygon_mode = false;
    }
}

// The printer edges each sub-polygon as it was drawn: one that does not
// come back to its start is left open (fig2dev draws open polylines so).
void edge_polygon(Plotter &p, const Parameters &)
{
    for (const SubPath &sub : p.state.polygon)
        stroke_path(p, sub.points, false);
}

void fill_polygon(Plotter &p, const Parameters &n)
{
    if (!p.state.polygon.empty())
        fill_path(p, p.state.polygon,
                  n.count > 0 && n[0] == 1 ? FillRule::NonZero : FillRule::EvenOdd);
}

void fill_rectangle_absolute(Plotter &p, const Parameters &n)
{
    rectangle(p, n, false, true);
}

void fill_rectangle_relative(Plotter &p, const Parameters &n)
{
    rectangle(p, n, true, true);
}

void edge_rectangle_absolute(Plotter &p, const Parameters &n)
{
    rectangle(p, n, false, false);
}

void edge_rectangle_relative(Plotter &p, const Parameters &n)
{
    rectangle(p, n, true, false);
}

void fill_wedge(Plotter &p, const Parameters &n)
{
    wedge(p, n, true);
}

void edge_wedge(Plotter &p, const Parameters &n)
{
    wedge(p, n, false);
}

void fill_type(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    const int type = n.count > 0 ? integer_parameter(n[0]) : 1;
    switch (type) {
    case 1:
    case 2:
        s.fill_type = 1;
        break;
    case 3:
    case 4:
        s.fill_type = type;
        if (n.count >= 2)
            s.hatch_spacing = clamp_parameter(n[1], 0, 1e9);
        if (n.count >= 3)
            s.hatch_angle = clamp_parameter(n[2], -360, 360);
        break;
    case 10:
        s.fill_type = 10;
        if (n.count >= 2)
            s.shading = clamp_parameter(n[1], 0, 100);
        break;
    default:
        break; // raster and PCL patterns: the fill stays as it was
    }
}

} // namespace instruction

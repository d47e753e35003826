// SPDX-License-Identifier: MIT
// Polygons and fills: the polygon buffer (PM, FP, EP), rectangles (RA RR EA
// ER), wedges (WG EW) and the fill type (FT).
#include "hpgl_instructions.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDegrees = std::numbers::pi / 180;
// The polygon buffer of a printer is finite too; points beyond are dropped.
constexpr std::size_t kPolygonLimit = 1 << 16;

// A plot draws one polygon buffer a few times at most (filled, then
// edged, perhaps hatched over): one that draws it more often, or more
// points of it than four full buffers hold, is drawn no further, so that
// the output follows the drawing rather than its repetitions.
constexpr std::size_t kPolygonDrawLimit = 8;
constexpr std::size_t kPolygonDrawnPoints = 4 * kPolygonLimit;

// PM1 and PM2 close the subpolygon: the pen goes back to its first point,
// edging the way back when it is down, as the printer's added closing point
// does; after PM1 the next point starts the next subpolygon.
void close_polygon(GraphicsState &s)
{
    ++s.polygon_generation;
    if (s.polygon.empty() || s.polygon.back().closed)
        return;
    SubPath &sub = s.polygon.back();
    sub.closed = true;
    const Point first = sub.points.front();
    const Point last = sub.points.back();
    if (s.pen_down && (first.x != last.x || first.y != last.y)) {
        if (!s.polygon_pen_down)
            s.polygon_edges.push_back({{last}, false});
        s.polygon_edges.back().points.push_back(first);
    }
    s.position = first;
    s.polygon_pen_down = false;
}

// Whether the polygon buffer may be drawn `how` again. A draw the same as
// the one before it, with nothing drawn between, would paint the same ink
// over itself: the page shows nothing new, and it is left out. Beyond
// kPolygonDrawLimit draws of one buffer, the rest are left out with a
// warning.
bool polygon_draw_due(Plotter &p, std::vector<double> how)
{
    PolygonDraws &draws = p.polygon_draws;
    const std::uint64_t buffer = p.state.polygon_generation;
    if (draws.buffer != buffer)
        draws = {buffer, 0, 0, {}, 0};
    if (draws.count > 0 && draws.sink_calls_after == p.sink.calls() && draws.last == how)
        return false;
    if (draws.count == kPolygonDrawLimit
        || draws.points + p.state.polygon_points > kPolygonDrawnPoints) {
        warn_once(p, Warning::PolygonRedrawn,
                  "a polygon is filled or edged over and over; the later times are left out");
        return false;
    }
    ++draws.count;
    draws.points += p.state.polygon_points;
    draws.last = std::move(how);
    return true;
}

// Marks the draw just made as the last thing drawn.
void polygon_drawn(Plotter &p)
{
    p.polygon_draws.sink_calls_after = p.sink.calls();
}

void add_affine(std::vector<double> &how, const Affine &a)
{
    how.insert(how.end(), {a.xx, a.yx, a.xy, a.yy, a.dx, a.dy});
}

std::vector<double> fill_key(const Plotter &p, FillRule rule)
{
    const Fill f = current_fill(p, rule);
    std::vector<double> how = {0,
                               static_cast<double>(f.rule),
                               f.colour.red,
                               f.colour.green,
                               f.colour.blue,
                               f.spacing,
                               f.anchor.x,
                               f.anchor.y,
                               f.angle,
                               static_cast<double>(f.crossed),
                               f.line_width,
                               f.shade};
    add_affine(how, p.plotter_to_sheet);
    return how;
}

std::vector<double> edge_key(const Plotter &p)
{
    const Pen pen = current_pen(p);
    std::vector<double> how = {1,
                               pen.width,
                               static_cast<double>(pen.end),
                               static_cast<double>(pen.join),
                               pen.miter_limit,
                               pen.colour.red,
                               pen.colour.green,
                               pen.colour.blue,
                               pen.dash_offset,
                               static_cast<double>(p.state.line_type)};
    how.insert(how.end(), pen.dashes.begin(), pen.dashes.end());
    add_affine(how, p.plotter_to_sheet);
    return how;
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
    for (Point point : user_arc(centre, r, from, sweep, chord))
        outline.push_back(point);
    outline = to_plotter(p, outline);
    if (fill)
        fill_path(p, {{outline, true}}, FillRule::NonZero);
    else
        stroke_path(p, outline, true);
}

void warn_polygon_full(Plotter &p)
{
    warn_once(p, Warning::PolygonFull,
              "a polygon has more points than the polygon buffer holds (65536); "
              "the points after them are left out");
}

} // namespace

void polygon_point(Plotter &p, Point plotter, bool drawn)
{
    GraphicsState &s = p.state;
    if (s.polygon_points >= kPolygonLimit) {
        warn_polygon_full(p);
        return;
    }
    ++s.polygon_generation;
    ++s.polygon_points;
    if (s.subpolygon_due) {
        // The point after PM1 is where the next subpolygon starts, the pen
        // up whatever it is.
        s.subpolygon_due = false;
        s.polygon.push_back({{plotter}, false});
        s.polygon_pen_down = false;
        return;
    }
    // The polygon starts where the pen is at its first point (where PM0
    // found it, unless a label moved it since); after a circle, which is a
    // subpolygon of its own, the next point goes on from the pen.
    if (s.polygon.empty() || s.polygon.back().closed)
        s.polygon.push_back({{s.position}, false});
    SubPath &sub = s.polygon.back();
    if (drawn && !s.polygon_pen_down)
        s.polygon_edges.push_back({{sub.points.back()}, false});
    if (drawn)
        s.polygon_edges.back().points.push_back(plotter);
    sub.points.push_back(plotter);
    s.polygon_pen_down = drawn;
}

bool polygon_full(Plotter &p)
{
    if (p.state.polygon_points < kPolygonLimit)
        return false;
    warn_polygon_full(p);
    return true;
}

void polygon_figure(Plotter &p, std::vector<Point> plotter)
{
    GraphicsState &s = p.state;
    const std::size_t room = kPolygonLimit - std::min(s.polygon_points, kPolygonLimit);
    if (plotter.size() > room) {
        warn_polygon_full(p);
        plotter.resize(room);
    }
    if (plotter.empty())
        return;
    s.polygon_points += plotter.size();
    s.polygon.push_back({plotter, true});
    s.polygon_edges.push_back({std::move(plotter), true});
    ++s.polygon_generation;
}

namespace instruction {

void polygon_mode(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    const int mode = n.count > 0 ? integer_parameter(n[0]) : 0;
    if (mode == 0) {
        s.polygon.clear();
        s.polygon_edges.clear();
        s.polygon_points = 0;
        ++s.polygon_generation;
        s.polygon_mode = true;
        s.polygon_pen_down = false;
        s.subpolygon_due = false;
        s.pen_down_before_polygon = s.pen_down;
    } else if (mode == 1 && s.polygon_mode) {
        close_polygon(s);
        s.subpolygon_due = true;
    } else if (mode == 2 && s.polygon_mode) {
        close_polygon(s);
        s.polygon_mode = false;
        s.subpolygon_due = false;
        // The pen is up or down again as it was before PM0.
        s.pen_down = s.pen_down_before_polygon;
    }
}

// The printer edges the lines drawn with the pen down, each as it was
// drawn: a subpolygon the pen left up does not come back to its start
// (fig2dev draws open polylines so).
void edge_polygon(Plotter &p, const Parameters &)
{
    if (p.state.polygon_edges.empty() || !polygon_draw_due(p, edge_key(p)))
        return;
    for (const SubPath &line : p.state.polygon_edges)
        stroke_path(p, line.points, line.closed);
    polygon_drawn(p);
}

void fill_polygon(Plotter &p, const Parameters &n)
{
    const FillRule rule = n.count > 0 && n[0] == 1 ? FillRule::NonZero : FillRule::EvenOdd;
    if (p.state.polygon.empty() || !polygon_draw_due(p, fill_key(p, rule)))
        return;
    fill_path(p, p.state.polygon, rule);
    polygon_drawn(p);
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

// SPDX-License-Identifier: MIT
// Vectors: PA PR PU PD, the arcs AA AR AT RT and the circle CI, the Bezier
// curves BZ BR, and PE's encoded polylines.
#include "hpgl_instructions.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDegrees = std::numbers::pi / 180;
constexpr double kDefaultChordAngle = 5;

// The angle of one chord, as the PCL interpreter takes the chord tolerance
// (measured with filled circles of 8 to 72 chords, CT0 and CT1 alike: it
// reads a tolerance as an angle whatever CT says): the angle given, turned
// into 0 to 180 degrees (a turn and more wraps, more than half a turn is
// the rest of the turn), and at least 5 degrees, its default.
double chord_angle(double given)
{
    double angle = std::fmod(std::fabs(clamp_parameter(given, -1e9, 1e9)), 360);
    if (angle > 180)
        angle = 360 - angle;
    return std::max(angle, kDefaultChordAngle);
}

// The points of an arc after its start, in the units of `centre`.
std::vector<Point> arc_points(Point centre, double radius, double start, double sweep, double chord)
{
    sweep = clamp_parameter(sweep, -360, 360);
    const int steps = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / chord - 1e-9)));
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(steps));
    for (int k = 1; k <= steps; ++k) {
        const double angle = (start + sweep * k / steps) * kDegrees;
        points.push_back(
            {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
    return points;
}

void bezier(Plotter &p, const double *n, bool relative)
{
    Point control[4] = {p.state.position};
    for (int i = 0; i < 3; ++i) {
        const Point given{n[2 * i], n[2 * i + 1]};
        control[i + 1] = relative ? relative_to_pen(p, given) : to_plotter(p, given);
    }
    double length = 0;
    for (int i = 0; i < 3; ++i)
        length += std::hypot(control[i + 1].x - control[i].x, control[i + 1].y - control[i].y);
    // About a chord per millimetre of the control polygon.
    const int steps = static_cast<int>(clamp_parameter(length * kPlotterUnit, 4, 256));
    std::vector<Point> points;
    for (int k = 1; k <= steps; ++k) {
        const double t = static_cast<double>(k) / steps;
        const double u = 1 - t;
        const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
        points.push_back(
            {b0 * control[0].x + b1 * control[1].x + b2 * control[2].x + b3 * control[3].x,
             b0 * control[0].y + b1 * control[1].y + b2 * control[2].y + b3 * control[3].y});
    }
    polyline_to(p, points);
}

void arc(Plotter &p, const Parameters &n, bool relative)
{
    if (n.count < 3)
        return;
    const Point centre_given{n[0], n[1]};
    const double sweep = n[2];
    const double chord = n.count >= 4 ? n[3] : 0;
    const Point from = p.user_to_plotter.inverse().apply(p.state.position);
    const Point centre =
        relative ? Point{from.x + centre_given.x, from.y + centre_given.y} : centre_given;
    const double radius = std::hypot(from.x - centre.x, from.y - centre.y);
    if (!(radius > 0) || !std::isfinite(radius))
        return;
    const double start = std::atan2(from.y - centre.y, from.x - centre.x) / kDegrees;
    polyline_to(p, to_plotter(p, arc_points(centre, radius, start, sweep, chord_angle(chord))));
}

void three_point_arc(Plotter &p, const Parameters &n, bool relative)
{
    if (n.count < 4)
        return;
    Point b{n[0], n[1]};
    Point c{n[2], n[3]};
    const double chord = n.count >= 5 ? n[4] : 0;
    const Point a = p.user_to_plotter.inverse().apply(p.state.position);
    if (relative) {
        b = {a.x + b.x, a.y + b.y};
        c = {a.x + c.x, a.y + c.y};
    }
    const double d = 2 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
    if (std::fabs(d) < 1e-9 || !std::isfinite(d)) {
        // The three points on a line: straight to the end.
        polyline_to(p, {p.user_to_plotter.apply(c)});
        return;
    }
    const double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, c2 = c.x * c.x + c.y * c.y;
    const Point centre{(a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d,
                       (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d};
    const double radius = std::hypot(a.x - centre.x, a.y - centre.y);
    const double start = std::atan2(a.y - centre.y, a.x - centre.x) / kDegrees;
    const double to_end = std::atan2(c.y - centre.y, c.x - centre.x) / kDegrees - start;
    // d > 0: the points turn counter-clockwise.
    double sweep = std::fmod(to_end + 720, 360);
    if (d < 0)
        sweep -= 360;
    if (!std::isfinite(radius) || !std::isfinite(sweep))
        return;
    std::vector<Point> points = arc_points(centre, radius, start, sweep, chord_angle(chord));
    if (!points.empty())
        points.back() = c;
    polyline_to(p, to_plotter(p, points));
}

// PE's points and pens, as its data gives them.
class EncodedMoves : public EncodedPolylineListener {
public:
    explicit EncodedMoves(Plotter &p) : p_(p) {}

    void move(const EncodedMove &m) override
    {
        const Point given{m.x, m.y};
        const Point target = m.absolute ? to_plotter(p_, given) : relative_to_pen(p_, given);
        p_.state.pen_down = !m.pen_up;
        pen_to(p_, target);
    }

    void select_pen(std::int64_t pen) override { choose_pen(p_, pen); }
    void end() override {}

private:
    Plotter &p_;
};

} // namespace

// Arcs, circles and wedges are drawn as chords of their chord angle.
std::vector<Point> user_arc(Point centre, double radius, double start, double sweep, double chord)
{
    return arc_points(centre, radius, start, sweep, chord_angle(chord));
}

namespace instruction {

void plot_absolute(Plotter &p)
{
    p.state.relative = false;
}

void plot_relative(Plotter &p)
{
    p.state.relative = true;
}

void pen_down(Plotter &p)
{
    p.state.pen_down = true;
    if (!p.state.polygon_mode && p.pending.points.empty())
        p.pending.dot = p.state.position;
}

void pen_up(Plotter &p)
{
    flush_stroke(p);
    p.state.pen_down = false;
}

void coordinate_pair(Plotter &p, const double *pair)
{
    const Point given{pair[0], pair[1]};
    pen_to(p, p.state.relative ? relative_to_pen(p, given) : to_plotter(p, given));
}

void bezier_absolute(Plotter &p, const double *numbers)
{
    bezier(p, numbers, false);
}

void bezier_relative(Plotter &p, const double *numbers)
{
    bezier(p, numbers, true);
}

void arc_absolute(Plotter &p, const Parameters &n)
{
    arc(p, n, false);
}

void arc_relative(Plotter &p, const Parameters &n)
{
    arc(p, n, true);
}

void three_point_arc_absolute(Plotter &p, const Parameters &n)
{
    three_point_arc(p, n, false);
}

void three_point_arc_relative(Plotter &p, const Parameters &n)
{
    three_point_arc(p, n, true);
}

void circle(Plotter &p, const Parameters &n)
{
    if (n.count < 1)
        return;
    const double radius = n[0];
    const double chord = n.count >= 2 ? n[1] : 0;
    if (!std::isfinite(radius) || radius == 0 || (p.state.polygon_mode && polygon_full(p)))
        return;
    const Point centre = p.user_to_plotter.inverse().apply(p.state.position);
    // A negative radius starts on the other side.
    const double start = radius < 0 ? 180 : 0;
    const double r = std::fabs(radius);
    std::vector<Point> points{{centre.x + r * std::cos(start * kDegrees), centre.y}};
    for (Point point : user_arc(centre, r, start, 360, chord))
        points.push_back(point);
    points = to_plotter(p, points);
    const Point back = p.state.position;
    if (p.state.polygon_mode) {
        polygon_figure(p, points);
    } else {
        stroke_path(p, points, true);
    }
    p.state.position = back;
}

void encoded_data(Plotter &p, std::string_view data)
{
    EncodedMoves moves(p);
    decode_polyline_encoded(p.encoded, data, moves);
}

void encoded_end(Plotter &p, const Parameters &)
{
    EncodedMoves moves(p);
    finish_polyline_encoded(p.encoded, moves);
}

} // namespace instruction

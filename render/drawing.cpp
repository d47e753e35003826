// SPDX-License-Identifier: MIT
// Drawing on the sink: pages and their clip, the pen and the fill the state
// gives, strokes with their line types, fills, and the dot a pen leaves.
#include "plotter.h"

#include "pen_colour.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// A polyline goes to the sink in pieces of at most this many points, so
// that a plot of one endless PD keeps its memory.
constexpr std::size_t kStrokePiece = 4096;
// The printer's dot, 1/600 inch, in millimetres: a pen thinner than this
// leaves no dot where it only touches the paper.
constexpr double kPrinterDot = kMillimetresPerInch / 600;
constexpr double kDegrees = std::numbers::pi / 180;

// The fixed line types 1 to 8: dashes and gaps in percent of the pattern.
const std::vector<double> kLineTypes[8] = {
    {0, 100},
    {50, 50},
    {70, 30},
    {80, 10, 0, 10},
    {70, 10, 10, 10},
    {50, 10, 10, 10, 10, 10},
    {70, 10, 0, 10, 0, 10},
    {50, 10, 0, 10, 10, 10, 0, 10},
};

bool on_pixels(const Plotter &p)
{
    return p.options.pcl_job && p.options.raster_pixel > 0;
}

// How many patterns `pattern` long an adaptive line type fits into a
// line `segment` long: one more than the line holds whole, as the printer
// does, so that a line of exactly two patterns takes three, shortened.
double adaptive_pattern_count(double segment, double pattern)
{
    return std::floor(segment / pattern) + 1;
}

// How long a dash of no length is drawn with pens of this `end`.
double dot_dash_length(const Plotter &p, LineEnd end)
{
    if (end != LineEnd::Butt)
        return kPrinterDot / 100;
    return p.options.raster_pixel > 0 ? p.options.raster_pixel : kPrinterDot;
}

// The dashes of the current line type, millimetres on the sheet.
void add_dashes(const Plotter &p, Pen &pen)
{
    const GraphicsState &s = p.state;
    const double scale = p.plotter_to_sheet.scale();
    const std::size_t index = static_cast<std::size_t>(std::abs(s.line_type) - 1);
    const std::vector<double> &segments =
        s.user_types[index].empty() ? kLineTypes[index] : s.user_types[index];
    const double length =
        s.pattern_absolute ? s.pattern_length : s.pattern_length / 100 * diagonal(p) * scale;
    double total = 0;
    for (double segment : segments)
        total += segment;
    if (total <= 0 || length <= 0)
        return;
    for (double segment : segments)
        pen.dashes.push_back(segment / total * length);
    // A dash of no length is drawn as a line of no length is (see
    // draw_dot), taken from the gap after it: with butt ends a bar a pixel
    // long (the printer's dot on a vector page); other ends give it their
    // own shape, which cairo draws for a dash of some length only. On a
    // printer's raster a pen no wider than a pixel leaves no such bar (PW
    // 0.25 at 100 dpi and 0.08 at 300 none, 0.26 and 0.09 one): cairo draws
    // nothing for a butt dash of no length.
    const double dot = dot_dash_length(p, pen.end);
    const bool thin_on_pixels =
        on_pixels(p) && pen.end == LineEnd::Butt && pen.width <= p.options.raster_pixel;
    for (std::size_t i = 0; i + 1 < pen.dashes.size() && !thin_on_pixels; i += 2) {
        if (pen.dashes[i] == 0) {
            pen.dashes[i] = std::min(dot, pen.dashes[i + 1]);
            pen.dashes[i + 1] -= pen.dashes[i];
        }
    }
}

// The dashes of an adaptive line type fitted to the segment from `a` to
// `b` (on the sheet): whole patterns, as many as adaptive_pattern_count
// gives, dots keeping their length.
Pen fitted_to_segment(const Plotter &p, const Pen &pen, Point a, Point b)
{
    const GraphicsState &s = p.state;
    double length = 0;
    for (double dash : pen.dashes)
        length += dash;
    const double segment = on_pixels(p) ? fixed_point_length(a, b, p.options.raster_pixel)
                                        : std::hypot(b.x - a.x, b.y - a.y);
    // The printer lays a relative pattern along the line at the plot's
    // scale in the line's direction: where the plot size scales the axes a
    // little differently, that decides the count of a line a whole number
    // of patterns long.
    const double mean_scale = p.plotter_to_sheet.scale();
    const Point along = p.plotter_to_sheet.inverse().apply_vector({b.x - a.x, b.y - a.y});
    const double plotter_length = std::hypot(along.x, along.y);
    const double direction_scale = plotter_length > 0 && mean_scale > 0
                                       ? std::hypot(b.x - a.x, b.y - a.y) / plotter_length
                                       : mean_scale;
    // Where the axes' scales agree, the pattern keeps its length exactly: a
    // ratio a rounding away from one would decide the count instead.
    const double ratio = mean_scale > 0 ? direction_scale / mean_scale : 1;
    const double pattern =
        !s.pattern_absolute && std::abs(ratio - 1) > 1e-12 ? length * ratio : length;
    const double patterns = adaptive_pattern_count(segment, pattern);
    Pen fitted = pen;
    for (double &dash : fitted.dashes)
        dash *= segment / (patterns * length);
    const double dot = dot_dash_length(p, pen.end);
    for (std::size_t k = 0; k + 1 < fitted.dashes.size(); k += 2) {
        if (pen.dashes[k] == dot) {
            const double both = fitted.dashes[k] + fitted.dashes[k + 1];
            fitted.dashes[k] = std::min(dot, both);
            fitted.dashes[k + 1] = both - fitted.dashes[k];
        }
    }
    // The printer's own types start and end a line in the middle of the
    // first dash; a type UL sets starts it where the pattern starts.
    const bool user_type = !s.user_types[static_cast<std::size_t>(-s.line_type - 1)].empty();
    fitted.dash_offset = user_type ? 0 : fitted.dashes[0] / 2;
    return fitted;
}

// An adaptive line type fits whole patterns into each line of the path.
void stroke_adaptive(Plotter &p, const std::vector<Point> &points, bool closed, const Pen &pen)
{
    const std::size_t count = points.size() - (closed ? 0 : 1);
    for (std::size_t i = 0; i < count; ++i) {
        const Point a = points[i];
        const Point b = points[(i + 1) % points.size()];
        p.sink.stroke({{{a, b}, false}}, fitted_to_segment(p, pen, a, b));
    }
}

// A butt-ended pen's dot: a bar as long as the pen is wide and one pixel
// thin, lying along the page's rows on a raster coarser than 400 dpi and
// across them on a finer one or a vector page (so the interpreter draws it,
// and a 600 dpi printer prints it).
void draw_butt_dot(Plotter &p, Point at, Pen pen)
{
    const double half = pen.width / 2;
    const double pixel = p.options.raster_pixel;
    const bool along_rows = pixel > kMillimetresPerInch / 400;
    double low = (along_rows ? at.x : at.y) - half;
    double high = low + pen.width;
    double thin = along_rows ? at.y : at.x;
    pen.width = kPrinterDot;
    if (pixel > 0) {
        // On a raster the bar is the pen's width in whole pixels, and its
        // one pixel of thickness is the one after the pixel corner nearest
        // the point: a stroke a little over a pixel wide, half a pixel on,
        // is adjusted onto that one.
        const double pixels = std::max(1.0, std::round(high / pixel - low / pixel));
        low = std::round((low + high) / 2 / pixel - pixels / 2) * pixel;
        high = low + pixels * pixel;
        thin += pixel / 2;
        pen.width = 1.25 * pixel;
    }
    const Path bar = along_rows ? Path{{{{low, thin}, {high, thin}}, false}}
                                : Path{{{{thin, low}, {thin, high}}, false}};
    p.sink.stroke(bar, pen);
}

// The mark a pen leaves where it goes down and moves no further, as the
// printer draws a line of no length: the shape of the pen's line ends (a
// disc, a square, a diamond), or a butt-ended pen's bar. The printer's line
// types leave nothing.
void draw_dot(Plotter &p, Point plotter)
{
    const Pen pen = current_pen(p);
    if (transparent(p, pen.colour) || !pen.dashes.empty() || pen.width < kPrinterDot)
        return;
    const Point at = p.plotter_to_sheet.apply(plotter);
    const double half = pen.width / 2;
    Fill fill;
    fill.colour = pen.colour;
    switch (pen.end) {
    case LineEnd::Round:
        p.sink.stroke({{{at, at}, false}}, pen);
        break;
    case LineEnd::Square:
        p.sink.fill({{{{at.x - half, at.y - half},
                       {at.x + half, at.y - half},
                       {at.x + half, at.y + half},
                       {at.x - half, at.y + half}},
                      true}},
                    fill);
        break;
    case LineEnd::Triangular:
        p.sink.fill(
            {{{{at.x - half, at.y}, {at.x, at.y - half}, {at.x + half, at.y}, {at.x, at.y + half}},
              true}},
            fill);
        break;
    case LineEnd::Butt:
        draw_butt_dot(p, at, pen);
        break;
    }
}

} // namespace

void warn_once(Plotter &p, Warning kind, const char *message)
{
    const auto bit = static_cast<unsigned>(kind);
    if ((p.warned & bit) != 0)
        return;
    p.warned |= bit;
    if (p.options.warnings != nullptr)
        p.options.warnings->warn(message);
}

void apply_clip(Plotter &p)
{
    const SheetPlacement &at = p.placement;
    const Point sheet = {at.sheet_width, at.sheet_height};
    const PageBox frame =
        at.frame_clips ? PageBox{at.frame_low, at.frame_high} : PageBox{{0, 0}, sheet};
    std::optional<PageBox> window;
    if (p.state.window_set) {
        const Point a = p.plotter_to_sheet.apply(p.state.window_low);
        const Point b = p.plotter_to_sheet.apply(p.state.window_high);
        window = PageBox{{std::min(a.x, b.x), std::min(a.y, b.y)},
                         {std::max(a.x, b.x), std::max(a.y, b.y)}};
    }
    if (on_pixels(p)) {
        const PageBox box = clip_on_pixels(frame, window, p.options.raster_pixel);
        p.sink.clip(box.low, box.high);
        return;
    }
    Point low = frame.low;
    Point high = frame.high;
    if (window) {
        low = {std::max(low.x, window->low.x), std::max(low.y, window->low.y)};
        high = {std::min(high.x, window->high.x), std::min(high.y, window->high.y)};
        high = {std::max(low.x, high.x), std::max(low.y, high.y)};
    }
    p.sink.clip(low, high);
}

Pen current_pen(const Plotter &p)
{
    const GraphicsState &s = p.state;
    Pen pen;
    const PenSetting &setting = s.pens[static_cast<std::size_t>(s.pen) % s.pens.size()];
    const double scale = p.plotter_to_sheet.scale();
    pen.width = s.relative_width ? setting.width / 100 * diagonal(p) * scale
                                 : setting.width * p.placement.pen_scale;
    pen.colour = setting.colour;
    const Colour &c = setting.colour;
    if (p.options.pcl_job && !(c.red == c.green && c.green == c.blue))
        pen.colour = printed_gray(c);
    pen.end = s.line_end;
    pen.join = s.line_join;
    pen.miter_limit = s.miter_limit;
    if (s.line_type != 0)
        add_dashes(p, pen);
    return pen;
}

Fill current_fill(const Plotter &p, FillRule rule)
{
    const GraphicsState &s = p.state;
    Fill fill;
    fill.rule = rule;
    fill.colour = current_pen(p).colour;
    const double scale = p.plotter_to_sheet.scale();
    if (s.fill_type == 3 || s.fill_type == 4) {
        const double spacing =
            s.hatch_spacing > 0
                ? (s.scaling != Scaling::None ? std::fabs(p.user_to_plotter.xx) * s.hatch_spacing
                                              : s.hatch_spacing)
                : diagonal(p) / 100;
        fill.spacing = std::max(spacing * scale, 0.05);
        // The printer lays the lines out from the plot's origin at the
        // angle from the sheet's width as it is fed, turned by RO but not
        // by the page's orientation.
        fill.anchor = p.plotter_to_sheet.apply({0, 0});
        fill.angle = -(s.hatch_angle + s.rotation) * kDegrees;
        fill.crossed = s.fill_type == 4;
        fill.line_width = current_pen(p).width;
    } else if (s.fill_type == 10) {
        fill.shade = s.shading;
    }
    return fill;
}

// A PCL job prints with the printer's source transparency, on unless TR 0
// turns it off: white (pen 0, or a pen PC makes white) leaves what is under
// it, where a plotter or a PDF page would paint it over.
bool transparent(const Plotter &p, const Colour &colour)
{
    // White as the printer prints it: 255 of 255 in each channel.
    const auto full = [](double channel) { return channel * 255 >= 254.5; };
    return p.options.pcl_job && p.state.source_transparent && full(colour.red) && full(colour.green)
           && full(colour.blue);
}

void stroke_path(Plotter &p, const std::vector<Point> &plotter, bool closed)
{
    if (plotter.size() < 2)
        return;
    Path path(1);
    path[0].closed = closed;
    path[0].points.reserve(plotter.size());
    const Pen pen = current_pen(p);
    if (transparent(p, pen.colour))
        return;
    for (Point point : plotter)
        path[0].points.push_back(p.plotter_to_sheet.apply(point));
    if (p.state.line_type >= 0 || pen.dashes.empty())
        p.sink.stroke(path, pen);
    else
        stroke_adaptive(p, path[0].points, closed, pen);
}

void fill_path(Plotter &p, Path path, FillRule rule)
{
    const Fill fill = current_fill(p, rule);
    if (transparent(p, fill.colour))
        return;
    for (SubPath &sub : path) {
        sub.closed = true;
        for (Point &point : sub.points)
            point = p.plotter_to_sheet.apply(point);
    }
    p.sink.fill(path, fill);
}

void flush_stroke(Plotter &p)
{
    PendingStroke &pending = p.pending;
    if (pending.points.size() >= 2)
        stroke_path(p, pending.points, false);
    else if (pending.dot && p.options.dots)
        draw_dot(p, *pending.dot);
    pending.points.clear();
    pending.dot.reset();
}

void move_to(Plotter &p, Point plotter)
{
    if (p.state.polygon_mode)
        polygon_point(p, plotter, false);
    else
        flush_stroke(p);
    p.state.position = plotter;
}

void line_to(Plotter &p, Point plotter)
{
    GraphicsState &s = p.state;
    PendingStroke &pending = p.pending;
    if (s.polygon_mode) {
        polygon_point(p, plotter, true);
    } else if (plotter.x == s.position.x && plotter.y == s.position.y) {
        if (pending.points.empty())
            pending.dot = s.position;
    } else {
        pending.dot.reset();
        if (pending.points.empty())
            pending.points.push_back(s.position);
        pending.points.push_back(plotter);
        if (pending.points.size() >= kStrokePiece) {
            flush_stroke(p);
            pending.points.push_back(plotter);
        }
    }
    s.position = plotter;
}

void polyline_to(Plotter &p, const std::vector<Point> &plotter)
{
    for (Point point : plotter) {
        if (p.state.pen_down)
            line_to(p, point);
        else
            move_to(p, point);
    }
}

void pen_to(Plotter &p, Point plotter)
{
    if (p.state.pen_down)
        line_to(p, plotter);
    else
        move_to(p, plotter);
    draw_symbol(p);
}

// SPDX-License-Identifier: MIT
#include "printed_extent.h"

#include "plot_scanner.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The interpreter clips to its sheet as well as to the plot's window: the
// measure hands it a sheet far larger than any plot, with the plot's origin
// in its middle, so that only the window clips.
constexpr double kReach = 1e12; // plotter units

// The extent of what is drawn within the clip the interpreter sets, in
// the sink's units.
class PrintedExtentSink : public PageSink {
public:
    void begin_page(double, double) override { clipped_ = false; }
    void end_page() override {}
    // The text a plot's PCL context prints lies outside the HP-GL/2 drawing
    // that a fit scales.
    void text(const TextRun &) override {}

    void clip(Point low, Point high) override
    {
        clipped_ = true;
        clip_low_ = low;
        clip_high_ = high;
    }

    void stroke(const Path &path, const Pen &) override
    {
        for (const SubPath &sub : path)
            add_outline(sub, sub.closed);
    }

    void glyph(const GlyphMark &mark) override { add_outline(glyph_box(mark), true); }

    // An image prints as far as its box, within the clip: as a filled box.
    void image(const ImageBand &band) override
    {
        Fill box;
        box.rule = FillRule::NonZero;
        fill({image_box(band)}, box);
    }

    void fill(const Path &path, const Fill &fill) override
    {
        for (const SubPath &sub : path)
            add_outline(sub, true);
        // A window inside the filled area: its corners are the extent.
        if (!clipped_)
            return;
        for (Point corner : {clip_low_, Point{clip_high_.x, clip_low_.y}, clip_high_,
                             Point{clip_low_.x, clip_high_.y}}) {
            if (inside_path(path, fill.rule, corner))
                add(corner);
        }
    }

    bool drawn = false;
    Point low{std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    Point high{std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};

private:
    void add(Point p)
    {
        drawn = true;
        low = {std::min(low.x, p.x), std::min(low.y, p.y)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }

    bool finite(Point p) const { return std::isfinite(p.x) && std::isfinite(p.y); }

    // Every segment of `sub`, the closing one too when `closed`, as far as
    // it lies within the clip; a lone point where it lies within.
    void add_outline(const SubPath &sub, bool closed)
    {
        const std::vector<Point> &points = sub.points;
        if (points.size() == 1) {
            Point a = points[0];
            Point b = a;
            add_segment(a, b);
            return;
        }
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            add_segment(points[i], points[i + 1]);
        if (closed && points.size() > 2)
            add_segment(points.back(), points.front());
    }

    void add_segment(Point a, Point b)
    {
        if (!finite(a) || !finite(b))
            return;
        if (clipped_ && !clip_segment(a, b, clip_low_, clip_high_))
            return;
        add(a);
        add(b);
    }

    bool clipped_ = false;
    Point clip_low_;
    Point clip_high_;
};

} // namespace

bool clip_segment(Point &a, Point &b, Point low, Point high)
{
    // Liang and Barsky: the part of a + t (b - a), t from 0 to 1, on the
    // inner side of each of the four edges.
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    double enter = 0;
    double leave = 1;
    const double steps[4] = {-dx, dx, -dy, dy};
    const double room[4] = {a.x - low.x, high.x - a.x, a.y - low.y, high.y - a.y};
    for (int edge = 0; edge < 4; ++edge) {
        if (steps[edge] == 0) {
            if (room[edge] < 0)
                return false;
            continue;
        }
        const double t = room[edge] / steps[edge];
        if (steps[edge] < 0)
            enter = std::max(enter, t);
        else
            leave = std::min(leave, t);
        if (enter > leave)
            return false;
    }
    const Point from = a;
    a = {from.x + enter * dx, from.y + enter * dy};
    b = {from.x + leave * dx, from.y + leave * dy};
    return true;
}

bool inside_path(const Path &path, FillRule rule, Point p)
{
    // Crossings of a ray from `p` along +x, each sub-path closed.
    int winding = 0;
    int crossings = 0;
    for (const SubPath &sub : path) {
        const std::size_t n = sub.points.size();
        for (std::size_t i = 0; i < n; ++i) {
            const Point a = sub.points[i];
            const Point b = sub.points[(i + 1) % n];
            if ((a.y <= p.y) == (b.y <= p.y))
                continue;
            const double x = a.x + (p.y - a.y) / (b.y - a.y) * (b.x - a.x);
            if (x <= p.x)
                continue;
            ++crossings;
            winding += b.y > a.y ? 1 : -1;
        }
    }
    return rule == FillRule::NonZero ? winding != 0 : crossings % 2 == 1;
}

PrintedExtent measure_printed_extent(PlotSource &source, const StrokeFont *font, double plot_length,
                                     double plot_width)
{
    PrintedExtentSink extent;
    InterpreterOptions options;
    options.font = font;
    // A dot has no size to fit: a plot that only puts its pen down, as a
    // stand-in often does, is one with no drawing to measure.
    options.dots = false;
    options.outline_glyphs = true;
    options.every_mark = true;
    options.layout.plot_length = plot_length;
    options.layout.plot_width = plot_width;
    options.layout.sheet_width = 2 * kReach;
    options.layout.sheet_height = 2 * kReach;
    options.layout.plot_to_sheet = translation(kReach, kReach);
    PlotInterpreter interpreter(extent, options);

    PlotScanner scanner;
    char buffer[32 * 1024];
    for (std::size_t n; (n = source.read(buffer, sizeof buffer)) > 0;)
        scan_plot_events(scanner, buffer, n, interpreter);
    finish_plot_events(scanner, interpreter);
    interpreter.finish();

    PrintedExtent printed;
    printed.drawn = extent.drawn;
    if (extent.drawn) {
        printed.low = {extent.low.x - kReach, extent.low.y - kReach};
        printed.high = {extent.high.x - kReach, extent.high.y - kReach};
    }
    return printed;
}

// SPDX-License-Identifier: MIT
#include "render.h"

#include "stream_kind.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kMargin = 10; // millimetres around a plot's drawing
constexpr double kDefaultLength = kPlainPlotLength;
constexpr double kDefaultWidth = kPlainPlotWidth;
constexpr std::size_t kChunk = 64 * 1024;

// Collects the extent of everything drawn, in the sink's units.
class ExtentSink : public NullSink {
public:
    void stroke(const Path &path, const Pen &) override { add(path); }
    void fill(const Path &path, const Fill &) override { add(path); }
    void glyph(const GlyphMark &mark) override { add({glyph_box(mark)}); }
    // An image's box is its drawing, white pixels and all.
    void image(const ImageBand &band) override { add({image_box(band)}); }

    bool drawn = false;
    Point low{std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    Point high{std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};

private:
    void add(const Path &path)
    {
        for (const SubPath &sub : path) {
            for (Point p : sub.points) {
                if (!std::isfinite(p.x) || !std::isfinite(p.y))
                    continue;
                drawn = true;
                low = {std::min(low.x, p.x), std::min(low.y, p.y)};
                high = {std::max(high.x, p.x), std::max(high.y, p.y)};
            }
        }
    }
};

// Reads the stream through the scanner into `interpreter`; returns the
// scanner for what it found.
PlotScanner interpret(PlotSource &source, PlotInterpreter &interpreter, bool *pcl_job)
{
    PlotScanner scanner;
    char buffer[kChunk];
    bool first = true;
    for (std::size_t n; (n = source.read(buffer, sizeof buffer)) > 0;) {
        // A PCL job starts in PCL context, as the printer starts every job;
        // a plot in HP-GL/2 context, where the job header leaves it.
        if (first && stream_is_pcl_job({buffer, n})) {
            scanner.in_pcl = true;
            scanner.state = ScanState::Pcl;
            interpreter.context(true);
        }
        if (first && pcl_job != nullptr)
            *pcl_job = stream_is_pcl_job({buffer, n});
        first = false;
        scan_plot_events(scanner, buffer, n, interpreter);
    }
    finish_plot_events(scanner, interpreter);
    const std::uint64_t before = scanner.pages;
    eject_last_page(scanner);
    if (scanner.pages != before)
        interpreter.page_ejected();
    interpreter.finish();
    return scanner;
}

// The plot's extent: its PS, else its drawing.
void extent_of(const PlotMeasure &m, Point &low, Point &high)
{
    if (m.plot_size_found) {
        low = {0, 0};
        high = {m.plot_length, m.plot_width};
    } else if (m.drawn) {
        low = m.low;
        high = m.high;
    } else {
        low = {0, 0};
        high = {kDefaultLength, kDefaultWidth};
    }
}

} // namespace

PlotMeasure measure_plot(PlotSource &source, const StrokeFont *font, double plot_length,
                         double plot_width)
{
    ExtentSink extent;
    InterpreterOptions options;
    options.font = font;
    options.outline_glyphs = true;
    options.every_mark = true;
    options.layout.plot_length = plot_length;
    options.layout.plot_width = plot_width;
    PlotInterpreter interpreter(extent, options);
    PlotMeasure measure;
    const PlotScanner scanner = interpret(source, interpreter, &measure.pcl_job);
    measure.drawn = extent.drawn;
    if (extent.drawn) {
        measure.low = extent.low;
        measure.high = extent.high;
    }
    measure.pages =
        measure.pcl_job ? std::max<std::uint64_t>(scanner.pages, 1) : interpreter.pages();
    measure.plot_size_found = scanner.plot_size_found;
    measure.plot_length = static_cast<double>(scanner.plot_length);
    measure.plot_width = static_cast<double>(scanner.plot_width);
    return measure;
}

PlotLayout plain_layout(const PlotMeasure &measure, const RenderOptions &options)
{
    Point low;
    Point high;
    extent_of(measure, low, high);
    double width = (high.x - low.x) * kPlotterUnit;
    double height = (high.y - low.y) * kPlotterUnit;

    PlotLayout layout;
    layout.plot_length = measure.plot_size_found ? measure.plot_length : kDefaultLength;
    layout.plot_width = measure.plot_size_found ? measure.plot_width : kDefaultWidth;
    double margin = measure.plot_size_found ? 0 : kMargin;
    double scale = 1;
    const bool fit = options.fit || options.fit_if_larger;
    if (options.paper != nullptr || fit) {
        const Paper paper = options.paper != nullptr ? *options.paper : system_paper();
        // The paper turned to the plot's shape, unless it is held one way.
        const bool landscape = options.sheet == SheetShape::Drawing
                                   ? width > height
                                   : options.sheet == SheetShape::Landscape;
        layout.sheet_width = landscape ? paper.portrait.height : paper.portrait.width;
        layout.sheet_height = landscape ? paper.portrait.width : paper.portrait.height;
        if (fit && width > 0 && height > 0)
            scale = std::min((layout.sheet_width - 2 * kMargin) / width,
                             (layout.sheet_height - 2 * kMargin) / height);
        if (!options.fit)
            scale = std::min(scale, 1.0);
        margin = 0;
    } else {
        layout.sheet_width = width + 2 * margin;
        layout.sheet_height = height + 2 * margin;
    }
    // A page larger than the format takes is drawn on the largest it does.
    const double longest = std::max(layout.sheet_width, layout.sheet_height);
    if (options.largest_sheet > 0 && !(longest <= options.largest_sheet)) {
        const double down = std::isfinite(longest) ? options.largest_sheet / longest : 0;
        if (options.warnings != nullptr)
            options.warnings->warn("the plot's page is larger than the output format takes; it "
                                   "is drawn scaled down to the largest page it takes");
        layout.sheet_width = std::min(layout.sheet_width * down, options.largest_sheet);
        layout.sheet_height = std::min(layout.sheet_height * down, options.largest_sheet);
        scale *= down;
        width = std::isfinite(width) ? width : 0;
        height = std::isfinite(height) ? height : 0;
    }
    // The drawing in the middle of the sheet, y up.
    const double left = (layout.sheet_width - width * scale) / 2;
    const double bottom = (layout.sheet_height + height * scale) / 2;
    layout.plot_to_sheet = compose(
        translation(left, bottom),
        compose(scaling(scale * kPlotterUnit, -scale * kPlotterUnit), translation(-low.x, -low.y)));
    return layout;
}

std::uint64_t render_plot(PlotSource &source, const PlotMeasure &measure,
                          const RenderOptions &options, PageSink &sink)
{
    InterpreterOptions interpreter_options;
    interpreter_options.pcl_job = measure.pcl_job;
    if (!measure.pcl_job)
        interpreter_options.layout = plain_layout(measure, options);
    interpreter_options.pen_width = options.pen_width;
    interpreter_options.sheet_quarters = options.rotate / 90;
    interpreter_options.upright = options.upright;
    interpreter_options.font = options.font;
    interpreter_options.outline_glyphs = options.outline_glyphs;
    interpreter_options.raster_pixel = options.raster_pixel;
    interpreter_options.warnings = options.warnings;
    PlotInterpreter interpreter(sink, interpreter_options);
    interpret(source, interpreter, nullptr);
    return interpreter.pages();
}

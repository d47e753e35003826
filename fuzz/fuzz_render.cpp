// SPDX-License-Identifier: MIT
// Random plots through the renderer's interpreter onto a sink that checks
// what it gets: no crash, no hang, finite coordinates, paths of bounded
// size, pages begun and ended in turn; and the scanner, read for its
// events, ends as the job filter's reading of the same bytes ends. Byte 0
// picks a plain plot or a PCL job, the sheet's turn and the chunk size,
// whose lowest bit also hands labels in outline fonts on as glyphs.
#include "fuzz_support.h"
#include "interpreter.h"
#include "stroke_font.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// Far above what any one call carries: a polyline goes out in pieces.
constexpr std::size_t kMaxPathPoints = 1 << 17;
// An image goes out in bands of rows of bounded width.
constexpr std::size_t kMaxImageWidth = 65536;
constexpr std::size_t kMaxImageBytes =
    std::size_t{1} << 20 > kMaxImageWidth * 3 ? std::size_t{1} << 20 : kMaxImageWidth * 3;

class CheckingSink : public PageSink {
public:
    void begin_page(double width, double height) override
    {
        FUZZ_CHECK(!open_);
        FUZZ_CHECK(std::isfinite(width) && std::isfinite(height));
        open_ = true;
        ++pages;
    }
    void stroke(const Path &path, const Pen &pen) override
    {
        FUZZ_CHECK(open_);
        FUZZ_CHECK(std::isfinite(pen.width) && pen.width >= 0);
        for (double dash : pen.dashes)
            FUZZ_CHECK(std::isfinite(dash) && dash >= 0);
        check(path);
    }
    void fill(const Path &path, const Fill &fill) override
    {
        FUZZ_CHECK(open_);
        FUZZ_CHECK(std::isfinite(fill.spacing) && fill.spacing >= 0);
        check(path);
    }
    void clip(Point low, Point high) override
    {
        FUZZ_CHECK(open_);
        FUZZ_CHECK(low.x <= high.x && low.y <= high.y);
    }
    void text(const TextRun &run) override
    {
        FUZZ_CHECK(open_);
        FUZZ_CHECK(std::isfinite(run.start.x) && std::isfinite(run.start.y) && run.em > 0);
        for (const char c : run.characters)
            FUZZ_CHECK(c >= ' ' && c <= '~');
    }
    void glyph(const GlyphMark &mark) override
    {
        FUZZ_CHECK(open_);
        FUZZ_CHECK(mark.character > ' ' && mark.character <= '~');
        for (const Point p : {mark.origin, mark.across, mark.up})
            FUZZ_CHECK(std::isfinite(p.x) && std::isfinite(p.y));
        FUZZ_CHECK(mark.advance > 0 && mark.advance <= 1);
    }
    void image(const ImageBand &band) override
    {
        FUZZ_CHECK(open_);
        FUZZ_CHECK(band.width > 0 && band.rows > 0);
        FUZZ_CHECK(band.rgb.size() == band.width * band.rows * 3);
        FUZZ_CHECK(band.width <= kMaxImageWidth && band.rgb.size() <= kMaxImageBytes);
        for (const Point p : {band.origin, band.across, band.down})
            FUZZ_CHECK(std::isfinite(p.x) && std::isfinite(p.y));
    }
    void end_page() override
    {
        FUZZ_CHECK(open_);
        open_ = false;
    }
    bool open() const { return open_; }
    std::uint64_t pages = 0;

private:
    static void check(const Path &path)
    {
        std::size_t points = 0;
        for (const SubPath &sub : path)
            points += sub.points.size();
        FUZZ_CHECK(points <= kMaxPathPoints);
    }
    bool open_ = false;
};

const StrokeFont *font()
{
    static const StrokeFontResult loaded =
        load_stroke_font(stroke_font_folder(nullptr, std::getenv("ZELVO_HERSHEY_DIR")));
    return loaded.ok ? &loaded.font : nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0 || size > 4 * kMaxInput)
        return 0;
    const std::uint8_t control = data[0];
    const char *plot = reinterpret_cast<const char *>(data + 1);
    const std::size_t length = size - 1;

    InterpreterOptions options;
    options.pcl_job = (control & 1) != 0;
    options.layout.sheet_width = 297;
    options.layout.sheet_height = 210;
    options.layout.plot_to_sheet = compose(translation(10, 200), scaling(0.025, -0.025));
    options.layout.plot_length = 10770;
    options.layout.plot_width = 7620;
    options.sheet_quarters = (control >> 1) & 3;
    options.font = font();
    options.outline_glyphs = (control & 8) != 0;
    const std::size_t chunk = 1 + (control >> 3) * 8;

    CheckingSink sink;
    PlotInterpreter interpreter(sink, options);
    PlotScanner heard;
    for (std::size_t at = 0; at < length; at += chunk)
        scan_plot_events(heard, plot + at, std::min(chunk, length - at), interpreter);
    finish_plot_events(heard, interpreter);
    const std::uint64_t before = heard.pages;
    eject_last_page(heard);
    if (heard.pages != before)
        interpreter.page_ejected();
    interpreter.finish();
    FUZZ_CHECK(!sink.open());
    FUZZ_CHECK(sink.pages == interpreter.pages());
    FUZZ_CHECK(sink.pages >= 1);
    // A PCL job's pages are those the printer ejects, less those on which
    // nothing shows; a plain plot's, those PG ends with something shown.
    if (options.pcl_job)
        FUZZ_CHECK(sink.pages <= std::max<std::uint64_t>(heard.pages, 1));

    // The job filter's reading, stopping at each place for the hold text.
    PlotScanner quiet;
    for (std::size_t at = 0; at < length;) {
        const std::size_t hold = scan_plot(quiet, plot + at, length - at);
        at = hold == kNoHold ? length : at + hold;
    }
    finish_plot(quiet);
    eject_last_page(quiet);
    FUZZ_CHECK(quiet.pages == heard.pages);
    FUZZ_CHECK(quiet.in_pcl == heard.in_pcl);
    FUZZ_CHECK(quiet.drawn == heard.drawn);
    FUZZ_CHECK(quiet.plot_size_found == heard.plot_size_found);
    FUZZ_CHECK(quiet.plot_length == heard.plot_length && quiet.plot_width == heard.plot_width);
    return 0;
}

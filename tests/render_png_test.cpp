// SPDX-License-Identifier: MIT
// Pages that zelvo-render draws on a raster, read back: how its strokes
// ink the pixels.
#include "render/ink.h"
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string program = ZELVO_RENDER_PROGRAM;

// The ink of the PNG page zelvo-render draws of `plot`, at 100 dpi.
std::optional<InkMask> render_ink(const std::string &plot)
{
    TempDir dir;
    const auto input = dir.write("plot.plt", plot);
    RunOptions options;
    options.args = {"-o", (dir.path() / "page.png").string(), input.string()};
    const RunResult result = run_program(program, options);
    EXPECT_EQ(result.exit_status, 0) << result.err;
    std::string error;
    const std::optional<GrayImage> page = read_png_gray(dir.path() / "page.png", error);
    EXPECT_TRUE(page) << error;
    if (result.exit_status != 0 || !page)
        return std::nullopt;
    return ink_on_canvas(*page, page->width, page->height);
}

TEST(ZelvoRenderPng, SlantedHairlinesInkOnePixelAtEachStep)
{
    // A thin pen's lines, one pixel in each column along their longer
    // axis, as the printer draws them: none of the doubled pixels that a
    // pixel-wide stroke slanted at 45 degrees or less takes here and there.
    // In the PCL job the plot's origin is on a pixel corner and the line at
    // 45 degrees starts 100 pixels across and 12.5 down from it: it runs
    // exactly between two pixel centres in every column.
    const std::string plots[] = {
        "IN;SP1;PW0.1;PU0,0;PD4000,4000;",
        "IN;SP1;PW0.1;PU0,0;PD4000,2000;",
        "IN;SP1;PW0.1;PU0,0;PD4000,1300;",
        "\x1b"
        "E\x1b%1BIN;SP1;PW0.1;PA1016,127;PD5016,4127;PU;\x1b%0A\x1b"
        "E",
    };
    for (const std::string &plot : plots) {
        SCOPED_TRACE(plot);
        const std::optional<InkMask> rendered = render_ink(plot);
        ASSERT_TRUE(rendered);
        const InkMask &ink = *rendered;
        int first = ink.width;
        int last = -1;
        for (int x = 0; x < ink.width; ++x) {
            for (int y = 0; y < ink.height; ++y) {
                if (ink.at(x, y)) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
            }
        }
        ASSERT_GT(last - first, 100);
        for (int x = first + 1; x < last; ++x) {
            int count = 0;
            for (int y = 0; y < ink.height; ++y)
                count += ink.at(x, y);
            EXPECT_EQ(count, 1) << "column " << x;
        }
    }
}

TEST(ZelvoRenderPng, StickGlyphsStepAsThePrintersFixedPointPenMoves)
{
    // A row of bars in the default font from the plot's origin, a pixel
    // corner: each glyph moves the pen its cell, 100/9 pixels, and a 2048th
    // of it, cut to the 256ths of a pixel the printer keeps the pen in
    // (2845/256), and each bar stands at the pixel corner nearest its
    // origin.
    constexpr int kBars = 70;
    const std::string plot = "\x1b"
                             "E\x1b%1BIN;SP1;PA0,2000;LB"
                             + std::string(kBars, '|')
                             + "\3;\x1b%0A\x1b"
                               "E";
    const auto nearest = [](double v) { return static_cast<int>(std::floor(v + 0.5)); };
    bool cell_alone_differs = false;
    bool uncut_differs = false;
    for (int k = 0; k < kBars; ++k) {
        cell_alone_differs |= nearest(k * 100.0 / 9) != nearest(k * 2845.0 / 256);
        uncut_differs |= nearest(k * 100.0 / 9 * 2049 / 2048) != nearest(k * 2845.0 / 256);
    }
    ASSERT_TRUE(cell_alone_differs && uncut_differs) << "the row would not tell the steps apart";
    const std::optional<InkMask> rendered = render_ink(plot);
    ASSERT_TRUE(rendered);
    const InkMask &ink = *rendered;
    int row = -1;
    for (int y = 0; y < ink.height && row < 0; ++y)
        for (int x = 0; x < ink.width && row < 0; ++x)
            if (ink.at(x, y))
                row = y + 10; // into the bars, past their round tops
    std::vector<int> starts;
    for (int x = 0; x < ink.width; ++x)
        if (ink.at(x, row) && (x == 0 || !ink.at(x - 1, row)))
            starts.push_back(x);
    ASSERT_EQ(starts.size(), static_cast<std::size_t>(kBars));
    for (int k = 0; k < kBars; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(starts[k] - starts[0], nearest(k * 2845.0 / 256));
    }
}

// The ink of the columns from `from` to `to` of `ink`, cut to its bounds.
std::vector<std::string> ink_shape(const InkMask &ink, int from, int to)
{
    int top = ink.height, bottom = -1, left = to, right = from - 1;
    for (int y = 0; y < ink.height; ++y)
        for (int x = from; x < to; ++x)
            if (ink.at(x, y))
                top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x),
                right = std::max(right, x);
    std::vector<std::string> rows;
    for (int y = top; y <= bottom; ++y) {
        std::string row;
        for (int x = left; x <= right; ++x)
            row += ink.at(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(ZelvoRenderPng, OutlineGlyphsComeFromTheFontCacheButWithTransparencyOff)
{
    // Two 40 point Univers O's, the second a fifth of a pixel further on
    // than a whole number of pixels: from the font cache (TR 1) both ink the
    // same pixels; filled where they stand (TR 0), the fifth shows.
    for (const bool transparent : {true, false}) {
        SCOPED_TRACE(transparent ? "TR 1" : "TR 0");
        const std::string plot = std::string("\x1b"
                                             "E\x1b%1BIN;SP1;TR")
                                 + (transparent ? "1" : "0")
                                 + ";SD1,277,2,1,4,40,7,4148;SS;PA1016,1016;LBO\3;"
                                   "PA3050,1016;LBO\3;\x1b%0A\x1b"
                                   "E";
        const std::optional<InkMask> rendered = render_ink(plot);
        ASSERT_TRUE(rendered);
        // The plot's origin is a pixel corner; 1016 plotter units are 100
        // pixels, and 2034 are 200 and a fifth.
        const auto first = ink_shape(*rendered, 0, 250);
        const auto second = ink_shape(*rendered, 250, 500);
        ASSERT_GT(first.size(), 20u);
        if (transparent)
            EXPECT_EQ(first, second);
        else
            EXPECT_NE(first, second);
    }
}

// The ends of the last line that zelvo-render draws of `plot` in SVG
// (a path "M x0 y0 L x1 y1", millimetres), in pixels at 100 dpi across.
std::optional<std::pair<double, double>> last_line_across(const std::string &plot)
{
    TempDir dir;
    const auto input = dir.write("plot.plt", plot);
    RunOptions options;
    options.args = {"-o", (dir.path() / "page.svg").string(), input.string()};
    const RunResult result = run_program(program, options);
    EXPECT_EQ(result.exit_status, 0) << result.err;
    const std::string svg = read_file(dir.path() / "page.svg");
    const std::size_t at = svg.rfind("d=\"M ");
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    if (at == std::string::npos
        || std::sscanf(svg.c_str() + at, "d=\"M %lf %lf L %lf %lf", &x0, &y0, &x1, &y1) != 4)
        return std::nullopt;
    constexpr double kPixelsPerMm = 100 / 25.4;
    return std::pair{x0 * kPixelsPerMm, x1 * kPixelsPerMm};
}

TEST(ZelvoRenderPng, ThinGlyphStrokesInkNoPixelPastTheirEnds)
{
    // A small label's underscore, a stroke thinner than a pixel, inks the
    // pixels whose centres lie between its ends, as the printer's font
    // cache draws it; a line would take one more at each end here.
    const std::string plot = "IN;SP1;PA0,0;PD0,0;PU;SI0.19,0.27;PA1011,1000;LB_\3;";
    const auto ends = last_line_across(plot);
    ASSERT_TRUE(ends);
    const auto [from, to] = *ends;
    const int first = static_cast<int>(std::ceil(from - 0.5));
    const int last = static_cast<int>(std::floor(to - 0.5));
    ASSERT_NE(first, static_cast<int>(std::ceil(from - 1))) << "a line would ink the same";
    ASSERT_NE(last, static_cast<int>(std::floor(to))) << "a line would ink the same";
    const std::optional<InkMask> rendered = render_ink(plot);
    ASSERT_TRUE(rendered);
    const InkMask &ink = *rendered;
    int left = ink.width, right = -1;
    for (int y = 0; y < ink.height; ++y)
        for (int x = first - 5; x < ink.width; ++x) // past the dot at the origin
            if (ink.at(x, y))
                left = std::min(left, x), right = std::max(right, x);
    EXPECT_EQ(left, first);
    EXPECT_EQ(right, last);
}

TEST(ZelvoRenderPng, OutlineFontLabelsAreFilledAtThePrintersSize)
{
    // A 72 point Univers H: as high as the printer's, 0.69 inch, and its
    // stems and bar filled, not drawn as lines.
    const std::optional<InkMask> rendered =
        render_ink("IN;SP1;SD1,277,2,1,4,72,7,4148;SS;PA0,0;LBH\3;PA4000,4000;");
    ASSERT_TRUE(rendered);
    const InkMask &ink = *rendered;
    int left = ink.width, right = -1, top = ink.height, bottom = -1;
    for (int y = 0; y < ink.height; ++y) {
        for (int x = 0; x < ink.width; ++x) {
            if (ink.at(x, y)) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_GE(right, left);
    EXPECT_NEAR(bottom - top + 1, 69, 2);
    // Across a stem's middle: two runs of ink, each some pixels wide.
    const int y = top + (bottom - top) / 4;
    std::vector<int> runs;
    for (int x = left; x <= right; ++x) {
        if (!ink.at(x, y))
            continue;
        if (x == left || !ink.at(x - 1, y))
            runs.push_back(0);
        ++runs.back();
    }
    ASSERT_EQ(runs.size(), 2u);
    for (const int run : runs)
        EXPECT_GE(run, 6);
}

} // namespace

namespace {

// How many gray levels a PNG page of `plot` has.
std::size_t gray_levels(const std::string &plot, const std::vector<std::string> &options)
{
    TempDir dir;
    RunOptions run;
    run.args = options;
    run.args.insert(run.args.end(),
                    {"-o", (dir.path() / "page.png").string(), dir.write("p.plt", plot).string()});
    const RunResult result = run_program(program, run);
    EXPECT_EQ(result.exit_status, 0) << result.err;
    std::string error;
    const std::optional<GrayImage> page = read_png_gray(dir.path() / "page.png", error);
    if (!page)
        return 0;
    std::vector<bool> seen(256);
    for (const unsigned char level : page->pixels)
        seen[level] = true;
    return static_cast<std::size_t>(std::count(seen.begin(), seen.end(), true));
}

// As the printer inks it, a page of black pens is black and white; smoothed
// for a screen, its slanted edges take the grays between.
TEST(ZelvoRenderPng, AntialiasSmoothsTheEdgesForAScreen)
{
    const std::string plot = "IN;SP1;PW0.5;PU0,0;PD3000,1000,500,2500;CI800;";
    EXPECT_EQ(gray_levels(plot, {}), 2u);
    EXPECT_GT(gray_levels(plot, {"--antialias"}), 8u);
}

} // namespace

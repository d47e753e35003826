// SPDX-License-Identifier: MIT
// Raster graphics end to end: small jobs written here through zelvo-render
// to PNG pages at 300 dpi, their pixels read back. An image of 300 pixels
// to the inch puts each of its pixels on one of the page's.
#include "render/ink.h"
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

const std::string program = ZELVO_RENDER_PROGRAM;
const std::string esc = "\x1b";

struct Rendered {
    RunResult run;
    std::optional<GrayImage> page;
};

Rendered render(const std::string &job)
{
    TempDir dir;
    const auto input = dir.write("job.pcl", job);
    RunOptions options;
    options.args = {"--dpi", "300", "-o", (dir.path() / "page.png").string(), input.string()};
    Rendered rendered;
    rendered.run = run_program(program, options);
    std::string error;
    rendered.page = read_png_gray(dir.path() / "page.png", error);
    return rendered;
}

std::string bytes(std::initializer_list<int> values)
{
    std::string s;
    for (const int v : values)
        s += static_cast<char>(v);
    return s;
}

std::string row(const std::string &data, char parameter = 'W')
{
    return esc + "*b" + std::to_string(data.size()) + parameter + data;
}

// The page's pixels from (x, y), as '#' (black), '.' (white) or '-' (a gray
// between), `width` by as many rows as `expected` has.
std::vector<std::string> pixels_at(const GrayImage &page, int x, int y,
                                   const std::vector<std::string> &expected)
{
    std::vector<std::string> seen;
    for (std::size_t r = 0; r < expected.size(); ++r) {
        std::string line;
        for (std::size_t c = 0; c < expected[r].size(); ++c) {
            const int level = page.pixels[static_cast<std::size_t>(y + static_cast<int>(r))
                                              * static_cast<std::size_t>(page.width)
                                          + static_cast<std::size_t>(x + static_cast<int>(c))];
            line += level < 40 ? '#' : level > 250 ? '.' : '-';
        }
        seen.push_back(line);
    }
    return seen;
}

// The cursor at 1 inch across and 1 inch below the top margin: on the
// page's pixel (375, 450) of a letter page at 300 dpi.
const std::string kJobStart = esc + "E" + esc + "&a720h720V" + esc + "*t300R";
constexpr int kCursorX = 375;
constexpr int kCursorY = 450;

TEST(ZelvoRenderRaster, EachMethodAndColourModeInksItsPixels)
{
    const struct {
        const char *what;
        std::string image;
        std::vector<std::string> pixels; // from the cursor, with white around
    } cases[] = {
        {"0 unencoded",
         esc + "*r1A" + row(bytes({0xA5})) + row(bytes({0x3C})),
         {"#.#..#.#.", "..####...", "........."}},
        {"1 run-length",
         esc + "*r1A" + esc + "*b1M" + row(bytes({1, 0xC3})),
         {"##....####....##.", "................."}},
        {"2 PackBits",
         esc + "*r1A" + esc + "*b2M" + row(bytes({0xFF, 0x0F, 0, 0x80})),
         {"....####....#####.........", ".........................."}},
        {"3 delta row",
         esc + "*r1A" + row(bytes({0xFF, 0xFF})) + esc + "*b3M" + row(bytes({0x21, 0x0F, 0xF0}))
             + esc + "*b0W",
         {"################........", "########....########....", "########....########....",
          "........................"}},
        {"5 adaptive",
         esc + "*r1A" + esc + "*b5M" + row(bytes({0, 0, 1, 0xF0, 5, 0, 1, 4, 0, 1, 0, 0, 1, 0x0F})),
         {"####....", "####....", "........", "....####", "........"}},
        {"9 replacement delta row",
         esc + "*r1A" + esc + "*b9M" + row(bytes({0x81, 0x99})),
         {"#..##..##..##..#", "................"}},
        // A PCL job prints colours in gray: the palette's black and white,
        // its colours a gray between.
        {"simple colour RGB",
         esc + "*r3U" + esc + "*r1A" + row(bytes({0x55}), 'V') + row(bytes({0x33}), 'V')
             + row(bytes({0x0F})),
         {"#------."}},
        {"direct by pixel",
         esc + "*v6W" + bytes({0, 3, 8, 8, 8, 8}) + esc + "*r4S" + esc + "*r1A"
             + row(bytes({0, 0, 0, 255, 255, 255, 0, 0, 255, 0, 0, 0})),
         {"#.-#."}},
        {"indexed by pixel, a palette entry set",
         esc + "*v6W" + bytes({0, 1, 8, 8, 8, 8}) + esc + "*v255a255b255c0I" + esc + "*r1A"
             + row(bytes({7, 8, 8, 7})),
         {".##.."}},
        // A second image over a first, back at the first's line: its white
        // pixels leave the black beneath, unless the source is opaque.
        {"source transparent",
         esc + "*r1A" + row(bytes({0xFF})) + esc + "*rB" + esc + "&a720V" + esc + "*r1A"
             + row(bytes({0x0F})),
         {"########", "........"}},
        {"source opaque",
         esc + "*r1A" + row(bytes({0xFF})) + esc + "*rB" + esc + "&a720V" + esc + "*v1N" + esc
             + "*r1A" + row(bytes({0x0F})),
         {"....####", "........"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Rendered rendered = render(kJobStart + c.image + esc + "*rB" + esc + "E");
        ASSERT_EQ(rendered.run.exit_status, 0) << rendered.run.err;
        ASSERT_TRUE(rendered.page);
        EXPECT_EQ(pixels_at(*rendered.page, kCursorX, kCursorY, c.pixels), c.pixels);
    }
}

TEST(ZelvoRenderRaster, ScaledToTheDestinationAtThePen)
{
    // HP RTL in a plot: from HP-GL/2 with ESC %1A at the pen (an inch up
    // and across from the plot's origin, which is on the frame's lower
    // left 10.5 inches down the page: 9.5 inches, one pixel up as the
    // printer puts the origin), two pixels scaled to 0.1 inch (30 page
    // pixels) by 0.05.
    const std::string job = esc + "E" + esc + "%0BIN;SP1;PU1016,1016;" + esc + "%1A" + esc
                            + "*t300R" + esc + "*r2S" + esc + "*r1T" + esc + "*t72h36V" + esc
                            + "*r3A" + row(bytes({0xC0})) + esc + "*rC" + esc + "%1BPU;" + esc
                            + "E";
    const Rendered rendered = render(job);
    ASSERT_EQ(rendered.run.exit_status, 0) << rendered.run.err;
    ASSERT_TRUE(rendered.page);
    const InkMask ink = ink_on_canvas(*rendered.page, rendered.page->width, rendered.page->height);
    const InkBox box = ink_box(ink);
    ASSERT_FALSE(box.empty);
    EXPECT_EQ(box.left, kCursorX);
    EXPECT_EQ(box.top, 2849);
    EXPECT_EQ(box.right - box.left + 1, 30);
    EXPECT_EQ(box.bottom - box.top + 1, 15);
}

TEST(ZelvoRenderRaster, PlainPlotSwitchingToRtlDrawsItsRaster)
{
    // A plot that is no PCL job: its raster at the pen, each black pixel
    // one of the page's at 300 dpi.
    const Rendered rendered =
        render("IN;SP1;PU2000,2000;" + esc + "%1A" + esc + "*t300R" + esc + "*r1A"
               + row(bytes({0xF0, 0x0F})) + row(bytes({0xFF})) + esc + "*rC" + esc + "%1B");
    ASSERT_EQ(rendered.run.exit_status, 0) << rendered.run.err;
    ASSERT_TRUE(rendered.page);
    const InkMask ink = ink_on_canvas(*rendered.page, rendered.page->width, rendered.page->height);
    int count = 0;
    for (const unsigned char i : ink.ink)
        count += i;
    EXPECT_EQ(count, 16);
    const InkBox box = ink_box(ink);
    EXPECT_EQ(box.right - box.left + 1, 16);
    EXPECT_EQ(box.bottom - box.top + 1, 2);
}

TEST(ZelvoRenderRaster, HostileSizesAreRefusedWithAMessage)
{
    const std::string sizes[] = {"*r1000000S", "*r2000000000T"};
    for (const std::string &size : sizes) {
        SCOPED_TRACE(size);
        const Rendered rendered = render(kJobStart + esc + size + esc + "*r1A" + row(bytes({0xFF}))
                                         + esc + "*rB" + esc + "E");
        EXPECT_EQ(rendered.run.exit_status, 0);
        EXPECT_NE(rendered.run.err.find("raster image"), std::string::npos) << rendered.run.err;
        EXPECT_LT(rendered.run.max_rss_kib, 200 * 1024);
    }
}

} // namespace

// SPDX-License-Identifier: MIT
// The ink comparison that judges a renderer against the PCL interpreter:
// masks, dilation, the score on hand-counted cases, PNG reading, and the
// ink_compare program's output and exit status.
#include "render/ink.h"
#include "support/run_program.h"

#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Points = std::vector<std::pair<int, int>>;

InkMask mask_of(int width, int height, const Points &ink)
{
    InkMask mask{width, height,
                 std::vector<unsigned char>(static_cast<std::size_t>(width) * height)};
    for (const auto &[x, y] : ink)
        mask.ink[static_cast<std::size_t>(y) * width + x] = 1;
    return mask;
}

Points column(int x, int from, int to)
{
    Points points;
    for (int y = from; y <= to; ++y)
        points.emplace_back(x, y);
    return points;
}

std::size_t count(const InkMask &mask)
{
    std::size_t n = 0;
    for (unsigned char ink : mask.ink)
        n += ink;
    return n;
}

TEST(Dilated, GrowsEachPixelToASquareClippedAtTheEdges)
{
    const struct {
        const char *name;
        Points ink;
        std::size_t expected;
    } rows[] = {
        {"middle", {{10, 10}}, 25},
        {"corner", {{0, 0}}, 9},
        {"edge", {{0, 10}}, 15},
        {"two overlapping", {{10, 10}, {11, 10}}, 30},
        {"none", {}, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(count(dilated(mask_of(20, 20, row.ink), 2)), row.expected);
    }
    const InkMask grown = dilated(mask_of(20, 20, {{10, 10}}), 2);
    EXPECT_TRUE(grown.at(12, 12));
    EXPECT_TRUE(grown.at(8, 8));
    EXPECT_FALSE(grown.at(13, 10));
    EXPECT_FALSE(grown.at(10, 7));
}

TEST(CompareInk, ScoresTheDilatedMasksIntersectionOverUnion)
{
    const Points line = column(20, 5, 44);
    const struct {
        const char *name;
        Points a, b;
        double score;
        std::size_t a_only, b_only;
    } rows[] = {
        {"identical", line, line, 1.0, 0, 0},
        {"blank pages", {}, {}, 1.0, 0, 0},
        // The line dilates to 5 x 44 pixels; moved by n, the two overlap in
        // 5 - n columns of the 5 + n that either covers.
        {"line moved one pixel", line, column(21, 5, 44), 4.0 / 6, 0, 0},
        {"line moved two pixels", line, column(22, 5, 44), 3.0 / 7, 0, 0},
        {"line moved three pixels", line, column(23, 5, 44), 2.0 / 8, 40, 40},
        {"disjoint", line, column(40, 5, 44), 0.0, 40, 40},
        {"one page blank", line, {}, 0.0, 40, 0},
        // By hand: A (2,2) and (20,20), B (3,2) and (40,40): four 5 x 5
        // squares, of which those at (2,2) and (3,2) share 4 x 5 pixels;
        // the union is 100 - 20.
        {"partly matched", {{2, 2}, {20, 20}}, {{3, 2}, {40, 40}}, 20.0 / 80, 1, 1},
        // Square dilations: (12,12) is two pixels from (10,10) on each axis,
        // so each pixel lies in the other's square, and the squares share
        // 3 x 3 of their 41 pixels; (13,10) lies outside and they share 2 x 5.
        {"diagonal", {{10, 10}}, {{12, 12}}, 9.0 / 41, 0, 0},
        {"three across", {{10, 10}}, {{13, 10}}, 10.0 / 40, 1, 1},
        // The line (220 pixels dilated) in both, and in B only, far from it, 10
        // pixels more (14 x 5 dilated).
        {"extra ink", line,
         [&] {
             Points b = line;
             for (int x = 30; x < 40; ++x)
                 b.emplace_back(x, 2);
             return b;
         }(),
         220.0 / 290, 0, 10},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const InkAgreement agreement =
            compare_ink(mask_of(50, 50, row.a), mask_of(50, 50, row.b), kDilation);
        EXPECT_DOUBLE_EQ(agreement.score, row.score);
        EXPECT_EQ(agreement.a_only, row.a_only);
        EXPECT_EQ(agreement.b_only, row.b_only);
    }
}

TEST(InkOnCanvas, TakesPixelsBelowTheThresholdAndPadsWhite)
{
    const GrayImage image{3, 1, {kInkThreshold - 1, kInkThreshold, 0}};
    const InkMask mask = ink_on_canvas(image, 4, 2);
    EXPECT_EQ(mask.width, 4);
    EXPECT_EQ(mask.height, 2);
    const std::vector<unsigned char> expected = {1, 0, 1, 0, 0, 0, 0, 0};
    EXPECT_EQ(mask.ink, expected);
}

TEST(InkBox, BoundsEveryInkPixel)
{
    EXPECT_TRUE(ink_box(mask_of(10, 10, {})).empty);
    const InkBox box = ink_box(mask_of(10, 10, {{7, 1}, {2, 8}, {4, 4}}));
    EXPECT_FALSE(box.empty);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 1);
    EXPECT_EQ(box.right, 7);
    EXPECT_EQ(box.bottom, 8);
}

// Writes `pixels` (gray, or RGB with `rgb`) as a PNG.
std::string write_png(const TempDir &dir, const std::string &name, int width, int height, bool rgb,
                      const std::vector<unsigned char> &pixels)
{
    const std::string path = (dir.path() / name).string();
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = rgb ? PNG_FORMAT_RGB : PNG_FORMAT_GRAY;
    EXPECT_NE(png_image_write_to_file(&png, path.c_str(), 0, pixels.data(), 0, nullptr), 0);
    return path;
}

TEST(ReadPngGray, ReadsGrayAndRgbAndRefusesOtherFiles)
{
    TempDir dir;
    std::string error;
    const auto gray = read_png_gray(write_png(dir, "gray.png", 2, 1, false, {0, 255}), error);
    ASSERT_TRUE(gray) << error;
    EXPECT_EQ(gray->pixels, (std::vector<unsigned char>{0, 255}));
    const auto rgb =
        read_png_gray(write_png(dir, "rgb.png", 2, 1, true, {0, 0, 0, 255, 255, 255}), error);
    ASSERT_TRUE(rgb) << error;
    EXPECT_EQ(rgb->width, 2);
    EXPECT_EQ(rgb->pixels, (std::vector<unsigned char>{0, 255}));
    EXPECT_FALSE(read_png_gray(dir.write("not.png", "P5 1 1 255\n\0").string(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(read_png_gray((dir.path() / "missing.png").string(), error));
}

TEST(InkCompareProgram, PrintsScoreSizesAndBox)
{
    TempDir dir;
    // A 4 x 3 page with one ink pixel at (1,1), and a 5 x 3 one with it at (3,1).
    const std::string a = write_png(dir, "a.png", 4, 3, false,
                                    {255, 255, 255, 255, 255, 0, 255, 255, 255, 255, 255, 255});
    const std::string b = write_png(dir, "b.png", 5, 3, true, std::vector<unsigned char>(45, 255));
    const std::string c =
        write_png(dir, "c.png", 5, 3, false,
                  {255, 255, 255, 255, 255, 255, 255, 255, 0, 255, 255, 255, 255, 255, 255});
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;
    } rows[] = {
        {{a, a}, 0, "1.000000 a=4x3 b=4x3 a_only=0 b_only=0\n"},
        // On the 5 x 3 canvas the pixels dilate to columns 0-3 and 1-4: 9 of 15.
        {{a, c}, 0, "0.600000 a=4x3 b=5x3 a_only=0 b_only=0\n"},
        {{a, b}, 0, "0.000000 a=4x3 b=5x3 a_only=1 b_only=0\n"},
        {{"--bbox", c}, 0, "size 5 3 ink 3 1 3 1\n"},
        {{"--bbox", b}, 0, "size 5 3 ink none\n"},
        {{a, (dir.path() / "missing.png").string()}, 2, ""},
        {{"--bbox", dir.write("text.png", "not a picture").string()}, 2, ""},
        {{a}, 2, ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.args.back());
        RunOptions options;
        options.args = row.args;
        const RunResult result = run_program(INK_COMPARE, options);
        EXPECT_EQ(result.exit_status, row.status) << result.err;
        EXPECT_EQ(result.out, row.out);
        EXPECT_EQ(result.err.empty(), row.status == 0);
    }
}

} // namespace

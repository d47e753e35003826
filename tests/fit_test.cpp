// SPDX-License-Identifier: MIT
// How -fit grows the frame a drawing was measured in.
#include "fit.h"

#include <gtest/gtest.h>

namespace {

TEST(GrownFrame, GrowsWhereTheFrameCanShowMore)
{
    // Boxes on a 1000 x 800 frame: left, bottom, right, top.
    const struct {
        const char *what;
        DrawingBox box;
        bool turned;
        bool can_grow;
        double length, width; // the grown frame
    } rows[] = {
        {"inside", {10, 10, 990, 790, 1000, 800}, false, false, 1000, 800},
        {"inside to a plotter unit", {-0.5, 0, 1000.5, 800.5, 1000, 800}, true, false, 1001, 800.5},
        {"past the far sides", {10, 10, 1500, 900, 1000, 800}, false, true, 1500, 900},
        {"past the far sides, turned", {10, 10, 1500, 900, 1000, 800}, true, true, 1500, 900},
        // Unturned, nothing left of or below the origin ever prints.
        {"before the origin", {-300, -200, 500, 500, 1000, 800}, false, false, 1000, 800},
        {"before the origin, turned", {-300, -200, 500, 500, 1000, 800}, true, true, 1300, 1000},
        {"both, unturned", {-300, -200, 1100, 500, 1000, 800}, false, true, 1100, 800},
        {"both, turned", {-300, -200, 1100, 900, 1000, 800}, true, true, 1400, 1100},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(frame_can_grow(row.box, row.turned), row.can_grow);
        const DrawingBox grown = grown_frame(row.box, row.turned);
        EXPECT_DOUBLE_EQ(grown.frame_length, row.length);
        EXPECT_DOUBLE_EQ(grown.frame_width, row.width);
        // The drawing itself stays where it was measured.
        EXPECT_DOUBLE_EQ(grown.left, row.box.left);
        EXPECT_DOUBLE_EQ(grown.top, row.box.top);
    }
}

} // namespace

namespace {

// Numbers that PCL takes for every command; each row changes one.
constexpr FitNumbers kTaken{7918, 5593, 109, 180, 0, 0, 33110, 23386};

TEST(PclRanges, EveryNumberWithinItsCommandsRange)
{
    const struct {
        const char *what;
        long long FitNumbers::*number;
        long long value;
        bool taken;
    } rows[] = {
        {"frame 0, the printer's default", &FitNumbers::frame_x, 0, false},
        {"largest frame", &FitNumbers::frame_y, 32767, true},
        {"frame too large", &FitNumbers::frame_x, 32768, false},
        {"cursor before the page", &FitNumbers::cursor_y, -1, false},
        {"smallest offset", &FitNumbers::left_offset, -32767, true},
        {"offset too far", &FitNumbers::top_offset, 32768, false},
        {"plot size 0, the frame's", &FitNumbers::plot_x, 0, false},
        {"largest plot size", &FitNumbers::plot_y, 32767000, true},
        {"plot size too large", &FitNumbers::plot_x, 32767001, false},
    };
    EXPECT_TRUE(within_pcl_ranges(kTaken));
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        FitNumbers numbers = kTaken;
        numbers.*row.number = row.value;
        EXPECT_EQ(within_pcl_ranges(numbers), row.taken);
    }
}

} // namespace

// SPDX-License-Identifier: MIT
// -fit's measure of a plot file: the drawing as the job prints it, in plotter
// units on the frame it was measured in.
#include "bar_font.h"
#include "job_measure.h"
#include "printed_extent.h"
#include "render.h"
#include "string_source.h"
#include "stroke_font.h"
#include "support/near_point.h"
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::optional<DrawingBox> measure_file(const TempDir &dir, const std::string &plot,
                                       const char *prelude, const char *hold, double length = 0,
                                       double width = 0, off_t from = 0)
{
    const int fd = open(dir.write("plot.plt", plot).c_str(), O_RDONLY);
    EXPECT_GE(fd, 0);
    lseek(fd, from, SEEK_SET);
    const std::optional<DrawingBox> box = measure_job_drawing(fd, prelude, hold, length, width);
    // The job copies the file from where it stood.
    EXPECT_EQ(lseek(fd, 0, SEEK_CUR), from);
    close(fd);
    return box;
}

TEST(MeasureJobDrawing, BoxOnTheFrame)
{
    constexpr double k = kPlainPlotLength;
    constexpr double l = kPlainPlotWidth;
    const struct {
        std::string plot;
        const char *hold;     // the prelude is "IN;" with it
        double length, width; // the frame asked for, 0 for the plain one
        off_t from;
        DrawingBox box;
    } rows[] = {
        {"IN;PA100,200;PD300,400;", "", 0, 0, 0, {100, 200, 300, 400, k, l}},
        // Scaled to P1 and P2, which span the frame.
        {"IN;SC0,100,0,100;PA0,0;PD50,50;", "", 0, 0, 0, {0, 0, k / 2, l / 2, k, l}},
        {"IN;SC0,100,0,100;PA0,0;PD50,50;", "", 20000, 10000, 0, {0, 0, 10000, 5000, 20000, 10000}},
        // The hold text after the plot's IN turns it: its origin in the
        // frame's lower right corner, X up.
        {"IN;PA0,0;PD1016,508;", "RO90;IP;", 0, 0, 0, {k - 508, 0, k, 1016, k, l}},
        {"IN;PA0,0;PD1016,508;",
         "RO90;IP;",
         20000,
         10000,
         0,
         {19492, 0, 20000, 1016, 20000, 10000}},
        {"IN;PA0,0;PD1016,508;", "RO180;IP;", 0, 0, 0, {k - 1016, l - 508, k, l, k, l}},
        // Read from where the file stands: the first move is not seen.
        {"PA5000,5000;PD6000,6000;", "", 0, 0, 12, {0, 0, 6000, 6000, k, l}},
        // Only what lies within the plot's window prints: a diagonal enters
        // it through its bottom edge and leaves through its right one; a
        // fill around the window inks all of it; IW; lifts the window.
        {"IN;IW1000,1000,5000,4000;PA0,0;PD8000,6000;",
         "",
         0,
         0,
         0,
         {1333, 1000, 5000, 3750, k, l}},
        {"IN;IW1000,1000,5000,4000;PA0,0;PD8000,0,8000,6000,0,6000,0,0;PU2000,2000;PD3000,2000;",
         "",
         0,
         0,
         0,
         {2000, 2000, 3000, 2000, k, l}},
        {"IN;IW1000,1000,5000,4000;PA0,0;RA8000,6000;",
         "",
         0,
         0,
         0,
         {1000, 1000, 5000, 4000, k, l}},
        {"IN;IW1000,1000,5000,4000;PA0,0;PD100,100;IW;PD200,300;",
         "",
         0,
         0,
         0,
         {100, 100, 200, 300, k, l}},
        {"IN;IW1000,1000,5000,4000;PA0,0;PD100,100;IN;PD200,300;",
         "",
         0,
         0,
         0,
         {0, 0, 200, 300, k, l}},
        // Scaled: the window is in user units, and turned with the plot.
        {"IN;SC0,100,0,100;IW0,0,50,50;PA0,0;PD100,100;", "", 0, 0, 0, {0, 0, k / 2, l / 2, k, l}},
        {"IN;IW0,0,1016,508;PA0,0;PD8000,8000;", "RO90;IP;", 0, 0, 0, {k - 508, 0, k, 508, k, l}},
    };
    TempDir dir;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.plot + " " + row.hold);
        const std::string prelude = std::string("IN;") + row.hold;
        const std::optional<DrawingBox> box =
            measure_file(dir, row.plot, prelude.c_str(), row.hold, row.length, row.width, row.from);
        ASSERT_TRUE(box);
        EXPECT_NEAR(box->left, row.box.left, 1);
        EXPECT_NEAR(box->bottom, row.box.bottom, 1);
        EXPECT_NEAR(box->right, row.box.right, 1);
        EXPECT_NEAR(box->top, row.box.top, 1);
        EXPECT_NEAR(box->frame_length, row.box.frame_length, 1);
        EXPECT_NEAR(box->frame_width, row.box.frame_width, 1);
    }
}

TEST(MeasureJobDrawing, NothingToFit)
{
    TempDir dir;
    EXPECT_FALSE(measure_file(dir, "IN;PU100,100;", "IN;", ""));
    // A dot prints, but has no size to fit.
    EXPECT_FALSE(measure_file(dir, "IN;PU100,100;PD;PU;PD100,100;", "IN;", ""));
    EXPECT_FALSE(measure_file(dir, "", "IN;", ""));
    // A pipe cannot be read again.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], "PD100,100;", 10), 10);
    close(fds[1]);
    EXPECT_FALSE(measure_job_drawing(fds[0], "IN;", "", 0, 0));
    close(fds[0]);
}

TEST(MeasurePrintedExtent, OutlineFontLabelsByTheirGlyphsBoxes)
{
    // 72 point Univers, an em of 1016: "Hg" takes advances of 39/54 and
    // 31/54 em, from 0.21 em below the baseline (g's tail) to 0.75 em
    // above; "HH" stands on its baseline.
    const StrokeFont bars = bar_font();
    StringSource plot("IN;SD1,277,2,1,4,72,7,4148;SS;PA1000,1000;LBHg\3;");
    const PrintedExtent extent = measure_printed_extent(plot, &bars, 10000, 5000);
    ASSERT_TRUE(extent.drawn);
    EXPECT_TRUE(near_point(extent.low, {1000, 1000 - 0.21 * 1016}, 0.01));
    EXPECT_TRUE(near_point(extent.high, {1000 + 70.0 / 54 * 1016, 1000 + 0.75 * 1016}, 0.01));
    StringSource standing("IN;SD1,277,2,1,4,72,7,4148;SS;PA1000,1000;LBHH\3;");
    EXPECT_NEAR(measure_printed_extent(standing, &bars, 10000, 5000).low.y, 1000, 0.01);
}

} // namespace

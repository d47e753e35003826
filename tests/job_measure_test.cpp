// SPDX-License-Identifier: MIT
// -fit's measure of a plot file: the drawing as the job prints it, in plotter
// units on the frame it was measured in.
#include "bar_font.h"
#include "held_points.h"
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

TEST(MovedPoints, MoveTheDrawingWhereItsOwnFrameHasIt)
{
    // Drawings that letter's fit cannot place in the frame they were
    // measured in, moved by the hold text into frames of their own, turned
    // every way: in plotter units, and scaled to P1 and P2 every way SC
    // scales. Measured again, each is where its frame wants it, and fits
    // there.
    const std::string plots[] = {
        "IN;PA30000,20000;PD34000,20000,34000,22000;",
        "IN;PA-500,-50;PD20,30;",
        "IN;PA200,300;PD240,300,240,325;",
        "IN;SC0,1000,0,1000;PA900,910;PD950,910,950,990;",
        "IN;SC0,1000,0,500,1;PA900,410;PD950,410,950,490;",
        "IN;SC0,3,0,3,2;PA9000,9100;PD9500,9100,9500,9900;",
    };
    const Paper &letter = *find_paper("letter");
    TempDir dir;
    for (const int rotation : {0, 90, 180, 270}) {
        const std::string turn = rotation == 0 ? "" : "RO" + std::to_string(rotation) + ";";
        char points[kPointsText];
        turned_frame_points(rotation, points);
        const std::string measured_hold = turn + points;
        for (const std::string &plot : plots) {
            SCOPED_TRACE(std::to_string(rotation) + " " + plot);
            const FrameSize frame = measure_frame(rotation);
            const std::optional<DrawingBox> box =
                measure_file(dir, plot, ("IN;" + measured_hold).c_str(), measured_hold.c_str(),
                             frame.length, frame.width);
            ASSERT_TRUE(box);
            ASSERT_FALSE(within_pcl_ranges(fit_numbers(letter, *box)));
            for (const bool keep_origin : {false, true}) {
                SCOPED_TRACE(keep_origin ? "origin kept" : "moved");
                const DrawingBox own = drawing_in_own_frame(letter, *box, rotation, keep_origin);
                ASSERT_TRUE(moved_points(rotation, *box, own, points));
                // Where the plot's coordinates stay, the job's SC is not needed.
                if (keep_origin) {
                    EXPECT_EQ(std::string(points).find("SC"), std::string::npos);
                }
                const std::string hold = turn + points;
                const std::optional<DrawingBox> there =
                    measure_file(dir, plot, ("IN;" + hold).c_str(), hold.c_str(), own.frame_length,
                                 own.frame_width);
                ASSERT_TRUE(there);
                EXPECT_TRUE(same_drawing(*there, own))
                    << there->left << "," << there->bottom << " " << there->right << ","
                    << there->top << " wanted " << own.left << "," << own.bottom << " " << own.right
                    << "," << own.top;
                // Far from the origin, only a frame of its own away from it
                // places the drawing.
                if (!keep_origin) {
                    EXPECT_TRUE(within_pcl_ranges(fit_numbers(letter, *there)));
                }
                // The new frame lies within the old one, to the thousandth
                // of an inch it is made up to: it clips the drawing where
                // that did.
                const double start_x = box->left - own.left;
                const double start_y = box->bottom - own.bottom;
                EXPECT_GE(start_x, -1.016);
                EXPECT_GE(start_y, -1.016);
                EXPECT_LE(start_x + own.frame_length, box->frame_length + 1.016);
                EXPECT_LE(start_y + own.frame_width, box->frame_width + 1.016);
            }
        }
    }
}

TEST(MovedPoints, NotWhereThePrinterCannotFollow)
{
    char points[kPointsText];
    const auto box = [](double left, double bottom, double size) {
        return DrawingBox{left, bottom, left + size, bottom + size, left + size, bottom + size};
    };
    const auto moved = [](double size) { return DrawingBox{0, 0, size, size, size, size}; };
    // Single precision places a drawing 4096 times its size away to 1/4096
    // of it; ten plotter units at (1e7, 7e6) are a million times away.
    EXPECT_TRUE(moved_points(0, box(40960, 0, 10), moved(10), points));
    // P1 and P2 of the frame it was measured in, 40970 by 10, moved with it.
    EXPECT_STREQ(points, "IP-40960,0,10,10;\nSC0,40970,0,10;\n");
    EXPECT_FALSE(moved_points(0, box(40970, 0, 10), moved(10), points));
    EXPECT_FALSE(moved_points(0, box(1e7, 7e6, 10), moved(10), points));
    // HP-GL/2's integers end at 2^30.
    EXPECT_FALSE(moved_points(0, box(2e9, 0, 1e6), moved(1e6), points));
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

// SPDX-License-Identifier: MIT
// The pixel grid of a raster page as the PCL interpreter lines plots up
// with it, against what its pages show at 100 dpi.
#include "pixel_grid.h"
#include "support/near_point.h"

#include <gtest/gtest.h>

#include <cmath>

#include <optional>
#include <vector>

namespace {

void expect_points(const std::vector<Point> &got, const std::vector<Point> &want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(got[i].x, want[i].x);
        EXPECT_DOUBLE_EQ(got[i].y, want[i].y);
    }
}

TEST(AdjustedStrokePixels, RoundsToWholePixelsAndKeepsOne)
{
    // Pens of 0.1 to 1.5 mm at 100 dpi, and the pixels the interpreter
    // inks across them.
    struct Case {
        double width;
        int pixels;
    };
    const std::vector<Case> cases = {
        {0.39, 1}, {0.98, 1}, {1.38, 1}, {1.57, 2}, {1.97, 2}, {2.36, 2},
        {2.76, 3}, {3.15, 3}, {3.94, 4}, {5.91, 6}, {0, 1},    {1e300, 1000000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(adjusted_stroke_pixels(c.width), c.pixels);
    }
}

TEST(AdjustedStrokePoints, LevelAndUprightSegmentsLieOnTheGrid)
{
    struct Case {
        const char *name;
        std::vector<Point> points;
        bool closed;
        int pixels;
        std::vector<Point> want;
        bool hairline = false;
    };
    const std::vector<Case> cases = {
        // An odd width centres on the pixel the line falls in, an even one
        // on the nearest pixel edge; the ends along the line stay.
        {"level, odd", {{10.3, 587.9}, {90.7, 587.9}}, false, 1, {{10.3, 587.5}, {90.7, 587.5}}},
        {"level, even", {{10.3, 587.9}, {90.7, 587.9}}, false, 2, {{10.3, 588}, {90.7, 588}}},
        {"upright, odd", {{454.5, 3.2}, {454.5, 80}}, false, 3, {{454.5, 3.2}, {454.5, 80}}},
        {"upright, even", {{356.1, 3.2}, {356.1, 80}}, false, 4, {{356, 3.2}, {356, 80}}},
        // A corner moves across both of its segments.
        {"corner",
         {{1.2, 1.2}, {9.7, 1.2}, {9.7, 7.6}},
         false,
         1,
         {{1.2, 1.5}, {9.5, 1.5}, {9.5, 7.6}}},
        // A closed path's last segment joins its first point.
        {"closed box",
         {{1.2, 1.2}, {9.7, 1.2}, {9.7, 7.6}, {1.2, 7.6}},
         true,
         1,
         {{1.5, 1.5}, {9.5, 1.5}, {9.5, 7.5}, {1.5, 7.5}}},
        // The pieces of a curve and slanted lines are left alone.
        {"slanted", {{1.2, 1.2}, {9.7, 3.3}}, false, 1, {{1.2, 1.2}, {9.7, 3.3}}},
        {"slanted then level",
         {{1.2, 1.2}, {9.7, 3.3}, {20.2, 3.3}},
         false,
         2,
         {{1.2, 1.2}, {9.7, 3}, {20.2, 3}}},
        {"dot", {{4.2, 4.7}}, false, 1, {{4.5, 4.5}}},
        // On a pixel edge, a stroke a pixel wide inks the pixel after it, a
        // hairline the pixel before (the interpreter puts lines of 0.35 mm
        // and of 0.01 mm at plotter Y 0 of a landscape page on pixels 799
        // and 798).
        {"on an edge", {{1.2, 799}, {9.7, 799}}, false, 1, {{1.2, 799.5}, {9.7, 799.5}}},
        {"hairline on an edge",
         {{1.2, 799}, {9.7, 799}},
         false,
         1,
         {{1.2, 798.5}, {9.7, 798.5}},
         true},
        // A rounding error off the edge is still on it, to either side.
        {"a hair past an edge", {{1.2, 799 + 1e-10}}, false, 1, {{1.5, 799.5}}},
        {"a hair short of an edge", {{1.2, 799 - 1e-10}}, false, 1, {{1.5, 799.5}}},
        {"hairline a hair past an edge",
         {{1.2, 576 + 1e-10}, {9.7, 576 + 1e-10}},
         false,
         1,
         {{1.2, 575.5}, {9.7, 575.5}},
         true},
        {"hairline a hair short of an edge",
         {{1.2, 576 - 1e-10}, {9.7, 576 - 1e-10}},
         false,
         1,
         {{1.2, 575.5}, {9.7, 575.5}},
         true},
        {"hairline inside a pixel",
         {{1.2, 749.8}, {9.7, 749.8}},
         false,
         1,
         {{1.2, 749.5}, {9.7, 749.5}},
         true},
        {"nothing", {}, false, 1, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        expect_points(adjusted_stroke_points(c.points, c.closed, c.pixels, c.hairline), c.want);
    }
}

TEST(LogicalPageShift, ToTheNearestPixelCorner)
{
    // Pixels of 0.254 mm (100 dpi); the logical page's corner in millimetres.
    struct Case {
        const char *name;
        Point corner;
        Point want; // the shift, in pixels
    };
    const double p = 0.254;
    const std::vector<Case> cases = {
        {"on a corner", {25 * p, 0}, {0, 0}},
        {"a third of a pixel in", {23.667 * p, 1149.333 * p}, {0.333, -0.333}},
        {"past the middle", {0.556 * p, 1149.611 * p}, {0.444, 0.389}},
        {"before the sheet", {-72.361 * p, -3.6 * p}, {0.361, -0.4}},
        // Halfway goes on, a hair short of it too (an offset of 1614
        // decipoints puts a corner there).
        {"halfway", {243.5 * p - 1e-12, 10.5 * p}, {0.5, 0.5}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Point shift = logical_page_shift(c.corner, p);
        EXPECT_TRUE(near_point(Point{shift.x / p, shift.y / p}, c.want, 1e-9));
    }
}

TEST(CachedGlyphShift, ToTheNearestPixelCornerOnEachAxis)
{
    const double p = 0.254; // 100 dpi
    struct Case {
        const char *name;
        Point origin; // pixels
        Point want;   // the shift, in pixels
    };
    const Case cases[] = {
        {"on a corner", {12, 40}, {0, 0}},
        {"a little past", {12.3, 40.1}, {-0.3, -0.1}},
        {"short of the next", {12.7, 39.6}, {0.3, 0.4}},
        {"halfway goes on", {12.5, -3.5}, {0.5, 0.5}},
        {"before the sheet", {-2.2, -0.8}, {0.2, -0.2}},
        // Held to a 256th of a pixel first: a hair short of halfway is
        // halfway, and goes on.
        {"a hair short of halfway", {182.4988, 7.4975}, {0.5012, -0.4975}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Point shift = cached_glyph_shift({c.origin.x * p, c.origin.y * p}, p);
        EXPECT_TRUE(near_point(Point{shift.x / p, shift.y / p}, c.want, 1e-9));
    }
}

TEST(FixedPointLength, EndsHeldToA256thOfAPixel)
{
    // Pixels of 0.254 mm; the ends in pixels, the length wanted in pixels.
    struct Case {
        const char *name;
        Point a;
        Point b;
        double want;
    };
    const double p = 0.254;
    const double step = 1.0 / 256;
    const std::vector<Case> cases = {
        {"on the grid", {2, 3}, {12, 3}, 10},
        {"ends to the nearest step", {0.4 * step, 0}, {10 + 0.6 * step, 0}, 10 + step},
        {"ends rounded back", {0.6 * step, 0}, {10 + 0.4 * step, 0}, 10 - step},
        {"both axes", {0, 0.3 * step}, {3 + 0.2 * step, 4 + 0.7 * step}, std::hypot(3, 4 + step)},
        {"before the origin", {-0.6 * step, 0}, {-10.4 * step, 0}, 9 * step},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Point a{c.a.x * p, c.a.y * p};
        const Point b{c.b.x * p, c.b.y * p};
        EXPECT_NEAR(fixed_point_length(a, b, p) / p, c.want, 1e-9);
    }
}

TEST(FixedPointAdvance, EachAxisCutTowardZeroToA256thOfAPixel)
{
    const double p = 0.254;
    const double step = 1.0 / 256;
    struct Case {
        const char *name;
        Point advance; // pixels
        Point want;
    };
    const Case cases[] = {
        {"whole steps stay", {10 + 3 * step, 0}, {10 + 3 * step, 0}},
        // The default font's advance at 100 dpi, a 2048th past 100/9.
        {"a step nearly taken is not", {11.116536, 0}, {2845 * step, 0}},
        {"up the page and left", {-0.99 * step, -66.698812}, {0, -17074 * step}},
        {"both axes", {7.3 * step, 5.9 * step}, {7 * step, 5 * step}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Point moved = fixed_point_advance({c.advance.x * p, c.advance.y * p}, p);
        EXPECT_TRUE(near_point(Point{moved.x / p, moved.y / p}, c.want, 1e-9));
    }
}

TEST(DrawnAsHairline, APixelWideOrThinner)
{
    // Pens at 100 dpi: 0.1, 0.2, 0.254 (a pixel, as computed) and 0.26 mm.
    struct Case {
        double width;
        bool hairline;
    };
    const std::vector<Case> cases = {
        {0.39, true}, {0.79, true}, {1, true}, {1 + 1e-12, true}, {1.02, false}, {1.38, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(drawn_as_hairline(c.width), c.hairline);
    }
}

TEST(ClipOnPixels, GrowsByAPixelAndTakesEveryPixelTouched)
{
    // Boxes in pixels of 0.254 mm, given and expected in pixels.
    struct Case {
        const char *name;
        PageBox frame;
        std::optional<PageBox> window;
        PageBox want;
    };
    const std::vector<Case> cases = {
        // The interpreter fills a portrait A4 frame from 65.67 to 765.67
        // pixels across and 25.42 to 425.42 down over pixels 64 to 766 and
        // rows 24 to 426; anchored 0.42 pixel higher, on a row's edge, over
        // rows 23 to 425.
        {"frame", {{65.67, 25.42}, {765.67, 425.42}}, {}, {{64, 24}, {767, 427}}},
        {"frame on a pixel edge", {{65.67, 25}, {765.67, 425}}, {}, {{64, 23}, {767, 426}}},
        // IW's window within the frame: both grow, the window clips (a
        // landscape A4 page, IW1000,1000,3000,2000, inked 578 to 678 across
        // and rows 852 to 1051).
        {"window",
         {{0, 0}, {800, 1100}},
         PageBox{{579.1, 853.7}, {677.6, 1050.6}},
         {{578, 852}, {679, 1052}}},
        // A window reaching beyond the frame: the frame clips.
        {"window beyond",
         {{100, 100}, {200, 200}},
         PageBox{{50.5, 150.5}, {150.5, 250.5}},
         {{98, 149}, {152, 201}}},
        {"no overlap",
         {{100, 100}, {200, 200}},
         PageBox{{300, 300}, {400, 400}},
         {{298, 298}, {298, 298}}},
    };
    const double p = 0.254;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto mm = [p](PageBox box) {
            return PageBox{{box.low.x * p, box.low.y * p}, {box.high.x * p, box.high.y * p}};
        };
        const std::optional<PageBox> window =
            c.window ? std::optional<PageBox>(mm(*c.window)) : std::nullopt;
        const PageBox got = clip_on_pixels(mm(c.frame), window, p);
        EXPECT_TRUE(near_point(Point{got.low.x / p, got.low.y / p}, c.want.low, 1e-9));
        EXPECT_TRUE(near_point(Point{got.high.x / p, got.high.y / p}, c.want.high, 1e-9));
    }
}

TEST(PrinterPlotOrigin, LandsWhereTheSingleFloatStepsLeaveIt)
{
    // Pages of 100 dpi. A landscape logical page runs down the sheet's x
    // and across up its y; a portrait one as the sheet does.
    const Point landscape_corner = {0, 1149};
    const Point up_the_sheet = {0, -1};
    const Point along_x = {1, 0};
    const Point along_y = {0, 1};
    struct Case {
        const char *name;
        OriginSteps steps;
        Point want; // the pixel corner the origin goes to
    };
    const std::vector<Case> cases = {
        // Half an inch and 7.5 inches are 800 pixels exactly, but a
        // centipoint in a float is a hair short: the origin lands just
        // above the edge and takes the pixel above it.
        {"letter landscape, default frame",
         {landscape_corner, up_the_sheet, along_x, {0, 3600}, 72000, 54000, 0},
         {799, 1149}},
        // 2640 and 54240 centipoints: 790 pixels, and the float sum comes
        // out on the edge itself.
        {"a fitted frame whose sum rounds onto the edge",
         {landscape_corner, up_the_sheet, along_x, {380, 2640}, 58032, 54240, 0},
         {790, 1143}},
        {"portrait, off any edge",
         {{17, 0}, along_x, along_y, {0, 3600}, 57240, 72000, 0},
         {17, 1049}},
        // RO 90 steps across a frame 6 inches wide to its far end, up a
        // landscape letter sheet from 1080: a hair short of 600 pixels,
        // which the float sum rounds onto the edge at 480.
        {"turned by RO",
         {{0, 1080}, up_the_sheet, along_x, {0, 3600}, 43200, 54000, 90},
         {799, 480}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Point origin = printer_plot_origin(c.steps, 100);
        Affine to_page = scaling(0.0984, -0.0984);
        const Affine moved = with_plot_origin_on_pixel(to_page, origin);
        EXPECT_DOUBLE_EQ(moved.dx, c.want.x);
        EXPECT_DOUBLE_EQ(moved.dy, c.want.y);
        EXPECT_DOUBLE_EQ(moved.xx, to_page.xx);
        EXPECT_DOUBLE_EQ(moved.yy, to_page.yy);
    }
}

TEST(UserOriginOnPixel, MovesTheUserOriginToTheCornerNearestItsPlace)
{
    // Plotter units to pixels of a landscape page: x runs up the sheet.
    Affine plotter_to_page;
    plotter_to_page.xx = 0;
    plotter_to_page.yx = -0.1;
    plotter_to_page.xy = -0.1;
    plotter_to_page.yy = 0;
    plotter_to_page.dx = 799;
    plotter_to_page.dy = 1080;
    struct Case {
        const char *name;
        Point user_origin; // in plotter units
        Point exact;       // where the user origin is taken to lie
        Point want;        // the user origin on the page
    };
    const std::vector<Case> cases = {
        {"on a corner", {0, 0}, {799, 1080}, {799, 1080}},
        {"rounded down", {12, 33}, {795.7, 1078.8}, {796, 1079}},
        {"rounded up", {17, 37}, {795.3, 1078.3}, {795, 1078}},
        // Taken from before the plot's origin moved a pixel up the page.
        {"from elsewhere", {0, 0}, {800 - 1e-9, 1080}, {800, 1080}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Affine user_to_plotter =
            compose(translation(c.user_origin.x, c.user_origin.y), scaling(40, 40));
        const Affine moved = with_user_origin_on_pixel(user_to_plotter, plotter_to_page, c.exact);
        const Point origin = plotter_to_page.apply(moved.apply({0, 0}));
        EXPECT_TRUE(near_point(origin, c.want, 1e-9));
        // The scale is the user's own.
        EXPECT_DOUBLE_EQ(moved.xx, 40);
        EXPECT_DOUBLE_EQ(moved.yy, 40);
    }
}

} // namespace

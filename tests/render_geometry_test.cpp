// SPDX-License-Identifier: MIT
// The renderer's geometry against coordinates worked out by hand, through a
// sink that records what it is given. A plain plot is laid out here with
// its plotter units as the sheet's units (y up) and P2 at (10000, 5000),
// so that the numbers are the plot's own.
#include "bar_font.h"
#include "interpreter.h"
#include "pcl_page.h"
#include "pcl_text.h"
#include "render.h"
#include "string_source.h"
#include "support/near_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct Stroke {
    std::vector<Point> points;
    bool closed = false;
    Pen pen;
};

struct Filled {
    Path path;
    Fill fill;
};

struct RecordedImage {
    std::size_t width = 0;
    std::size_t rows = 0;
    std::vector<std::uint8_t> rgb;
    Point origin;
    Point across;
    Point down;
    bool white_transparent = true;
};

struct Page {
    double width = 0;
    double height = 0;
    std::vector<Stroke> strokes;
    std::vector<Filled> fills;
    std::vector<TextRun> texts;
    std::vector<GlyphMark> glyphs;
    std::vector<RecordedImage> images;
    Point clip_low{-1, -1};
    Point clip_high{-1, -1};
};

class RecordingSink : public PageSink {
public:
    void begin_page(double width, double height) override
    {
        Page page;
        page.width = width;
        page.height = height;
        pages.push_back(page);
    }
    void stroke(const Path &path, const Pen &pen) override
    {
        for (const SubPath &sub : path)
            pages.back().strokes.push_back({sub.points, sub.closed, pen});
    }
    void fill(const Path &path, const Fill &fill) override
    {
        pages.back().fills.push_back({path, fill});
    }
    void clip(Point low, Point high) override
    {
        pages.back().clip_low = low;
        pages.back().clip_high = high;
    }
    void text(const TextRun &run) override { pages.back().texts.push_back(run); }
    void glyph(const GlyphMark &mark) override { pages.back().glyphs.push_back(mark); }
    void image(const ImageBand &band) override
    {
        pages.back().images.push_back({band.width,
                                       band.rows,
                                       {band.rgb.begin(), band.rgb.end()},
                                       band.origin,
                                       band.across,
                                       band.down,
                                       band.white_transparent});
    }
    void end_page() override { ++ended; }

    std::vector<Page> pages;
    int ended = 0;
};

void feed(PlotInterpreter &interpreter, const std::string &plot)
{
    PlotScanner scanner;
    scan_plot_events(scanner, plot.data(), plot.size(), interpreter);
    finish_plot_events(scanner, interpreter);
    interpreter.finish();
}

// Millimetres on the sheet from inches, for the PCL placements.
constexpr double kInch = 25.4;

InterpreterOptions plain_options()
{
    InterpreterOptions options;
    options.layout.sheet_width = 10000;
    options.layout.sheet_height = 5000;
    options.layout.plot_length = 10000;
    options.layout.plot_width = 5000;
    return options;
}

RecordingSink draw(const std::string &plot, InterpreterOptions options = plain_options())
{
    RecordingSink sink;
    PlotInterpreter interpreter(sink, options);
    feed(interpreter, plot);
    return sink;
}

std::vector<Point> all_stroked(const RecordingSink &sink)
{
    std::vector<Point> points;
    for (const Page &page : sink.pages)
        for (const Stroke &stroke : page.strokes)
            points.insert(points.end(), stroke.points.begin(), stroke.points.end());
    return points;
}

void expect_points(const std::vector<Point> &got, const std::vector<Point> &expected,
                   double tolerance = 1e-6)
{
    EXPECT_TRUE(near_points(got, expected, tolerance));
}

struct PointCase {
    const char *plot;
    std::vector<Point> expected;
};

void run_cases(const std::vector<PointCase> &cases, double tolerance = 1e-6)
{
    for (const PointCase &c : cases) {
        SCOPED_TRACE(c.plot);
        expect_points(all_stroked(draw(c.plot)), c.expected, tolerance);
    }
}

TEST(RenderScaling, UserUnitsMapOntoP1AndP2)
{
    run_cases({
        {"SC0,100,0,100;PU0,0;PD100,100;", {{0, 0}, {10000, 5000}}},
        // Reversed axes run the other way.
        {"SC100,0,0,100;PU0,0;PD100,100;", {{10000, 0}, {0, 5000}}},
        // Isotropic: the smaller scale on both axes, the rest shared out by
        // the left and bottom percentages.
        {"SC0,100,0,100,1;PU0,0;PD100,100;", {{2500, 0}, {7500, 5000}}},
        {"SC0,100,0,100,1,0,0;PU0,0;PD100,100;", {{0, 0}, {5000, 5000}}},
        {"SC0,100,0,100,1,100,0;PU0,0;PD100,100;", {{5000, 0}, {10000, 5000}}},
        // Point factor: (xmin, ymin) at P1, then plotter units per unit.
        {"SC10,2,20,3,2;PU10,20;PD20,30;", {{0, 0}, {20, 30}}},
        // SC; goes back to plotter units.
        {"SC0,1,0,1;SC;PU0,0;PD100,100;", {{0, 0}, {100, 100}}},
    });
}

TEST(RenderScaling, PointFactorsCountPlotterUnitsOnThePaperOfAPclJob)
{
    // A frame of 5 inches square for a plot size of 2.5: the plot drawn
    // twice its size. Point-factor units are plotter units on the paper, as
    // the printer draws them (4000 of them are 100 mm); the other scalings
    // follow P1 and P2, which the frame scales.
    const struct {
        const char *hpgl;
        double millimetres;
    } rows[] = {
        {"SC0,40,0,40,2;PU0,0;PD100,0;", 100},
        {"SC0,1,0,1;PU0,0;PD0.5,0;", 63.5},
        {"PU0,0;PD4000,0;", 200},
    };
    InterpreterOptions pcl;
    pcl.pcl_job = true;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.hpgl);
        const RecordingSink sink = draw(std::string("\x1b"
                                                    "E\x1b*c3600x3600Y\x1b*c2.5k2.5L\x1b%1BIN;")
                                            + row.hpgl,
                                        pcl);
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes.size(), 1u);
        const std::vector<Point> &line = sink.pages[0].strokes[0].points;
        EXPECT_NEAR(std::hypot(line[1].x - line[0].x, line[1].y - line[0].y), row.millimetres,
                    1e-6);
    }
}

TEST(RenderScaling, IpAndIrMoveP1AndP2)
{
    run_cases({
        {"IP1000,1000,2000,3000;SC0,1,0,1;PU0,0;PD1,1;", {{1000, 1000}, {2000, 3000}}},
        // With P1 alone, P2 keeps its distance from it.
        {"IP100,100;SC0,1,0,1;PU0,0;PD1,1;", {{100, 100}, {10100, 5100}}},
        {"IR50,50;SC0,1,0,1;PU0,0;PD1,1;", {{5000, 2500}, {15000, 7500}}},
        {"IR10,20,30,40;SC0,1,0,1;PU0,0;PD1,1;", {{1000, 1000}, {3000, 2000}}},
        {"IP1,2,3,4;IP;SC0,1,0,1;PU0,0;PD1,1;", {{0, 0}, {10000, 5000}}},
    });
}

TEST(RenderVectors, AbsoluteRelativeAndPenUp)
{
    run_cases({
        {"PU100,100;PR;PD50,0,0,50;", {{100, 100}, {150, 100}, {150, 150}}},
        {"PA;PU100,100;PD200,100;PU300,300;PD300,400;",
         {{100, 100}, {200, 100}, {300, 300}, {300, 400}}},
        // Numbers run on across signs and commas alike.
        {"PU0,0;PD10-20 30,40;", {{0, 0}, {10, -20}, {30, 40}}},
        {"PU0,0;PD1.5,.5;", {{0, 0}, {1.5, 0.5}}},
        // Relative moves follow the user scaling.
        {"SC0,100,0,100;PU10,10;PR;PD10,0;", {{1000, 500}, {2000, 500}}},
    });
}

TEST(RenderVectors, RotationTurnsThePlotInsideItsExtent)
{
    run_cases({
        // RO90: X along the old Y, the origin at the old (length, 0).
        {"RO90;PU0,0;PD100,0,100,50;", {{10000, 0}, {10000, 100}, {9950, 100}}},
        {"RO180;PU0,0;PD100,50;", {{10000, 5000}, {9900, 4950}}},
        {"RO270;PU0,0;PD100,50;", {{0, 5000}, {50, 4900}}},
        // The pen keeps its place on the paper: (0, 0) before RO90 is
        // (0, 10000) after it.
        {"PU0,0;RO90;PD0,10;", {{0, 0}, {9990, 0}}},
        // IN puts the rotation back.
        {"RO90;IN;PU0,0;PD100,50;", {{0, 0}, {100, 50}}},
        // P1 and P2 keep their numbers through RO; IP after it takes the
        // turned extent, whose upper right is the plot's upper left.
        {"RO90;IP;SC0,1,0,1;PU0,0;PD1,1;", {{10000, 0}, {0, 5000}}},
    });
}

TEST(RenderArcs, ChordsAtTheChordAngle)
{
    const double r = 1000 / std::sqrt(2.0);
    run_cases(
        {
            {"PU1000,0;PD;AA0,0,90,45;", {{1000, 0}, {r, r}, {0, 1000}}},
            {"PU1000,0;PD;AA0,0,-90,45;", {{1000, 0}, {r, -r}, {0, -1000}}},
            {"PU1000,0;PD;AR-1000,0,90,45;", {{1000, 0}, {r, r}, {0, 1000}}},
            // The default chord angle is 5 degrees: 18 chords for 90.
            {"PU0,0;PD;AT100,100,200,0,90;", {{0, 0}, {100, 100}, {200, 0}}},
            // In user units: anisotropic scaling draws an ellipse.
            {"SC0,100,0,100;PU100,0;PD;AA0,0,90,90;", {{10000, 0}, {0, 5000}}},
            // Three points on a line make a line.
            {"PU0,0;PD;AT50,0,100,0;", {{0, 0}, {100, 0}}},
        },
        1e-6);
    // The chord tolerance is an angle, with CT1 too, as the interpreter reads
    // it: more than half a turn is the rest of the turn, a turn and more
    // wraps, and less than 5 degrees is 5.
    const struct {
        const char *plot;
        std::size_t points;
    } chords[] = {
        {"PU1000,0;PD;AA0,0,90;", 19},     {"CT1;PU1000,0;PD;AA0,0,180,50;", 5},
        {"PU1000,0;PD;AA0,0,180,300;", 4}, {"PU1000,0;PD;AA0,0,180,420;", 4},
        {"PU1000,0;PD;AA0,0,180,2;", 37},  {"PU1000,0;PD;AA0,0,180,-45;", 5},
    };
    for (const auto &row : chords)
        EXPECT_EQ(all_stroked(draw(row.plot)).size(), row.points) << row.plot;
}

TEST(RenderArcs, CircleIsClosedAndLeavesThePenAtItsCentre)
{
    const RecordingSink sink = draw("PU0,0;CI100,90;PD10,0;");
    ASSERT_EQ(sink.pages.size(), 1u);
    const std::vector<Stroke> &strokes = sink.pages[0].strokes;
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_TRUE(strokes[0].closed);
    expect_points(strokes[0].points, {{100, 0}, {0, 100}, {-100, 0}, {0, -100}, {100, 0}});
    expect_points(strokes[1].points, {{0, 0}, {10, 0}});
}

TEST(RenderArcs, EnormousRadiiAndTinyChordsStayBounded)
{
    for (const char *plot :
         {"PU0,0;CI1e15,0.0001;", "PU0,0;PD;AA1,1,1e9,0.001;", "CT1;PU0,0;CI1000000,0.000001;"}) {
        SCOPED_TRACE(plot);
        EXPECT_LE(all_stroked(draw(plot)).size(), 722u);
    }
}

TEST(RenderPolygons, SubPolygonsAndFillRules)
{
    struct Case {
        const char *plot;
        std::size_t subpaths;
        FillRule rule;
    };
    const std::vector<Case> cases = {
        {"PU0,0;PM0;PD100,0,100,100,0,100;PM1;PU20,20;PD80,20,80,80,20,80;PM2;FP;", 2,
         FillRule::EvenOdd},
        {"PU0,0;PM0;PD100,0,100,100,0,100;PM1;PU20,20;PD80,20,80,80,20,80;PM2;FP1;", 2,
         FillRule::NonZero},
        {"PU0,0;PM0;PD100,0,100,100;PM2;FP0;", 1, FillRule::EvenOdd},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plot);
        const RecordingSink sink = draw(c.plot);
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].fills.size(), 1u);
        const Filled &filled = sink.pages[0].fills[0];
        EXPECT_EQ(filled.fill.rule, c.rule);
        std::size_t drawn = 0;
        for (const SubPath &sub : filled.path)
            drawn += sub.points.size() >= 3 ? 1 : 0;
        EXPECT_EQ(drawn, c.subpaths);
        EXPECT_TRUE(sink.pages[0].strokes.empty()) << "polygon mode draws nothing itself";
    }
}

// Polygon mode as the PCL interpreter runs it, each rule measured there:
// PM1 and PM2 take the pen back to the subpolygon's start, edging the way
// when it is down; the point after PM1 starts the next subpolygon, the pen
// up; FP fills through the pen's moves, EP edges only its lines; the pen is
// up or down after PM2 as before PM0; every instruction but the vectors, PM,
// IN, DF, LB and DT is passed over, then and later.
TEST(RenderPolygons, PolygonModeAsThePrinterRunsIt)
{
    const struct {
        const char *plot;
        std::vector<std::vector<Point>> edges; // EP's lines and the strokes after
        std::vector<Point> filled;             // FP's first subpolygon
    } rows[] = {
        {"PU0,0;PM0;PD100,0,100,100;PM1;PU20,20;PD80,20,80,80;PM2;EP;",
         {{{0, 0}, {100, 0}, {100, 100}, {0, 0}}, {{20, 20}, {80, 20}, {80, 80}, {20, 20}}},
         {}},
        {"PU0,0;PM0;PD100,0,100,100;PM1;PD50,50,60,60;PM2;EP;",
         {{{0, 0}, {100, 0}, {100, 100}, {0, 0}}, {{50, 50}, {60, 60}, {50, 50}}},
         {}},
        // fig2dev's open arcs: the pen up at PM2 leaves the way back undrawn.
        {"PU0,0;PM0;PD100,0,100,100;PU;PM2;EP;", {{{0, 0}, {100, 0}, {100, 100}}}, {}},
        {"PU0,0;PM0;PD100,0;PU100,100;PD0,100;PM2;FP;",
         {},
         {{0, 0}, {100, 0}, {100, 100}, {0, 100}}},
        // After PM2 the pen is up again, at the start, and PW, SP, LT and
        // SC in polygon mode took no effect.
        {"PU0,0;PM0;PW3;SC0,1,0,1;PD100,0,100,100;PM2;PA50,0;PD60,0;", {{{50, 0}, {60, 0}}}, {}},
        {"PU0,0;PD10,0;PM0;PD100,0,100,100;PM2;PA50,0;",
         {{{0, 0}, {10, 0}}, {{10, 0}, {50, 0}}},
         {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.plot);
        const RecordingSink sink = draw(row.plot);
        ASSERT_EQ(sink.pages.size(), 1u);
        const std::vector<Stroke> &strokes = sink.pages[0].strokes;
        ASSERT_EQ(strokes.size(), row.edges.size());
        for (std::size_t i = 0; i < strokes.size(); ++i) {
            expect_points(strokes[i].points, row.edges[i]);
            EXPECT_NEAR(strokes[i].pen.width, 0.35, 1e-9);
        }
        if (!row.filled.empty()) {
            ASSERT_EQ(sink.pages[0].fills.size(), 1u);
            expect_points(sink.pages[0].fills[0].path[0].points, row.filled);
        }
    }
}

TEST(RenderPolygons, RectanglesAndWedges)
{
    const double r = 100 / std::sqrt(2.0);
    struct Case {
        const char *plot;
        bool filled;
        std::vector<Point> outline;
    };
    const std::vector<Case> cases = {
        {"PU10,10;RA20,30;", true, {{10, 10}, {20, 10}, {20, 30}, {10, 30}}},
        {"PU10,10;RR20,30;", true, {{10, 10}, {30, 10}, {30, 40}, {10, 40}}},
        {"PU10,10;EA20,30;", false, {{10, 10}, {20, 10}, {20, 30}, {10, 30}}},
        {"PU10,10;ER-20,30;", false, {{10, 10}, {-10, 10}, {-10, 40}, {10, 40}}},
        {"PU0,0;WG100,0,90,45;", true, {{0, 0}, {100, 0}, {r, r}, {0, 100}}},
        {"PU0,0;EW-100,0,90,90;", false, {{0, 0}, {-100, 0}, {0, -100}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plot);
        const RecordingSink sink = draw(c.plot);
        ASSERT_EQ(sink.pages.size(), 1u);
        if (c.filled) {
            ASSERT_EQ(sink.pages[0].fills.size(), 1u);
            ASSERT_EQ(sink.pages[0].fills[0].path.size(), 1u);
            expect_points(sink.pages[0].fills[0].path[0].points, c.outline, 1e-6);
        } else {
            ASSERT_EQ(sink.pages[0].strokes.size(), 1u);
            EXPECT_TRUE(sink.pages[0].strokes[0].closed);
            expect_points(sink.pages[0].strokes[0].points, c.outline, 1e-6);
        }
    }
}

TEST(RenderFills, FillTypes)
{
    struct Case {
        const char *plot;
        double spacing; // sheet units; 0 for solid
        bool crossed;
        double shade;
    };
    // The diagonal of P1-P2 is 11180.34: hatching defaults to 1% of it.
    const std::vector<Case> cases = {
        {"FT;PU0,0;RA10,10;", 0, false, 100},
        {"FT3,50,45;PU0,0;RA10,10;", 50, false, 100},
        {"FT3;PU0,0;RA10,10;", 111.8034, false, 100},
        {"FT4,20;PU0,0;RA10,10;", 20, true, 100},
        {"FT10,30;PU0,0;RA10,10;", 0, false, 30},
        // Hatching in user units along X.
        {"SC0,100,0,100;FT3,2;PU0,0;RA10,10;", 200, false, 100},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plot);
        const RecordingSink sink = draw(c.plot);
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].fills.size(), 1u);
        const Fill &fill = sink.pages[0].fills[0].fill;
        EXPECT_NEAR(fill.spacing, c.spacing, 1e-3);
        EXPECT_EQ(fill.crossed, c.crossed);
        EXPECT_DOUBLE_EQ(fill.shade, c.shade);
    }
}

TEST(RenderClipping, InputWindowOnTheSheet)
{
    struct Case {
        const char *plot;
        Point low;
        Point high;
    };
    const std::vector<Case> cases = {
        {"IW100,100,200,300;PU0,0;PD1,1;", {100, 100}, {200, 300}},
        // Corners in either order, in user units, clipped to the sheet.
        {"SC0,100,0,100;IW50,50,10,10;PU0,0;PD1,1;", {1000, 500}, {5000, 2500}},
        {"IW-100,-100,20000,200;PU0,0;PD1,1;", {0, 0}, {10000, 200}},
        {"IW100,100,200,300;IW;PU0,0;PD1,1;", {0, 0}, {10000, 5000}},
        {"IW100,100,200,300;IN;PU0,0;PD1,1;", {0, 0}, {10000, 5000}},
        // A window given unscaled is read again in the user units of the
        // next SC that scales, and stays there (the PCL interpreter clips
        // IW0,0,50,50;SC0,100,0,100 to the middle of P1 and P2, and keeps
        // that clip after SC;). One given in user units stays put.
        {"IW0,0,50,50;SC0,100,0,100;PU0,0;PD1,1;", {0, 0}, {5000, 2500}},
        {"IW0,0,50,50;SC0,100,0,100;SC;PU0,0;PD1,1;", {0, 0}, {5000, 2500}},
        {"IW0,0,50,50;SC;PU0,0;PD1,1;", {0, 0}, {50, 50}},
        {"SC0,100,0,100;IW0,0,50,50;SC0,200,0,200;PU0,0;PD1,1;", {0, 0}, {5000, 2500}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plot);
        const RecordingSink sink = draw(c.plot);
        ASSERT_EQ(sink.pages.size(), 1u);
        expect_points({sink.pages[0].clip_low, sink.pages[0].clip_high}, {c.low, c.high});
    }
}

TEST(RenderPens, WidthsEndsJoinsAndLineTypes)
{
    struct Case {
        const char *plot;
        double width;
        LineEnd end;
        LineJoin join;
        std::vector<double> dashes;
    };
    const double quarter = 11180.3399 * 0.04 / 2; // half of LT's 4% of the diagonal
    const std::vector<Case> cases = {
        {"", 0.35, LineEnd::Butt, LineJoin::Mitered, {}},
        {"PW0.5;", 0.5, LineEnd::Butt, LineJoin::Mitered, {}},
        {"PW0.5,2;", 0.35, LineEnd::Butt, LineJoin::Mitered, {}},
        {"WU1;PW1;", 111.803399, LineEnd::Butt, LineJoin::Mitered, {}},
        {"LA1,4,2,4;", 0.35, LineEnd::Round, LineJoin::Round, {}},
        {"LA1,2,2,5;LA;", 0.35, LineEnd::Butt, LineJoin::Mitered, {}},
        {"LT2,10,1;", 0.35, LineEnd::Butt, LineJoin::Mitered, {5, 5}},
        {"LT2;", 0.35, LineEnd::Butt, LineJoin::Mitered, {quarter, quarter}},
        {"LT2,10,1;LT;", 0.35, LineEnd::Butt, LineJoin::Mitered, {}},
        {"LT2,10,1;LT;LT99;", 0.35, LineEnd::Butt, LineJoin::Mitered, {5, 5}},
        {"UL2,1,3;LT2,8,1;", 0.35, LineEnd::Butt, LineJoin::Mitered, {2, 6}},
        // A dot with butt ends is as long as the printer's dot; round ends
        // make it a disc of their own.
        {"PW1;LT1,10,1;", 1, LineEnd::Butt, LineJoin::Mitered, {25.4 / 600, 10 - 25.4 / 600}},
        {"PW1;LA1,4;LT1,10,1;", 1, LineEnd::Round, LineJoin::Mitered, {0, 10}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plot);
        const RecordingSink sink = draw(std::string(c.plot) + "PU0,0;PD100,0;");
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes.size(), 1u);
        const Pen &pen = sink.pages[0].strokes[0].pen;
        EXPECT_NEAR(pen.width, c.width, 1e-4);
        EXPECT_EQ(pen.end, c.end);
        EXPECT_EQ(pen.join, c.join);
        ASSERT_EQ(pen.dashes.size(), c.dashes.size());
        for (std::size_t i = 0; i < c.dashes.size(); ++i)
            EXPECT_NEAR(pen.dashes[i], c.dashes[i], 1e-3);
    }
}

TEST(RenderPens, AdaptiveLineTypesFitOnePatternMoreThanEachLineHolds)
{
    // Each line of the polyline takes its own whole patterns, one more than
    // it holds at LT's length, and starts in the middle of the first dash
    // (at the start of the pattern for a type of UL): 100 units hold 3
    // patterns of 30 (4 of 25), 2 of 50 (3 of 33.3) and none of 120 (1 of
    // 100). LT-2 is half dash, half gap.
    struct Case {
        const char *plot;
        std::vector<double> dashes; // the first dash of each line
        double offset = 0.5;        // into the first dash, of its length
    };
    const std::vector<Case> cases = {
        {"LT-2,30,1;PU0,0;PD100,0;", {12.5}},
        {"LT-2,50,1;PU0,0;PD100,0;", {100.0 / 6}},
        {"LT-2,120,1;PU0,0;PD100,0;", {50}},
        // 40 units of a 30-unit pattern: 2 patterns of 20.
        {"LT-2,30,1;PU0,0;PD100,0,100,40;", {12.5, 10}},
        {"LT-2,30,1;PU0,0;PD100,0;PD100,40;", {12.5, 10}},
        // A type of UL in proportion: 6 patterns of 8.33 in 50 units.
        {"UL3,2,3,4,1;LT-3,9,1;PU0,0;PD0,50;", {50.0 / 30}, 0},
        {"UL3,2,3,4,1;UL;LT-3,9,1;PU0,0;PD0,50;", {0.7 * 50 / 6}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plot);
        const RecordingSink sink = draw(c.plot);
        ASSERT_EQ(sink.pages.size(), 1u);
        const std::vector<Stroke> &strokes = sink.pages[0].strokes;
        ASSERT_EQ(strokes.size(), c.dashes.size());
        for (std::size_t i = 0; i < strokes.size(); ++i) {
            SCOPED_TRACE(i);
            ASSERT_EQ(strokes[i].points.size(), 2u);
            ASSERT_FALSE(strokes[i].pen.dashes.empty());
            EXPECT_NEAR(strokes[i].pen.dashes[0], c.dashes[i], 1e-6);
            EXPECT_NEAR(strokes[i].pen.dash_offset, c.dashes[i] * c.offset, 1e-6);
        }
    }
}

TEST(RenderPens, AdaptiveLineTypesOnRasterPagesMeasureAsTheInterpreter)
{
    // The line of RasterPagesOfPclJobsPutThePlotOriginOnAPixel, a hundred
    // thousandth short of an inch (100 pixels of 0.254 mm) and so of four
    // patterns of a quarter inch: measured exactly it holds three and takes
    // four; its ends held to 1/256 of a pixel make it the whole inch, which
    // holds four and takes five.
    struct Case {
        double pixel;
        double dash; // the first, half of the fitted pattern
    };
    const std::vector<Case> cases = {
        {0, kInch * (1 - 1e-5) / 8},
        {0.254, kInch / 10},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pixel);
        InterpreterOptions pcl;
        pcl.pcl_job = true;
        pcl.raster_pixel = c.pixel;
        const RecordingSink sink = draw("\x1b"
                                        "E\x1b&l1O\x1b%1BIN;LT-2,6.35,1;PU0,0;PD1015.98984,0;",
                                        pcl);
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes.size(), 1u);
        const Pen &pen = sink.pages[0].strokes[0].pen;
        ASSERT_EQ(pen.dashes.size(), 2u);
        EXPECT_NEAR(pen.dashes[0], c.dash, 1e-6);
    }
}

TEST(RenderPens, AdaptiveLineTypesCountPatternsAtTheScaleAlongTheLine)
{
    // A plot size 10.6 by 7.5 inches in a frame 7632 by 5401 decipoints:
    // X at 1:1, Y 1.000185 times. LT -2 at 10% of P1 P2's diagonal (5000)
    // is 500 plotter units; the line along X is 4.00012 of them, and takes
    // five patterns, as the printer fits them. At the mean of the two
    // scales the pattern would be longer than a quarter of the line, and
    // four would do.
    InterpreterOptions pcl;
    pcl.pcl_job = true;
    const RecordingSink sink = draw("\x1b"
                                    "E\x1b*c7632x5401Y\x1b*c10.6k7.5L\x1b%1B"
                                    "IN;IP0,0,4000,3000;LT-2,10;PU0,0;PD2000.06,0;",
                                    pcl);
    ASSERT_EQ(sink.pages.size(), 1u);
    ASSERT_EQ(sink.pages[0].strokes.size(), 1u);
    const Pen &pen = sink.pages[0].strokes[0].pen;
    ASSERT_EQ(pen.dashes.size(), 2u);
    // Half of a fifth of the line's 50.0015 mm.
    EXPECT_NEAR(pen.dashes[0], 50.0015 / 10, 1e-6);
}

TEST(RenderPens, FixedLineTypesRunOnAlongEachPenDownRun)
{
    // The pattern continues round the corners of a polyline and over PD
    // instructions, and starts again where the pen comes down after PU or
    // after LT sets it again.
    struct Case {
        const char *plot;
        std::vector<std::size_t> points; // of each stroke, each from the pattern's start
    };
    const std::vector<Case> cases = {
        {"LT2,10,1;PU0,0;PD7,0,7,40;", {3}},
        {"LT2,10,1;PU0,0;PD7,0;PD7,40;", {3}},
        {"LT2,10,1;PU0,0;PD7,0;PU20,0;PD40,0;", {2, 2}},
        {"LT2,10,1;PU0,0;PD7,0;LT2,10,1;PD40,0;", {2, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plot);
        const RecordingSink sink = draw(c.plot);
        ASSERT_EQ(sink.pages.size(), 1u);
        const std::vector<Stroke> &strokes = sink.pages[0].strokes;
        ASSERT_EQ(strokes.size(), c.points.size());
        for (std::size_t i = 0; i < strokes.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(strokes[i].points.size(), c.points[i]);
            EXPECT_EQ(strokes[i].pen.dash_offset, 0);
            EXPECT_EQ(strokes[i].pen.dashes.size(), 2u);
        }
    }
}

TEST(RenderPens, APenPutDownWithoutMovingLeavesTheMarkOfItsEnds)
{
    // Where a stroke is expected, its points; where a fill, its corners.
    struct Case {
        const char *plot;
        std::vector<Point> stroked;
        std::vector<Point> filled;
        double width = 0;
    };
    const double half = 0.35 / 2;
    const double dot = 25.4 / 600;
    const std::vector<Case> cases = {
        // Butt ends: a bar the pen's width long, the printer's dot thin.
        {"PU100,100;PD;PU;", {{100, 100 - half}, {100, 100 + half}}, {}, dot},
        {"PU100,100;PD100,100;PU;", {{100, 100 - half}, {100, 100 + half}}, {}, dot},
        {"PU100,100;PD;PD;PD100,100;", {{100, 100 - half}, {100, 100 + half}}, {}, dot},
        {"LA1,4;PU100,100;PD;PU;", {{100, 100}, {100, 100}}, {}, 0.35},
        {"LA1,2;PU100,100;PD;PU;",
         {},
         {{100 - half, 100 - half},
          {100 + half, 100 - half},
          {100 + half, 100 + half},
          {100 - half, 100 + half}}},
        {"LA1,3;PU100,100;PD;PU;",
         {},
         {{100 - half, 100}, {100, 100 - half}, {100 + half, 100}, {100, 100 + half}}},
        // A line from there, or one that ended there, leaves no dot.
        {"PU100,100;PD;PD200,100;", {{100, 100}, {200, 100}}, {}, 0.35},
        {"PU100,100;PD200,100;PD;PU;", {{100, 100}, {200, 100}}, {}, 0.35},
        {"PU100,100;PD100,100,200,100;", {{100, 100}, {200, 100}}, {}, 0.35},
        // Nor do the printer's line types, the thinnest pen or white.
        {"LT2;PU100,100;PD;PU;", {}, {}},
        {"PW0;PU100,100;PD;PU;", {}, {}},
        {"SP0;PU100,100;PD;PU;", {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plot);
        InterpreterOptions options = plain_options();
        options.pcl_job = std::string(c.plot).starts_with("SP0");
        const RecordingSink sink = draw(c.plot, options);
        const std::vector<Stroke> none;
        const std::vector<Stroke> &strokes = sink.pages.empty() ? none : sink.pages[0].strokes;
        ASSERT_EQ(strokes.size(), c.stroked.empty() ? 0u : 1u);
        if (!c.stroked.empty()) {
            expect_points(strokes[0].points, c.stroked);
            EXPECT_NEAR(strokes[0].pen.width, c.width, 1e-9);
        }
        const std::size_t fills = sink.pages.empty() ? 0 : sink.pages[0].fills.size();
        ASSERT_EQ(fills, c.filled.empty() ? 0u : 1u);
        if (!c.filled.empty())
            expect_points(sink.pages[0].fills[0].path[0].points, c.filled);
    }
}

TEST(RenderPens, ADotOnARasterPageIsWholePixels)
{
    // At 100 dpi the bar lies along the rows: the pen's 1.38 pixels make
    // one whole pixel, pixel 393 (393 to 394 holds the point's 393.7); it is
    // thickened a little past a pixel and moved half a pixel down, so that
    // the pixel after the nearest corner is the one the adjusted stroke
    // covers.
    InterpreterOptions options = plain_options();
    options.raster_pixel = 0.254;
    const RecordingSink sink = draw("PU100,100;PD;PU;", options);
    ASSERT_EQ(sink.pages.size(), 1u);
    ASSERT_EQ(sink.pages[0].strokes.size(), 1u);
    expect_points(sink.pages[0].strokes[0].points,
                  {{393 * 0.254, 100.127}, {394 * 0.254, 100.127}});
    EXPECT_NEAR(sink.pages[0].strokes[0].pen.width, 0.3175, 1e-9);
}

TEST(RenderPens, DotsOfLineTypesNeedAPenWiderThanAPixelOnAPrintersRaster)
{
    // LT 1 is dots 10 mm apart. On the printer's raster at 100 dpi (pixels
    // of 0.254 mm) a pen of 0.25 mm leaves none, one of 0.26 mm a pixel-long
    // bar; on a vector page any pen leaves the printer's dot.
    struct Case {
        const char *pen;
        double pixel;
        double dot;
    };
    const Case cases[] = {
        {"PW0.25;", 0.254, 0},
        {"PW0.26;", 0.254, 0.254},
        {"PW0.25;", 0, 25.4 / 600},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.pen) + " " + std::to_string(c.pixel));
        InterpreterOptions pcl;
        pcl.pcl_job = true;
        pcl.raster_pixel = c.pixel;
        const RecordingSink sink = draw("\x1b"
                                        "E\x1b%1BIN;SP1;"
                                            + std::string(c.pen) + "LT1,10,1;PU0,0;PD1000,0;",
                                        pcl);
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes.size(), 1u);
        const Pen &pen = sink.pages[0].strokes[0].pen;
        ASSERT_EQ(pen.dashes.size(), 2u);
        EXPECT_NEAR(pen.dashes[0], c.dot, 1e-9);
        EXPECT_NEAR(pen.dashes[0] + pen.dashes[1], 10, 1e-9);
    }
}

TEST(RenderPens, ColoursOfPlotterAndPrinter)
{
    const RecordingSink plotter = draw("SP2;PU0,0;PD1,1;PC2,0,0,255;PD2,2;");
    ASSERT_EQ(plotter.pages.size(), 1u);
    ASSERT_EQ(plotter.pages[0].strokes.size(), 2u);
    EXPECT_DOUBLE_EQ(plotter.pages[0].strokes[0].pen.colour.red, 1);
    EXPECT_DOUBLE_EQ(plotter.pages[0].strokes[0].pen.colour.blue, 0);
    EXPECT_DOUBLE_EQ(plotter.pages[0].strokes[1].pen.colour.blue, 1);
    EXPECT_DOUBLE_EQ(plotter.pages[0].strokes[1].pen.colour.red, 0);
    // Pens beyond the last wrap to pen 1 on: pen 9 of 8 is pen 2.
    const RecordingSink wrapped = draw("SP9;PU0,0;PD1,1;");
    EXPECT_DOUBLE_EQ(wrapped.pages[0].strokes[0].pen.colour.red, 1);
    EXPECT_DOUBLE_EQ(wrapped.pages[0].strokes[0].pen.colour.green, 0);
}

TEST(RenderPens, PclJobsPrintColoursInTheInterpretersGrays)
{
    // Pen 1 set by PC in a PCL job, and the gray (of 255) the interpreter
    // fills with it at 100 dpi.
    struct Case {
        const char *colour;
        double gray;
    };
    const std::vector<Case> cases = {
        {"0,0,0", 0},         {"254,254,254", 254}, {"255,0,0", 130},   {"0,255,0", 220},
        {"0,0,255", 70},      {"255,255,0", 248},   {"0,255,255", 228}, {"255,0,255", 145},
        {"255,128,0", 165},   {"100,200,50", 178},  {"30,60,220", 79},  {"240,10,10", 122},
        {"128,128,128", 128},
    };
    InterpreterOptions pcl;
    pcl.pcl_job = true;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.colour);
        const RecordingSink sink = draw("\x1b"
                                        "E\x1b%1BIN;NP8;PC1,"
                                            + std::string(c.colour) + ";SP1;PU0,0;PD1,1;",
                                        pcl);
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes.size(), 1u);
        const Colour colour = sink.pages[0].strokes[0].pen.colour;
        EXPECT_NEAR(colour.red * 255, c.gray, 0.5);
        EXPECT_DOUBLE_EQ(colour.green, colour.red);
        EXPECT_DOUBLE_EQ(colour.blue, colour.red);
    }
    // The default pens 2 to 7 (red, green, yellow, blue, magenta, cyan).
    const double defaults[] = {130, 220, 248, 70, 145, 228};
    for (int pen = 2; pen <= 7; ++pen) {
        SCOPED_TRACE(pen);
        const RecordingSink sink = draw("\x1b"
                                        "E\x1b%1BIN;SP"
                                            + std::to_string(pen) + ";PU0,0;PD1,1;",
                                        pcl);
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes.size(), 1u);
        EXPECT_NEAR(sink.pages[0].strokes[0].pen.colour.red * 255, defaults[pen - 2], 0.5);
    }
}

TEST(RenderPens, PclJobsKeepThePenThroughInAndLeaveWhiteUnpaintedUnlessTr0)
{
    // The interpreter's IN keeps the selected pen (a plot that ends a page
    // with SP0 and starts the next with IN draws nothing before its SP),
    // and what it draws in white leaves the page as it was, lines, fills
    // and labels, until TR 0 turns source transparency off (TR, IN and DF
    // turn it on again). A plotter paints its white pen.
    struct Case {
        std::string job;
        bool pcl;
        std::size_t strokes;
        std::size_t fills;
        double gray; // of the first stroke, of 255
    };
    const std::string reset = "\x1b"
                              "E\x1b%1B";
    const std::vector<Case> cases = {
        {reset + "IN;SP2;IN;PU0,0;PD1,1;", true, 1, 0, 130},
        {reset + "IN;SP0;IN;PU0,0;PD1,1;RA5,5;SP1;PD2,2;", true, 1, 0, 0},
        {reset + "IN;PC1,255,255,255;SP1;PU0,0;PD1,1;PC1,0,0,0;PD2,2;", true, 1, 0, 0},
        {reset
             + "IN;SP0;\x1b%0A\x1b"
               "E\x1b%1BIN;PU0,0;PD1,1;",
         true, 1, 0, 0},
        {reset + "IN;SP0;PA0,0;LBA\3;SP1;PD2,2;", true, 1, 0, 0},
        {reset + "IN;TR0;SP0;PU0,0;PD1,1;RA5,5;", true, 1, 1, 255},
        {reset + "IN;TR0;SP0;PA0,0;LBA\3;", true, 1, 0, 255},
        {reset + "IN;TR0;TR;SP0;PU0,0;PD1,1;SP1;PD2,2;", true, 1, 0, 0},
        {reset + "IN;TR0;DF;SP0;PU0,0;PD1,1;SP1;PD2,2;", true, 1, 0, 0},
        {"IN;SP0;PU0,0;PD1,1;RA5,5;", false, 1, 1, 255},
    };
    const StrokeFont bars = bar_font();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.job);
        InterpreterOptions options = plain_options();
        options.pcl_job = c.pcl;
        options.font = &bars;
        const RecordingSink sink = draw(c.job, options);
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes.size(), c.strokes);
        EXPECT_EQ(sink.pages[0].fills.size(), c.fills);
        EXPECT_NEAR(sink.pages[0].strokes[0].pen.colour.red * 255, c.gray, 0.5);
    }
}

TEST(RenderPages, PlainPlotsEndPagesAtPg)
{
    struct Case {
        const char *plot;
        std::size_t pages;
    };
    const std::vector<Case> cases = {
        {"", 1}, // nothing drawn still makes a page
        {"PU0,0;PD1,1;", 1},
        {"PU0,0;PD1,1;PG;", 1},
        {"PU0,0;PD1,1;PG;PD2,2;", 2},
        {"PG;PG;PU0,0;PD1,1;PG;PG;", 1}, // a page with nothing on it is not ejected
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plot);
        const RecordingSink sink = draw(c.plot);
        EXPECT_EQ(sink.pages.size(), c.pages);
        EXPECT_EQ(static_cast<std::size_t>(sink.ended), c.pages);
    }
}

TEST(RenderPages, RasterPagesOfPclJobsPutThePlotOriginOnAPixel)
{
    // A line along X at Y = 0: in landscape it runs up the sheet at the
    // frame's bottom edge, 8 inches from the sheet's left and 10.8 from its
    // top. On pixels of 0.254 mm, the interpreter takes the plot's origin,
    // on a pixel edge, to the pixel before towards the logical page's top.
    // SC's user origin then goes to the pixel corner nearest to where it
    // lies: with P1 and P2 as IN leaves them, where it lies exactly (and
    // so the line stays); with P1 and P2 from IP, where it lies from the
    // moved plot origin, 6 plotter units (0.59 pixel) away below.
    struct Case {
        std::string plot;
        double pixel;
        Point start;   // of the line on the sheet
        double length; // of the line, up the sheet
    };
    const double p = 0.254;
    const std::vector<Case> cases = {
        {"IN;PU0,0;PD1016,0;", 0, {8 * kInch, 10.8 * kInch}, kInch},
        {"IN;PU0,0;PD1016,0;", p, {8 * kInch - p, 10.8 * kInch}, kInch},
        // P2 is 10.6 inches along X.
        {"IN;SC0,1060,0,750;PU0,0;PD100,0;", p, {8 * kInch, 10.8 * kInch}, kInch},
        {"IN;SC-6,1,-6,1,2;PU0,0;PD1016,0;", p, {8 * kInch - p, 10.8 * kInch - p}, kInch},
        {"IN;IP0,0,10769.6,7620;SC-6,1,-6,1,2;PU0,0;PD1016,0;",
         p,
         {8 * kInch - 2 * p, 10.8 * kInch - p},
         kInch},
        // A plot size (here the frame's own, scaling by 1) changes nothing:
        // the user origin still rounds from its exact place without IP.
        {"\x1b%0A\x1b*c10.6k7.5L\x1b%1BIN;SC-6,1,-6,1,2;PU0,0;PD1016,0;",
         p,
         {8 * kInch - p, 10.8 * kInch - p},
         kInch},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plot + " " + std::to_string(c.pixel));
        InterpreterOptions pcl;
        pcl.pcl_job = true;
        pcl.raster_pixel = c.pixel;
        const RecordingSink sink = draw("\x1b"
                                        "E\x1b&l1O\x1b%1B"
                                            + c.plot,
                                        pcl);
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes[0].points.size(), 2u);
        const Point from = sink.pages[0].strokes[0].points[0];
        const Point to = sink.pages[0].strokes[0].points[1];
        EXPECT_NEAR(from.x, c.start.x, 1e-9);
        EXPECT_NEAR(to.x, c.start.x, 1e-9);
        EXPECT_NEAR(from.y, c.start.y, 1e-9);
        EXPECT_NEAR(from.y - to.y, c.length, 1e-9);
    }
}

TEST(RenderPages, APlotSizeScalesThePlotsOwnAxesWhateverRO)
{
    // A square frame of 5000 decipoints (6.944 inches) for a plot 10 inches
    // by 5: an inch along the plot's X is 0.694 inch on the sheet, along its
    // Y 1.389, and RO turns the plot with its scales, as the interpreter
    // does (a plot turned a quarter keeps its shape).
    const double along_x = 5000.0 / 720 / 10 * kInch;
    const double along_y = 5000.0 / 720 / 5 * kInch;
    struct Case {
        int rotation;
        Point x; // an inch along the plot's X, on the sheet (y down)
        Point y;
    };
    const Case cases[] = {
        {0, {along_x, 0}, {0, -along_y}},
        {90, {0, -along_x}, {-along_y, 0}},
        {180, {-along_x, 0}, {0, along_y}},
        {270, {0, along_x}, {along_y, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rotation);
        InterpreterOptions pcl;
        pcl.pcl_job = true;
        const RecordingSink sink =
            draw("\x1b"
                 "E\x1b*c5000x5000Y\x1b*c10k5L\x1b%1BIN;RO"
                     + std::to_string(c.rotation) + ";PU0,0;PD1016,0;PU0,0;PD0,1016;",
                 pcl);
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes.size(), 2u);
        const auto vector_of = [&](std::size_t i) {
            const std::vector<Point> &points = sink.pages[0].strokes[i].points;
            return Point{points.back().x - points.front().x, points.back().y - points.front().y};
        };
        expect_points({vector_of(0), vector_of(1)}, {c.x, c.y});
    }
}

TEST(RenderPages, RasterPagesRoundTheUserOriginOfATurnedPlot)
{
    // Landscape letter at 100 dpi, turned by RO 90: the turned origin lies
    // at pixel x 800 exactly, and the interpreter moves it to 799. SC's
    // user origin is rounded from its exact place while P1 and P2 are
    // where IP without parameters puts them, from the moved one when IP
    // gives them: the interpreter inks a line at user X 4000 (3048 plotter
    // units, 300 pixels to the left) in column 500, and in column 499.
    struct Case {
        std::string ip;
        double x;      // of the line, in pixels
        double height; // of P2 above P1 down the sheet, in pixels
    };
    const double p = kInch / 100;
    const std::vector<Case> cases = {
        {"IP;", 500, 1060},
        {"IP0,0,7620,10160;", 499, 1000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.ip);
        InterpreterOptions pcl;
        pcl.pcl_job = true;
        pcl.raster_pixel = p;
        const RecordingSink sink = draw("\x1b"
                                        "E\x1b&l1O\x1b%1BIN;RO90;"
                                            + c.ip + "SC0,10000,0,7500;PU4000,2000;PD4000,3000;",
                                        pcl);
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes[0].points.size(), 2u);
        const Point from = sink.pages[0].strokes[0].points[0];
        const Point to = sink.pages[0].strokes[0].points[1];
        EXPECT_NEAR(from.x / p, c.x, 1e-6);
        EXPECT_NEAR(to.x / p, c.x, 1e-6);
        // Down the sheet: 2000 and 3000 of the 7500 user units from P1 to
        // P2, from the turned origin's row 20 (the interpreter inks rows
        // 303 to 443, and 287 to 419).
        EXPECT_NEAR(from.y / p, 20 + c.height * 2000 / 7500, 1e-6);
        EXPECT_NEAR(to.y / p, 20 + c.height * 3000 / 7500, 1e-6);
    }
}

TEST(RenderPages, RasterPagesOfPclJobsPutTheLogicalPageOnAPixel)
{
    // A landscape A4 page at 100 dpi: the logical page's corner, moved by
    // the registration offsets, goes to the nearest pixel corner, and the
    // plot with it. Its corner lies at pixel x 0 and y 1149.33 (3507 - 59
    // dots of 1/300 inch); the plot's origin is 776.67 pixels right of it,
    // and the interpreter moves the origin on into the pixel it falls in.
    // As the interpreter's pages show, 3 decipoints (0.42 pixel) to the
    // right leave the line where it was and 4 (0.56 pixel) move it a pixel,
    // 1 decipoint down (0.14 pixel) leaves it and 2 (0.28 pixel) move it.
    struct Case {
        std::string escapes;
        Point start; // of the line on the sheet, in pixels
    };
    const double p = kInch / 100;
    const std::vector<Case> cases = {
        {"", {776, 1149}},         {"\x1b&l3U", {776, 1149}},
        {"\x1b&l4U", {777, 1149}}, {"\x1b&l1Z", {776, 1149}},
        {"\x1b&l2Z", {776, 1150}}, {"\x1b&l-521U\x1b&l1987Z", {776 - 72, 1149 + 276}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.escapes);
        InterpreterOptions pcl;
        pcl.pcl_job = true;
        pcl.raster_pixel = p;
        // Where the line goes, on the sheet or past it.
        pcl.every_mark = true;
        const RecordingSink sink = draw("\x1b"
                                        "E\x1b&l26A\x1b&l1O"
                                            + c.escapes + "\x1b%1BIN;PU0,0;PD1016,0;",
                                        pcl);
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes.size(), 1u);
        const Point from = sink.pages[0].strokes[0].points[0];
        EXPECT_TRUE(near_point(Point{from.x / p, from.y / p}, c.start, 1e-6));
    }
}

// A PCL job's pages are those the printer ejects with something shown on
// them, as the interpreter prints them: drawing off the sheet or outside
// the picture frame shows nothing and makes no page; a form feed's page
// comes out however blank.
TEST(RenderPages, PclJobsEjectAsTheScannerCounts)
{
    InterpreterOptions pcl;
    pcl.pcl_job = true;
    struct Case {
        std::string job;
        std::size_t pages;
    };
    const std::string e = "\x1b";
    const std::vector<Case> cases = {
        {e + "E" + e + "%1BIN;PU0,0;PD1,1;PG;PD2,2;" + e + "%0A" + e + "E", 1},
        {e + "E" + e + "%1BIN;PU0,0;PD1,1;" + e + "%0A\f" + e + "%1BPD3,3;" + e + "%0A" + e + "E",
         2},
        {e + "E" + e + "%1BIN;PU0,0;PD1,1;" + e + "E" + e + "E", 1},
        {e + "E" + e + "&l1O" + e + "%1BIN;SP1;PU-10694,799;PD-9000,799;" + e + "%0A" + e + "E", 1},
        {e + "E" + e + "&l1O" + e + "%1BIN;SP1;PU100,799;PD900,799;" + e + "%0A" + e + "E" + e
             + "&l1O" + e + "%1BIN;SP1;PU-10694,799;PD-9000,799;" + e + "%0A" + e + "E",
         1},
        {e + "E" + e + "*c1440x1440Y" + e + "%1BIN;SP1;PU5000,5000;PD6000,5000;" + e + "%0A" + e
             + "E" + e + "%1BIN;SP1;PU0,0;PD1,1;" + e + "%0A" + e + "E",
         1},
        {e + "E" + e + "&l1O" + e + "%1BIN;SP1;PU-10694,799;PD-9000,799;" + e + "%0A\f" + e + "E",
         1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pages);
        const RecordingSink sink = draw(c.job, pcl);
        EXPECT_EQ(sink.pages.size(), c.pages);
    }
}

TEST(RenderLabels, SymbolModeCentresItsCharacterOnEachPoint)
{
    // The bar font: with SI 1,1 (cells 500,
    // lines 768) LO 5 centres it: back half a width (200), down half the
    // line's top (171.429); the bar is a third of a cell (166.667) in. A's
    // bar takes the printer's H, 0.969 of the cap height (400), *'s where
    // the printer's * stands, 0.14 to 0.91 of that.
    const StrokeFont bars = bar_font();
    InterpreterOptions options = plain_options();
    options.font = &bars;
    const RecordingSink sink = draw(
        "IN;SI1,1;SM*;PA1000,1000;PD2000,1000;SM;PD3000,1000;PU;SMA;PR0,500;DF;PR0,500;", options);
    const double x = -200 + 500.0 / 3;
    const double low = -171.428571;
    const double h = 0.969 * 400;
    const double high = low + h;
    const double star_low = low + 0.14 * h;
    const double star_high = low + 0.91 * h;
    expect_points(all_stroked(sink),
                  {{1000 + x, 1000 + star_low},
                   {1000 + x, 1000 + star_high},
                   {2000 + x, 1000 + star_low},
                   {2000 + x, 1000 + star_high},
                   // SM ends the polyline: it goes out in two pieces.
                   {1000, 1000},
                   {2000, 1000},
                   {2000, 1000},
                   {3000, 1000},
                   // PR too; DF ends symbol mode.
                   {3000 + x, 1500 + low},
                   {3000 + x, 1500 + high}},
                  1e-3);
}

TEST(RenderLabels, StickGlyphsOnAPrintersRasterStandWithTheirOriginOnAPixelCorner)
{
    // The printer draws a glyph once into its font cache and places it
    // whole: labels a fraction of a pixel apart are drawn a whole number
    // of pixels apart, each from the corner nearest its origin. With TR 0
    // it draws them where they fall.
    const StrokeFont bars = bar_font();
    struct Case {
        const char *transparency;
        bool on_corners;
    };
    const Case cases[] = {{"", true}, {"TR0;", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.transparency);
        InterpreterOptions pcl;
        pcl.pcl_job = true;
        pcl.raster_pixel = 0.254;
        pcl.font = &bars;
        const RecordingSink sink =
            draw(std::string("\x1b"
                             "E\x1b%1BIN;SP1;")
                     + c.transparency + "PA1000,1000;LBA\3;PA1003,1004;LBA\3;",
                 pcl);
        ASSERT_EQ(sink.pages.size(), 1u);
        ASSERT_EQ(sink.pages[0].strokes.size(), 2u);
        const Point a = sink.pages[0].strokes[0].points[0];
        const Point b = sink.pages[0].strokes[1].points[0];
        // 3 and 4 plotter units: 0.295 and 0.394 of a pixel.
        const auto pixels = [](double mm) { return mm / 0.254; };
        const double dx = pixels(std::abs(b.x - a.x));
        const double dy = pixels(std::abs(b.y - a.y));
        if (c.on_corners) {
            EXPECT_NEAR(dx, std::round(dx), 1e-6);
            EXPECT_NEAR(dy, std::round(dy), 1e-6);
        } else {
            EXPECT_NEAR(std::hypot(dx, dy), 5 * 0.025 / 0.254, 1e-6);
        }
        EXPECT_TRUE(sink.pages[0].strokes[0].pen.glyph);
    }
}

TEST(RenderLabels, OutlineFontsGoToTheSinkAsGlyphsInThePensColour)
{
    // 72 point Univers: an em of 1016 plotter units; H advances 39/54 em.
    const StrokeFont bars = bar_font();
    InterpreterOptions options = plain_options();
    options.font = &bars;
    options.outline_glyphs = true;
    const std::string plot = "IN;SP2;SD1,277,2,1,4,72,7,4148;SS;PA1000,1000;LBHH\3;";
    const double em = 1016;
    const double step = 39.0 / 54 * em;
    struct Case {
        const char *what;
        std::string setup;
        Point second;
        Point across;
    } cases[] = {
        {"as drawn", "", {1000 + step, 1000}, {em, 0}},
        // RO 90 turns the plot, labels and all, a quarter turn within
        // its 10000 by 5000 extent.
        {"RO 90", "RO90;", {9000, 1000 + step}, {0, em}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::string turned = plot;
        turned.insert(3, c.setup);
        const RecordingSink sink = draw(turned, options);
        ASSERT_EQ(sink.pages.size(), 1u);
        const std::vector<GlyphMark> &glyphs = sink.pages[0].glyphs;
        ASSERT_EQ(glyphs.size(), 2u);
        EXPECT_TRUE(sink.pages[0].strokes.empty());
        EXPECT_EQ(glyphs[1].character, 'H');
        EXPECT_TRUE(near_point(glyphs[1].origin, c.second, 1e-6));
        EXPECT_TRUE(near_point(glyphs[1].across, c.across, 1e-6));
        EXPECT_NEAR(glyphs[1].advance, 39.0 / 54, 1e-9);
        // Pen 2 of a plain plot is red.
        EXPECT_EQ(glyphs[1].colour.red, 1);
        EXPECT_EQ(glyphs[1].colour.green, 0);
    }
    // A font selected after SI is the font SI sizes.
    const RecordingSink sized =
        draw("IN;SI1,1;SD1,277,2,1,4,72,7,4148;SS;PA1000,1000;LBHH\3;", options);
    EXPECT_EQ(sized.pages.at(0).glyphs.size(), 2u);
    EXPECT_TRUE(sized.pages.at(0).strokes.empty());
    // Without outline glyphs the stroke font draws them.
    options.outline_glyphs = false;
    const RecordingSink stroked = draw(plot, options);
    EXPECT_TRUE(stroked.pages.at(0).glyphs.empty());
    EXPECT_EQ(stroked.pages.at(0).strokes.size(), 2u);
}

TEST(RenderLabels, TheTerminatorPrintsInDtsModeZeroOnly)
{
    // Outline glyphs reach the sink with their characters, in order.
    const StrokeFont bars = bar_font();
    InterpreterOptions options = plain_options();
    options.font = &bars;
    options.outline_glyphs = true;
    struct Case {
        const char *plot;
        const char *printed;
    };
    const Case cases[] = {
        {"DT#,0;LBHI#", "HI#"},
        {"DT#,1;LBHI#", "HI"},
        {"DT#;LBHI#", "HI"},
        // DT; and IN go back to ETX, which does not print.
        {"DT#,0;DT;LBHI\3", "HI"},
        {"DT#,0;IN;SD1,277,2,1,4,72,7,4148;SS;LBHI\3", "HI"},
        // A label the stream cuts short never reaches its terminator.
        {"DT#,0;LBHI", "HI"},
        {"DTH,0;LBIH", "IH"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plot);
        const std::string plot = std::string("IN;SD1,277,2,1,4,72,7,4148;SS;PA1000,1000;") + c.plot;
        const RecordingSink sink = draw(plot, options);
        ASSERT_EQ(sink.pages.size(), 1u);
        std::string printed;
        for (const GlyphMark &glyph : sink.pages[0].glyphs)
            printed += glyph.character;
        EXPECT_EQ(printed, c.printed);
    }
}

TEST(RenderPclText, PrintedAtTheCursorOnTheLogicalPage)
{
    // The first line's baseline is 0.625 inch down the logical page, which
    // starts 1/4 inch in on a portrait letter page and 0.2 inch up from
    // the bottom of a landscape one; characters a tenth of an inch apart,
    // 12 point.
    InterpreterOptions pcl;
    pcl.pcl_job = true;
    const std::string e = "\x1b";
    struct Case {
        const char *what;
        std::string job;
        std::size_t page;
        std::string characters;
        Point start;
        Point advance;
    };
    const std::vector<Case> cases = {
        {"after a reset",
         e + "ESP;PG;" + e + "E",
         0,
         "SP;PG;",
         {0.25 * kInch, 0.625 * kInch},
         {2.54, 0}},
        {"landscape: up the sheet",
         e + "E" + e + "&l1OAB" + e + "E",
         0,
         "AB",
         {0.625 * kInch, 10.8 * kInch},
         {0, -2.54}},
        {"a form feed keeps the place across the line",
         e + "EA\fB" + e + "E",
         1,
         "B",
         {0.35 * kInch, 0.625 * kInch},
         {2.54, 0}},
        {"the cursor where &a put it",
         e + "E" + e + "&a720h360VC" + e + "E",
         0,
         "C",
         {1.25 * kInch, 1.0 * kInch},
         {2.54, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const RecordingSink sink = draw(c.job, pcl);
        ASSERT_EQ(sink.pages.size(), c.page + 1);
        const std::vector<TextRun> &texts = sink.pages[c.page].texts;
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].characters, c.characters);
        expect_points({texts[0].start, texts[0].advance}, {c.start, c.advance});
        EXPECT_NEAR(texts[0].em, 12.0 / 72 * kInch, 1e-9);
    }
}

TEST(RenderPclText, APageOfTextIsAPageAndTheFrameClipsOnlyThePlot)
{
    InterpreterOptions pcl;
    pcl.pcl_job = true;
    const std::string e = "\x1b";
    // The plot's page, then one of text alone, as a job that ends in PCL
    // context prints zelvo's trailer.
    const RecordingSink two =
        draw(e + "E" + e + "%1BIN;PU0,0;PD100,100;" + e + "%0A" + e + "ESP;PG;\n" + e + "E", pcl);
    ASSERT_EQ(two.pages.size(), 2u);
    EXPECT_TRUE(two.pages[0].texts.empty());
    ASSERT_EQ(two.pages[1].texts.size(), 1u);
    EXPECT_TRUE(two.pages[1].strokes.empty());
    // Text before a plot on its page: the text is clipped to the sheet, the
    // plot to the picture frame again.
    const RecordingSink one =
        draw(e + "EAB" + e + "%1BIN;PU0,0;PD100,100;" + e + "%0A" + e + "E", pcl);
    ASSERT_EQ(one.pages.size(), 1u);
    EXPECT_EQ(one.pages[0].texts.size(), 1u);
    EXPECT_EQ(one.pages[0].strokes.size(), 1u);
    EXPECT_GT(one.pages[0].clip_low.y, 0);
    // Spaces print nothing.
    const RecordingSink spaces =
        draw(e + "E   " + e + "%1BIN;PU0,0;PD100,100;" + e + "%0A" + e + "E", pcl);
    ASSERT_EQ(spaces.pages.size(), 1u);
    EXPECT_TRUE(spaces.pages[0].texts.empty());
}

TEST(PclPlacement, WhereThePrinterPutsTheOrigin)
{
    struct Case {
        const char *name;
        std::string escapes;
        Point origin;    // the plot's (0, 0) on the sheet
        Point p2;        // P2 after IN, plotter units
        Point frame_low; // the picture frame on the sheet
        Point frame_high;
    };
    const std::string e = "\x1b";
    // Measured with the PCL interpreter on letter paper: portrait, the
    // logical page 1/4 inch in and the frame from 1/2 inch below its top to
    // 1/2 inch above its bottom; landscape, the logical page 0.2 inch along
    // the long side and running up the sheet.
    const std::vector<Case> cases = {
        {"portrait",
         "",
         {0.25 * kInch, 10.5 * kInch},
         {8 * 1016, 10 * 1016},
         {0.25 * kInch, 0.5 * kInch},
         {8.25 * kInch, 10.5 * kInch}},
        {"landscape",
         e + "&l1O",
         {8 * kInch, 10.8 * kInch},
         {10.6 * 1016, 7.5 * 1016},
         {0.5 * kInch, 0.2 * kInch},
         {8 * kInch, 10.8 * kInch}},
        // A frame of 5000 x 3000 decipoints anchored at the cursor, 100 and
        // 200 decipoints from the top margin's corner.
        {"anchored frame",
         e + "&l1O" + e + "*c5000x3000Y" + e + "&a100h200V" + e + "*c0T",
         {(0.5 + 200.0 / 720 + 3000.0 / 720) * kInch, (11 - 0.2 - 100.0 / 720) * kInch},
         {5000.0 / 720 * 1016, 3000.0 / 720 * 1016},
         {(0.5 + 200.0 / 720) * kInch, (11 - 0.2 - 100.0 / 720 - 5000.0 / 720) * kInch},
         {(0.5 + 200.0 / 720 + 3000.0 / 720) * kInch, (11 - 0.2 - 100.0 / 720) * kInch}},
        // Where no escape has put the cursor, it stands on the first line's
        // baseline, 3/4 of a line (1/6 inch) under the top margin.
        {"frame anchored on the first line",
         e + "&l1O" + e + "*c5000x3000Y" + e + "*c0T",
         {(0.625 + 3000.0 / 720) * kInch, (11 - 0.2) * kInch},
         {5000.0 / 720 * 1016, 3000.0 / 720 * 1016},
         {0.625 * kInch, (11 - 0.2 - 5000.0 / 720) * kInch},
         {(0.625 + 3000.0 / 720) * kInch, (11 - 0.2) * kInch}},
        // A4: 71/300 inch in portrait, on a sheet the printer takes as 3507
        // dots of 1/300 inch long (its origin on a page of 100 dpi is on row
        // 1119 exactly, not 0.29 pixel below).
        {"A4", e + "&l26A", {71.0 / 300 * kInch, 3507.0 / 300 * kInch - 0.5 * kInch}, {}, {}, {}},
        // Registration offsets move the logical page on the sheet held
        // portrait, whatever the orientation, and outlast it.
        {"registration, portrait",
         e + "&l360U" + e + "&l-180Z",
         {0.75 * kInch, 10.25 * kInch},
         {8 * 1016, 10 * 1016},
         {0.75 * kInch, 0.25 * kInch},
         {8.75 * kInch, 10.25 * kInch}},
        {"registration, landscape",
         e + "&l360U" + e + "&l-180Z" + e + "&l1O",
         {8.5 * kInch, 10.55 * kInch},
         {10.6 * 1016, 7.5 * 1016},
         {1 * kInch, -0.05 * kInch},
         {8.5 * kInch, 10.55 * kInch}},
        {"registration, reset", e + "&l360U" + e + "E", {0.25 * kInch, 10.5 * kInch}, {}, {}, {}},
        // zelvo -fit -paper A4 of an A4 plot: a frame larger than the page,
        // anchored at the logical page's corner (no top margin), brought
        // onto the page by the offsets, the plot scaled to it.
        {"frame beyond the page",
         e + "&l26A" + e + "&l1O" + e + "&l0E" + e + "&l1987Z" + e + "&l-521U" + e + "*c10849x7676Y"
             + e + "&a0h0V" + e + "*c0T" + e + "*c10.600k7.500L",
         {(7676.0 - 521) / 720 * kInch, (3507.0 - 59) / 300 * kInch + 1987.0 / 720 * kInch},
         {10.6 * 1016, 7.5 * 1016},
         {-521.0 / 720 * kInch, ((3507.0 - 59) / 300 + (1987.0 - 10849) / 720) * kInch},
         {(7676.0 - 521) / 720 * kInch, ((3507.0 - 59) / 300 + 1987.0 / 720) * kInch}},
        // The same orientation again changes nothing (zelvo sends it twice).
        {"repeated orientation",
         e + "&l1O" + e + "*c5000x3000Y" + e + "&l1O",
         {(0.5 + 3000.0 / 720) * kInch, 10.8 * kInch},
         {},
         {},
         {}},
        {"reset", e + "&l1O" + e + "E", {0.25 * kInch, 10.5 * kInch}, {}, {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PclPage page;
        PlotScanner scanner;
        // The escapes read by the scanner, as a job gives them.
        struct Collect : ScanEvents {
            PclPage &page;
            PclCursor cursor;
            explicit Collect(PclPage &p) : page(p) {}
            void instruction(char, char) override {}
            void parameters(const char *, std::size_t) override {}
            void text(const char *, std::size_t) override {}
            void instruction_end() override {}
            void escape(const EscapeSequence &s) override
            {
                apply_pcl_escape(page, s, cursor);
                cursor = pcl_cursor_after(cursor, s, page);
            }
            void context(bool) override {}
            void page_ejected() override {}
        } collect(page);
        scan_plot_events(scanner, c.escapes.data(), c.escapes.size(), collect);
        const PlotPlacement placement = place_plot(page);
        const Point origin = placement.plot_to_sheet.apply({0, 0});
        EXPECT_TRUE(near_point(origin, c.origin, 1e-6));
        if (c.p2.x > 0) {
            EXPECT_NEAR(placement.plot_length, c.p2.x, 1e-6);
            EXPECT_NEAR(placement.plot_width, c.p2.y, 1e-6);
            expect_points({placement.frame_low, placement.frame_high}, {c.frame_low, c.frame_high});
        }
    }
}

TEST(PclPlacement, PlotSizeScalesEachAxis)
{
    PclPage page;
    page.landscape = true;
    page.frame_width = 5;
    page.frame_height = 4;
    page.plot_width = 10;
    page.plot_height = 2;
    const PlotPlacement placement = place_plot(page);
    // One inch of the plot along X is half an inch up the sheet; along Y two
    // inches across it.
    const Point origin = placement.plot_to_sheet.apply({0, 0});
    const Point x = placement.plot_to_sheet.apply({1016, 0});
    const Point y = placement.plot_to_sheet.apply({0, 1016});
    EXPECT_NEAR(x.y - origin.y, -0.5 * kInch, 1e-9);
    EXPECT_NEAR(x.x - origin.x, 0, 1e-9);
    EXPECT_NEAR(y.x - origin.x, -2 * kInch, 1e-9);
    EXPECT_NEAR(placement.plot_length, 10 * 1016, 1e-9);
    EXPECT_NEAR(placement.plot_width, 2 * 1016, 1e-9);
    // Pen widths grow with the plot: by the mean of the two scales.
    EXPECT_NEAR(placement.pen_scale, 1, 1e-9);
    page.frame_height = 8;
    EXPECT_NEAR(place_plot(page).pen_scale, std::sqrt(2.0), 1e-9);
}

TEST(RenderMeasure, ExtentInPlotterUnitsAndPages)
{
    struct Case {
        std::string plot;
        bool pcl_job;
        bool drawn;
        Point low;
        Point high;
        std::uint64_t pages;
    };
    const std::string e = "\x1b";
    const std::vector<Case> cases = {
        {"IN;PU100,200;PD300,-50;", false, true, {100, -50}, {300, 200}, 1},
        // User units and RO count as drawn, in the plot's own coordinates: P2
        // is where the default picture frame puts it, 10.6 by 7.5 inches.
        {"IN;SC0,100,0,100;PU0,0;PD100,100;", false, true, {0, 0}, {10769.6, 7620}, 1},
        {"IN;RO90;PU0,0;PD100,50;", false, true, {10719.6, 0}, {10769.6, 100}, 1},
        {"IN;PU0,0;CI100;PG;PU0,0;PD10,10;PG;", false, true, {-100, -100}, {100, 100}, 2},
        {"IN;PU0,0;", false, false, {}, {}, 1},
        {e + "E" + e + "%1BIN;PU0,0;PD1,1;" + e + "%0A\f" + e + "E", true, true, {0, 0}, {1, 1}, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.plot);
        StringSource source(c.plot);
        const PlotMeasure measure = measure_plot(source);
        EXPECT_EQ(measure.pcl_job, c.pcl_job);
        EXPECT_EQ(measure.drawn, c.drawn);
        EXPECT_EQ(measure.pages, c.pages);
        if (c.drawn)
            expect_points({measure.low, measure.high}, {c.low, c.high});
    }
}

TEST(RenderMeasure, PlainLayoutFromPlotSizeOrExtent)
{
    // PS gives the page: 400 by 250 mm, the origin at its lower left.
    StringSource sized("PS16000,10000;IN;PU0,0;PD100,100;");
    const PlotLayout by_size = plain_layout(measure_plot(sized), {});
    EXPECT_DOUBLE_EQ(by_size.sheet_width, 400);
    EXPECT_DOUBLE_EQ(by_size.sheet_height, 250);
    expect_points({by_size.plot_to_sheet.apply({0, 0})}, {{0, 250}});

    // Without PS the drawing with 10 mm all round.
    StringSource drawn("IN;PU1000,1000;PD5000,3000;");
    const PlotLayout by_extent = plain_layout(measure_plot(drawn), {});
    EXPECT_DOUBLE_EQ(by_extent.sheet_width, 120);
    EXPECT_DOUBLE_EQ(by_extent.sheet_height, 70);
    expect_points(
        {by_extent.plot_to_sheet.apply({1000, 1000}), by_extent.plot_to_sheet.apply({5000, 3000})},
        {{10, 60}, {110, 10}});

    // Fitted to A4, turned to the drawing's shape: 277 by 190 mm at most,
    // the same scale on both axes, in the middle.
    StringSource fitted("IN;PU0,0;PD4000,1000;");
    RenderOptions options;
    options.paper = find_paper("A4");
    options.fit = true;
    const PlotLayout fit = plain_layout(measure_plot(fitted), options);
    EXPECT_DOUBLE_EQ(fit.sheet_width, 297);
    EXPECT_DOUBLE_EQ(fit.sheet_height, 210);
    expect_points({fit.plot_to_sheet.apply({0, 0}), fit.plot_to_sheet.apply({4000, 1000})},
                  {{10, 105 + 277.0 / 8}, {287, 105 - 277.0 / 8}});
}

} // namespace

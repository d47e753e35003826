// Label layout against coordinates worked out by hand. The font here gives
// every character from '!' on the same glyph: a bar up the middle of bounds
// -3 to 3, from the baseline to the cap height 21; ' ' has no strokes. With
// SI 1,1 (w = h = 400 plotter units) a cell is 500 wide, the bar 500/3 into
// it and 400 high, and lines are 768 apart.
#include "label_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

StrokeFont bar_font()
{
    std::string text = "    1  1OU\n";
    for (int i = 0; i < 95; ++i)
        text += "    2  3OUR[RF\n";
    StrokeFontResult r = parse_stroke_font(text);
    EXPECT_TRUE(r.ok) << r.error;
    return r.font;
}

class Recorder : public LabelStrokeListener {
public:
    std::vector<std::vector<PlotterPoint>> strokes;

    void stroke(const PlotterPoint *points, std::size_t count) override
    {
        strokes.emplace_back(points, points + count);
    }
};

struct Laid {
    std::vector<std::vector<PlotterPoint>> strokes;
    LabelPosition after;
};

LabelSettings si_1_1()
{
    LabelSettings s;
    s.size = absolute_character_size(1, 1);
    return s;
}

Laid lay(const LabelSettings &s, const std::string &text, PlotterPoint at = {1000, 1000})
{
    static const StrokeFont font = bar_font();
    Recorder r;
    const LabelPosition after = layout_label(font, s, {at, at}, text, r);
    return {r.strokes, after};
}

constexpr double kNear = 1e-3;

void expect_point(PlotterPoint got, PlotterPoint want)
{
    EXPECT_NEAR(got.x, want.x, kNear);
    EXPECT_NEAR(got.y, want.y, kNear);
}

// The bottom of each character's bar.
void expect_bars(const Laid &laid, const std::vector<PlotterPoint> &bottoms)
{
    ASSERT_EQ(laid.strokes.size(), bottoms.size());
    for (std::size_t i = 0; i < bottoms.size(); ++i) {
        SCOPED_TRACE("character " + std::to_string(i));
        ASSERT_EQ(laid.strokes[i].size(), 2u);
        expect_point(laid.strokes[i][0], bottoms[i]);
    }
}

TEST(LayoutLabel, EachOrigin)
{
    // "AB" from (1000, 1000): the line is two cells, 1000, which LO measures
    // as 800; its top is 6/7 of 400 up (342.857), and 11-19 lie a further
    // 113.137 out on each axis. The pen ends at the line's end moved back
    // as the origin moved it along the line.
    const double top = -342.857143;
    const double mid = -171.428571;
    const double out = 113.137085;
    const struct {
        int origin;
        PlotterPoint offset;
        double pen_x;
    } rows[] = {
        {1, {0, 0}, 2000},
        {2, {0, mid}, 2000},
        {3, {0, top}, 2000},
        {4, {-400, 0}, 1500},
        {5, {-400, mid}, 1500},
        {6, {-400, top}, 1500},
        {7, {-800, 0}, 1000},
        {8, {-800, mid}, 1000},
        {9, {-800, top}, 1000},
        {11, {out, out}, 2000},
        {12, {out, mid}, 2000},
        {13, {out, top - out}, 2000},
        {14, {-400, out}, 1500},
        {15, {-400, mid}, 1500},
        {16, {-400, top - out}, 1500},
        {17, {-800 - out, out}, 1000},
        {18, {-800 - out, mid}, 1000},
        {19, {-800 - out, top - out}, 1000},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.origin);
        LabelSettings s = si_1_1();
        s.origin = row.origin;
        const Laid laid = lay(s, "AB");
        expect_bars(laid, {{1166.666667 + row.offset.x, 1000 + row.offset.y},
                           {1666.666667 + row.offset.x, 1000 + row.offset.y}});
        expect_point(laid.after.pen, {row.pen_x, 1000});
        expect_point(laid.after.carriage_return, {1000, 1000});
    }
}

TEST(LayoutLabel, Directions)
{
    const struct {
        const char *what;
        PlotterPoint direction;
        int origin;
        PlotterPoint a_bottom, a_top, b_bottom, pen;
    } rows[] = {
        {"DI 1,0",
         {1, 0},
         1,
         {1166.666667, 1000},
         {1166.666667, 1400},
         {1666.666667, 1000},
         {2000, 1000}},
        // 90 degrees: the baseline runs up the page, the characters' up is
        // to the left.
        {"DI 0,1",
         {0, 1},
         1,
         {1000, 1166.666667},
         {600, 1166.666667},
         {1000, 1666.666667},
         {1000, 2000}},
        {"DI 0,5",
         {0, 5},
         1,
         {1000, 1166.666667},
         {600, 1166.666667},
         {1000, 1666.666667},
         {1000, 2000}},
        {"DI -1,0",
         {-1, 0},
         1,
         {833.333333, 1000},
         {833.333333, 600},
         {333.333333, 1000},
         {0, 1000}},
        // LO 3 moves the label down its own up: to the right.
        {"DI 0,1 LO 3",
         {0, 1},
         3,
         {1342.857143, 1166.666667},
         {942.857143, 1166.666667},
         {1342.857143, 1666.666667},
         {1000, 2000}},
        // 45 degrees: a cell is 353.553 along each axis.
        {"DI 1,1",
         {1, 1},
         1,
         {1117.851130, 1117.851130},
         {835.008418, 1400.693843},
         {1471.404521, 1471.404521},
         {1707.106781, 1707.106781}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        LabelSettings s = si_1_1();
        s.direction = row.direction;
        s.origin = row.origin;
        const Laid laid = lay(s, "AB");
        ASSERT_EQ(laid.strokes.size(), 2u);
        expect_point(laid.strokes[0][0], row.a_bottom);
        expect_point(laid.strokes[0][1], row.a_top);
        expect_point(laid.strokes[1][0], row.b_bottom);
        expect_point(laid.after.pen, row.pen);
    }
}

TEST(LayoutLabel, SlantLeansTheTopAlongTheBaseline)
{
    const struct {
        double slant;
        PlotterPoint direction;
        PlotterPoint top;
    } rows[] = {
        {1, {1, 0}, {1566.666667, 1400}},
        {-0.5, {1, 0}, {966.666667, 1400}},
        // Rotated with the label: the top leans up the page.
        {1, {0, 1}, {600, 1566.666667}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.slant);
        LabelSettings s = si_1_1();
        s.slant = row.slant;
        s.direction = row.direction;
        const Laid laid = lay(s, "A");
        ASSERT_EQ(laid.strokes.size(), 1u);
        expect_point(laid.strokes[0][1], row.top);
    }
}

TEST(LayoutLabel, ControlCharactersAndSpacing)
{
    const struct {
        const char *what;
        std::string text;
        std::vector<PlotterPoint> bottoms;
        LabelPosition after;
    } rows[] = {
        {"CR LF", "A\r\nB", {{1166.666667, 1000}, {1166.666667, 232}}, {{1500, 232}, {1000, 232}}},
        {"LF alone", "A\nB", {{1166.666667, 1000}, {1666.666667, 232}}, {{2000, 232}, {1000, 232}}},
        {"CR alone",
         "AB\rC",
         {{1166.666667, 1000}, {1666.666667, 1000}, {1166.666667, 1000}},
         {{1500, 1000}, {1000, 1000}}},
        {"BS: back a space (400)",
         "AB\bC",
         {{1166.666667, 1000}, {1666.666667, 1000}, {1766.666667, 1000}},
         {{2100, 1000}, {1000, 1000}}},
        {"HT: five spaces", "\tA", {{3166.666667, 1000}}, {{3500, 1000}, {1000, 1000}}},
        {"SP takes a cell",
         "A B",
         {{1166.666667, 1000}, {2166.666667, 1000}},
         {{2500, 1000}, {1000, 1000}}},
        {"other controls do nothing",
         "\x01\x1b"
         "A\x7f",
         {{1166.666667, 1000}},
         {{1500, 1000}, {1000, 1000}}},
        {"no glyph above '~': an empty cell",
         "\xc1"
         "B",
         {{1666.666667, 1000}},
         {{2000, 1000}, {1000, 1000}}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const Laid laid = lay(si_1_1(), row.text);
        expect_bars(laid, row.bottoms);
        expect_point(laid.after.pen, row.after.pen);
        expect_point(laid.after.carriage_return, row.after.carriage_return);
    }
}

TEST(LayoutLabel, CentredLinesEachMeasured)
{
    // LO 4: each line is centred on the carriage-return point's place.
    LabelSettings s = si_1_1();
    s.origin = 4;
    const Laid laid = lay(s, "A\r\nBCD");
    expect_bars(laid,
                {{966.666667, 1000}, {566.666667, 232}, {1066.666667, 232}, {1566.666667, 232}});
    expect_point(laid.after.pen, {1750, 232});
}

TEST(LayoutLabel, SettingsThatMoveCharacters)
{
    const struct {
        const char *what;
        LabelSettings settings;
        std::string text;
        std::vector<PlotterPoint> bottoms;
        PlotterPoint pen;
    } rows[] = {
        // ES 0.5,1: cells 500 + 200, lines 768 * 2.
        {"extra space",
         [] {
             LabelSettings s = si_1_1();
             s.extra_space = 0.5;
             s.extra_lines = 1;
             return s;
         }(),
         "AB\nC",
         {{1166.666667, 1000}, {1866.666667, 1000}, {2566.666667, -536}},
         {3100, -536}},
        // DV 1: down the page, 1.44 h = 576 apart.
        {"path down",
         [] {
             LabelSettings s = si_1_1();
             s.path = TextPath::Down;
             return s;
         }(),
         "AB",
         {{1166.666667, 1000}, {1166.666667, 424}},
         {1000, -152}},
        // DV 0,1: the line feed goes up.
        {"reverse line feed",
         [] {
             LabelSettings s = si_1_1();
             s.reverse_line_feed = true;
             return s;
         }(),
         "A\r\nB",
         {{1166.666667, 1000}, {1166.666667, 1768}},
         {1500, 1768}},
        // Proportional: the glyph's own advance, 6 font units of 500/21, the
        // glyph at the start of it.
        {"proportional",
         [] {
             LabelSettings s = si_1_1();
             s.proportional = true;
             return s;
         }(),
         "AB",
         {{1071.428571, 1000}, {1214.285714, 1000}},
         {1285.714286, 1000}},
        // A negative width mirrors the label right to left.
        {"mirrored",
         [] {
             LabelSettings s = si_1_1();
             s.size.width = -400;
             return s;
         }(),
         "AB",
         {{833.333333, 1000}, {333.333333, 1000}},
         {0, 1000}},
        // LM 1: the eighth bit dropped, 0xc1 is 'A'.
        {"seven-bit",
         [] {
             LabelSettings s = si_1_1();
             s.seven_bit = true;
             return s;
         }(),
         "\xc1"
         "B",
         {{1166.666667, 1000}, {1666.666667, 1000}},
         {2000, 1000}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const Laid laid = lay(row.settings, row.text);
        expect_bars(laid, row.bottoms);
        expect_point(laid.after.pen, row.pen);
    }
}

TEST(CharacterPlot, SpacesAndLines)
{
    const LabelPosition from{{1000, 1000}, {1000, 1000}};
    const struct {
        const char *what;
        PlotterPoint direction;
        double spaces, lines;
        LabelPosition after;
    } rows[] = {
        // Spaces of 400, lines of 768; positive lines go up, against the
        // line feed, and take the carriage-return point along.
        {"CP 2,1", {1, 0}, 2, 1, {{1800, 1768}, {1000, 1768}}},
        {"CP 2,-1", {1, 0}, 2, -1, {{1800, 232}, {1000, 232}}},
        {"CP -1.5,0", {1, 0}, -1.5, 0, {{400, 1000}, {1000, 1000}}},
        {"CP 2,1 at 90 degrees", {0, 1}, 2, 1, {{232, 1800}, {232, 1000}}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        LabelSettings s = si_1_1();
        s.direction = row.direction;
        const LabelPosition after = character_plot(s, from, row.spaces, row.lines);
        expect_point(after.pen, row.after.pen);
        expect_point(after.carriage_return, row.after.carriage_return);
    }
    // Without parameters: back to the carriage-return point, a line down.
    const LabelPosition after = character_plot_new_line(si_1_1(), {{2000, 1000}, {1000, 1000}});
    expect_point(after.pen, {1000, 232});
    expect_point(after.carriage_return, {1000, 232});
}

TEST(CharacterSizes, FromEachInstruction)
{
    const struct {
        const char *what;
        CharacterSize size;
        CharacterSize want;
    } rows[] = {
        {"SI 1,1.5", absolute_character_size(1, 1.5), {400, 600}},
        {"SR 0.75,1.5 of 10000 by 7000",
         relative_character_size(0.75, 1.5, {10000, 7000}),
         {75, 105}},
        // 9 characters an inch: cells of 1016/9, the cap height as high.
        {"fixed, 9 cpi", font_character_size(false, 9, 11.5), {90.311111, 112.888889}},
        // 11.5 points, the cap height two thirds of it.
        {"proportional, 11.5 point", font_character_size(true, 9, 11.5), {86.548148, 108.185185}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_NEAR(row.size.width, row.want.width, kNear);
        EXPECT_NEAR(row.size.height, row.want.height, kNear);
    }
    const PlotterPoint dr = relative_direction(50, 100, {10000, 7000});
    expect_point(dr, {5000, 7000});
}

TEST(StickLineWidth, FollowsTheSmallerOfCellAndHeight)
{
    const struct {
        CharacterSize size;
        double width;
    } rows[] = {
        {{400, 400}, 36},
        {{800, 400}, 36},
        {{400, 800}, 45},
        {{-400, 400}, 36},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.size.width);
        LabelSettings s;
        s.size = row.size;
        EXPECT_NEAR(stick_line_width(s), row.width, kNear);
    }
}

} // namespace

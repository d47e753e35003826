// SPDX-License-Identifier: MIT
// Label layout against coordinates worked out by hand, with the bar font
// (bar_font.h). With
// SI 1,1 (w = h = 400 plotter units) a cell is 500 wide, the bar 500/3 into
// it and 400 high, lines are 768 apart and a space is 400.
#include "bar_font.h"
#include "label_layout.h"
#include "support/near_point.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Recorder : public LabelStrokeListener {
public:
    std::vector<std::vector<Point>> strokes;

    void stroke(const Point *points, std::size_t count, Point) override
    {
        strokes.emplace_back(points, points + count);
    }
    void fill(const Point *points, std::size_t count) override
    {
        fills.emplace_back(points, points + count);
    }
    void glyph(char c, Point origin, Point across, Point up, double advance) override
    {
        glyphs.push_back({c, origin, across, up, advance});
    }

    struct Mark {
        char c;
        Point origin, across, up;
        double advance;
    };
    std::vector<Mark> glyphs;
    std::vector<std::vector<Point>> fills;
};

struct Laid {
    std::vector<std::vector<Point>> strokes;
    LabelPosition after;
};

LabelSettings si_1_1()
{
    LabelSettings s;
    s.size = absolute_character_size(1, 1);
    return s;
}

Laid lay(const LabelSettings &s, const std::string &text, Point at = {1000, 1000})
{
    static const StrokeFont font = bar_font();
    Recorder r;
    const LabelPosition after = layout_label(font, s, {at, at}, text, r);
    return {r.strokes, after};
}

constexpr double kNear = 1e-3;
// A stick glyph moves the pen its cell and a 2048th of the cell on: at
// SI 1,1 the cell is 500 across and 400 up.
constexpr double kPast = 500.0 / 2048;
constexpr double kPastUp = 400.0 / 2048;
// The printer's stick H, and so the bar, spans 0.969 of the cap height.
constexpr double kH = 0.969;

void expect_point(Point got, Point want)
{
    EXPECT_TRUE(near_point(got, want, kNear));
}

// The bottom of each character's bar.
void expect_bars(const Laid &laid, const std::vector<Point> &bottoms)
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
    // 0.33 of that out on each axis. The pen ends at the line's end moved
    // back as the origin moved it, for the origins after which a label can
    // follow on along the path right (1-3, 11-13), and at the
    // carriage-return point for the rest. Each glyph moves the pen a hair
    // past its cell; LO measures by cells.
    const double top = -342.857143;
    const double mid = -171.428571;
    const double out = 113.142857;
    const struct {
        int origin;
        Point offset;
        double pen_x;
    } rows[] = {
        {1, {0, 0}, 2000 + 2 * kPast},
        {2, {0, mid}, 2000 + 2 * kPast},
        {3, {0, top}, 2000 + 2 * kPast},
        {4, {-400, 0}, 1000},
        {5, {-400, mid}, 1000},
        {6, {-400, top}, 1000},
        {7, {-800, 0}, 1000},
        {8, {-800, mid}, 1000},
        {9, {-800, top}, 1000},
        {11, {out, out}, 2000 + 2 * kPast},
        {12, {out, mid}, 2000 + 2 * kPast},
        {13, {out, top - out}, 2000 + 2 * kPast},
        {14, {-400, out}, 1000},
        {15, {-400, mid}, 1000},
        {16, {-400, top - out}, 1000},
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
                           {1666.666667 + kPast + row.offset.x, 1000 + row.offset.y}});
        expect_point(laid.after.pen, {row.pen_x, 1000});
        expect_point(laid.after.carriage_return, {1000, 1000});
    }
}

TEST(LayoutLabel, Directions)
{
    const struct {
        const char *what;
        Point direction;
        int origin;
        Point a_bottom, a_top, b_bottom, pen;
    } rows[] = {
        {"DI 1,0",
         {1, 0},
         1,
         {1166.666667, 1000},
         {1166.666667, 1000 + kH * 400},
         {1666.666667 + kPast, 1000},
         {2000 + 2 * kPast, 1000}},
        // 90 degrees: the baseline runs up the page, the characters' up is
        // to the left; turned as if cell and cap height were one, the
        // characters take the cap height (400) each along the baseline and
        // are a cell (500) high.
        {"DI 0,1",
         {0, 1},
         1,
         {1000, 1133.333333},
         {1000 - kH * 500, 1133.333333},
         {1000, 1533.333333 + kPastUp},
         {1000, 1800 + 2 * kPastUp}},
        {"DI 0,5",
         {0, 5},
         1,
         {1000, 1133.333333},
         {1000 - kH * 500, 1133.333333},
         {1000, 1533.333333 + kPastUp},
         {1000, 1800 + 2 * kPastUp}},
        // Within half a degree of the X axis is along it.
        {"DI 100,0.8",
         {100, 0.8},
         1,
         {1166.666667, 1000},
         {1166.666667, 1000 + kH * 400},
         {1666.666667 + kPast, 1000},
         {2000 + 2 * kPast, 1000}},
        {"DI -1,0",
         {-1, 0},
         1,
         {833.333333, 1000},
         {833.333333, 1000 - kH * 400},
         {333.333333 - kPast, 1000},
         {-2 * kPast, 1000}},
        // LO 3 moves the label down its own up, unstretched: to the right
        // by the top, 342.857.
        {"DI 0,1 LO 3",
         {0, 1},
         3,
         {1342.857143, 1133.333333},
         {1342.857143 - kH * 500, 1133.333333},
         {1342.857143, 1533.333333 + kPastUp},
         {1000, 1800 + 2 * kPastUp}},
        // 45 degrees: turned in the frame of the cell (500 across) and cap
        // height (400 up), the baseline climbs at 38.7 degrees.
        {"DI 1,1",
         {1, 1},
         1,
         {1117.851130, 1094.280904},
         {1117.851130 - kH * 353.553391, 1094.280904 + kH * 282.842712},
         {1471.404521 + 353.553391 / 2048, 1377.123617 + 282.842712 / 2048},
         {1707.106781 + 2 * 353.553391 / 2048, 1565.685425 + 2 * 282.842712 / 2048}},
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
        Point direction;
        Point top;
    } rows[] = {
        // The lean is in cells per cap height: SL 1 moves the top of the
        // bar (0.969 of the cap height up) 0.969 of a cell.
        {1, {1, 0}, {1166.666667 + kH * 500, 1000 + kH * 400}},
        {-0.5, {1, 0}, {1166.666667 - kH * 250, 1000 + kH * 400}},
        // Rotated with the label: the top leans up the page.
        {1, {0, 1}, {1000 - kH * 500, 1133.333333 + kH * 400}},
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
        std::vector<Point> bottoms;
        LabelPosition after;
    } rows[] = {
        {"CR LF",
         "A\r\nB",
         {{1166.666667, 1000}, {1166.666667, 232}},
         {{1500 + kPast, 232}, {1000, 232}}},
        {"LF alone",
         "A\nB",
         {{1166.666667, 1000}, {1666.666667 + kPast, 232}},
         {{2000 + 2 * kPast, 232}, {1000, 232}}},
        {"CR alone",
         "AB\rC",
         {{1166.666667, 1000}, {1666.666667 + kPast, 1000}, {1166.666667, 1000}},
         {{1500 + kPast, 1000}, {1000, 1000}}},
        {"BS: back a space (400)",
         "AB\bC",
         {{1166.666667, 1000}, {1666.666667 + kPast, 1000}, {1766.666667 + 2 * kPast, 1000}},
         {{2100 + 3 * kPast, 1000}, {1000, 1000}}},
        {"HT: five spaces", "\tA", {{3166.666667, 1000}}, {{3500 + kPast, 1000}, {1000, 1000}}},
        {"SP takes a cell",
         "A B",
         {{1166.666667, 1000}, {2166.666667 + 2 * kPast, 1000}},
         {{2500 + 3 * kPast, 1000}, {1000, 1000}}},
        {"other controls do nothing",
         "\x01\x1b"
         "A\x7f",
         {{1166.666667, 1000}},
         {{1500 + kPast, 1000}, {1000, 1000}}},
        {"Roman-8's dash: the glyph of '-'",
         "\xf6"
         "B",
         {{1166.666667, 1000}, {1666.666667 + kPast, 1000}},
         {{2000 + 2 * kPast, 1000}, {1000, 1000}}},
        {"no glyph above '~': an empty cell",
         "\xc1"
         "B",
         {{1666.666667 + kPast, 1000}},
         {{2000 + 2 * kPast, 1000}, {1000, 1000}}},
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
    // LO 4: each piece up to a CR is centred on the carriage-return point's
    // place; after it the pen is at the carriage-return point.
    LabelSettings s = si_1_1();
    s.origin = 4;
    const Laid a_line_each = lay(s, "A\r\nBCD");
    expect_bars(a_line_each, {{966.666667, 1000},
                              {566.666667, 232},
                              {1066.666667 + kPast, 232},
                              {1566.666667 + 2 * kPast, 232}});
    expect_point(a_line_each.after.pen, {1000, 232});
    // LF does not end a piece: "A" and "BC" are measured as one, 1200.
    const Laid one_piece = lay(s, "A\nBC");
    expect_bars(one_piece,
                {{566.666667, 1000}, {1066.666667 + kPast, 232}, {1566.666667 + 2 * kPast, 232}});
}

TEST(LayoutLabel, SettingsThatMoveCharacters)
{
    const struct {
        const char *what;
        LabelSettings settings;
        std::string text;
        std::vector<Point> bottoms;
        Point pen;
    } rows[] = {
        // ES 0.5,1: a character takes its width and the extra, 400 * 1.5,
        // not its cell (the interpreter's labels get narrower for ES 0.1);
        // lines 768 * 2.
        {"extra space",
         [] {
             LabelSettings s = si_1_1();
             s.extra_space = 0.5;
             s.extra_lines = 1;
             return s;
         }(),
         "AB\nC",
         {{1166.666667, 1000}, {1766.666667, 1000}, {2366.666667, -536}},
         {2800, -536}},
        // DV 1: down the page, 1.44 h = 576 apart, the label first moved up
        // by its height so that it ends at the pen; the pen then goes back
        // to the carriage-return point.
        {"path down",
         [] {
             LabelSettings s = si_1_1();
             s.path = TextPath::Down;
             return s;
         }(),
         "AB",
         {{1166.666667, 1576}, {1166.666667, 1000}},
         {1000, 1000}},
        {"path up",
         [] {
             LabelSettings s = si_1_1();
             s.path = TextPath::Up;
             return s;
         }(),
         "AB",
         {{1166.666667, 1000}, {1166.666667, 1576}},
         {1000, 2152}},
        // DV 2: each character steps back its width (400) and is drawn
        // there, the label first moved on by its length so that it starts
        // at the pen.
        {"path left",
         [] {
             LabelSettings s = si_1_1();
             s.path = TextPath::Left;
             return s;
         }(),
         "AB",
         {{1566.666667, 1000}, {1166.666667, 1000}},
         {1000, 1000}},
        // DV 0,1: the line feed goes up.
        {"reverse line feed",
         [] {
             LabelSettings s = si_1_1();
             s.reverse_line_feed = true;
             return s;
         }(),
         "A\r\nB",
         {{1166.666667, 1000}, {1166.666667, 1768}},
         {1500 + kPast, 1768}},
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
         {{833.333333, 1000}, {333.333333 - kPast, 1000}},
         {-2 * kPast, 1000}},
        // LM 1: the eighth bit dropped, 0xc1 is 'A'.
        {"seven-bit",
         [] {
             LabelSettings s = si_1_1();
             s.seven_bit = true;
             return s;
         }(),
         "\xc1"
         "B",
         {{1166.666667, 1000}, {1666.666667 + kPast, 1000}},
         {2000 + 2 * kPast, 1000}},
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
        Point direction;
        double spaces, lines;
        LabelPosition after;
    } rows[] = {
        // Spaces of 400, lines of 768; positive lines go up, against the
        // line feed. A move with lines takes the carriage-return point
        // along, its spaces too; one without leaves it.
        {"CP 2,1", {1, 0}, 2, 1, {{1800, 1768}, {1800, 1768}}},
        {"CP 2,-1", {1, 0}, 2, -1, {{1800, 232}, {1800, 232}}},
        {"CP -1.5,0", {1, 0}, -1.5, 0, {{400, 1000}, {1000, 1000}}},
        {"CP 2,1 at 90 degrees", {0, 1}, 2, 1, {{232, 1800}, {232, 1800}}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        LabelSettings s = si_1_1();
        s.direction = row.direction;
        const LabelPosition after = character_plot(s, from, row.spaces, row.lines);
        expect_point(after.pen, row.after.pen);
        expect_point(after.carriage_return, row.after.carriage_return);
    }
    // A font's pitch makes a space a whole cell: CP 1,0 at 9 cpi.
    LabelSettings pitch;
    pitch.size = font_character_size(false, 9, 11.5);
    expect_point(character_plot(pitch, from, 1, 0).pen, {1112.888889, 1000});
    // Without parameters: back to the carriage-return point, a line down.
    const LabelPosition after = character_plot_new_line(si_1_1(), {{2000, 1000}, {1000, 1000}});
    expect_point(after.pen, {1000, 232});
    expect_point(after.carriage_return, {1000, 232});
}

TEST(LayoutLabel, FixedGlyphsFillTheBoxOfH)
{
    // H: ink 14 wide (bounds -11 to 11); A 20 wide, its ends none of the
    // points that the printer's A has elsewhere; a 8 and l 4, lower case;
    // the rest the bar. At SI 1,1 a font unit across is 500/21.
    std::string text = "    1  1OU\n";
    for (char c = '!'; c <= '~'; ++c) {
        if (c == 'H')
            text += "    2  6G]K[KF RY[YF\n";
        else if (c == 'A')
            text += "    2  3G]G[[F\n";
        else if (c == 'a')
            text += "    2  3G]N[VF\n";
        else if (c == 'l')
            text += "    2  3G]P[TF\n";
        else
            text += "    2  3OUR[RF\n";
    }
    const StrokeFontResult r = parse_stroke_font(text);
    ASSERT_TRUE(r.ok) << r.error;
    Recorder recorder;
    layout_label(r.font, si_1_1(), {{1000, 1000}, {1000, 1000}}, "HAal`)", recorder);
    // The box of H is from the cell's start to 21/32 of it, the printer's
    // (328.125): A is squeezed into it; a stretched into the lower case box, 0.86 of
    // it; l, under half its span (0.24 to 0.89 of the box) wide, centred in
    // it, with its foot across 0.19 to 0.85 and a spur from 0.19 to the top
    // of its stroke; '`' stays as it is; ')' goes to the middle of its
    // span, the box's left 0.28. Each glyph moves the pen on by its cell and
    // a 2048th of it: the n-th glyph's strokes lie n 2048ths further on.
    struct Stroke {
        double from, to;
        int glyph;
    };
    const double box = 500.0 * 21 / 32;
    const double l_width = 4 * 500.0 / 21;
    const double l_left = 2500 + 0.24 * box + (0.65 * box - l_width) / 2;
    const std::vector<Stroke> strokes = {
        {1000, 1000, 0},
        {1000 + box, 1000 + box, 0},
        {1500, 1500 + box, 1},
        {2000, 2000 + 0.86 * box, 2},
        {l_left, l_left + l_width, 3},
        {2500 + 0.19 * box, 2500 + 0.85 * box, 3},
        {2500 + 0.19 * box, l_left + l_width, 3},
        {3166.666667, 3166.666667, 4},
        {3500 + 0.14 * box, 3500 + 0.14 * box, 5},
    };
    const double past_cell = 500.0 / 2048;
    ASSERT_EQ(recorder.strokes.size(), strokes.size());
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(recorder.strokes[i].size(), 2u);
        const double on = strokes[i].glyph * past_cell;
        EXPECT_NEAR(recorder.strokes[i][0].x, strokes[i].from + on, kNear);
        EXPECT_NEAR(recorder.strokes[i][1].x, strokes[i].to + on, kNear);
    }
}

TEST(LayoutLabel, WhereThePenEndsByOriginAndPath)
{
    // The pen stays at the end of "A" (less LO's move) where a label can
    // follow on, else it goes to the carriage-return point (1000, 1000).
    const struct {
        int origin;
        TextPath path;
        bool follows_on;
    } rows[] = {
        {1, TextPath::Right, true},  {1, TextPath::Up, true},     {1, TextPath::Down, false},
        {2, TextPath::Right, true},  {3, TextPath::Down, true},   {4, TextPath::Right, false},
        {4, TextPath::Up, true},     {5, TextPath::Right, false}, {6, TextPath::Down, true},
        {7, TextPath::Left, true},   {7, TextPath::Up, true},     {8, TextPath::Left, true},
        {9, TextPath::Right, false}, {9, TextPath::Down, true},   {13, TextPath::Right, true},
        {15, TextPath::Up, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::to_string(row.origin) + " path "
                     + std::to_string(static_cast<int>(row.path)));
        LabelSettings s = si_1_1();
        s.origin = row.origin;
        s.path = row.path;
        const Laid laid = lay(s, "A");
        const bool at_carriage_return = laid.after.pen.x == 1000 && laid.after.pen.y == 1000;
        EXPECT_NE(at_carriage_return, row.follows_on);
    }
}

TEST(ProportionalWidth, ByTypeface)
{
    EXPECT_EQ(proportional_width_of(48), 0.69);    // the stick font's arc form
    EXPECT_EQ(proportional_width_of(50), 0.69);    // the arc font
    EXPECT_EQ(proportional_width_of(4148), 0.875); // Univers, an outline font
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
        // 9 characters an inch: cells (and spaces) of 1016/9, the cap
        // height as high.
        {"fixed, 9 cpi", font_character_size(false, 9, 11.5), {112.888889, 112.888889, 1}},
        // 11.5 points, the cap height two thirds of it.
        {"proportional, 11.5 point",
         font_character_size(true, 9, 11.5),
         {108.185185, 108.185185, 1}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_NEAR(row.size.width, row.want.width, kNear);
        EXPECT_NEAR(row.size.height, row.want.height, kNear);
        EXPECT_EQ(row.size.cell_per_width, row.want.cell_per_width);
    }
    const Point dr = relative_direction(50, 100, {10000, 7000});
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

// A label in Univers at 72 points: an em of an inch, 1016 plotter units.
LabelSettings univers_72()
{
    LabelSettings s;
    s.typeface = 4148;
    s.proportional = true;
    s.size = font_character_size(true, 0, 72);
    return s;
}

TEST(LayoutLabel, OutlineFontsHandOnWholeGlyphsAtThePrintersAdvances)
{
    static const StrokeFont font = bar_font();
    const double em = 1016;
    const struct {
        const char *what;
        LabelSettings settings;
        Point direction;
        int origin;
        // The origins of "H0i": H takes 39/54 em, 0 takes 34/54, i 13/54.
        std::vector<double> along;
    } rows[] = {
        {"along x", univers_72(), {1, 0}, 1, {0, 39.0 / 54 * em, 73.0 / 54 * em}},
        {"turned a quarter", univers_72(), {0, 1}, 1, {0, 39.0 / 54 * em, 73.0 / 54 * em}},
        // LO 7 ends the label at the pen: it is measured by the same advances.
        {"ending at the pen",
         univers_72(),
         {1, 0},
         7,
         {-86.0 / 54 * em, -47.0 / 54 * em, -13.0 / 54 * em}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        LabelSettings s = row.settings;
        s.direction = row.direction;
        s.origin = row.origin;
        Recorder r;
        layout_label(font, s, {{0, 0}, {0, 0}}, "H0i", r, true);
        EXPECT_TRUE(r.strokes.empty());
        ASSERT_EQ(r.glyphs.size(), 3u);
        const double advances[] = {39.0 / 54, 34.0 / 54, 13.0 / 54};
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(r.glyphs[i].c, "H0i"[i]);
            EXPECT_NEAR(r.glyphs[i].advance, advances[i], 1e-9);
            expect_point(r.glyphs[i].origin,
                         {row.along[i] * row.direction.x, row.along[i] * row.direction.y});
            expect_point(r.glyphs[i].across, {em * row.direction.x, em * row.direction.y});
            expect_point(r.glyphs[i].up, {-em * row.direction.y, em * row.direction.x});
        }
    }
}

TEST(LayoutLabel, OutlineGlyphsOnlyForProportionalOutlineFontsAlongTheirPath)
{
    static const StrokeFont font = bar_font();
    const struct {
        const char *what;
        LabelSettings settings;
        bool outline_glyphs;
        std::size_t glyphs;
    } rows[] = {
        {"Univers", univers_72(), true, 2},
        {"not asked for", univers_72(), false, 0},
        {"the stick font",
         [] {
             LabelSettings s = univers_72();
             s.typeface = 48;
             return s;
         }(),
         true, 0},
        {"fixed spacing",
         [] {
             LabelSettings s = univers_72();
             s.proportional = false;
             return s;
         }(),
         true, 0},
        {"sized by SI",
         [] {
             LabelSettings s = univers_72();
             s.size = absolute_character_size(1, 1);
             return s;
         }(),
         true, 2},
        {"a vertical path",
         [] {
             LabelSettings s = univers_72();
             s.path = TextPath::Down;
             return s;
         }(),
         true, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        Recorder r;
        layout_label(font, row.settings, {}, "A b", r, row.outline_glyphs);
        EXPECT_EQ(r.glyphs.size(), row.glyphs);
        EXPECT_EQ(r.strokes.size(), row.glyphs == 0 ? 2u : 0u);
    }
}

TEST(LayoutLabel, OutlineFontsTakeLinesOfTheirOwn)
{
    static const StrokeFont font = bar_font();
    const double em = 1016;
    const struct {
        const char *what;
        int origin;
        std::string text;
        std::vector<Point> origins;
    } rows[] = {
        // LO takes the top of a line 0.75 em up, a third of that further out
        // for the origins 11-19.
        {"LO 2", 2, "H", {{0, -0.375 * em}}},
        {"LO 3", 3, "H", {{0, -0.75 * em}}},
        {"LO 12", 12, "H", {{0.33 * 0.75 * em, -0.375 * em}}},
        // Lines 1.2 ems apart.
        {"CR LF", 1, "H\r\nH", {{0, 0}, {0, -1.2 * em}}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        LabelSettings s = univers_72();
        s.origin = row.origin;
        Recorder r;
        layout_label(font, s, {}, row.text, r, true);
        ASSERT_EQ(r.glyphs.size(), row.origins.size());
        for (std::size_t i = 0; i < row.origins.size(); ++i)
            expect_point(r.glyphs[i].origin, row.origins[i]);
    }
}

TEST(LayoutLabel, OutlineFontsSizedBySiKeepTheirSpaceAtTheFontsSize)
{
    // SI 1,1: cells of 500 and a cap height of 400 give an em 750 across
    // and 600 up. The space stays 18/54 of the font's own 12 points.
    static const StrokeFont font = bar_font();
    LabelSettings s = univers_72();
    s.size = absolute_character_size(1, 1);
    s.font_height = 12;
    Recorder r;
    layout_label(font, s, {}, "H H", r, true);
    ASSERT_EQ(r.glyphs.size(), 2u);
    expect_point(r.glyphs[0].across, {750, 0});
    expect_point(r.glyphs[0].up, {0, 600});
    const double space = 18.0 / 54 * 12 / 72 * 1016;
    expect_point(r.glyphs[1].origin, {39.0 / 54 * 750 + space, 0});
}

TEST(LayoutLabel, Roman8DashIsTheOutlineFontsBar)
{
    // A bar 0.233 to 0.793 em along and 0.325 to 0.39 em up, in an advance
    // of an em: the H after it starts an em on.
    static const StrokeFont font = bar_font();
    const double em = 1016;
    Recorder r;
    layout_label(font, univers_72(), {}, "\xf6H", r, true);
    ASSERT_EQ(r.fills.size(), 1u);
    const std::vector<Point> &bar = r.fills[0];
    ASSERT_EQ(bar.size(), 4u);
    expect_point(bar[0], {0.233 * em, 0.325 * em});
    expect_point(bar[2], {0.793 * em, 0.39 * em});
    ASSERT_EQ(r.glyphs.size(), 1u);
    expect_point(r.glyphs[0].origin, {em, 0});
}

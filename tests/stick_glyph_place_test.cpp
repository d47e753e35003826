// SPDX-License-Identifier: MIT
// Where Hershey glyphs are drawn to stand where the printer's stick glyphs
// stand: heights up, on a small font written here.
#include "stick_glyph_place.h"
#include "support/skip.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// Every character from '!' is a bar from the baseline to the cap height 21
// (file y 9 to -12), 3 units from its left bound, but for these: H's two
// bars stand 14 apart, 4 and 18 from its left bound (of 22); x stands 14
// high, g from 7 below to 14, b from the baseline to 21 with a point at 7,
// '(' from 7 below to 25; '-' is flat at 9; M runs along the baseline
// from 3 to 12 (Hershey's M has its middle at 12); P runs up its stem and
// back down to its bowl's foot at 10; i's stem stands 4 from its left
// bound, up to 14 (as Hershey's does); o and v go round the box 0 to 14
// each way, through its top, (12, 12), its right, its bottom and its left.
StrokeFont test_font()
{
    std::string text = "    1  1OU\n";
    for (char c = '!'; c <= '~'; ++c) {
        switch (c) {
        case 'H':
            text += "    2  6G]K[KF RY[YF\n";
            break;
        case 'x':
            text += "    2  3OUR[RM\n";
            break;
        case 'g':
            text += "    2  3OURbRM\n";
            break;
        case 'b':
            text += "    2  4OUR[RTRF\n";
            break;
        case '(':
            text += "    2  3OURbRB\n";
            break;
        case '-':
            text += "    2  3OUORUR\n";
            break;
        case 'M':
            text += "    2  3OUR[[[\n";
            break;
        case 'P':
            text += "    2  4OUR[RFRQ\n";
            break;
        case 'i':
            text += "    2  3OUSMS[\n";
            break;
        case 'o':
        case 'v':
            text += "    2  7OUVM[O]TV[OTVM\n";
            break;
        default:
            text += "    2  3OUR[RF\n";
        }
    }
    const StrokeFontResult r = parse_stroke_font(text);
    EXPECT_TRUE(r.ok) << r.error;
    return r.font;
}

TEST(StickGlyphPlace, HeightsAreThePrintersGlyphs)
{
    const StrokeFont font = test_font();
    // Font y up from the baseline, in units of the cap height 21, mapped to
    // the printer's, in heights of its H (0.969 of the cap height): lower
    // case x-height 0.74 and descenders 0.26 below, f's top at 0.97,
    // brackets from 0.13 below to 1.19, the dash at 0.49; capitals as they
    // are.
    const struct {
        char c;
        int point; // the glyph's point
        double up;
    } rows[] = {
        {'x', 0, 0},    {'x', 1, 0.74}, {'g', 0, -0.26}, {'g', 1, 0.74}, {'b', 0, 0},
        {'b', 1, 0.37}, {'b', 2, 1},    {'(', 0, -0.13}, {'(', 1, 1.19}, {'-', 0, 0.49},
        {'-', 1, 0.49}, {'H', 0, 0},    {'H', 1, 1},     {'Q', 1, 1},    {'f', 1, 0.97},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(1, row.c) + " point " + std::to_string(row.point));
        const Glyph *glyph = glyph_for(font, static_cast<unsigned char>(row.c));
        ASSERT_NE(glyph, nullptr);
        for (const bool fixed : {true, false}) {
            const GlyphPlace place =
                stick_glyph_place(font, *glyph, static_cast<unsigned char>(row.c), fixed);
            const FontPoint p = glyph->strokes[0][static_cast<std::size_t>(row.point)];
            EXPECT_NEAR(place_point(place, p).y, 0.969 * row.up, 1e-9) << "fixed pitch " << fixed;
        }
    }
}

TEST(StickGlyphPlace, AProportionalGlyphKeepsItsOwnBoundsAcross)
{
    // The bar stands 3 units from its left bound: 3/21 of a cell across,
    // where a fixed one is moved into the printer's box.
    const StrokeFont font = test_font();
    const Glyph *glyph = glyph_for(font, 'A');
    ASSERT_NE(glyph, nullptr);
    const FontPoint p = glyph->strokes[0][0];
    EXPECT_NEAR(place_point(stick_glyph_place(font, *glyph, 'A', false), p).x, 3.0 / 21, 1e-9);
    EXPECT_GT(std::abs(place_point(stick_glyph_place(font, *glyph, 'A', true), p).x - 3.0 / 21),
              1e-3);
}

TEST(StickGlyphPlace, SerifsOfTheTypewritersLetters)
{
    // The box of H is 0 to 21/32 of a cell across. I's bars span 0.14 to
    // 0.89 of it at its foot and head; j's spur runs from 0.19 of it to the
    // top of its stroke: the bar, centred in j's span (0.19 to 0.56 of the
    // box), as tall as a capital, the printer's H (0.969 of the cap
    // height). Proportional glyphs have none.
    const StrokeFont font = test_font();
    const double box = 21.0 / 32;
    const struct {
        char c;
        std::vector<GlyphPlace::Serif> serifs;
    } rows[] = {
        {'I', {{0.14 * box, 0.89 * box, 0}, {0.14 * box, 0.89 * box, 0.969}}},
        {'j', {{0.19 * box, 0.375 * box, 0.969}}},
        {'K', {{0, 0.33 * box, 0.517 * 0.969}}},
        {'H', {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(1, row.c));
        const auto c = static_cast<unsigned char>(row.c);
        const Glyph *glyph = glyph_for(font, c);
        ASSERT_NE(glyph, nullptr);
        const GlyphPlace place = stick_glyph_place(font, *glyph, c, true);
        ASSERT_EQ(place.serif_count, static_cast<int>(row.serifs.size()));
        for (std::size_t i = 0; i < row.serifs.size(); ++i) {
            EXPECT_NEAR(place.serifs[i].left, row.serifs[i].left, 1e-9);
            EXPECT_NEAR(place.serifs[i].right, row.serifs[i].right, 1e-9);
            EXPECT_NEAR(place.serifs[i].up, row.serifs[i].up, 1e-9);
        }
        EXPECT_EQ(stick_glyph_place(font, *glyph, c, false).serif_count, 0);
    }
}

TEST(StickGlyphPlace, PointsThePrintersDesignPutsElsewhere)
{
    // With a table that moves M's middle, Hershey's (12, 0), to 0.525 of
    // the box of H across and 0.255 of its height up, it stands there; its
    // other point keeps its place. P's bowl closes at 0.42 of H, and the
    // rest of the glyph is stretched to fit: its top stays at H's.
    // Proportional glyphs keep Hershey's points.
    StrokeFont font = test_font();
    const StickMove moves[] = {
        {'M', 12, 0, 0.525, 0.255},
        {'i', 4, 14, 0.575, 0.679},
        {'i', 4, 0, 0.575, 0},
    };
    std::string error;
    ASSERT_TRUE(give_stick_moves(font, moves, error)) << error;
    const double box = 21.0 / 32;
    const struct {
        char c;
        int point;
        double across; // negative: not checked
        double up;
    } rows[] = {
        {'M', 1, 0.525 * box, 0.255 * 0.969},
        {'P', 2, -1, 0.42 * 0.969},
        {'P', 1, -1, 0.969},
        {'P', 0, -1, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(1, row.c) + " point " + std::to_string(row.point));
        const auto c = static_cast<unsigned char>(row.c);
        const Glyph *glyph = glyph_for(font, c);
        ASSERT_NE(glyph, nullptr);
        const FontPoint p = glyph->strokes[0][static_cast<std::size_t>(row.point)];
        const Point placed = place_point(stick_glyph_place(font, *glyph, c, true), p);
        if (row.across >= 0) {
            EXPECT_NEAR(placed.x, row.across, 1e-9);
        }
        EXPECT_NEAR(placed.y, row.up, 1e-9);
    }
    const Glyph *m = glyph_for(font, 'M');
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(stick_glyph_place(font, *m, 'M', false).move_count, 0);
    const GlyphPlace fixed = stick_glyph_place(font, *m, 'M', true);
    EXPECT_EQ(fixed.move_count, 1);
    EXPECT_NEAR(place_point(fixed, m->strokes[0][0]).y, 0, 1e-9);
    // A font no table was given to keeps Hershey's middle, on the baseline.
    const StrokeFont plain = test_font();
    const Glyph *plain_m = glyph_for(plain, 'M');
    ASSERT_NE(plain_m, nullptr);
    const GlyphPlace unmoved = stick_glyph_place(plain, *plain_m, 'M', true);
    EXPECT_EQ(unmoved.move_count, 0);
    EXPECT_NEAR(place_point(unmoved, plain_m->strokes[0][1]).y, 0, 1e-9);
    // i's stem moves to 0.575 of the box, its top to 0.679 of H, and its
    // spur still runs from 0.19 of the box to that top.
    const Glyph *i = glyph_for(font, 'i');
    ASSERT_NE(i, nullptr);
    const GlyphPlace place = stick_glyph_place(font, *i, 'i', true);
    ASSERT_EQ(place.serif_count, 2);
    const GlyphPlace::Serif &spur = place.serifs[1];
    EXPECT_NEAR(spur.left, 0.19 * box, 1e-9);
    EXPECT_NEAR(spur.right, 0.575 * box, 1e-9);
    EXPECT_NEAR(spur.up, 0.679 * 0.969, 1e-9);
}

TEST(StickGlyphPlace, RoundGlyphsAreSquarer)
{
    // o is round, v is not: drawn from the same points, o's point at 45
    // degrees lies 1.104 times as far from the middle of its bowl as v's,
    // on the superellipse of exponent 2.8 through its box (u = v = 5/7 out
    // to 0.789); the top of the bowl and its middle stay where they are.
    const StrokeFont font = test_font();
    const Glyph *o = glyph_for(font, 'o');
    const Glyph *v = glyph_for(font, 'v');
    ASSERT_NE(o, nullptr);
    ASSERT_NE(v, nullptr);
    const GlyphPlace round = stick_glyph_place(font, *o, 'o', true);
    const GlyphPlace plain = stick_glyph_place(font, *v, 'v', true);
    const FontPoint middle{7, 7};
    const auto from_middle = [&](const GlyphPlace &place, FontPoint p) {
        const Point a = place_point(place, p);
        const Point m = place_point(place, middle);
        return Point{a.x - m.x, a.y - m.y};
    };
    const double out = 0.789 / (5.0 / 7);
    const Point corner_round = from_middle(round, {12, 12});
    const Point corner_plain = from_middle(plain, {12, 12});
    EXPECT_NEAR(corner_round.x / corner_plain.x, out, 2e-3);
    EXPECT_NEAR(corner_round.y / corner_plain.y, out, 2e-3);
    for (const FontPoint p : {FontPoint{7, 14}, middle}) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        EXPECT_NEAR(place_point(round, p).x, place_point(plain, p).x, 1e-9);
        EXPECT_NEAR(place_point(round, p).y, place_point(plain, p).y, 1e-9);
    }
    EXPECT_FALSE(stick_glyph_place(font, *o, 'o', false).squarer);
}

TEST(StickGlyphPlace, GlyphsOfAnotherDesignHaveEveryPointMoved)
{
    // Where the printer's design parts from Hershey's whole, every point of
    // Hershey's glyph is given the printer's place: none may be left out
    // for want of room or for a point the glyph lacks.
    const std::string folder = stroke_font_folder(nullptr, nullptr);
    if (access((folder + "/rowmans.jhf").c_str(), R_OK) != 0)
        ZELVO_SKIP() << "the Hershey fonts are not in " << folder
                     << " (Debian: hershey-fonts-data)";
    const StrokeFontResult r = load_stroke_font(folder);
    ASSERT_TRUE(r.ok) << r.error;
    for (const char c : std::string("235689a&@{}$%^BGRSXesxy?")) {
        SCOPED_TRACE(std::string(1, c));
        const Glyph *glyph = glyph_for(r.font, static_cast<unsigned char>(c));
        ASSERT_NE(glyph, nullptr);
        std::set<std::pair<int, int>> points;
        for (const std::vector<FontPoint> &stroke : glyph->strokes)
            for (const FontPoint &p : stroke)
                points.insert({p.x, p.y});
        const GlyphPlace place =
            stick_glyph_place(r.font, *glyph, static_cast<unsigned char>(c), true);
        EXPECT_EQ(place.move_count, static_cast<int>(points.size()));
    }
}

} // namespace

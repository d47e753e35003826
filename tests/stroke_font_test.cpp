// SPDX-License-Identifier: MIT
// The .jhf reader on small fonts written here, its refusals, the folder it
// reads from, and Debian's simplex roman font where it is installed.
#include "stroke_font.h"
#include "support/skip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Strokes = std::vector<std::vector<std::pair<int, int>>>;

Strokes strokes_of(const Glyph &glyph)
{
    Strokes out;
    for (const auto &stroke : glyph.strokes) {
        out.emplace_back();
        for (const FontPoint &p : stroke)
            out.back().emplace_back(p.x, p.y);
    }
    return out;
}

// ' ' (no strokes) and '!' (two strokes, bounds -5 and 5); the font has no
// 'H', so its baseline is the usual y 9.
const std::string kTwoGlyphs = "   10  1JZ\n"
                               "   11  6MWRFRT RRYRZ\n";

TEST(ParseStrokeFont, Glyphs)
{
    const StrokeFontResult r = parse_stroke_font(kTwoGlyphs);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.font.glyphs.size(), 2u);
    EXPECT_EQ(r.font.baseline, 9);
    EXPECT_EQ(r.font.cap_height, 21);
    EXPECT_EQ(r.font.glyphs[0].advance, 16);
    EXPECT_TRUE(r.font.glyphs[0].strokes.empty());
    EXPECT_EQ(r.font.glyphs[1].advance, 10);
    // x from the left bound; y = 9 - (file y): F is -12, T 2, Y 7, Z 8.
    EXPECT_EQ(strokes_of(r.font.glyphs[1]), (Strokes{{{5, 21}, {5, 7}}, {{5, 2}, {5, 1}}}));
}

TEST(ParseStrokeFont, LayoutsOfTheText)
{
    const struct {
        const char *what;
        std::string text;
    } rows[] = {
        {"CRLF line ends", "   10  1JZ\r\n   11  6MWRFRT RRYRZ\r\n"},
        {"no last line end", "   10  1JZ\n   11  6MWRFRT RRYRZ"},
        {"blank lines", "\n   10  1JZ\n\n   11  6MWRFRT RRYRZ\n\n"},
        // Pairs run on over the next lines, as in the original 72-column
        // distribution; a continuation may start with a pen-up pair.
        {"continued", "   10  1JZ\n   11  6MWRF\nRT\n RRYRZ\n"},
        {"trailing blanks", "   10  1JZ  \n   11  6MWRFRT RRYRZ \n"},
        // Pen-up pairs at the ends and doubled give no empty strokes.
        {"extra pen ups", "   10  1JZ\n   11  8MW RRFRT R RRYRZ\n"},
    };
    const StrokeFontResult expected = parse_stroke_font(kTwoGlyphs);
    ASSERT_TRUE(expected.ok);
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const StrokeFontResult r = parse_stroke_font(row.text);
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_EQ(r.font.glyphs.size(), 2u);
        EXPECT_EQ(r.font.glyphs[1].advance, 10);
        EXPECT_EQ(strokes_of(r.font.glyphs[1]), strokes_of(expected.font.glyphs[1]));
    }
}

TEST(ParseStrokeFont, CapHeightFromH)
{
    // 40 empty glyphs from ' ', then 'H' as the simplex roman font has it:
    // from F (-12) to [ (9).
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "    1  1JZ\n";
    text += "  508  9G]KFK[ RYFY[ RKPYP\n";
    const StrokeFontResult r = parse_stroke_font(text);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.font.cap_height, 21);
    EXPECT_EQ(r.font.baseline, 9);
    const Glyph *h = glyph_for(r.font, 'H');
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->advance, 22);
    EXPECT_EQ(strokes_of(*h),
              (Strokes{{{4, 21}, {4, 0}}, {{18, 21}, {18, 0}}, {{4, 11}, {18, 11}}}));
}

TEST(ParseStrokeFont, Refusals)
{
    const struct {
        std::string text;
        const char *error;
    } rows[] = {
        {"", "no glyphs"},
        {"\n  \n", "no glyphs"},
        {"abc", "line 1: no glyph number and pair count"},
        {"   10  1JZ\n  1x0  1JZ\n", "line 2: no glyph number and pair count"},
        {"   10 x1JZ\n", "line 1: no glyph number and pair count"},
        {"   10   JZ\n", "line 1: no glyph number and pair count"},
        {"   10  0\n", "line 1: a glyph without its bounds"},
        {"   10  3JZRF\n", "line 1: fewer coordinate pairs than its count"},
        {"   10  1JZRF\n", "line 1: more coordinate pairs than its count"},
        {"   10  1ZJ\n", "line 1: the right bound is left of the left bound"},
        {"   10  1 J\n", "line 1: no left and right bounds"},
        {"   10  2JZR\x01\n", "line 1: a coordinate that is no character from '!' to '~'"},
        {"   10  2JZ\x80R\n", "line 1: a coordinate that is no character from '!' to '~'"},
        {"   10  2JZ Q\n", "line 1: a coordinate that is no character from '!' to '~'"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        const StrokeFontResult r = parse_stroke_font(row.text);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.error, row.error);
    }
}

TEST(GlyphFor, PrintableAsciiOnly)
{
    std::string text;
    for (int i = 0; i < 96; ++i)
        text += "    1  1JZ\n";
    const StrokeFontResult r = parse_stroke_font(text);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(glyph_for(r.font, ' '), &r.font.glyphs[0]);
    EXPECT_EQ(glyph_for(r.font, '~'), &r.font.glyphs[94]);
    EXPECT_EQ(glyph_for(r.font, 0x7f), nullptr);
    EXPECT_EQ(glyph_for(r.font, 0x1f), nullptr);
    EXPECT_EQ(glyph_for(r.font, 0xc1), nullptr);
    // A short font has no glyphs past its last.
    const StrokeFontResult two = parse_stroke_font(kTwoGlyphs);
    EXPECT_NE(glyph_for(two.font, '!'), nullptr);
    EXPECT_EQ(glyph_for(two.font, '"'), nullptr);
}

TEST(StrokeFontFolder, ArgumentThenEnvironmentThenDebian)
{
    const struct {
        const char *argument;
        const char *environment;
        const char *folder;
    } rows[] = {
        {"/opt/fonts", "/env/fonts", "/opt/fonts"}, {nullptr, "/env/fonts", "/env/fonts"},
        {"", "/env/fonts", "/env/fonts"},           {nullptr, nullptr, "/usr/share/hershey-fonts"},
        {"", "", "/usr/share/hershey-fonts"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.folder);
        EXPECT_EQ(stroke_font_folder(row.argument, row.environment), row.folder);
    }
}

TEST(LoadStrokeFont, ErrorsNameTheFile)
{
    const StrokeFontResult missing = load_stroke_font("/nonexistent-folder", "rowmans.jhf");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, "/nonexistent-folder/rowmans.jhf: No such file or directory");

    char folder[] = "/tmp/stroke_font_test.XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string bad = std::string(folder) + "/bad.jhf";
    std::FILE *f = std::fopen(bad.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("   10  1JZ\n   11  3JZ\n", f);
    std::fclose(f);
    const StrokeFontResult malformed = load_stroke_font(folder, "bad.jhf");
    EXPECT_FALSE(malformed.ok);
    EXPECT_EQ(malformed.error, bad + ": line 2: fewer coordinate pairs than its count");
    // A folder is no font file.
    EXPECT_FALSE(load_stroke_font("/", "tmp").ok);
    std::remove(bad.c_str());
    rmdir(folder);
}

// '!' of kTwoGlyphs has the points (5, 21), (5, 7), (5, 2) and (5, 1).
TEST(GiveStickMoves, EachRowMustMoveAPointOfTheFont)
{
    const StickMove top{'!', 5, 21, 0.5, 1};
    const StickMove foot{'!', 5, 1, 0.5, 0};
    // A glyph of 49 points, one more than a glyph may have moved.
    std::string crowded = "   10  1JZ\n   11 50JZ";
    std::vector<StickMove> too_many;
    for (int i = 0; i < 49; ++i) {
        crowded += static_cast<char>('A' + i % 7);
        crowded += static_cast<char>('A' + i / 7);
        too_many.push_back({'!', 'A' + i % 7 - 'J', 9 - ('A' + i / 7 - 'R'), 0, 0});
    }
    const struct {
        const char *what;
        std::string font_text;
        std::vector<StickMove> moves;
        std::string error; // empty: given
    } rows[] = {
        {"points of the glyph", kTwoGlyphs, {top, foot}, ""},
        {"no table", kTwoGlyphs, {}, ""},
        {"a point the glyph lacks",
         kTwoGlyphs,
         {top, {'!', 5, 20, 0.5, 0.9}},
         "the stick glyph table moves '!' (5, 20), a point the font's glyph lacks"},
        {"a character the font lacks",
         kTwoGlyphs,
         {{'"', 5, 21, 0.5, 1}},
         "the stick glyph table moves '\"' (5, 21), a point the font's glyph lacks"},
        {"a point moved twice",
         kTwoGlyphs,
         {top, foot, {'!', 5, 21, 0.4, 1}},
         "the stick glyph table moves '!' (5, 21) twice"},
        {"as many as a glyph may have", crowded, {too_many.begin(), too_many.end() - 1}, ""},
        {"more than a glyph may have", crowded, too_many,
         "the stick glyph table moves more than 48 points of '!'"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const StrokeFontResult parsed = parse_stroke_font(row.font_text);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        // A font read from text has no table of its own.
        EXPECT_TRUE(parsed.font.stick_moves.empty());
        StrokeFont font = parsed.font;
        const FontPoint first = glyph_for(font, '!')->strokes[0][0];
        const StickMove kept{'!', first.x, first.y, 0.5, 0.3};
        std::string error;
        ASSERT_TRUE(give_stick_moves(font, std::span(&kept, 1), error)) << error;
        const bool given = give_stick_moves(font, row.moves, error);
        EXPECT_EQ(given, row.error.empty());
        if (given) {
            ASSERT_EQ(font.stick_moves.size(), row.moves.size());
            for (std::size_t i = 0; i < row.moves.size(); ++i)
                EXPECT_TRUE(font.stick_moves[i].x == row.moves[i].x
                            && font.stick_moves[i].y == row.moves[i].y);
        } else {
            EXPECT_EQ(error, row.error);
            // Refused: the font keeps the table it had.
            ASSERT_EQ(font.stick_moves.size(), 1u);
            EXPECT_EQ(font.stick_moves[0].y, first.y);
        }
    }
}

// The font the built-in table was fitted to fails to load where a row's
// point is missing from it, the message naming the row; the same glyphs
// under another name are another font, and get no moves.
TEST(LoadStrokeFont, TheFittedTableMustFitItsFont)
{
    const StickMoveTable fitted = fitted_stick_moves();
    ASSERT_FALSE(fitted.moves.empty());
    const StickMove &first = fitted.moves.front();
    char folder[] = "/tmp/stroke_font_test.XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string bars = "    1  1OU\n";
    for (int i = 0; i < 95; ++i)
        bars += "    2  3OUR[RF\n";
    const std::string wrong = std::string(folder) + "/" + std::string(fitted.font);
    const std::string other = std::string(folder) + "/bars.jhf";
    for (const std::string &path : {wrong, other}) {
        std::FILE *f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs(bars.c_str(), f);
        std::fclose(f);
    }
    const StrokeFontResult refused = load_stroke_font(folder, std::string(fitted.font));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, wrong + ": the stick glyph table moves '" + static_cast<char>(first.c)
                                 + "' (" + std::to_string(first.x) + ", " + std::to_string(first.y)
                                 + "), a point the font's glyph lacks");
    const StrokeFontResult loaded = load_stroke_font(folder, "bars.jhf");
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_TRUE(loaded.font.stick_moves.empty());
    std::remove(wrong.c_str());
    std::remove(other.c_str());
    rmdir(folder);
}

TEST(LoadStrokeFont, DebianSimplexRoman)
{
    const std::string folder = stroke_font_folder(nullptr, nullptr);
    if (access((folder + "/rowmans.jhf").c_str(), R_OK) != 0)
        ZELVO_SKIP() << "the Hershey fonts are not in " << folder
                     << " (Debian: hershey-fonts-data)";
    const StrokeFontResult r = load_stroke_font(folder);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.font.glyphs.size(), 96u);
    EXPECT_EQ(r.font.cap_height, 21);
    EXPECT_EQ(r.font.baseline, 9);
    const Glyph *a = glyph_for(r.font, 'A');
    const Glyph *i = glyph_for(r.font, 'i');
    const Glyph *w = glyph_for(r.font, 'W');
    ASSERT_TRUE(a != nullptr && i != nullptr && w != nullptr);
    EXPECT_FALSE(a->strokes.empty());
    EXPECT_LT(i->advance, w->advance);
    // 'A' stands on the baseline and reaches the cap height.
    int low = 100;
    int high = -100;
    for (const auto &stroke : a->strokes)
        for (const FontPoint &p : stroke) {
            low = std::min(low, p.y);
            high = std::max(high, p.y);
        }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 21);
    EXPECT_TRUE(glyph_for(r.font, ' ')->strokes.empty());
    // The table fitted to it, whole.
    EXPECT_EQ(r.font.stick_moves.size(), fitted_stick_moves().moves.size());
}

} // namespace

// SPDX-License-Identifier: MIT
// The stick glyph table's data file as fit_stick_glyphs reads and writes
// it: the tree's file read as CMake built it into the program, written back
// byte for byte, only moved rows written anew, and malformed lines refused.
#include "table_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string tree_table()
{
    std::ifstream in(ZELVO_STICK_GLYPH_TABLE, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(StickTableFile, ReadsTheTreesTableAsTheBuildDid)
{
    const std::string text = tree_table();
    TableFile table;
    std::string error;
    ASSERT_TRUE(parse_table_file(text, table, error)) << error;
    const StickMoveTable built = fitted_stick_moves();
    EXPECT_EQ(table.font, built.font);
    ASSERT_EQ(table.moves.size(), built.moves.size());
    for (std::size_t i = 0; i < built.moves.size(); ++i) {
        const StickMove &a = table.moves[i];
        const StickMove &b = built.moves[i];
        EXPECT_TRUE(a.c == b.c && a.x == b.x && a.y == b.y && a.across == b.across && a.up == b.up)
            << "row " << i << ": '" << a.c << "' (" << a.x << ", " << a.y << ")";
    }
    EXPECT_EQ(table_file_text(table), text);
}

TEST(StickTableFile, WritesOnlyTheMovedRowsAnew)
{
    const std::string text = "# SPDX-License-Identifier: MIT\n"
                             "font rowmans.jhf\n"
                             "\n"
                             "# A's apex.\n"
                             "'A' 9 21 0.525 1.0\n"
                             "'#'  11  25  0.525  1\n"
                             "'''   5  19  0.5  0.907\n";
    TableFile table;
    std::string error;
    ASSERT_TRUE(parse_table_file(text, table, error)) << error;
    ASSERT_EQ(table.moves.size(), 3u);
    EXPECT_EQ(table.moves[1].c, '#');
    EXPECT_EQ(table.moves[2].c, '\'');
    table.moves[0].up = 0.995;
    table.moves[2].across = 0.1 + 0.2; // written to the thousandth
    EXPECT_EQ(table_file_text(table), "# SPDX-License-Identifier: MIT\n"
                                      "font rowmans.jhf\n"
                                      "\n"
                                      "# A's apex.\n"
                                      "'A'   9  21    0.525   0.995\n"
                                      "'#'  11  25  0.525  1\n"
                                      "'''   5  19      0.3   0.907\n");
}

TEST(StickTableFile, RefusesWhatTheBuildRefuses)
{
    const std::string font = "font rowmans.jhf\n";
    const struct {
        std::string text;
        std::string error;
    } rows[] = {
        {font + "'A' 9 21 0.5\n", "line 2: not a row ('c' x y across up): 'A' 9 21 0.5"},
        {font + "'A' 9 21 0.5 1 2\n", "line 2: not a row ('c' x y across up): 'A' 9 21 0.5 1 2"},
        {font + "'AB' 9 21 0.5 1\n", "line 2: not a row ('c' x y across up): 'AB' 9 21 0.5 1"},
        {font + "' ' 9 21 0.5 1\n", "line 2: not a row ('c' x y across up): ' ' 9 21 0.5 1"},
        {font + "'A' 1234 21 0.5 1\n", "line 2: not a row ('c' x y across up): 'A' 1234 21 0.5 1"},
        {font + "'A' 9 21 .5 1\n", "line 2: not a row ('c' x y across up): 'A' 9 21 .5 1"},
        {font + "'A' 9 21 0.5 1.\n", "line 2: not a row ('c' x y across up): 'A' 9 21 0.5 1."},
        {font + "'A' 9.5 21 0.5 1\n", "line 2: not a row ('c' x y across up): 'A' 9.5 21 0.5 1"},
        {"'A' 9 21 0.5 1\n", "no font line (font NAME: the font the rows were fitted to)"},
        {font + font, "line 2: a second font line"},
        {"font\n", "line 1: a font line is `font NAME`"},
        {"font a b\n", "line 1: a font line is `font NAME`"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        TableFile table;
        std::string error;
        EXPECT_FALSE(parse_table_file(row.text, table, error));
        EXPECT_EQ(error, row.error);
    }
}

TEST(StickTableFile, NumbersAsTheTableWritesThem)
{
    const struct {
        double value;
        const char *text;
    } rows[] = {
        {0.525, "0.525"}, {1.0, "1"},        {-0.01, "-0.01"}, {-0.0004, "0"},
        {0.5, "0.5"},     {1.0049, "1.005"}, {0, "0"},         {-1.5, "-1.5"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(table_number(row.value), row.text) << row.value;
}

} // namespace

// SPDX-License-Identifier: MIT
// PCL context's text: where the cursor puts each run of characters, and
// how escape sequences move it. Inches on the logical page; the first line
// of a reset page is 0.5 + 0.125 down.
#include "pcl_text.h"
#include "support/near_point.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Printed {
    double x;
    double y;
    std::string characters;
};

class Recorder : public PclTextListener {
public:
    std::vector<Printed> runs;

    void characters(PclCursor at, std::string_view run) override
    {
        runs.push_back({at.x, at.y, std::string(run)});
    }
};

constexpr double kNear = 1e-9;
constexpr double kFirst = 0.625;
constexpr double kSecond = kFirst + 1.0 / 6;

TEST(PrintPclText, RunsAndControlCodes)
{
    const struct {
        const char *what;
        std::string bytes;
        std::vector<Printed> runs;
        PclCursor end;
    } rows[] = {
        {"a run, a tenth of an inch each", "SP;PG;", {{0, kFirst, "SP;PG;"}}, {0.6, kFirst}},
        {"spaces stay in the run", "A  B", {{0, kFirst, "A  B"}}, {0.4, kFirst}},
        {"CR LF: the next line's start",
         "AB\r\nC",
         {{0, kFirst, "AB"}, {0, kSecond, "C"}},
         {0.1, kSecond}},
        {"LF alone does not go back",
         "AB\nC",
         {{0, kFirst, "AB"}, {0.2, kSecond, "C"}},
         {0.3, kSecond}},
        {"HT to the next stop of 8", "A\tB", {{0, kFirst, "A"}, {0.8, kFirst, "B"}}, {0.9, kFirst}},
        {"HT from a stop to the next",
         "ABCDEFGH\tI",
         {{0, kFirst, "ABCDEFGH"}, {1.6, kFirst, "I"}},
         {1.7, kFirst}},
        {"BS back a character", "AB\bC", {{0, kFirst, "AB"}, {0.1, kFirst, "C"}}, {0.2, kFirst}},
        {"BS stops at the edge", "\bA", {{0, kFirst, "A"}}, {0.1, kFirst}},
        {"other controls move nothing",
         "A\x01\x1f"
         "B",
         {{0, kFirst, "A"}, {0.1, kFirst, "B"}},
         {0.2, kFirst}},
        {"a byte above '~' takes a place",
         "A\xe9"
         "B",
         {{0, kFirst, "A"}, {0.2, kFirst, "B"}},
         {0.3, kFirst}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        Recorder recorder;
        const PclCursor end = print_pcl_text(pcl_home(PclPage{}), row.bytes, 1.0 / 6, recorder);
        ASSERT_EQ(recorder.runs.size(), row.runs.size());
        for (std::size_t i = 0; i < row.runs.size(); ++i) {
            EXPECT_TRUE(near_point(recorder.runs[i], row.runs[i], kNear));
            EXPECT_EQ(recorder.runs[i].characters, row.runs[i].characters);
        }
        EXPECT_TRUE(near_point(end, row.end, kNear));
    }
}

TEST(PclCursorAfter, EscapesThatMoveIt)
{
    const PclCursor from{3, 4, false};
    PclPage margin;
    margin.top_margin = 1;
    const struct {
        const char *what;
        EscapeSequence sequence;
        PclPage page;
        PclCursor want;
    } rows[] = {
        {"ESC E: home", {0, 0, 'E', 0}, {}, {0, kFirst}},
        {"home under another top margin", {0, 0, 'E', 0}, margin, {0, 1.125}},
        {"an orientation: home", {'&', 'l', 'O', 1}, {}, {0, kFirst}},
        {"a page size: home", {'&', 'l', 'A', 26}, {}, {0, kFirst}},
        {"&a720H: an inch across", {'&', 'a', 'H', 720}, {}, {1, 4}},
        {"&a360V: half an inch under the top margin", {'&', 'a', 'V', 360}, {}, {3, 1}},
        {"&a10C: ten columns", {'&', 'a', 'c', 10}, {}, {1, 4}},
        {"&a2R: the third line", {'&', 'a', 'R', 2}, {}, {3, kFirst + 2.0 / 6}},
        {"the picture frame moves nothing", {'*', 'c', 'X', 5000}, {}, {3, 4}},
        {"a top margin moves a cursor put in place nowhere", {'&', 'l', 'E', 0}, {}, {3, 4}},
        {"another two-character sequence moves nothing", {0, 0, '9', 0}, {}, {3, 4}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const PclCursor at = pcl_cursor_after(from, row.sequence, row.page);
        EXPECT_TRUE(near_point(at, row.want, kNear));
    }
}

TEST(PclCursorAfter, AHomeCursorFollowsTheFirstLine)
{
    // The printer's first line moves with the top margin (in lines) and the
    // line spacing, and a cursor that has not left it moves along.
    PclPage page;
    PclCursor at = pcl_home(page);
    page.line_spacing = 1.0 / 12;
    at = pcl_cursor_after(at, {'&', 'l', 'D', 12}, page);
    EXPECT_NEAR(at.y, 0.5 + 0.75 / 12, kNear);
    page.top_margin = 0;
    at = pcl_cursor_after(at, {'&', 'l', 'E', 0}, page);
    EXPECT_NEAR(at.y, 0.75 / 12, kNear);
    // A line feed leaves the first line, lines of the spacing apart.
    Recorder recorder;
    at = print_pcl_text(at, "\n", page.line_spacing, recorder);
    EXPECT_NEAR(at.y, 1.75 / 12, kNear);
    page.top_margin = 1;
    at = pcl_cursor_after(at, {'&', 'l', 'E', 12}, page);
    EXPECT_NEAR(at.y, 1.75 / 12, kNear);
}

} // namespace

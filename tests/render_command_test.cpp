// SPDX-License-Identifier: MIT
#include "render_command.h"

#include "paper_size.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

} // namespace

TEST(RenderArguments, PdfOnStandardOutputFromTheFileOrStandardInput)
{
    const JobSettings settings;
    EXPECT_EQ(render_arguments(settings, {}, "/var/spool/cups/d00001-001"),
              (Arguments{"--format", "pdf", "-o", "-", "/var/spool/cups/d00001-001"}));
    EXPECT_EQ(render_arguments(settings, {}, nullptr), (Arguments{"--format", "pdf", "-o", "-"}));
    // A print file whose name begins with "-" is not read as an option.
    EXPECT_EQ(render_arguments(settings, {}, "-o").back(), "./-o");
}

TEST(RenderArguments, PaperFitAndPenWidth)
{
    JobSettings settings;
    settings.paper = find_paper("A3");
    ASSERT_NE(settings.paper, nullptr);
    settings.fit = FitToPage{};
    settings.pen_width = 0.35f;
    EXPECT_EQ(render_arguments(settings, {}, "plot"),
              (Arguments{"--format", "pdf", "-o", "-", "--paper", "A3", "--fit", "--pen-width",
                         "0.35", "plot"}));
    settings.fit->only_if_larger = true;
    EXPECT_EQ(render_arguments(settings, {}, "plot"),
              (Arguments{"--format", "pdf", "-o", "-", "--paper", "A3", "--fit-if-larger",
                         "--pen-width", "0.35", "plot"}));
}

// The sheet is held portrait for orientation-requested 3 and 6 (rotations
// 270 and 90) and landscape for 4 and 5 (0 and 180), which pdftopdf then
// turns; never turned here.
TEST(RenderArguments, SheetHeldOnlyForAnAskedOrientation)
{
    const struct {
        std::int32_t rotation;
        bool asked;
        Arguments sheet;
    } rows[] = {
        {0, false, {}},
        {270, true, {"--sheet", "portrait"}},
        {0, true, {"--sheet", "landscape"}},
        {180, true, {"--sheet", "landscape"}},
        {90, true, {"--sheet", "portrait"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.rotation << (row.asked ? " asked" : ""));
        JobSettings settings;
        settings.rotation = row.rotation;
        Arguments expected = {"--format", "pdf", "-o", "-"};
        expected.insert(expected.end(), row.sheet.begin(), row.sheet.end());
        expected.emplace_back("plot");
        EXPECT_EQ(render_arguments(settings, {row.asked}, "plot"), expected);
    }
}

#include "render_command.h"

#include "paper_size.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

} // namespace

TEST(RenderArguments, PdfOnStandardOutputFromTheFileOrStandardInput)
{
    const JobSettings settings;
    EXPECT_EQ(render_arguments(settings, "/var/spool/cups/d00001-001"),
              (Arguments{"--format", "pdf", "-o", "-", "/var/spool/cups/d00001-001"}));
    EXPECT_EQ(render_arguments(settings, nullptr), (Arguments{"--format", "pdf", "-o", "-"}));
    // A print file whose name begins with "-" is not read as an option.
    EXPECT_EQ(render_arguments(settings, "-o").back(), "./-o");
}

TEST(RenderArguments, PaperFitAndPenWidthButNoTurn)
{
    JobSettings settings;
    settings.paper = find_paper("A3");
    ASSERT_NE(settings.paper, nullptr);
    settings.fit = FitToPage{};
    settings.pen_width = 0.35f;
    // pdftopdf turns the page for the orientation.
    settings.rotation = 270;
    EXPECT_EQ(render_arguments(settings, "plot"),
              (Arguments{"--format", "pdf", "-o", "-", "--paper", "A3", "--fit", "--pen-width",
                         "0.35", "plot"}));
}

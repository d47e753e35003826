// SPDX-License-Identifier: MIT
// End-to-end runs of zelvo-render: the format each output takes, the pages
// of one-page formats, and errors that leave nothing half-written behind.
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string program = ZELVO_RENDER_PROGRAM;
const std::string plot = "IN;SP1;PU0,0;PD1000,0,1000,1000;";
const std::string two_pages = "IN;SP1;PU0,0;PD1000,0;PG;PD1000,1000;";

// The width and height in a PNG's header.
std::pair<unsigned, unsigned> png_size(const std::string &png)
{
    auto word = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(png[at])) << 24
               | static_cast<unsigned>(static_cast<unsigned char>(png[at + 1])) << 16
               | static_cast<unsigned>(static_cast<unsigned char>(png[at + 2])) << 8
               | static_cast<unsigned>(static_cast<unsigned char>(png[at + 3]));
    };
    return png.size() >= 24 ? std::pair{word(16), word(20)} : std::pair{0u, 0u};
}

TEST(ZelvoRenderFormat, FromTheExtensionOrTheOption)
{
    struct Case {
        std::vector<std::string> args;
        std::string file;
        std::string magic;
    };
    const std::vector<Case> cases = {
        {{"-o", "out.pdf"}, "out.pdf", "%PDF"},
        {{"-o", "out.PS"}, "out.PS", "%!PS"},
        {{"-o", "out.svg"}, "out.svg", "<?xml"},
        {{"-o", "out.png"}, "out.png", "\x89PNG"},
        {{"--format", "png", "-o", "out.pdf"}, "out.pdf", "\x89PNG"},
        {{"--format=svg", "--output=plot"}, "plot", "<?xml"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        TempDir dir;
        const auto input = dir.write("plot.plt", plot);
        RunOptions options;
        options.args = c.args;
        options.args.push_back(input.string());
        options.cwd = dir.path();
        const RunResult result = run_program(program, options);
        EXPECT_EQ(result.exit_status, 0) << result.err;
        EXPECT_EQ(read_file(dir.path() / c.file).substr(0, c.magic.size()), c.magic);
    }
}

TEST(ZelvoRenderFormat, StandardInputToStandardOutputIsPdf)
{
    RunOptions options;
    options.stdin_data = plot;
    const RunResult result = run_program(program, options);
    EXPECT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, 4), "%PDF");
    EXPECT_EQ(result.err, "");
}

TEST(ZelvoRenderPng, PagesAndResolution)
{
    TempDir dir;
    const auto input = dir.write("plot.plt", two_pages);
    RunOptions options;
    options.cwd = dir.path();
    options.args = {"--dpi", "50", "-o", "page-%d.png", input.string()};
    RunResult result = run_program(program, options);
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(names_in(dir.path()),
              (std::vector<std::string>{"page-1.png", "page-2.png", "plot.plt"}));

    // Without %d only the first page, and a warning that counts them.
    options.args = {"-o", "one.png", input.string()};
    result = run_program(program, options);
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "zelvo-render: warning: only the first of 2 pages written (one.png holds "
                          "no %d)\n");
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "one.png"));

    // A PCL job prints on letter paper: 8.5 by 11 inches at 100 dpi.
    const std::string job = "\x1b"
                            "E\x1b%1BIN;SP1;PU0,0;PD1000,1000;\x1b%0A\x1b"
                            "E";
    const auto pcl = dir.write("job.pcl", job);
    options.args = {"-o", "job.png", pcl.string()};
    result = run_program(program, options);
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(png_size(read_file(dir.path() / "job.png")), (std::pair{850u, 1100u}));
}

// --upright turns a PCL job's landscape pages a quarter clockwise, as
// --rotate 90 does, and leaves portrait pages and plain plots as they are.
TEST(ZelvoRenderPng, UprightReadsLandscapePagesAsAPersonDoes)
{
    TempDir dir;
    const std::string landscape = "\x1b"
                                  "E\x1b&l1O\x1b%1BIN;SP1;PU0,0;PD1000,500;\x1b%0A\x1b"
                                  "E";
    const std::string portrait = "\x1b"
                                 "E\x1b%1BIN;SP1;PU0,0;PD1000,500;\x1b%0A\x1b"
                                 "E";
    const struct {
        std::string input;
        std::vector<std::string> same_as; // the options that give the same page
    } rows[] = {
        {landscape, {"--rotate", "90"}},
        {portrait, {}},
        {plot, {}},
    };
    for (const auto &row : rows) {
        const auto input = dir.write("in.plt", row.input);
        RunOptions options;
        options.args = {"-f", "png", "--upright", input.string()};
        const RunResult upright = run_program(program, options);
        ASSERT_EQ(upright.exit_status, 0) << upright.err;
        options.args = row.same_as;
        options.args.insert(options.args.end(), {"-f", "png", input.string()});
        const RunResult expected = run_program(program, options);
        EXPECT_EQ(upright.out, expected.out) << row.input;
    }
}

// A plot that starts with a plotter's device-control sequences, as
// gnuplot's and AutoCAD's do, is a plot: its own page, its PG pages, its
// pens' colours, and --fit.
TEST(ZelvoRenderPng, PlotterEscapesStartAPlot)
{
    TempDir dir;
    const auto input = dir.write("esc.plt", "\x1b.Y\n\x1b.I81;;17:\x1b.N;19:IN;SP2;PU0,0;"
                                            "PD2000,0,2000,1000;PG;PD0,0;");
    RunOptions options;
    options.cwd = dir.path();
    options.args = {"-o", "page-%d.png", input.string()};
    RunResult result = run_program(program, options);
    ASSERT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(names_in(dir.path()),
              (std::vector<std::string>{"esc.plt", "page-1.png", "page-2.png"}));
    // The drawing's own page: 50 by 25 mm and a margin of 10 all round.
    EXPECT_EQ(png_size(read_file(dir.path() / "page-1.png")), (std::pair{276u, 177u}));
    options.args = {"-f", "svg", input.string()};
    result = run_program(program, options);
    const bool red = result.out.find("rgb(100%,0%,0%)") != std::string::npos
                     || result.out.find("#ff0000") != std::string::npos
                     || result.out.find("rgb(255,0,0)") != std::string::npos;
    EXPECT_TRUE(red) << "pen 2 is red";
    options.args = {"-f", "png", "--paper", "A4", "--fit", input.string()};
    result = run_program(program, options);
    EXPECT_EQ(png_size(result.out), (std::pair{1169u, 827u}));
}

TEST(ZelvoRenderErrors, OneLineStatusOneAndNothingLeftBehind)
{
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"-o", "out.pdf", "missing.plt"},
         "zelvo-render: cannot open 'missing.plt': No such file or directory\n"},
        {{"-o", "out.pdf", "plot.plt", "missing.plt"},
         "zelvo-render: cannot open 'missing.plt': No such file or directory\n"},
        {{"-o", "out.xyz", "plot.plt"},
         "zelvo-render: cannot tell the format from 'out.xyz': give --format\n"},
        {{"--format", "gif", "plot.plt"},
         "zelvo-render: unknown format 'gif' (pdf, svg, ps or png)\n"},
        {{"--rotate", "45", "plot.plt"},
         "zelvo-render: --rotate takes 0, 90, 180 or 270, not '45'\n"},
        {{"--paper", "napkin", "plot.plt"}, "zelvo-render: unknown paper 'napkin'\n"},
        {{"--paper", "A4", "--sheet", "sideways", "plot.plt"},
         "zelvo-render: --sheet takes portrait or landscape, not 'sideways'\n"},
        {{"--dpi", "0", "plot.plt"}, "zelvo-render: --dpi takes 1 to 2400, not '0'\n"},
        {{"--pen-width", "x", "plot.plt"},
         "zelvo-render: --pen-width takes millimetres from 0 to 100, not 'x'\n"},
        {{"--bogus", "plot.plt"}, "zelvo-render: unknown option '--bogus' (see --help)\n"},
        {{"plot.plt", "-o"}, "zelvo-render: option '-o' needs a value\n"},
        {{"-o", "nowhere/out.pdf", "plot.plt"},
         "zelvo-render: cannot write 'nowhere/out.pdf': No such file or directory\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        TempDir dir;
        dir.write("plot.plt", plot);
        // An output that is there already stays as it was.
        dir.write("out.pdf", "old");
        RunOptions options;
        options.cwd = dir.path();
        options.args = c.args;
        const RunResult result = run_program(program, options);
        EXPECT_EQ(result.exit_status, 1);
        EXPECT_EQ(result.err, c.message);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(read_file(dir.path() / "out.pdf"), "old");
        EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"out.pdf", "plot.plt"}));
    }
}

TEST(ZelvoRenderErrors, HelpGoesToStandardOutput)
{
    RunOptions options;
    options.args = {"--help"};
    const RunResult result = run_program(program, options);
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.out.rfind("usage: zelvo-render", 0), 0u);
}

} // namespace

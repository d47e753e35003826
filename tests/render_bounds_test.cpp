// SPDX-License-Identifier: MIT
// Small plots that once took zelvo-render's memory, disk or time: each run
// under hard limits, so that a regression fails here instead of filling the
// machine, and each judged on what a user gets (the status, the message,
// the size of the output).
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

const std::string program = ZELVO_RENDER_PROGRAM;
constexpr long kMiB = 1024 * 1024;

std::string repeated(const std::string &text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

// zelvo-render's run on `plot` into OUT (its format from its name), within
// a gigabyte of address space, 64 MiB of output file and `cpu_seconds`.
RunResult render(const TempDir &dir, const std::string &plot, const std::string &out,
                 std::vector<std::string> more = {}, long cpu_seconds = 60)
{
    RunOptions run;
    run.args = {"-o", (dir.path() / out).string(), dir.write("plot.plt", plot).string()};
    run.args.insert(run.args.end(), more.begin(), more.end());
    run.env = {"ZELVO_HERSHEY_DIR=/usr/share/hershey-fonts"};
    run.max_address_space = 1024 * kMiB;
    run.max_file_size = 64 * kMiB;
    run.max_cpu_seconds = cpu_seconds;
    return run_program(program, run);
}

std::size_t count(const std::string &text, const std::string &what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// The polygon buffer takes 65,536 points whatever adds them; CI in polygon
// mode once added them without end.
TEST(RenderBounds, PolygonPointsAreCappedAndSaidOnce)
{
    TempDir dir;
    const RunResult r = render(dir, "IN;PM0;" + repeated("CI1,.5;", 200000), "out.pdf");
    ASSERT_EQ(r.exit_status, 0) << how_it_ended(r) << r.err;
    EXPECT_EQ(count(r.err, "more points than the polygon buffer holds"), 1u) << r.err;
    if (!kAddressSanitized) {
        EXPECT_LT(r.max_rss_kib, 64 * 1024);
    }
}

// Filling or edging the same polygon again and again paints nothing new;
// the output follows the drawing, not the repetitions.
TEST(RenderBounds, RepeatedFillsOfAPolygon)
{
    const std::string polygon = "IN;SP1;PA5000,4000;PM0;" + repeated("CI3000,.5;", 91) + "PM2;";
    const struct {
        std::string repeats;
        bool warned;
    } rows[] = {{repeated("FP;", 500), false}, {repeated("FP;EP;", 250), true}};
    for (const auto &row : rows) {
        for (const char *out : {"out.pdf", "out.svg"}) {
            SCOPED_TRACE(row.repeats.substr(0, 6) + out);
            TempDir dir;
            const RunResult r = render(dir, polygon + row.repeats, out);
            ASSERT_EQ(r.exit_status, 0) << how_it_ended(r) << r.err;
            EXPECT_LT(std::filesystem::file_size(dir.path() / out), 10u * kMiB);
            EXPECT_EQ(count(r.err, "filled or edged over and over"), row.warned ? 1u : 0u) << r.err;
        }
    }
}

// A hatched fill draws lines over the shape it fills, not over the page.
TEST(RenderBounds, HatchingCoversTheShapeOnly)
{
    std::string plot = "IN;SP1;FT3,1;";
    for (int i = 0; i < 40; ++i)
        plot += "PU" + std::to_string(i * 37) + "," + std::to_string(i * 29) + ";RR10,10;";
    for (const char *out : {"out.pdf", "out.svg"}) {
        SCOPED_TRACE(out);
        TempDir dir;
        const RunResult r = render(dir, plot, out);
        ASSERT_EQ(r.exit_status, 0) << how_it_ended(r) << r.err;
        EXPECT_LT(std::filesystem::file_size(dir.path() / out), 200u * 1024);
    }
}

// A page larger than a PNG page can be is refused before anything is
// allocated for it, with a message that names the limit.
TEST(RenderBounds, PngPagesTooLargeAreRefused)
{
    const struct {
        std::string plot;
        std::vector<std::string> options;
    } rows[] = {
        {"IN;PD;PA330000,330000;", {}},
        {"IN;PS100000000000000;PD;PA1,1;", {}},
        {"IN;PD;PA1000,1000;", {"--paper", "legal", "--dpi", "2400"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.plot);
        TempDir dir;
        const RunResult r = render(dir, row.plot, "out.png", row.options);
        EXPECT_EQ(r.exit_status, 1) << how_it_ended(r) << r.err;
        EXPECT_NE(r.err.find("at most 32767 pixels a side"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.png"));
    }
}

// A document's page is at most PDF's 14,400 points a side: a plot larger
// is drawn scaled down onto the largest, said as a warning.
TEST(RenderBounds, DocumentPagesAreHeldToTheLargestPdfPage)
{
    TempDir dir;
    const RunResult r = render(dir, "IN;PS100000000000000;PD;PA1,1;", "out.pdf");
    ASSERT_EQ(r.exit_status, 0) << how_it_ended(r) << r.err;
    EXPECT_NE(r.err.find("scaled down"), std::string::npos) << r.err;
    EXPECT_NE(read_file(dir.path() / "out.pdf").find("/MediaBox [ 0 0 14400 14400 ]"),
              std::string::npos);
}

// A long label on a wide page: its time is the benchmark's to measure
// (bench/render.sh); here it only has to end within 20 s of CPU, where a
// page analysis that grows with the square of the marks took 40.
TEST(RenderBounds, LongLabelEnds)
{
    TempDir dir;
    const RunResult r = render(dir,
                               "IN;PS6000000,40000;SP1;PA100,20000;SI0.2,0.3;LB"
                                   + repeated("ABCDEFGHIJ", 5000) + "\x03;",
                               "out.pdf", {}, 20);
    EXPECT_EQ(r.exit_status, 0) << how_it_ended(r) << r.err;
}

} // namespace

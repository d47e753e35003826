// SPDX-License-Identifier: MIT
// What real plots look like on paper: jobs rendered by a PCL 5 interpreter
// (named by ZELVO_PCL_RENDERER) and checked on their pixels, with the sample
// plots that the hp2xx package ships. Each test skips itself where the
// renderer or the samples are missing.
#include "support/run_program.h"
#include "support/skip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string program = ZELVO_PROGRAM;
const fs::path samples_dir = "/usr/share/doc/hp2xx/hp-tests";

// The output of a shell command.
std::string output_of(const std::string &command)
{
    std::string out;
    if (std::FILE *pipe = popen(command.c_str(), "r")) {
        char block[65536];
        std::size_t n;
        while ((n = std::fread(block, 1, sizeof block, pipe)) > 0)
            out.append(block, n);
        pclose(pipe);
    }
    return out;
}

std::string quoted(const std::string &text)
{
    return "'" + text + "'";
}

// The interpreter itself, which the renderer script names with --path.
std::string interpreter()
{
    const char *renderer = std::getenv("ZELVO_PCL_RENDERER");
    if (renderer == nullptr || *renderer == '\0')
        return "";
    std::string path = output_of(quoted(renderer) + " --path");
    while (!path.empty() && path.back() == '\n')
        path.pop_back();
    return path;
}

// A gray page of the rendered job: 0 is black.
struct Page {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

struct Ink {
    int left, right, top, bottom; // blank pixels from each edge
};

// A page rendered as a PGM, which needs no decoder; empty when there is
// none.
Page read_pgm(const fs::path &file)
{
    // "P5", then width, height and the largest value, with comment lines
    // among them, then one byte per pixel.
    Page page;
    const std::string bytes = read_file(file);
    std::size_t at = 2;
    int header[3] = {0, 0, 0};
    for (int &number : header) {
        while (at < bytes.size()
               && (std::isspace(static_cast<unsigned char>(bytes[at])) || bytes[at] == '#')) {
            if (bytes[at] == '#')
                at = bytes.find('\n', at);
            else
                ++at;
        }
        while (at < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[at])))
            number = number * 10 + (bytes[at++] - '0');
    }
    const std::size_t count = static_cast<std::size_t>(header[0]) * header[1];
    if (bytes.rfind("P5", 0) != 0 || bytes.size() < at + 1 + count)
        return page;
    page.width = header[0];
    page.height = header[1];
    page.pixels.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at + 1),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at + 1 + count));
    return page;
}

// Renders page 1 of `job` at `dpi`.
Page render(const TempDir &dir, const std::string &job, int dpi)
{
    const fs::path in = dir.write("job.pcl", job);
    const fs::path out = dir.path() / "page.pgm";
    fs::remove(out);
    output_of(quoted(interpreter()) + " -dNOPAUSE -dBATCH -dQUIET -sDEVICE=pgmraw -dFirstPage=1"
              + " -dLastPage=1 -r" + std::to_string(dpi) + " -sOutputFile=" + quoted(out.string())
              + " " + quoted(in.string()) + " >/dev/null 2>&1");
    return read_pgm(out);
}

// The pages the interpreter prints of `job`, each with whether it has ink
// (light pens too).
std::vector<bool> inked_pages(const TempDir &dir, const std::string &job)
{
    const fs::path in = dir.write("job.pcl", job);
    const fs::path pages = dir.path() / "pages";
    fs::remove_all(pages);
    fs::create_directory(pages);
    output_of(quoted(interpreter()) + " -dNOPAUSE -dBATCH -dQUIET -sDEVICE=pgmraw -r20"
              + " -sOutputFile=" + quoted((pages / "%d.pgm").string()) + " " + quoted(in.string())
              + " >/dev/null 2>&1");
    std::vector<bool> inked;
    for (int n = 1; fs::exists(pages / (std::to_string(n) + ".pgm")); ++n) {
        const Page page = read_pgm(pages / (std::to_string(n) + ".pgm"));
        inked.push_back(std::any_of(page.pixels.begin(), page.pixels.end(),
                                    [](unsigned char gray) { return gray < 250; }));
    }
    return inked;
}

Ink ink_of(const Page &page)
{
    Ink ink{page.width, page.width, page.height, page.height};
    for (int y = 0; y < page.height; ++y) {
        for (int x = 0; x < page.width; ++x) {
            if (page.pixels[static_cast<std::size_t>(y) * page.width + x] < 128) {
                ink.left = std::min(ink.left, x);
                ink.right = std::min(ink.right, page.width - 1 - x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::min(ink.bottom, page.height - 1 - y);
            }
        }
    }
    return ink;
}

std::string job_of(const TempDir &dir, std::vector<std::string> args, const std::string &plot)
{
    RunOptions o;
    o.args = std::move(args);
    o.args.push_back(dir.write("plot.plt", plot).string());
    o.env = {"PATH=/usr/bin:/bin", "PAPERSIZE=letter"};
    const RunResult r = run_program(program, o);
    EXPECT_EQ(r.exit_status, 0) << r.err;
    return r.out;
}

// The job for a plot that comes through a pipe, as from another program:
// -fit cannot measure its drawing there.
std::string job_through_pipe(std::vector<std::string> args, const std::string &plot)
{
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    // Small plots only: the pipe holds them whole before the job starts.
    EXPECT_LT(plot.size(), 4096u);
    EXPECT_EQ(write(fds[1], plot.data(), plot.size()), static_cast<ssize_t>(plot.size()));
    close(fds[1]);
    RunOptions o;
    o.args = std::move(args);
    o.env = {"PATH=/usr/bin:/bin", "PAPERSIZE=letter"};
    o.stdin_fd = fds[0];
    const RunResult r = run_program(program, o);
    close(fds[0]);
    EXPECT_EQ(r.exit_status, 0) << r.err;
    return r.out;
}

std::vector<std::pair<std::string, std::string>> samples()
{
    std::vector<std::pair<std::string, std::string>> plots;
    std::error_code missing;
    for (const auto &entry : fs::directory_iterator(samples_dir, missing)) {
        const std::string name = entry.path().filename().string();
        if (name == "readme" || name.find(".eps") != std::string::npos)
            continue;
        plots.emplace_back(name, output_of("gzip -dcf " + quoted(entry.path().string())));
    }
    return plots;
}

class RealPlots : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (interpreter().empty())
            ZELVO_SKIP() << "ZELVO_PCL_RENDERER does not name the PCL renderer";
    }
    TempDir dir;
};

// A fitted page: the paper's size (inches), and the ink centred to within
// 0.015 inch at `dpi` and as large as 1/4 inch margins let it be, one pair of
// sides touching the margins.
void expect_fitted(const Page &page, double width, double height, int dpi)
{
    ASSERT_NEAR(page.width, width * dpi, 2);
    ASSERT_NEAR(page.height, height * dpi, 2);
    const Ink ink = ink_of(page);
    EXPECT_LE(std::abs(ink.left - ink.right), 3);
    EXPECT_LE(std::abs(ink.top - ink.bottom), 3);
    EXPECT_NEAR(std::min(ink.left, ink.top), dpi / 4, 4);
}

TEST_F(RealPlots, HoldKeepsSettingsAcrossThePlotsOwnIN)
{
    // A plot that starts with IN; prints under -hold as the same plot
    // without its IN; prints, and unlike the plot with its IN; without
    // -hold, whose IN resets the settings.
    const std::vector<std::string> settings = {"-port", "-lwidth", "0.7"};
    std::vector<std::string> held = settings;
    held.insert(held.begin(), "-hold");
    int checked = 0;
    for (const auto &[name, plot] : samples()) {
        if (plot.rfind("IN;", 0) != 0)
            continue;
        SCOPED_TRACE(name);
        const Page with_hold = render(dir, job_of(dir, held, plot), 30);
        const Page without_in = render(dir, job_of(dir, held, plot.substr(3)), 30);
        const Page reset = render(dir, job_of(dir, settings, plot), 30);
        ASSERT_FALSE(with_hold.pixels.empty());
        EXPECT_TRUE(with_hold.pixels == without_in.pixels);
        EXPECT_FALSE(with_hold.pixels == reset.pixels);
        ++checked;
    }
    if (checked == 0)
        ZELVO_SKIP() << "no sample plots in " << samples_dir;
    EXPECT_GE(checked, 10);
}

TEST_F(RealPlots, FitCentresThePlotWithinTheMargins)
{
    // A frame around the whole plot size: 1000 x 500 mm, for a big plotter.
    const std::string frame = "SP1;PU0,0;PD40000,0,40000,20000,0,20000,0,0;PU;";
    const struct {
        std::vector<std::string> args;
        std::string plot;
        double width, height; // the page, in inches
    } rows[] = {
        {{"-fit", "-paper", "A4"}, "IN;PS40000,20000;" + frame, 8.27, 11.69},
        {{"-fit", "-paper", "a4", "-port"}, "IN;PS40000,20000;" + frame, 8.27, 11.69},
        {{"-fit", "1000x500", "-paper", "letter"}, "IN;" + frame, 8.5, 11},
        {{"-fit", "1000x500", "-paper", "A3", "-rot", "270"}, "IN;" + frame, 11.69, 16.54},
        {{"-fit", "-lj"}, "IN;PS40000,20000;" + frame, 8.5, 11},
    };
    constexpr int dpi = 200;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.args[1] + " " + row.args.back());
        expect_fitted(render(dir, job_of(dir, row.args, row.plot), dpi), row.width, row.height,
                      dpi);
    }
}

TEST_F(RealPlots, FitsASamplePlotToItsOwnSize)
{
    for (const auto &[name, plot] : samples()) {
        if (name != "la.hp")
            continue;
        // la.hp frames its plot size, PS4000,2000, with its first lines.
        // From a pipe the plot size is what fits, and the frame clips the
        // 5 mm pen's lines on its edges.
        const Ink ink = ink_of(render(dir, job_through_pipe({"-fit", "-paper", "A4"}, plot), 200));
        EXPECT_LE(std::abs(ink.left - ink.right), 3);
        EXPECT_LE(std::abs(ink.top - ink.bottom), 3);
        EXPECT_NEAR(std::min(ink.left, ink.top), 50, 4);
        return;
    }
    ZELVO_SKIP() << "la.hp is not in " << samples_dir;
}

TEST_F(RealPlots, FitScalesTheDrawingItself)
{
    // A plot file's drawing, wherever it lies, fills the printable area and
    // is centred: beyond P2 in plotter units (the frame grows and the page
    // moves), in the top part of a scaled plot, turned, after the plot's
    // own reset, and with the pen left at the origin, off the sheet. Far
    // from the origin against its size, or small against the frame, the
    // job moves it into a frame of its own; a hairline pen keeps the ink
    // the drawing's.
    const std::string far = "SP1;PA30000,20000;PD34000,20000,34000,22000,30000,22000,30000,20000;";
    const std::string small = "PW0;SP1;PA0,0;PD50,0,50,30,0,30,0,0;";
    const std::string small_scaled =
        "SC0,1000,0,1000;PW0;SP1;PA950,950;PD960,950,960,956,950,956,950,950;";
    // Its own P1 and P2, which a move would not move: its frame of its own
    // reaches the origin.
    const std::string own_points = "IP0,0,1000,1000;SC0,100,0,100;PW0;SP1;PA10,10;PD90,10,90,60;";
    const std::string back_home =
        "SP1;PA2000,1000;PD9000,1000,9000,6500,2000,6500,2000,1000;PU;PA0,0;";
    const std::string scaled = "SC0,100,0,100;SP1;PA10,40;PD90,40,90,95,10,95,10,40;";
    const struct {
        std::vector<std::string> args;
        std::string plot;
        double width, height; // the page, in inches
    } rows[] = {
        {{"-fit", "-paper", "letter"}, "IN;" + far, 8.5, 11},
        {{"-fit", "-paper", "A4", "-port"}, "IN;" + far, 8.27, 11.69},
        {{"-fit", "-paper", "A3", "-rot", "180"}, "IN;" + scaled, 11.69, 16.54},
        {{"-fit", "-paper", "letter"}, "IN;" + scaled, 8.5, 11},
        {{"-fit", "-paper", "letter", "-port"}, "IN;" + scaled, 8.5, 11},
        {{"-fit", "-paper", "letter", "-lj", "-rot", "270"}, "IN;" + scaled, 8.5, 11},
        {{"-fit", "-paper", "letter"}, "IN;" + small, 8.5, 11},
        {{"-fit", "-paper", "letter", "-rot", "270"}, "IN;" + small, 8.5, 11},
        {{"-fit", "-paper", "A4"}, "IN;" + small_scaled, 8.27, 11.69},
        {{"-fit", "-paper", "A4", "-rot", "90"}, "IN;" + small_scaled, 8.27, 11.69},
        {{"-fit", "-paper", "letter"}, "IN;" + own_points, 8.5, 11},
        {{"-fit", "-paper", "letter", "-port"}, "IN;" + own_points, 8.5, 11},
        {{"-fit", "-paper", "A4"}, "IN;" + back_home + "SP;", 8.27, 11.69},
        {{"-fit", "-paper", "A4", "-port"}, "IN;" + back_home + "SP;PG;", 8.27, 11.69},
        {{"-fit", "-paper", "A4"}, "IN;" + back_home + "PG;" + back_home, 8.27, 11.69},
        {{"-fit", "-paper", "A4"},
         "\x1b"
         "E\x1b%0BIN;"
             + far
             + "\x1b%0A\x1b"
               "E",
         8.27,
         11.69},
    };
    constexpr int dpi = 200;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.args.back() + " " + row.plot);
        expect_fitted(render(dir, job_of(dir, row.args, row.plot), dpi), row.width, row.height,
                      dpi);
    }
}

TEST_F(RealPlots, FitPrintsEverySamplePlot)
{
    // Fitted plots that draw near the origin, or across it, leave the
    // picture frame far beyond the sheet; every one still prints its page.
    int checked = 0;
    for (const auto &[name, plot] : samples()) {
        SCOPED_TRACE(name);
        const Page page = render(dir, job_of(dir, {"-fit", "-paper", "A4"}, plot), 30);
        if (page.pixels.empty()) {
            ADD_FAILURE() << "no page";
            continue;
        }
        // Light pens count too: some samples draw in pale colours only.
        EXPECT_TRUE(std::any_of(page.pixels.begin(), page.pixels.end(), [](unsigned char gray) {
            return gray < 250;
        })) << "no ink";
        ++checked;
    }
    if (checked == 0)
        ZELVO_SKIP() << "no sample plots in " << samples_dir;
}

TEST_F(RealPlots, EveryPageWithDrawingPrintsWhereverThePenIsLeft)
{
    // The printer takes a page for blank when the HP-GL/2 pen stands off
    // the sheet as the job leaves HP-GL/2; a job that reads the plot still
    // prints every page that has drawing on it, and only those.
    const std::string drawn = "SP1;PU1000,1000;PD3000,2000;";
    const std::string off = "PU-400000,-400000;";
    const struct {
        std::vector<std::string> args;
        std::string plot;
        std::vector<bool> pages; // each printed page: with ink or not
    } rows[] = {
        {{"-hold"}, "IN;" + drawn + off, {true}},
        {{"-hold", "-port"}, "IN;" + drawn + off + "SP;", {true}},
        {{"-hold"}, "IN;" + drawn + off + "PG;" + drawn + off + "PG;", {true, true}},
        {{"-hold"}, "IN;" + drawn + "PG;" + drawn + off, {true, true}},
        {{"-fit", "200x150", "-paper", "A4"}, "IN;" + drawn + off, {true}},
        {{"-hold"}, "IN;" + off, {}},
        // Drawn wholly off the sheet: a page, blank, as a printer ejects it.
        {{"-hold"}, "IN;PU-300000,0;PD-200000,0;" + off, {false}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.args.back() + " " + row.plot);
        EXPECT_EQ(inked_pages(dir, job_of(dir, row.args, row.plot)), row.pages);
    }
}

TEST_F(RealPlots, PaperSizeSetsThePage)
{
    const struct {
        const char *paper;
        int width, height; // at 50 dpi
    } rows[] = {{"letter", 425, 550}, {"legal", 425, 700}, {"A4", 413, 584}, {"A3", 584, 827}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.paper);
        const Page page = render(dir, job_of(dir, {"-paper", row.paper}, "IN;PD;"), 50);
        EXPECT_EQ(page.width, row.width);
        EXPECT_EQ(page.height, row.height);
    }
}

} // namespace

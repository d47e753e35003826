// SPDX-License-Identifier: MIT
// zelvo-render's PDF and PostScript pages look as its PNG page of the same
// plot does: each document rendered at 100 dpi, the PDF by poppler's
// pdftoppm and the PostScript by Ghostscript, and its ink compared with the
// PNG's. And the memory a large page takes, which grows with nothing the
// page holds.
#include "render/ink.h"
#include "support/run_program.h"
#include "support/skip.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::string program = ZELVO_RENDER_PROGRAM;
const std::string samples = "/usr/share/doc/hp2xx/hp-tests";
constexpr int kDpi = 100;

std::optional<std::string> tool(const std::string &name)
{
    for (const char *folder : {"/usr/bin/", "/usr/local/bin/"})
        if (std::filesystem::exists(folder + name))
            return folder + name;
    return std::nullopt;
}

// How far the ink of `a` and `b` agrees, on a canvas that holds both (the
// renderers round a page's pixels differently).
double agreement(const std::filesystem::path &a, const std::filesystem::path &b)
{
    std::string error;
    const std::optional<GrayImage> first = read_png_gray(a, error);
    const std::optional<GrayImage> second = read_png_gray(b, error);
    EXPECT_TRUE(first && second) << error;
    if (!first || !second)
        return 0;
    const int width = std::max(first->width, second->width);
    const int height = std::max(first->height, second->height);
    return compare_ink(ink_on_canvas(*first, width, height), ink_on_canvas(*second, width, height),
                       kDilation)
        .score;
}

RunResult run(const std::string &path, const std::vector<std::string> &args)
{
    RunOptions options;
    options.args = args;
    options.env = {"ZELVO_HERSHEY_DIR=/usr/share/hershey-fonts", "PATH=/usr/bin:/bin"};
    return run_program(path, options);
}

struct Plot {
    std::string name;
    std::string bytes;    // the plot, or empty to read `name` from hp2xx's samples
    double least_pdf = 0; // the least agreement of each document with the PNG
    double least_ps = 0;
};

// A PCL job with a raster image and a thick line: a checkerboard of blocks
// of 8 pixels at 75 dpi.
std::string raster_and_a_line()
{
    std::string job = "\x1b"
                      "E\x1b%1BIN;SP1;PW3;PA500,3000;PD6000,3000;PU;\x1b%0A\x1b*p300x600Y\x1b*t75R"
                      "\x1b*r1A";
    for (int row = 0; row < 64; ++row) {
        job += "\x1b*b16W";
        for (int column = 0; column < 16; ++column)
            job += (row / 8 + column) % 2 == 0 ? '\xFF' : '\0';
    }
    return job
           + "\x1b*rB\x1b"
             "E";
}

TEST(ZelvoRenderDocuments, PagesInkAsThePngPage)
{
    const std::optional<std::string> pdftoppm = tool("pdftoppm");
    const std::optional<std::string> gs = tool("gs");
    if (!pdftoppm || !gs)
        ZELVO_SKIP() << "pdftoppm or gs is not installed (Debian: poppler-utils, ghostscript)";
    if (!std::filesystem::is_directory(samples))
        ZELVO_SKIP() << "hp2xx's sample plots are not installed (Debian: hp2xx)";
    // Each plot mostly one kind of mark, so that a kind drawn wrong, out of
    // place or not at all takes most of the ink's agreement with it. The
    // PNG page's strokes are moved onto whole pixels, its glyphs hinted,
    // and a PCL job's plot put on the printer's pixel grid: the documents
    // are none of that, and a PCL job's thin strokes and Courier's agree
    // least.
    const Plot plots[] = {
        {"fills",
         "IN;SP1;PA1000,1000;FT3,100,30;RR3000,2000;FT4,150,45;PA5000,1000;"
         "RR2000,2000;FT10,80;PA1000,4000;RR2000,2000;FT1;PA4000,4000;WG1500,0,270;",
         0.95, 0.95},
        {"ends, joins, dashes and a window",
         "IN;SP1;PW1;LA1,1,2,1;PA1000,1000;PD3000,3000,5000,1000;PU;LA1,4,2,4;PA1000,3000;"
         "PD3000,5000,5000,3000;PU;PW0.3;LT2,5;PA1000,6000;PD8000,6000;PU;LT;"
         "IW2000,0,4000,8000;PW0.5;PA0,0;PD8000,8000;",
         0.95, 0.93},
        {"outline-font labels",
         "IN;SP1;SD1,277,2,1,4,30,7,4148;SS;PA1000,1000;LBOutline Univers 30 pt\3;"
         "SD1,277,2,1,4,14,7,4148;SS;DI1,1;PA1000,3000;LBturned label\3;",
         0.85, 0.83},
        {"stick-font labels",
         "IN;SP1;SI0.4,0.6;PA1000,1000;LBStick font label\3;DI0,1;"
         "PA6000,1000;LBup\3;",
         0.95, 0.9},
        {"PCL text",
         "\x1b"
         "E\x1b&l0OPCL text on the page (10 cpi)\r\nsecond line\x1b%1B"
         "IN;SP1;PA1000,1000;PD3000,3000;PU;\x1b%0A\x1b"
         "E",
         0.78, 0.78},
        // A reader samples an image's pixels otherwise than the printer: at
        // 75 dpi on 100 the blocks' edges fall a pixel either way.
        {"raster image", raster_and_a_line(), 0.85, 0.9},
        {"fill.plt", "", 0.9, 0.9},
        {"la.hp", "", 0.95, 0.93},
        {"lt.hp", "", 0.95, 0.93},
        {"miter.hp", "", 0.95, 0.9},
    };
    for (const Plot &plot : plots) {
        SCOPED_TRACE(plot.name);
        TempDir dir;
        const std::string input =
            plot.bytes.empty() ? samples + "/" + plot.name : dir.write("plot", plot.bytes).string();
        for (const char *format : {"png", "pdf", "ps"}) {
            const RunResult r = run(
                program, {"-o", (dir.path() / (std::string("page.") + format)).string(), input});
            ASSERT_EQ(r.exit_status, 0) << format << ": " << r.err;
        }
        const RunResult pdf =
            run(*pdftoppm, {"-r", std::to_string(kDpi), "-png", "-singlefile",
                            (dir.path() / "page.pdf").string(), (dir.path() / "pdf").string()});
        ASSERT_EQ(pdf.exit_status, 0) << pdf.err;
        // Ghostscript inks the pixels whose centres a mark covers, as the
        // PNG page does, with no fill adjustment; and says an error of the
        // document on its standard output.
        const RunResult ps =
            run(*gs, {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=png16m",
                      "-r" + std::to_string(kDpi), "-dLastPage=1",
                      "-sOutputFile=" + (dir.path() / "ps.png").string(), "-c",
                      "0 0 .setfilladjust2", "-f", (dir.path() / "page.ps").string()});
        ASSERT_EQ(ps.exit_status, 0) << ps.out << ps.err;
        EXPECT_EQ(ps.out.find("Error"), std::string::npos) << ps.out;
        EXPECT_GE(agreement(dir.path() / "page.png", dir.path() / "pdf.png"), plot.least_pdf);
        EXPECT_GE(agreement(dir.path() / "page.png", dir.path() / "ps.png"), plot.least_ps);
    }
}

// A document that cannot be written whole fails, saying so, whatever part
// of it went out before the disk filled.
// A label drawn in strokes can be found in the PDF: its text is there,
// unseen, over its strokes, as scanned documents hold theirs; an outline
// font's label is text anyway.
TEST(ZelvoRenderDocuments, LabelsAreTextAPdfSearchFinds)
{
    const std::optional<std::string> pdftotext = tool("pdftotext");
    if (!pdftotext)
        ZELVO_SKIP() << "pdftotext is not installed (Debian: poppler-utils)";
    TempDir dir;
    const std::string pdf = (dir.path() / "labels.pdf").string();
    const RunResult drawn =
        run(program, {"-o", pdf,
                      dir.write("labels.plt", "IN;SP1;PA1000,1000;LBStick Label\x03"
                                              "SD1,21,2,1,4,12,7,4148;PA1000,3000;"
                                              "LBOutline Label\x03")
                          .string()});
    ASSERT_EQ(drawn.exit_status, 0) << drawn.err;
    const RunResult text = run(*pdftotext, {pdf, "-"});
    EXPECT_NE(text.out.find("Stick"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Label"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Outline"), std::string::npos) << text.out;
}

TEST(ZelvoRenderDocuments, AFullDiskIsNoSuccess)
{
    TempDir dir;
    const std::string plot = dir.write("plot.plt", "IN;SP1;PA0,0;PD4000,4000;").string();
    for (const char *format : {"pdf", "ps", "svg", "png"}) {
        SCOPED_TRACE(format);
        RunOptions options;
        options.args = {"--format", format, plot};
        options.stdout_path = "/dev/full";
        const RunResult r = run_program(program, options);
        EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
        EXPECT_EQ(r.err, "zelvo-render: cannot write '-'\n");
    }
}

// A page of 200,000 short lines, 5 MB of plot: each document is written as
// the page is drawn, in memory that the page's marks do not grow, where
// cairo's recording of the page took some 200 MB.
TEST(ZelvoRenderDocuments, AFullPageInBoundedMemory)
{
    if (kAddressSanitized)
        GTEST_SKIP() << "the address sanitizer's memory is no measure of the program's";
    constexpr long kBoundKib = 32 * 1024;
    std::string plot = "IN;SP1;";
    unsigned state = 1;
    const auto next = [&](unsigned range) {
        state = state * 1103515245u + 12345u;
        return (state >> 8) % range;
    };
    while (plot.size() < 5000000) {
        const unsigned x = next(10000), y = next(7000);
        plot += "PU" + std::to_string(x) + ',' + std::to_string(y) + ";PD" + std::to_string(x + 50)
                + ',' + std::to_string(y + 30) + ';';
    }
    TempDir dir;
    const std::string input = dir.write("many.plt", plot).string();
    for (const char *format : {"pdf", "ps", "svg"}) {
        SCOPED_TRACE(format);
        RunOptions options;
        options.args = {"-o", (dir.path() / (std::string("many.") + format)).string(), input};
        const RunResult r = run_program(program, options);
        ASSERT_EQ(r.exit_status, 0) << how_it_ended(r) << r.err;
        EXPECT_LT(r.max_rss_kib, kBoundKib);
    }
}

} // namespace

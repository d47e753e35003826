// SPDX-License-Identifier: MIT
// Every number a -fit job holds is one the printer takes, whatever the
// drawing: the job's bytes read back as the printer reads them.
#include "plot_scanner.h"
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string program = ZELVO_PROGRAM;

// Each escape sequence's parameters, and each HP-GL/2 instruction with its
// parameter bytes, as the plot scanner finds them.
class JobReader : public ScanEvents {
public:
    struct Instruction {
        std::string name;
        std::string parameters;
    };
    std::vector<EscapeSequence> escapes;
    std::vector<Instruction> instructions;

    void instruction(char first, char second) override
    {
        instructions.push_back({{first, second}, ""});
    }
    void parameters(const char *bytes, std::size_t size) override
    {
        instructions.back().parameters.append(bytes, size);
    }
    void text(const char *, std::size_t) override {}
    void instruction_end() override {}
    void escape(const EscapeSequence &sequence) override { escapes.push_back(sequence); }
    void context(bool) override {}
    void page_ejected() override {}
};

// The range PCL 5 gives a parameter; a frame and a plot size of 0 are the
// printer's defaults, which no fit means.
struct Range {
    double low, high;
};

Range pcl_range(const EscapeSequence &e)
{
    constexpr double kLargest = 32767;
    const char parameter = static_cast<char>(e.parameter & ~0x20); // upper case
    if (e.kind == '*' && e.group == 'c' && (parameter == 'X' || parameter == 'Y'))
        return {1, kLargest}; // the picture frame, decipoints
    if (e.kind == '*' && e.group == 'c' && (parameter == 'K' || parameter == 'L'))
        return {0.001, kLargest}; // the plot size, inches
    if (e.kind == '&' && e.group == 'a')
        return {0, kLargest}; // the frame's anchor, decipoints
    return {-kLargest, kLargest};
}

// Checks every number of `job` and tells whether it has a picture frame.
bool expect_numbers_taken(const std::string &job)
{
    PlotScanner scanner;
    JobReader reader;
    scan_plot_events(scanner, job.data(), job.size(), reader);
    finish_plot_events(scanner, reader);
    bool framed = false;
    for (const EscapeSequence &e : reader.escapes) {
        const Range range = pcl_range(e);
        EXPECT_TRUE(e.value >= range.low && e.value <= range.high)
            << "ESC " << e.kind << e.group << e.value << e.parameter;
        framed = framed || (e.kind == '*' && e.group == 'c' && (e.parameter & ~0x20) == 'X');
    }
    // The plots here set no P1, P2, scaling, pen width or rotation: these
    // are the job's, and HP-GL/2 takes integers up to 2^30.
    for (const auto &[name, parameters] : reader.instructions) {
        if (name != "IP" && name != "SC" && name != "PW" && name != "RO")
            continue;
        constexpr double largest = 1073741823;
        for (const char *at = parameters.c_str(); *at != '\0';) {
            char *end = nullptr;
            const double value = std::strtod(at, &end);
            if (end == at) {
                ++at;
                continue;
            }
            EXPECT_LE(std::fabs(value), largest) << name << parameters;
            at = end;
        }
    }
    return framed;
}

TEST(FitRanges, EveryNumberTheJobWritesIsOneThePrinterTakes)
{
    const std::string far = "PA30000,20000;PD34000,20000,34000,22000,30000,22000,30000,20000;";
    const std::string small = "PA0,0;PD10,0,10,10,0,10,0,0;";
    const struct {
        std::vector<std::string> args;
        std::string plot;
        bool fitted; // else unscaled, with -fit's warning
    } rows[] = {
        {{"-fit", "-paper", "letter"}, small, true},
        {{"-fit", "-paper", "letter", "-port"}, small, true},
        {{"-fit", "-paper", "A4"}, far, true},
        {{"-fit", "-paper", "letter", "-rot", "270"}, far, true},
        {{"-fit", "-paper", "A3", "-rot", "180"}, "PA0,0;PD100000,0,100000,60000;", true},
        // Ten plotter units a million times their size away: the printer's
        // arithmetic would lose them.
        {{"-fit", "-paper", "letter"},
         "PA10000000,7000000;PD10000010,7000000,10000010,7000010;",
         false},
        // Before the origin, where no frame shows it.
        {{"-fit", "-paper", "letter"}, "PA-30000,-20000;PD-26000,-20000,-26000,-18000;", false},
        {{"-fit", "-paper", "letter", "-rot", "90"}, "PA-30000,-20000;PD-26000,-18000;", false},
        // Larger than a plot size can be.
        {{"-fit", "-paper", "letter"}, "PA100,100;PD1000000000000000,5;", false},
        {{"-fit", "-paper", "letter"}, "PA0,0;PD100000000,0,100000000,50000;", false},
        {{"-fit", "999999x0.01", "-paper", "letter"}, "PA0,0;PD100,100;", false},
        // A dot has no size, as ever.
        {{"-fit", "-paper", "letter"}, "PA500,500;PD;PU;", false},
    };
    TempDir dir;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.args.back() + " " + row.plot);
        RunOptions o;
        o.args = row.args;
        o.args.push_back(dir.write("plot.plt", "IN;SP1;" + row.plot).string());
        o.env = {"PAPERSIZE=letter"};
        const RunResult r = run_program(program, o);
        EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
        EXPECT_EQ(r.err, row.fitted ? "" : "No plot size found; printing unscaled\n");
        EXPECT_EQ(expect_numbers_taken(r.out), row.fitted);
    }
}

} // namespace

// SPDX-License-Identifier: MIT
// End-to-end runs of the built zelvo program: whole outputs, messages and
// exit statuses compared exactly.
#include "support/default_job.h"
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string program = ZELVO_PROGRAM;
std::string job(const std::string &body, const std::string &setup = job_setup)
{
    return job_first_line + setup + body + job_trailer;
}

std::string all_bytes()
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(static_cast<char>(i));
    return bytes;
}

std::string sized(std::size_t n)
{
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>("PU0,0;PD10,10;"[i % 14] ^ (i / 14 % 7));
    return bytes;
}

class Zelvo : public ::testing::Test {
protected:
    TempDir dir;

    // A clean environment: both zelvo variables unset unless a test adds them;
    // PATH finds the stand-in commands in the test directory first.
    RunOptions options(std::vector<std::string> args, std::vector<std::string> env = {})
    {
        RunOptions o;
        o.args = std::move(args);
        o.env = std::move(env);
        o.env.push_back("PATH=" + dir.path().string() + ":/usr/bin:/bin");
        o.cwd = dir.path();
        return o;
    }

    // A stand-in spooler that copies its input to a file and exits with `status`.
    void fake_command(const std::string &name, int status = 0)
    {
        dir.script(name, "cat > \"" + (dir.path() / (name + ".got")).string() + "\"\nexit "
                             + std::to_string(status) + "\n");
    }
};

TEST_F(Zelvo, RoadOfOneJob)
{
    fake_command("lp");
    dir.write("a.plt", "IN;PU0,0;PD100,100;");
    const RunResult r =
        run_program(program, options({"-out", "|lp", "a.plt"}, {"zelvo_param=lj,port"}));
    EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(read_file(dir.path() / "lp.got"),
              job("IN;PU0,0;PD100,100;", "IN;SP1;PA;PW0.2;\nRO90;\nRO90;\n"));
}

TEST_F(Zelvo, DefaultJobOnStandardOutput)
{
    RunOptions o = options({});
    o.stdin_data = "PU0,0;";
    const RunResult r = run_program(program, o);
    EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, job("PU0,0;"));
}

TEST_F(Zelvo, HeaderFollowsSettings)
{
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> env;
        std::string setup;
    } rows[] = {
        {{"-lwidth", "0.15"}, {}, "IN;SP1;PA;PW0.15;\n"},
        {{"-lwidth", "0.45"}, {}, "IN;SP1;PA;PW0.45;\n"},
        {{"-rot", "45"}, {}, "IN;SP1;PA;PW0.2;\n"},
        {{"-rot", "-90"}, {}, "IN;SP1;PA;PW0.2;\n"},
        {{"-rot", "180"}, {}, "IN;SP1;PA;PW0.2;\nRO180;\n"},
        {{"-port", "-rot", "270"}, {}, "IN;SP1;PA;PW0.2;\nRO270;\n"},
        {{"-lj", "-rot", "180"}, {}, "IN;SP1;PA;PW0.2;\nRO90;\nRO180;\n"},
        {{"-lj"}, {}, "IN;SP1;PA;PW0.2;\nRO90;\n"},
        {{}, {"zelvo_param=LJ,port,lwidth=0.5"}, "IN;SP1;PA;PW0.5;\nRO90;\nRO90;\n"},
        {{"-land"}, {"zelvo_param=port"}, "IN;SP1;PA;PW0.2;\n"},
        {{}, {"zelvo_param=lwidth,0.5"}, "IN;SP1;PA;PW0.0;\n"},
        {{"-lwidth", "12.25"}, {}, "IN;SP1;PA;PW12.25;\n"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.setup);
        RunOptions o = options(row.args, row.env);
        o.stdin_data = "PA1,1;";
        const RunResult r = run_program(program, o);
        EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
        EXPECT_EQ(r.out, job("PA1,1;", row.setup));
    }
}

TEST_F(Zelvo, CopiesBytesExactly)
{
    const std::size_t sizes[] = {0, 1, 9999, 10000, 10001, 19999, 20000, 20001, 29999, 30001};
    for (std::size_t n : sizes) {
        SCOPED_TRACE(n);
        const std::string body = sized(n);
        dir.write("in.plt", body);
        RunOptions from_file = options({"in.plt"});
        EXPECT_EQ(run_program(program, from_file).out, job(body));
        RunOptions from_stdin = options({});
        from_stdin.stdin_data = body;
        EXPECT_EQ(run_program(program, from_stdin).out, job(body));
    }
    dir.write("bytes.plt", all_bytes());
    EXPECT_EQ(run_program(program, options({"bytes.plt"})).out, job(all_bytes()));
}

TEST_F(Zelvo, WritesFileDestination)
{
    dir.write("a.plt", "A");
    dir.write("b.plt", "B");
    dir.write("plot.prn", "old contents that must be truncated away");
    const RunResult r = run_program(
        program, options({"-rot", "180", "-lwidth", "0.7", "-out", "plot.prn", "a.plt", "b.plt"}));
    EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(read_file(dir.path() / "plot.prn"), job("AB", "IN;SP1;PA;PW0.7;\nRO180;\n"));
}

TEST_F(Zelvo, DestinationRules)
{
    fake_command("lp");
    dir.write("a.plt", "A");
    // "-x" is standard output; zelvo_out applies without -out; -out wins over it.
    EXPECT_EQ(run_program(program, options({"-out", "-x", "a.plt"})).out, job("A"));
    EXPECT_EQ(run_program(program, options({"a.plt"}, {"zelvo_out=env.prn"})).out, "");
    EXPECT_EQ(read_file(dir.path() / "env.prn"), job("A"));
    EXPECT_EQ(run_program(program, options({"-out", "", "a.plt"}, {"zelvo_out=|lp"})).exit_status,
              0);
    EXPECT_EQ(read_file(dir.path() / "lp.got"), job("A"));
    EXPECT_EQ(
        run_program(program, options({"-output", "opt.prn", "a.plt"}, {"zelvo_out=env2.prn"})).out,
        "");
    EXPECT_EQ(read_file(dir.path() / "opt.prn"), job("A"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "env2.prn"));
}

TEST_F(Zelvo, OutputThatCannotBeOpened)
{
    dir.write("a.plt", "A");
    for (const RunOptions &o :
         {options({"a.plt"}, {"zelvo_out="}), options({"-out", "missing/dir/x.prn", "a.plt"})}) {
        const RunResult r = run_program(program, o);
        EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "Unable to open output file\n");
    }
}

TEST_F(Zelvo, MissingInputIsReportedAndSkipped)
{
    dir.write("b.plt", "B");
    const RunResult r = run_program(program, options({"nothere.plt", "b.plt"}));
    // The rest of the job is written, but the job is not whole.
    EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
    EXPECT_EQ(r.err, "Unable to open: nothere.plt\n");
    EXPECT_EQ(r.out, job("B"));
}

TEST_F(Zelvo, OptionAfterInputIsStandardInput)
{
    dir.write("a.plt", "A");
    RunOptions o = options({"a.plt", "-port"});
    o.stdin_data = "S";
    EXPECT_EQ(run_program(program, o).out, job("AS"));
    RunOptions lone = options({"-lwidth"});
    lone.stdin_data = "S";
    EXPECT_EQ(run_program(program, lone).out, job("S"));
}

TEST_F(Zelvo, UsageText)
{
    const std::string usage =
        "drelk: This program sets up postscript files for printing\n"
        "drelk syntax (version:2.0)\n"
        "   drelk [options...] files...\n"
        " -port       Specifies portrait mode\n"
        " -eps        Specifies to create encapsulated postscript files (EPS)\n"
        " -title title  Specifies title line of output file (handy for EPS files)\n"
        " -output device  Specifies output printer device\n";
    for (const char *flag : {"-h", "-help"}) {
        const RunResult r = run_program(program, options({"-out", "never.prn", flag}));
        EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
        EXPECT_EQ(r.out, usage);
        EXPECT_EQ(r.err, "");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "never.prn"));
}

// What the filter does beyond the historical behaviour: no failure is ever
// reported as success, and no input is handled unsafely.

TEST_F(Zelvo, WriteFailureIsAnError)
{
    dir.write("big.plt", sized(3 << 20));
    for (const char *input : {"a.plt", "big.plt"}) {
        SCOPED_TRACE(input);
        dir.write("a.plt", "A");
        RunOptions full = options({input});
        full.stdout_path = "/dev/full";
        const RunResult r = run_program(program, full);
        EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
        EXPECT_EQ(r.err, "Unable to write output file\n");

        const RunResult named = run_program(program, options({"-out", "/dev/full", input}));
        EXPECT_EQ(named.exit_status, 1) << how_it_ended(named);
        EXPECT_EQ(named.err, "Unable to write output file\n");

        RunOptions closed = options({input});
        closed.close_stdout = true;
        const RunResult c = run_program(program, closed);
        EXPECT_EQ(c.exit_status, 1) << how_it_ended(c);
        EXPECT_EQ(c.err, "Unable to write output file\n");
    }
}

TEST_F(Zelvo, FailingCommandIsAnError)
{
    fake_command("lp", 3);
    dir.write("a.plt", "A");
    const RunResult r = run_program(program, options({"-out", "|lp", "a.plt"}));
    EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
    EXPECT_EQ(r.err, "Output command failed\n");
    EXPECT_EQ(read_file(dir.path() / "lp.got"), job("A"));

    dir.script("killed", "cat > /dev/null\nkill -9 $$\n");
    const RunResult k = run_program(program, options({"-out", "|killed", "a.plt"}));
    EXPECT_EQ(k.exit_status, 1) << how_it_ended(k);
    // The shell may report the signal on its own line first.
    EXPECT_TRUE(k.err.ends_with("Output command failed\n")) << k.err;
}

TEST_F(Zelvo, UnreadableInputIsReported)
{
    std::filesystem::create_directory(dir.path() / "adir");
    dir.write("b.plt", "B");
    const RunResult r = run_program(program, options({"adir", "b.plt"}));
    EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
    EXPECT_EQ(r.err, "Unable to read: adir\n");
    EXPECT_EQ(r.out, job("B"));
}

TEST_F(Zelvo, OverlongDestinationIsRefused)
{
    fake_command("lp");
    const std::string name(80, 'n');
    const std::string command = "|lp" + std::string(77, ' ');
    const RunOptions runs[] = {options({"-out", name}), options({}, {"zelvo_out=" + name}),
                               options({"-out", command})};
    for (const RunOptions &o : runs) {
        const RunResult r = run_program(program, o);
        EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "Output name too long\n");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / name));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "lp.got"));

    const std::string longest(79, 'm');
    EXPECT_EQ(run_program(program, options({"-out", longest})).exit_status, 0);
    EXPECT_EQ(read_file(dir.path() / longest), job(""));
}

TEST_F(Zelvo, StandardInputTwice)
{
    dir.write("a.plt", "A");
    RunOptions o = options({"-", "a.plt", "-x", "-"});
    o.stdin_data = "S";
    const RunResult r = run_program(program, o);
    EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, job("SA"));
}

} // namespace

namespace {

// The settings again, as -hold writes them after the plot's IN and BP.
class ZelvoHold : public Zelvo {};

TEST_F(ZelvoHold, RepeatsTheSettingsAfterInAndBp)
{
    // The rotation turns P1 and P2 too, so that a plot scaled to them stays
    // whole and keeps its proportions: on letter's frame of 10.6 by 7.5
    // inches (10770 by 7620 plotter units), turned, they span its width and
    // (7.5 / 10.6)^2 of its length, in its middle.
    const std::string turned = "RO90;\nIP0,2689,7620,8081;\n";
    const std::string held = "PW0.35;\n" + turned;
    dir.write("a.plt", "BPIN;PA0,0;");
    const RunResult r = run_program(
        program, options({"-hold", "-port", "-lwidth", "0.35", "a.plt"}, {"PAPERSIZE=letter"}));
    EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
    EXPECT_EQ(r.out, job("BP" + held + "IN;" + held + "PA0,0;", "IN;SP1;PA;PW0.35;\n" + turned));

    // From the parameter list; a width equal to the default is still given.
    const RunResult list = run_program(
        program, options({"a.plt"}, {"zelvo_param=hold,lj,lwidth=0.2", "PAPERSIZE=letter"}));
    const std::string lj = "PW0.2;\n" + turned;
    EXPECT_EQ(list.out, job("BP" + lj + "IN;" + lj + "PA0,0;", "IN;SP1;PA;PW0.2;\n" + turned));
}

TEST_F(ZelvoHold, ReadsTheInputsAsOneStream)
{
    // An IN without ';' at the end of one input ends where the next one
    // starts an instruction; one at the very end, before the trailer.
    dir.write("a.plt", "PU;IN");
    dir.write("b.plt", "\nPS1,1;IN");
    const RunResult r = run_program(program, options({"-hold", "-rot", "180", "a.plt", "b.plt"}));
    const std::string turn = "RO180;\nIP;\n";
    EXPECT_EQ(r.out, job("PU;IN\n" + turn + "PS1,1;IN" + turn, "IN;SP1;PA;PW0.2;\n" + turn));
}

TEST_F(ZelvoHold, ReadsThePlotWithNothingToHold)
{
    // Nothing to add after IN: a plot with nothing to mend keeps its bytes,
    // and -hold still ends its pages and its trailer as the plot needs: a
    // page with drawing on it ends in a form feed, which the printer obeys
    // wherever the plot left its pen.
    const struct {
        std::string plot;
        std::string held; // the job's body and trailer
    } rows[] = {
        {"IN;PA0,0;PD;", "IN;PA0,0;PD;SP;PG;\n\x1b%0A\f\x1b"
                         "E"},
        {"IN;PD;PG;", "IN;PD;PG;SP;PG;\n\x1b%0A\f\x1b"
                      "E"},
        {"IN;PD;PG;IN;PD;PG;", "IN;PD;PG;\x1b%0A\f\x1b%0BIN;PD;PG;SP;PG;\n\x1b%0A\f\x1b"
                               "E"},
        // Nothing drawn, or the page already ejected: no form feed.
        {"IN;PA0,0;", "IN;PA0,0;SP;PG;\n\x1b%0A\x1b"
                      "E"},
        {"IN;PA0,0;\x1b%0A\f", "IN;PA0,0;\x1b%0A\f\x1b%0A\x1b"
                               "E"},
        {"IN;PD;\x1b%0A\f", "IN;PD;\x1b%0A\f\x1b%0A\x1b"
                            "E"},
        // A symbol put down at a point is drawing: each page of them ends.
        {"SM*;PA9,9;PG;SM*;PA9,9;PG;",
         "SM*;PA9,9;PG;\x1b%0A\f\x1b%0BSM*;PA9,9;PG;SP;PG;\n\x1b%0A\f\x1b"
         "E"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.plot);
        dir.write("a.plt", row.plot);
        const RunResult held = run_program(program, options({"-hold", "a.plt"}));
        EXPECT_EQ(held.out, job_header + row.held);
    }
}

TEST_F(ZelvoHold, PlotThatEndsInPclGetsNoHpglTrailerLine)
{
    // Printed as PCL text, "SP;PG;" would cost a page of its own.
    dir.write("a.plt", "IN;PD;\x1b%0A\f");
    const RunResult r = run_program(program, options({"-hold", "-port", "-paper", "A4", "a.plt"}));
    // A4's frame, 11.297 by 7.267 inches, turned.
    const std::string turned = "RO90;\nIP0,3364,7383,8113;\n";
    EXPECT_EQ(r.out, "\x1b"
                     "E\x1b&l26A\x1b%1B\x1b&l1O\nIN;SP1;PA;PW0.2;\n"
                         + turned + "IN;" + turned
                         + "PD;\x1b%0A\f\x1b%0A\x1b"
                           "E");
}

TEST_F(ZelvoHold, TrailerClosesWhatThePlotLeavesOpen)
{
    // Whatever the plot ends in, nothing of the trailer is read as text or
    // data: the byte that closes it first, and the HP-GL/2 line only where
    // it is read as instructions.
    const std::string line = "SP;PG;\n";
    const std::string end = "\x1b%0A\x1b"
                            "E";
    // After drawing, or text in PCL context, a form feed ejects the page.
    const std::string eject = "\x1b%0A\f\x1b"
                              "E";
    const struct {
        std::string plot;
        std::string trailer;
    } rows[] = {
        {"PD;", line + eject},
        {"PA1,2", line + end},
        {"PS1", line + end},
        {"LBtext", "\x03" + line + eject},
        {"DT*;LBtext", "*" + line + eject},
        {"CO\"note", "\"" + line + end},
        {"CO note", ";" + line + end},
        {"CO", ";" + line + end},
        {"PE<=", ";" + line + eject},
        {"DT", ";" + line + end},
        {"SM", ";" + line + end},
        {"P", ";" + line + end},
        {"\x1b", end},
        {"\x1b&l", end},
        {"\x1b.(", end},
        {"\x1b%0Atext", eject},
        // Announced data that is not there is made up with zeros.
        {"\x1b%0A\x1b*b4W", std::string(4, '\0') + eject},
        {"\x1b%0A\x1b*b3W12", std::string(1, '\0') + eject},
        {"\x1b*b100000W", end},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.plot);
        dir.write("a.plt", row.plot);
        const RunResult held = run_program(program, options({"-hold", "a.plt"}));
        EXPECT_EQ(held.out, job_header + row.plot + row.trailer);
        // The default job keeps its trailer whatever the plot.
        EXPECT_EQ(run_program(program, options({"a.plt"})).out, job(row.plot));
    }
}

TEST_F(ZelvoHold, PaperAndFrameHoldAcrossThePlotsReset)
{
    // The plot's own ESC E resets the page size and the picture frame; they
    // follow it again, as they follow the header's.
    dir.write("a.plt", "\x1b"
                       "E\x1b%0BIN;PD;\x1b%0A\x1b"
                       "E");
    const RunResult r = run_program(program, options({"-paper", "A4", "-hold", "a.plt"}));
    EXPECT_EQ(r.out, "\x1b"
                     "E\x1b&l26A\x1b%1B\x1b&l1O\nIN;SP1;PA;PW0.2;\n\x1b"
                     "E\x1b&l26A\x1b%0BIN;PD;\x1b%0A\x1b"
                     "E\x1b&l26A\x1b%0A\x1b"
                     "E");
    // The default job leaves the plot as it is.
    EXPECT_EQ(run_program(program, options({"-paper", "A4", "a.plt"})).out,
              "\x1b"
              "E\x1b&l26A\x1b%1B\x1b&l1O\nIN;SP1;PA;PW0.2;\n\x1b"
              "E\x1b%0BIN;PD;\x1b%0A\x1b"
              "ESP;PG;\n\x1b%0A\x1b"
              "E");
}

TEST_F(Zelvo, PaperSizeCommand)
{
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> env;
        std::string command;
    } rows[] = {
        {{"-paper", "A4"}, {}, "\x1b&l26A"},
        {{"-PAPER", "Letter"}, {}, "\x1b&l2A"},
        {{"-pa", "b5"}, {}, "\x1b&l45A"},
        {{}, {"zelvo_param=paper=tabloid"}, "\x1b&l6A"},
        {{"-paper", "legal"}, {"zelvo_param=paper=a3"}, "\x1b&l3A"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.command);
        RunOptions o = options(row.args, row.env);
        o.stdin_data = "PU;";
        EXPECT_EQ(run_program(program, o).out,
                  job_reset + row.command + job_hpgl_mode + job_setup + "PU;" + job_trailer);
    }
}

TEST_F(Zelvo, FitWritesThePictureFrame)
{
    // A1 on A4: 279.3 x 197.3 mm (7918 x 5593 decipoints) with 1/4 inch
    // margins on the short side, centred.
    const std::string a1_on_a4 =
        "\x1b&l26A\x1b&l1O\x1b&l0E\x1b*c7918x5593Y\x1b&a109h180V\x1b*c0T\x1b*c33.110k23.386L";
    dir.write("a.plt", "IN;PA0,0;");
    dir.write("sized.plt", "IN;PS33640,23760;PD;");
    const RunResult given =
        run_program(program, options({"-fit", "841x594", "-paper", "A4", "a.plt"}));
    EXPECT_EQ(given.exit_status, 0) << how_it_ended(given);
    EXPECT_EQ(given.out,
              job_reset + a1_on_a4 + job_hpgl_mode + job_setup + "IN;PA0,0;" + job_trailer);
    // The plot's own PS, from the first input that opens, read ahead. It
    // draws, so a form feed ejects the page, wherever the pen stands; the
    // plot above draws nothing and gets none, which would print a blank
    // page.
    const RunResult from_ps =
        run_program(program, options({"-fit", "-paper", "A4", "gone.plt", "sized.plt", "a.plt"}));
    EXPECT_EQ(from_ps.exit_status, 1) << how_it_ended(from_ps);
    EXPECT_EQ(from_ps.err, "Unable to open: gone.plt\n");
    EXPECT_EQ(from_ps.out, job_reset + a1_on_a4 + job_hpgl_mode + job_setup
                               + "IN;PS33640,23760;PD;IN;PA0,0;SP;PG;\n\x1b%0A\f\x1b" + "E");
}

TEST_F(Zelvo, FitTakesAPlotSizeOfALengthAloneForTheWidthToo)
{
    // GNU plotutils writes PS with a length alone. From a pipe, where the
    // drawing cannot be measured, it sizes the frame as a square would.
    const auto fitted_from_pipe = [&](const std::string &plot) {
        RunOptions o = options({"-fit", "-paper", "A4"});
        o.stdin_data = plot;
        return run_program(program, o);
    };
    const RunResult alone = fitted_from_pipe("BP;IN;PS33640;IP0,0,8000,8000;PD;");
    const RunResult square = fitted_from_pipe("BP;IN;PS33640,33640;IP0,0,8000,8000;PD;");
    EXPECT_EQ(alone.exit_status, 0) << how_it_ended(alone);
    EXPECT_EQ(alone.err, "");
    std::string expected = square.out;
    expected.replace(expected.find("PS33640,33640;"), 14, "PS33640;");
    EXPECT_EQ(alone.out, expected);
}

TEST_F(Zelvo, FitWithoutAPlotSizePrintsUnscaled)
{
    dir.write("a.plt", "IN;PD;PS100,100;");
    const RunResult r = run_program(program, options({"-fit", "-port", "a.plt"}));
    EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
    EXPECT_EQ(r.err, "No plot size found; printing unscaled\n");
    EXPECT_EQ(r.out, run_program(program, options({"-hold", "-port", "a.plt"})).out);
}

} // namespace

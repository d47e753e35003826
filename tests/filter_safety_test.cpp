// SPDX-License-Identifier: MIT
// No data lost and no failure hidden: an input that is the output, an
// interrupted job, commands that fail or go away, pen widths and rotations
// that no printer can use. Each runs the built program.
#include "support/run_program.h"
#include "support/sanitized.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string program = ZELVO_PROGRAM;
const std::string plot = "IN;SP1;PU0,0;PD100,100;";

class ZelvoSafety : public ::testing::Test {
protected:
    TempDir dir;

    RunOptions options(std::vector<std::string> args)
    {
        RunOptions o;
        o.args = std::move(args);
        o.env = {"PATH=" + dir.path().string() + ":/usr/bin:/bin"};
        o.cwd = dir.path();
        return o;
    }

    // Starts zelvo with `args` reading the plot from a FIFO that stays open,
    // and waits until `arrived` says the plot is through: the copy then
    // blocks for more. `feed` is the FIFO's write end.
    std::unique_ptr<RunningProgram> start_fed(std::vector<std::string> args, int &feed,
                                              const std::function<bool()> &arrived)
    {
        const fs::path fifo = dir.path() / "feed";
        fs::remove(fifo);
        EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        RunOptions o = options(std::move(args));
        o.stdin_path = fifo.string();
        auto zelvo = std::make_unique<RunningProgram>(program, o);
        feed = open(fifo.c_str(), O_WRONLY);
        EXPECT_GE(feed, 0);
        EXPECT_EQ(write(feed, plot.data(), plot.size()), static_cast<ssize_t>(plot.size()));
        for (int tries = 0; tries < 500 && !arrived(); ++tries)
            usleep(10000);
        EXPECT_TRUE(arrived());
        return zelvo;
    }

    // The refusal leaves the plot as it was: same bytes, nothing appended.
    void expect_refused(const RunResult &r, const std::string &name)
    {
        EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
        EXPECT_EQ(r.err, "Input file is output file: " + name + "\n");
        EXPECT_EQ(read_file(dir.path() / "x.plt"), plot);
    }
};

TEST_F(ZelvoSafety, InputThatIsTheOutputIsRefused)
{
    const fs::path x = dir.write("x.plt", plot);
    fs::create_hard_link(x, dir.path() / "hard.plt");
    fs::create_symlink(x, dir.path() / "soft.plt");
    dir.write("other.plt", "PU;");

    // zelvo x.plt >> x.plt, with other inputs around it.
    RunOptions append = options({"other.plt", "x.plt"});
    append.stdout_path = x.string();
    append.append_stdout = true;
    expect_refused(run_program(program, append), "x.plt");

    // -out into the file, under its own name, a hard link and a symbolic
    // link: the file is looked at before it is opened, so it keeps its bytes.
    for (const char *out : {"x.plt", "hard.plt", "soft.plt", "./x.plt"}) {
        SCOPED_TRACE(out);
        expect_refused(run_program(program, options({"-out", out, "x.plt"})), "x.plt");
    }
    expect_refused(run_program(program, options({"-out", "x.plt", "soft.plt"})), "soft.plt");

    // Standard input redirected from the output file, with and without "-".
    for (const std::vector<std::string> &args :
         std::vector<std::vector<std::string>>{{}, {"other.plt", "-"}}) {
        RunOptions from_stdin = options(args);
        from_stdin.stdin_path = x.string();
        from_stdin.stdout_path = x.string();
        from_stdin.append_stdout = true;
        expect_refused(run_program(program, from_stdin), "-");
    }

    // zelvo x.plt > x.plt: the shell has emptied the file already, but the
    // job still must not copy it into itself.
    RunOptions truncated = options({"x.plt"});
    truncated.stdout_path = x.string();
    const RunResult t = run_program(program, truncated);
    EXPECT_EQ(t.exit_status, 1) << how_it_ended(t);
    EXPECT_EQ(t.err, "Input file is output file: x.plt\n");
    EXPECT_EQ(fs::file_size(x), 0u);
}

// An output that the job creates, or that an input names through a
// descriptor, cannot be compared before it is opened: each input is compared
// with the open output once it is open itself, and one that is the output is
// left out. The child's file size limit ends a copy into itself early.
TEST_F(ZelvoSafety, InputOpenedAsTheOutputIsLeftOut)
{
    dir.write("plot.plt", plot);
    fs::create_symlink("y.prn", dir.path() / "link.plt");
    const struct {
        std::vector<std::string> args;
        const char *output;
        std::vector<std::string> same_job; // the job it writes, to standard output
        std::string err;
    } rows[] = {
        {{"-out", "x.prn", "x.prn"}, "x.prn", {"/dev/null"}, "Input file is output file: x.prn\n"},
        {{"-hold", "-port", "-out", "x.prn", "x.prn"},
         "x.prn",
         {"-hold", "-port", "/dev/null"},
         "Input file is output file: x.prn\n"},
        {{"-fit", "A4", "-out", "y.prn", "plot.plt", "y.prn"},
         "y.prn",
         {"-fit", "A4", "plot.plt"},
         "Input file is output file: y.prn\n"},
        {{"-out", "y.prn", "plot.plt", "link.plt"},
         "y.prn",
         {"plot.plt"},
         "Input file is output file: link.plt\n"},
        // The output is the first descriptor zelvo opens.
        {{"-out", "z.prn", "plot.plt", "/dev/fd/3"},
         "z.prn",
         {"plot.plt"},
         "Input file is output file: /dev/fd/3\n"},
        {{"-out", "z.prn", "/proc/self/fd/3", "plot.plt"},
         "z.prn",
         {"plot.plt"},
         "Input file is output file: /proc/self/fd/3\n"},
        // -fit opens its first input before the output: one that does not
        // exist is missing.
        {{"-fit", "-out", "yy.prn", "yy.prn"},
         "yy.prn",
         {"-fit", "/dev/null"},
         "Unable to open: yy.prn\nNo plot size found; printing unscaled\n"},
    };
    for (const auto &row : rows) {
        std::string command_line;
        for (const std::string &arg : row.args)
            command_line += arg + " ";
        SCOPED_TRACE(command_line);
        fs::remove(dir.path() / row.output);
        RunOptions o = options(row.args);
        o.max_file_size = 1 << 20;
        const RunResult r = run_program(program, o);
        EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
        EXPECT_EQ(r.err, row.err);
        // Compared by size first: a copy into itself is a megabyte to print.
        const std::string job = run_program(program, options(row.same_job)).out;
        const std::string written = read_file(dir.path() / row.output);
        ASSERT_EQ(written.size(), job.size());
        EXPECT_EQ(written, job);
    }
}

// A descriptor among 0, 1 and 2 that is closed at start is taken by
// /dev/null, opened so that using it fails, before anything else opens: no
// file of the job becomes standard input, output or error.
TEST_F(ZelvoSafety, ClosedStandardDescriptors)
{
    dir.write("plot.plt", plot);
    const std::string whole = run_program(program, options({"plot.plt"})).out;
    const std::string empty = run_program(program, options({"/dev/null"})).out;
    const struct {
        bool in, out, err;
        std::vector<std::string> args;
        std::string job;
        std::string message; // when standard error is open
    } rows[] = {
        {false, false, true, {"-out", "f.prn", "missing.plt", "plot.plt"}, whole, ""},
        {true, false, false, {"-out", "f.prn"}, empty, "Unable to read: -\n"},
        {true, true, true, {"-out", "f.prn", "missing.plt", "plot.plt"}, whole, ""},
        {true,
         true,
         false,
         {"-out", "f.prn", "missing.plt", "plot.plt"},
         whole,
         "Unable to open: missing.plt\n"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.in ? "0" : "") + (row.out ? "1" : "") + (row.err ? "2" : ""));
        fs::remove(dir.path() / "f.prn");
        RunOptions o = options(row.args);
        o.close_stdin = row.in;
        o.close_stdout = row.out;
        o.close_stderr = row.err;
        const RunResult r = run_program(program, o);
        EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
        EXPECT_EQ(r.err, row.message);
        EXPECT_EQ(read_file(dir.path() / "f.prn"), row.job);
    }
}

TEST_F(ZelvoSafety, DevicesAreNeverTheSameFile)
{
    RunOptions o = options({"/dev/null"});
    o.stdout_path = "/dev/null";
    const RunResult r = run_program(program, o);
    EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(run_program(program, options({"-out", "/dev/null", "/dev/null"})).exit_status, 0);
}

// A stand-in spooler that keeps what it got only when its input ends
// cleanly, as lp spools a job only then.
void spooler(const TempDir &dir)
{
    const std::string got = (dir.path() / "spooled").string();
    dir.script("spool", "cat > \"" + got + ".part\" && mv \"" + got + ".part\" \"" + got + "\"\n");
}

TEST_F(ZelvoSafety, InterruptedJobIsNotSpooled)
{
    spooler(dir);
    const fs::path part = dir.path() / "spooled.part";
    for (const int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal_number);
        fs::remove(part);
        int feed = -1;
        const auto zelvo = start_fed({"-out", "|spool"}, feed, [&] {
            std::error_code missing;
            return fs::file_size(part, missing) >= plot.size() && !missing;
        });
        kill(zelvo->pid(), signal_number);
        const RunResult r = zelvo->wait();
        close(feed);
        EXPECT_EQ(r.signal, signal_number);
        EXPECT_EQ(r.err, "Interrupted\n");
        EXPECT_FALSE(fs::exists(dir.path() / "spooled"));
    }
}

TEST_F(ZelvoSafety, InterruptedFileKeepsWhatWasWritten)
{
    const fs::path job = dir.path() / "job.pcl";
    int feed = -1;
    const auto zelvo =
        start_fed({"-out", "job.pcl"}, feed, [&] { return read_file(job).ends_with(plot); });
    kill(zelvo->pid(), SIGINT);
    const RunResult r = zelvo->wait();
    close(feed);
    EXPECT_EQ(r.signal, SIGINT);
    EXPECT_EQ(r.err, "Interrupted\n");
    // The header and the plot, and no trailer.
    EXPECT_TRUE(read_file(job).ends_with("PW0.2;\n" + plot)) << read_file(job);
}

TEST_F(ZelvoSafety, FailingCommandsReportTheSameEveryTime)
{
    dir.write("small.plt", plot);
    dir.write("big.plt", std::string(4 << 20, 'P'));
    dir.script("reads-half", "head -c 100 > /dev/null\n");
    // A command that reads a little takes a small job whole into its buffer.
    const struct {
        const char *command;
        const char *message;
        bool small_too;
    } rows[] = {
        {"|false", "Output command failed\n", true},
        {"|exit 3", "Output command failed\n", true},
        {"| ", "Unable to write output file\n", true},
        {"|true", "Unable to write output file\n", true},
        {"|reads-half", "Unable to write output file\n", false},
    };
    for (const auto &row : rows) {
        for (const char *input : {"big.plt", "small.plt"}) {
            if (!row.small_too && input[0] == 's')
                continue;
            SCOPED_TRACE(std::string(row.command) + " " + input);
            for (int i = 0; i < 50; ++i) {
                const RunResult r = run_program(program, options({"-out", row.command, input}));
                ASSERT_EQ(r.exit_status, 1) << how_it_ended(r);
                ASSERT_EQ(r.err, row.message);
            }
        }
    }
    // Standard output keeps SIGPIPE's default: a reader that goes ends the
    // filter quietly, as it ends cat.
    const RunResult piped = run_program(
        "/bin/bash",
        options(
            {"-c", "'" + program + "' big.plt | head -c 100 >/dev/null; echo ${PIPESTATUS[0]}"}));
    EXPECT_EQ(piped.out, "141\n"); // 128 + SIGPIPE
    EXPECT_EQ(piped.err, "");
}

// Whether a command read the whole job is found without /proc, as in a
// minimal container: zelvo runs in a mount namespace whose /proc is an
// empty tmpfs. Each small job fits in the pipe, so no write fails; only the
// bytes left in it tell.
TEST_F(ZelvoSafety, UnreadJobIsAFailureWithoutProc)
{
    const std::string hide_proc =
        "mount -t tmpfs none /proc && test ! -e /proc/self && exec \"$@\"";
    const auto without_proc = [&](std::vector<std::string> args) {
        RunOptions o = options({"-m", "sh", "-c", hide_proc, "sh", program});
        o.args.insert(o.args.end(), args.begin(), args.end());
        return run_program("/usr/bin/unshare", o);
    };
    if (sanitized)
        GTEST_SKIP() << "SKIP: the sanitizers' runtime reads its options and the leak check's "
                        "threads in /proc";
    // Being root is not always enough: a chroot, a container or the kernel
    // can refuse the namespace or the mount in it, and their message says
    // which.
    const RunResult probe =
        run_program("/usr/bin/unshare", options({"-m", "sh", "-c", hide_proc, "sh", "true"}));
    if (probe.exit_status != 0)
        GTEST_SKIP() << "SKIP: no mount namespace with an empty /proc here: `unshare -m` then "
                        "`mount -t tmpfs none /proc` ended with "
                     << how_it_ended(probe) << ": "
                     << (probe.err.empty() ? "no message"
                                           : probe.err.substr(0, probe.err.find('\n')));
    dir.write("small.plt", plot);
    dir.write("half.plt", std::string(30000, 'P'));
    const struct {
        const char *command;
        const char *input;
        int status;
        const char *err;
    } rows[] = {
        {"|true", "small.plt", 1, "Unable to write output file\n"},
        {"|exec 0<&-; sleep 0.1", "small.plt", 1, "Unable to write output file\n"},
        {"|head -c 10 >/dev/null", "half.plt", 1, "Unable to write output file\n"},
        {"|cat > got", "small.plt", 0, ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.command);
        for (int i = 0; i < 10; ++i) {
            const RunResult r = without_proc({"-out", row.command, row.input});
            ASSERT_EQ(r.exit_status, row.status) << how_it_ended(r);
            ASSERT_EQ(r.err, row.err);
        }
    }
    EXPECT_EQ(read_file(dir.path() / "got"), run_program(program, options({"small.plt"})).out);
}

TEST_F(ZelvoSafety, UnusablePenWidthsAndRotations)
{
    dir.script("lp", "cat > \"" + (dir.path() / "lp.got").string() + "\"\n");
    dir.write("a.plt", plot);
    const struct {
        std::vector<std::string> args;
        std::string param;
        std::string message;
    } refused[] = {
        {{"-lwidth", "nan"}, "", "Invalid pen width: nan\n"},
        {{"-lwidth", "inf"}, "", "Invalid pen width: inf\n"},
        {{"-lwidth", "1e40"}, "", "Invalid pen width: 1e40\n"},
        {{"-lwidth", "1e38"}, "", "Invalid pen width: 1e38\n"},
        {{"-lwidth", "-1"}, "", "Invalid pen width: -1\n"},
        {{"-lwidth", "100.5"}, "", "Invalid pen width: 100.5\n"},
        {{}, "lwidth=NaN", "Invalid pen width: NaN\n"},
        {{"-paper", "A6"}, "", "Unknown paper: A6\n"},
        {{}, "fit=A7", "Unknown plot size: A7\n"},
    };
    for (const auto &row : refused) {
        SCOPED_TRACE(row.message);
        std::vector<std::string> args = row.args;
        args.insert(args.end(), {"-out", "|lp", "a.plt"});
        RunOptions o = options(args);
        if (!row.param.empty())
            o.env.push_back("zelvo_param=" + row.param);
        const RunResult r = run_program(program, o);
        EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
        EXPECT_EQ(r.err, row.message);
        EXPECT_FALSE(fs::exists(dir.path() / "lp.got")); // no command was started
    }
    // A rotation outside the int range is no rotation, not an alias of one.
    for (const char *rotation : {"4294967386", "-4294967206"}) {
        const RunResult r = run_program(program, options({"-rot", rotation, "a.plt"}));
        EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
        EXPECT_EQ(r.out.find("RO"), std::string::npos) << rotation;
    }
}

TEST_F(ZelvoSafety, PenWidthsKeepTheirDigits)
{
    const struct {
        const char *given;
        const char *written;
    } rows[] = {
        {"0.2", "0.2"},      {"0.35", "0.35"},      {"0.125", "0.125"},  {"1", "1.0"},
        {"0.04", "0.04"},    {"0", "0.0"},          {"0.13", "0.13"},    {"0.18", "0.18"},
        {"0.25", "0.25"},    {"0.5", "0.5"},        {"0.0005", "0.001"}, {"0.0004999", "0.0"},
        {"0.9995", "0.999"}, {"99.9995", "99.999"}, {"100", "100.0"},    {"abc", "0.0"},
        {"0.0625", "0.062"}, {"2.5e-1", "0.25"},    {"-0", "0.0"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.given);
        const RunResult r = run_program(program, options({"-lwidth", row.given}));
        EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
        EXPECT_NE(r.out.find(std::string("IN;SP1;PA;PW") + row.written + ";\n"), std::string::npos)
            << r.out;
    }
}

} // namespace

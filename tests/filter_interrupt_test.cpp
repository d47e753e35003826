// SPDX-License-Identifier: MIT
// An interrupted job never reaches the spooler, whatever the job is doing
// when the signal comes; a job that the command already had whole, with a
// clean end, is reported as delivered. Each case runs the built program into
// a stand-in spooler and sends SIGTERM only once zelvo waits in the system
// call of the stage under test, as /proc/PID/syscall shows it.
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string program = ZELVO_PROGRAM;

// A plot of `size` bytes that draws all the way: no PS, one IN at the start.
std::string drawing(std::size_t size)
{
    std::string plot = "IN;SP1;";
    for (int i = 0; plot.size() < size; ++i)
        plot += "PU" + std::to_string(i % 9000) + "," + std::to_string(i % 7000) + ";PD"
                + std::to_string(i * 7 % 9000) + "," + std::to_string(i * 3 % 7000) + ";";
    plot.resize(size);
    return plot;
}

// The system call that `pid` waits in and its third argument (a write's
// length); call -1 while it runs or once it has gone.
struct Waiting {
    long call = -1;
    unsigned long long third = 0;
};

Waiting waiting_in(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/syscall");
    Waiting waiting;
    std::string number, first, second, third;
    if (!(in >> number >> first >> second >> third) || number == "running")
        return {};
    waiting.call = std::stol(number);
    waiting.third = std::stoull(third, nullptr, 16);
    return waiting;
}

// Waits up to ten seconds for `pid` to wait where `at` says; the last state
// seen, for the failure message.
bool wait_until(pid_t pid, const std::function<bool(const Waiting &)> &at, Waiting &seen)
{
    for (int tries = 0; tries < 1000; ++tries) {
        seen = waiting_in(pid);
        if (at(seen))
            return true;
        usleep(10000);
    }
    return false;
}

bool in_call(const Waiting &w, long call)
{
    return w.call == call;
}

// A trailer is a few bytes; the copy writes blocks.
bool writing_trailer(const Waiting &w)
{
    return w.call == SYS_write && w.third < 64;
}

// Where the stand-in spooler keeps a job: spooled.part while it reads, moved
// to spooled only once its input ended cleanly, as lp spools a job only then.
// "spool" reads nothing until the file go appears; "deliver-N" reads the
// whole job first, then waits for go and exits with status N.
void spoolers(const TempDir &dir)
{
    dir.script("spool", "while [ ! -e go ]; do sleep 0.02; done\n"
                        "cat > spooled.part && mv spooled.part spooled\n");
    for (const char *status : {"0", "3"})
        dir.script(std::string("deliver-") + status,
                   std::string("cat > spooled.part && mv spooled.part spooled\n"
                               "while [ ! -e go ]; do sleep 0.02; done\nexit ")
                       + status + "\n");
}

struct Stage {
    const char *name;
    std::vector<std::string> args;
    // Standard input: a FIFO the test holds open, fed these bytes; or a pipe
    // that holds them whole, closed behind them; or the plot file.
    enum { Fifo, Pipe, File } input;
    std::string bytes;
    std::function<bool(const Waiting &)> at;
    std::string err;
    bool spooled;
};

class ZelvoInterrupt : public ::testing::Test {
protected:
    TempDir dir;

    // Runs one stage: zelvo started, SIGTERM once it waits where the stage
    // says, then the spooler let go.
    void run_stage(const Stage &stage)
    {
        SCOPED_TRACE(stage.name);
        for (const char *name : {"go", "spooled", "spooled.part", "fifo"})
            fs::remove(dir.path() / name);
        RunOptions o;
        o.args = stage.args;
        o.env = {"PATH=" + dir.path().string() + ":/usr/bin:/bin"};
        o.cwd = dir.path();
        int held = -1;
        if (stage.input == Stage::Fifo) {
            ASSERT_EQ(mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
            if (!stage.bytes.empty()) {
                // Read-write, so that opening it waits for no reader; zelvo
                // then waits for more bytes.
                held = open((dir.path() / "fifo").c_str(), O_RDWR | O_CLOEXEC);
                ASSERT_GE(held, 0);
                ASSERT_EQ(write(held, stage.bytes.data(), stage.bytes.size()),
                          static_cast<ssize_t>(stage.bytes.size()));
            }
        } else if (stage.input == Stage::Pipe) {
            int ends[2];
            ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
            ASSERT_EQ(write(ends[1], stage.bytes.data(), stage.bytes.size()),
                      static_cast<ssize_t>(stage.bytes.size()));
            close(ends[1]);
            o.stdin_fd = ends[0];
            held = ends[0];
        } else {
            o.stdin_path = dir.write("plot.plt", stage.bytes).string();
        }
        RunningProgram zelvo(program, o);
        Waiting seen;
        const bool reached = wait_until(zelvo.pid(), stage.at, seen);
        kill(zelvo.pid(), SIGTERM);
        std::ofstream(dir.path() / "go");
        const RunResult r = zelvo.wait();
        if (held >= 0)
            close(held);
        EXPECT_TRUE(reached) << "zelvo waited in system call " << seen.call << " (third argument "
                             << seen.third << ")";
        EXPECT_EQ(r.signal, SIGTERM) << how_it_ended(r);
        EXPECT_EQ(r.err, stage.err);
        // The spooler's shell, when it was left running, ends on its own.
        for (int tries = 0; tries < 500 && fs::exists(dir.path() / "spooled.part"); ++tries)
            usleep(10000);
        EXPECT_EQ(fs::exists(dir.path() / "spooled"), stage.spooled);
    }
};

// Where /proc shows no system call (no /proc, or no right to look into a
// child), no stage can be told.
bool stages_visible()
{
    std::ifstream in("/proc/self/syscall");
    std::string first;
    return static_cast<bool>(in >> first);
}

TEST_F(ZelvoInterrupt, NoStageSpoolsAPartOfTheJob)
{
    if (!stages_visible())
        GTEST_SKIP() << "SKIP: /proc/PID/syscall cannot be read here";
    spoolers(dir);
    const std::string plot = drawing(200);
    // 64,000 bytes read from a pipe leave the command's pipe too full for the
    // trailer while the spooler does not read.
    const std::string big = drawing(64000);
    const auto opening = [](const Waiting &w) { return in_call(w, SYS_openat); };
    const auto reading = [](const Waiting &w) { return in_call(w, SYS_read); };
    const auto copying = [](const Waiting &w) {
        return in_call(w, SYS_splice) || in_call(w, SYS_read);
    };
    const Stage stages[] = {
        {"opening an input",
         {"-out", "|spool", "fifo"},
         Stage::Fifo,
         "",
         opening,
         "Interrupted\n",
         false},
        {"opening the output", {"-out", "fifo"}, Stage::Fifo, "", opening, "Interrupted\n", false},
        {"reading ahead for -fit",
         {"-fit", "-out", "|spool", "fifo"},
         Stage::Fifo,
         "IN;SP1;",
         reading,
         "Interrupted\n",
         false},
        {"copying", {"-out", "|spool", "fifo"}, Stage::Fifo, plot, copying, "Interrupted\n", false},
        {"copying with -hold",
         {"-hold", "-port", "-out", "|spool", "fifo"},
         Stage::Fifo,
         plot,
         copying,
         "Interrupted\n",
         false},
        {"writing the trailer with -hold",
         {"-hold", "-port", "-out", "|spool"},
         Stage::Pipe,
         big,
         writing_trailer,
         "Interrupted\n",
         false},
        {"writing the trailer with -fit",
         {"-fit", "A1", "-paper", "A4", "-out", "|spool"},
         Stage::Pipe,
         big,
         writing_trailer,
         "Interrupted\n",
         false},
    };
    for (const Stage &stage : stages)
        run_stage(stage);
}

TEST_F(ZelvoInterrupt, JobTheCommandHadWholeIsReportedByItsStatus)
{
    if (!stages_visible())
        GTEST_SKIP() << "SKIP: /proc/PID/syscall cannot be read here";
    spoolers(dir);
    const auto waiting = [](const Waiting &w) { return in_call(w, SYS_wait4); };
    const std::string plot = drawing(200);
    const Stage stages[] = {
        {"delivered",
         {"-out", "|deliver-0"},
         Stage::File,
         plot,
         waiting,
         "Interrupted after the job was delivered\n",
         true},
        {"command failed",
         {"-out", "|deliver-3"},
         Stage::File,
         plot,
         waiting,
         "Output command failed\nInterrupted\n",
         true},
    };
    for (const Stage &stage : stages)
        run_stage(stage);
}

} // namespace

// SPDX-License-Identifier: MIT
// The program under hostile conditions: huge inputs, spoolers that stop
// reading, thousands of names, oversized environment values.
#include "support/default_job.h"
#include "support/run_program.h"
#include "support/sanitized.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const std::string program = ZELVO_PROGRAM;

std::vector<std::string> clean_env(const TempDir &dir)
{
    return {"PATH=" + dir.path().string() + ":/usr/bin:/bin"};
}

// Feeds `total` zero bytes into a pipe from a thread; returns the read end.
int zero_feed(unsigned long long total, std::thread &feeder)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    feeder = std::thread([fd = fds[1], total] {
        static const std::string block(1 << 20, '\0');
        unsigned long long left = total;
        while (left > 0) {
            const std::size_t n =
                left < block.size() ? static_cast<std::size_t>(left) : block.size();
            const ssize_t wrote = write(fd, block.data(), n);
            if (wrote <= 0)
                break;
            left -= static_cast<unsigned long long>(wrote);
        }
        close(fd);
    });
    return fds[0];
}

} // namespace

TEST(ZelvoFaults, HugePipedInputInConstantMemory)
{
    TempDir dir;
    long small_rss = 0;
    for (unsigned long long size : {1ULL << 20, 4ULL << 30}) {
        SCOPED_TRACE(size);
        std::thread feeder;
        RunOptions o;
        o.env = clean_env(dir);
        o.stdin_fd = zero_feed(size, feeder);
        ASSERT_GE(o.stdin_fd, 0);
        o.stdout_path = "/dev/null";
        const RunResult r = run_program(program, o);
        close(o.stdin_fd);
        feeder.join();
        EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
        EXPECT_EQ(r.err, "");
        // The sanitizer's own runtime outweighs the bound.
        if (!sanitized) {
            EXPECT_LT(r.max_rss_kib, 4096);
        }
        // However large the input, memory stays where a tiny job leaves it.
        if (small_rss == 0) {
            small_rss = r.max_rss_kib;
        } else {
            EXPECT_LT(r.max_rss_kib, small_rss + 1024);
        }
    }
}

TEST(ZelvoFaults, SpoolerThatStopsReading)
{
    TempDir dir;
    dir.write("big.plt", std::string(50 << 20, 'x'));
    RunOptions o;
    o.env = clean_env(dir);
    o.cwd = dir.path();
    o.args = {"-out", "|head -c 10 > /dev/null", "big.plt"};
    // A command that goes away is a failed write, reported, never a success
    // and never a silent death by SIGPIPE, whatever the parent left SIGPIPE at.
    const RunResult r = run_program(program, o);
    EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
    EXPECT_EQ(r.err, "Unable to write output file\n");
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    const RunResult ignored = run_program(program, o);
    std::signal(SIGPIPE, previous);
    EXPECT_EQ(ignored.exit_status, 1) << how_it_ended(ignored);
    EXPECT_EQ(ignored.err, "Unable to write output file\n");
}

TEST(ZelvoFaults, ManyInputNames)
{
    TempDir dir;
    dir.write("a.plt", "a");
    RunOptions o;
    o.env = clean_env(dir);
    o.cwd = dir.path();
    std::string expected_err;
    for (int i = 0; i < 10000; ++i) {
        if (i % 3 == 0) {
            o.args.push_back("gone" + std::to_string(i));
            expected_err += "Unable to open: gone" + std::to_string(i) + "\n";
        } else {
            o.args.push_back("a.plt");
        }
    }
    const RunResult r = run_program(program, o);
    EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
    EXPECT_EQ(r.err, expected_err);
    EXPECT_EQ(r.out, job_header + std::string(6666, 'a') + job_trailer);
}

// Linux passes no single environment string longer than 128 KiB to a new
// program, so these values are as large as an environment can hold; the
// settings tests take 1 MiB values in-process.
constexpr std::size_t env_room = 128 * 1024 - 64;

TEST(ZelvoFaults, OversizedEnvironment)
{
    TempDir dir;
    const std::string separators(env_room, ',');
    std::string many;
    for (std::size_t i = 0; i < env_room / 8; ++i)
        many += "lj,port,";
    const struct {
        std::string param;
        std::string setup;
    } rows[] = {
        {separators, job_setup},
        {many, job_setup + "RO90;\nRO90;\n"},
        {std::string(env_room, 'x'), job_setup},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.setup);
        RunOptions o;
        o.env = clean_env(dir);
        o.env.push_back("zelvo_param=" + row.param);
        o.stdin_data = "P";
        const RunResult r = run_program(program, o);
        EXPECT_EQ(r.exit_status, 0) << how_it_ended(r);
        EXPECT_EQ(r.out, job_first_line + row.setup + "P" + job_trailer);
    }

    // A width too large for any printer is refused, quoted whole.
    const std::string nines(env_room, '9');
    RunOptions wide;
    wide.env = clean_env(dir);
    wide.env.push_back("zelvo_param=lwidth=" + nines);
    const RunResult refused = run_program(program, wide);
    EXPECT_EQ(refused.exit_status, 1) << how_it_ended(refused);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "Invalid pen width: " + nines + "\n");

    RunOptions o;
    o.env = clean_env(dir);
    o.env.push_back("zelvo_out=" + std::string(env_room, 'o'));
    const RunResult r = run_program(program, o);
    EXPECT_EQ(r.exit_status, 1) << how_it_ended(r);
    EXPECT_EQ(r.err, "Output name too long\n");
}

TEST(ZelvoFaults, FullOutputEndsTheJobAtItsFirstWrite)
{
    // The header goes out with the first bytes of the plot: the inputs
    // before them are opened and reported, those after are not, whatever
    // the first bytes are (none, or those -fit read ahead).
    TempDir dir;
    dir.write("empty.plt", "");
    dir.write("a.plt", "PU0,0;");
    std::filesystem::create_directory(dir.path() / "sub");
    const std::string unscaled = "No plot size found; printing unscaled\n";
    const std::string failed = "Unable to write output file\n";
    const struct {
        std::vector<std::string> args;
        std::string err;
    } rows[] = {
        {{"-out", "/dev/full", "empty.plt", "missing.plt"}, failed},
        {{"-out", "/dev/full", "missing.plt", "a.plt", "missing2.plt"},
         "Unable to open: missing.plt\n" + failed},
        {{"-fit", "-out", "/dev/full", "empty.plt", "missing2.plt"},
         unscaled + "Unable to open: missing2.plt\n" + failed},
        {{"-fit", "-out", "/dev/full", "sub", "missing2.plt"},
         unscaled + "Unable to read: sub\nUnable to open: missing2.plt\n" + failed},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.args[row.args.size() - 2]);
        RunOptions options;
        options.args = row.args;
        options.env = clean_env(dir);
        options.cwd = dir.path();
        const RunResult r = run_program(program, options);
        EXPECT_EQ(r.exit_status, 1);
        EXPECT_EQ(r.err, row.err);
    }
}

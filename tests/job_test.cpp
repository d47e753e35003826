// SPDX-License-Identifier: MIT
// run_job with what its front ends give it: the inputs as named, the log
// and its prefixes, and a cancel flag.
#include "job.h"
#include "support/default_job.h"
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

struct Outcome {
    int status;
    std::string job; // what reached the destination file
    std::string log;
    JobReport report;
};

// Runs the job in `dir` (the names are relative to it) into the file "job".
Outcome run_in(const TempDir &dir, const JobInputs &inputs, JobConduct conduct,
               const JobSettings &settings = {})
{
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    OutputDestination destination{};
    std::strcpy(destination.name, "job");
    conduct.log = std::fopen("log", "w");
    Outcome outcome{};
    outcome.status = run_job(settings, destination, inputs, conduct, &outcome.report);
    std::fclose(conduct.log);
    std::filesystem::current_path(before);
    outcome.job = read_file(dir.path() / "job");
    outcome.log = read_file(dir.path() / "log");
    return outcome;
}

bool dash_rule(const char *name)
{
    return name[0] == '-';
}

} // namespace

TEST(RunJob, StandardInputOnlyWhereTheFrontEndSaysSo)
{
    // zelvo-cups names its print file as CUPS does, "-" or not; zelvo reads
    // a name that begins with "-" as standard input, which is closed here,
    // so that it copies nothing.
    TempDir dir;
    dir.write("-a.plt", "PU0,0;");
    const char *names[] = {"-a.plt"};
    const Outcome named = run_in(dir, {1, names, nullptr}, {});
    EXPECT_EQ(named.status, 0);
    EXPECT_EQ(named.job, job_header + "PU0,0;" + job_trailer);

    std::fflush(stdin);
    const int saved = dup(STDIN_FILENO);
    const int empty = open("/dev/null", O_RDONLY);
    dup2(empty, STDIN_FILENO);
    close(empty);
    const Outcome dashed = run_in(dir, {1, names, dash_rule}, {});
    dup2(saved, STDIN_FILENO);
    close(saved);
    EXPECT_EQ(dashed.status, 0);
    EXPECT_EQ(dashed.job, job_header + job_trailer);
}

TEST(RunJob, MessagesGoToTheLogWithTheirPrefixes)
{
    TempDir dir;
    dir.write("a.plt", "PU0,0;");
    const char *names[] = {"missing.plt", "a.plt"};
    JobConduct conduct;
    conduct.message_prefix = "ERROR: ";
    conduct.warning_prefix = "WARNING: ";
    JobSettings fit;
    fit.fit = FitToPage{};
    const Outcome r = run_in(dir, {2, names, nullptr}, conduct, fit);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.report.input_failed);
    EXPECT_EQ(r.log, "ERROR: Unable to open: missing.plt\n"
                     "WARNING: No plot size found; printing unscaled\n");
}

TEST(RunJob, CancelFlagAbandonsOrFinishes)
{
    // A flag set before the job starts: no input is opened. The job is
    // abandoned with what it wrote, or, where the front end asks for it,
    // finished with the trailer.
    TempDir dir;
    dir.write("a.plt", "PU0,0;");
    const char *names[] = {"a.plt"};
    const volatile std::sig_atomic_t cancel = 1;
    const struct {
        bool finish;
        int status;
        std::string job;
    } rows[] = {
        {false, 1, job_header},
        {true, 0, job_header + job_trailer},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.finish);
        JobConduct conduct;
        conduct.cancel = &cancel;
        conduct.finish_when_cancelled = row.finish;
        const Outcome r = run_in(dir, {1, names, nullptr}, conduct);
        EXPECT_EQ(r.status, row.status);
        EXPECT_TRUE(r.report.stopped);
        EXPECT_EQ(r.job, row.job);
        EXPECT_EQ(r.log, "");
    }
}

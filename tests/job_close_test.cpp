// SPDX-License-Identifier: MIT
// The job's last step, closing the output, checked with a close that fails:
// a job whose end never reached the file must not count as written.
#include "job.h"
#include "support/default_job.h"
#include "support/failing_close.h"
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// Runs the job with its log going to a file, and returns the status and
// what was written there.
int run_capturing_errors(const JobSettings &settings, const OutputDestination &destination,
                         const std::string &input, const TempDir &dir, std::string &errors)
{
    const std::string err_path = (dir.path() / "log").string();
    JobConduct conduct;
    conduct.log = std::fopen(err_path.c_str(), "w");
    const char *names[] = {input.c_str()};
    const int status = run_job(settings, destination, {1, names, nullptr}, conduct);
    std::fclose(conduct.log);
    errors = read_file(err_path);
    return status;
}

} // namespace

TEST(RunJob, FailedCloseOfTheOutputIsAWriteFailure)
{
    TempDir dir;
    const std::string input = dir.write("a.plt", "IN;PU0,0;").string();
    const std::string output = dir.write("job.pcl", "").string();
    for (const bool hold : {false, true}) {
        SCOPED_TRACE(hold);
        OutputDestination destination{};
        std::strcpy(destination.name, output.c_str());
        JobSettings settings;
        settings.hold = hold;
        settings.rotation = 90;
        settings.paper = find_paper("letter");
        std::string errors;
        failing_close::arm(output.c_str());
        const int status = run_capturing_errors(settings, destination, input, dir, errors);
        const int failures = failing_close::failures();
        failing_close::arm(nullptr);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(failures, 1);
        EXPECT_EQ(errors, "Unable to write output file\n");

        // The same job with a close that works is written.
        EXPECT_EQ(run_capturing_errors(settings, destination, input, dir, errors), 0);
        EXPECT_EQ(errors, "");
        // Holding, the job turns P1 and P2 with the plot, in letter's frame.
        const std::string turn = hold ? "RO90;\nIP0,2689,7620,8081;\n" : "RO90;\n";
        EXPECT_EQ(read_file(output), "\x1b"
                                     "E\x1b&l2A\x1b%1B\x1b&l1O\nIN;SP1;PA;PW0.2;\n"
                                         + turn + "IN;" + std::string(hold ? turn : "")
                                         + "PU0,0;SP;PG;\n\x1b%0A\x1b"
                                           "E");
    }
}

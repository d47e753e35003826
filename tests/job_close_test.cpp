// The job's last step, closing the output, checked with a close that fails:
// a job whose end never reached the file must not count as written.
#include "job.h"
#include "support/failing_fclose.h"
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// Runs the job with standard error going to a file, and returns the status
// and what was written there.
int run_capturing_errors(const JobSettings &settings, const std::string &input, const TempDir &dir,
                         std::string &errors)
{
    const std::string err_path = (dir.path() / "stderr").string();
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    std::FILE *err = std::fopen(err_path.c_str(), "w");
    dup2(fileno(err), STDERR_FILENO);
    const char *names[] = {input.c_str()};
    const int status = run_job(settings, 1, names);
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::fclose(err);
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
        JobSettings settings;
        std::strcpy(settings.destination.name, output.c_str());
        settings.hold = hold;
        settings.rotation = 90;
        std::string errors;
        failing_fclose::arm(output.c_str());
        const int status = run_capturing_errors(settings, input, dir, errors);
        failing_fclose::arm(nullptr);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(errors, "Unable to write output file\n");

        // The same job with a close that works is written.
        EXPECT_EQ(run_capturing_errors(settings, input, dir, errors), 0);
        EXPECT_EQ(errors, "");
    }
}

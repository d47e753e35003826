// SPDX-License-Identifier: MIT
// Where the bytes a command left in its pipe cannot be counted (FIONREAD
// refused, as on a system without it), the job says so instead of reporting
// it delivered without a word. Every ioctl of the job code goes through the
// wrapper below.
#include "job.h"
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/ioctl.h>

namespace {

bool refuse_fionread = false;

} // namespace

extern "C" int __real_ioctl(int fd, unsigned long request, ...);

extern "C" int __wrap_ioctl(int fd, unsigned long request, ...)
{
    va_list arguments;
    va_start(arguments, request);
    void *argument = va_arg(arguments, void *);
    va_end(arguments);
    if (refuse_fionread && request == FIONREAD) {
        errno = ENOTTY;
        return -1;
    }
    return __real_ioctl(fd, request, argument);
}

TEST(FinishCommand, UncountedBytesAreSaidNotHidden)
{
    TempDir dir;
    const std::string input = dir.write("a.plt", "IN;PU0,0;").string();
    const std::string got = (dir.path() / "got").string();
    const std::string log_path = (dir.path() / "log").string();
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    const struct {
        const char *command;
        bool refused;
        int status;
        std::string log;
    } rows[] = {
        {"|cat > ", false, 0, ""},
        {"|cat > ", true, 0, "Unable to check that the output command read the whole job\n"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.command) + (row.refused ? " refused" : ""));
        OutputDestination destination{};
        std::snprintf(destination.name, sizeof destination.name, "%s%s", row.command, got.c_str());
        const char *names[] = {input.c_str()};
        JobConduct conduct;
        conduct.log = std::fopen(log_path.c_str(), "w");
        refuse_fionread = row.refused;
        const int status = run_job({}, destination, {1, names, nullptr}, conduct);
        refuse_fionread = false;
        std::fclose(conduct.log);
        EXPECT_EQ(status, row.status);
        EXPECT_EQ(read_file(log_path), row.log);
    }
    std::signal(SIGPIPE, previous);
}

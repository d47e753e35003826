// SPDX-License-Identifier: MIT
#include "run_program.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "zelvo-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path TempDir::write(const std::string &name, const std::string &bytes) const
{
    const fs::path file = path_ / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

fs::path TempDir::script(const std::string &name, const std::string &body) const
{
    const fs::path file = write(name, "#!/bin/sh\n" + body);
    fs::permissions(file, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
    return file;
}

std::string read_file(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> names_in(const fs::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

void redirect(const std::string &path, int flags, int target)
{
    const int fd = open(path.c_str(), flags, 0644);
    if (fd < 0)
        _exit(126);
    if (fd != target) {
        dup2(fd, target);
        close(fd);
    }
}

} // namespace

RunningProgram::RunningProgram(const std::string &program, const RunOptions &options)
    : capture_out_(options.stdout_path.empty() && !options.close_stdout)
{
    std::string pattern = (fs::temp_directory_path() / "zelvo-streams-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    streams_ = pattern;
    const std::string in_path =
        options.stdin_path.empty() ? (streams_ / "stdin").string() : options.stdin_path;
    if (options.stdin_path.empty())
        std::ofstream(in_path, std::ios::binary) << options.stdin_data;
    const std::string out_path = (streams_ / "stdout").string();
    const std::string err_path = (streams_ / "stderr").string();

    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const std::string &arg : options.args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (const std::string &entry : options.env)
        envp.push_back(const_cast<char *>(entry.c_str()));
    envp.push_back(nullptr);

    pid_ = fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        if (options.stdin_fd >= 0)
            dup2(options.stdin_fd, 0);
        else
            redirect(in_path, O_RDONLY, 0);
        redirect(options.stdout_path.empty() ? out_path : options.stdout_path,
                 O_WRONLY | O_CREAT | (options.append_stdout ? O_APPEND : O_TRUNC), 1);
        redirect(err_path, O_WRONLY | O_CREAT | O_TRUNC, 2);
        // The program gets the three standard descriptors and nothing else
        // of the test's, so that the descriptors it opens are its own.
        close_range(3, ~0u, 0);
        const bool closed[] = {options.close_stdin, options.close_stdout, options.close_stderr};
        for (int fd = 0; fd < 3; ++fd)
            if (closed[fd])
                close(fd);
        // A job that copies its output into itself then ends at the limit
        // (SIGXFSZ) instead of filling the disk.
        const struct {
            decltype(RLIMIT_FSIZE) resource;
            long value;
        } limits[] = {
            {RLIMIT_FSIZE, options.max_file_size},
            {RLIMIT_AS, kAddressSanitized ? 0 : options.max_address_space},
            {RLIMIT_CPU, options.max_cpu_seconds},
        };
        for (const auto &limit : limits) {
            if (limit.value <= 0)
                continue;
            struct rlimit value {};
            value.rlim_cur = value.rlim_max = static_cast<rlim_t>(limit.value);
            setrlimit(limit.resource, &value);
        }
        if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0)
            _exit(126);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
}

RunningProgram::~RunningProgram()
{
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::error_code ignored;
    fs::remove_all(streams_, ignored);
}

RunResult RunningProgram::wait()
{
    int status = 0;
    struct rusage usage {};
    while (wait4(pid_, &status, 0, &usage) < 0)
        if (errno != EINTR)
            throw std::runtime_error("wait4 failed");
    pid_ = -1;

    RunResult result;
    result.max_rss_kib = usage.ru_maxrss;
    if (WIFEXITED(status))
        result.exit_status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    if (capture_out_)
        result.out = read_file(streams_ / "stdout");
    result.err = read_file(streams_ / "stderr");
    return result;
}

RunResult run_program(const std::string &program, const RunOptions &options)
{
    return RunningProgram(program, options).wait();
}

std::string how_it_ended(const RunResult &result)
{
    return result.signal != 0 ? "signal " + std::to_string(result.signal)
                              : "exit status " + std::to_string(result.exit_status);
}

// SPDX-License-Identifier: MIT
// Runs a program as a child process with a chosen environment and standard
// streams, and collects what it wrote and how it ended.
#ifndef ZELVO_TEST_RUN_PROGRAM_H
#define ZELVO_TEST_RUN_PROGRAM_H

#include <filesystem>
#include <string>
#include <vector>

struct RunOptions {
    std::vector<std::string> args; // argv[1..]
    std::vector<std::string> env;  // "NAME=value" entries; nothing else is passed
    std::string stdin_data;        // fed to standard input when stdin_path is empty
    std::string stdin_path;        // a file to read standard input from
    int stdin_fd = -1;             // a descriptor to use as standard input instead
    std::string stdout_path;       // a file to write standard output to; empty: captured
    bool append_stdout = false;    // open stdout_path for appending, as ">>" does
    bool close_stdin = false;      // start the child with standard input closed
    bool close_stdout = false;     // start the child with standard output closed
    bool close_stderr = false;     // start the child with standard error closed
    long max_file_size = 0;        // the child's RLIMIT_FSIZE in bytes; 0: none
    // The child's RLIMIT_AS in bytes (not under the address sanitizer,
    // whose shadow memory takes far more), and its RLIMIT_CPU in seconds:
    // a regression fails where it would take the machine. 0: none.
    long max_address_space = 0;
    long max_cpu_seconds = 0;
    std::filesystem::path cwd; // working directory; empty: the caller's
};

struct RunResult {
    int exit_status = -1; // the exit status, or -1 when a signal ended the child
    int signal = 0;       // the signal that ended the child, or 0
    std::string out;      // standard output, when captured
    std::string err;      // standard error
    long max_rss_kib = 0; // the child's peak resident memory
};

RunResult run_program(const std::string &program, const RunOptions &options);

// Whether the programs run here are built with the address sanitizer: their
// memory is then no measure of the program's own.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitized = true;
#else
constexpr bool kAddressSanitized = false;
#endif
#else
constexpr bool kAddressSanitized = false;
#endif

// "exit status N" or "signal N", for failure messages: a child that a signal
// ended has no exit status to compare.
std::string how_it_ended(const RunResult &result);

// The same, in two halves: the child runs between them, for tests that act
// on it while it runs (signals, input fed by hand).
class RunningProgram {
public:
    RunningProgram(const std::string &program, const RunOptions &options);
    ~RunningProgram();
    RunningProgram(const RunningProgram &) = delete;
    RunningProgram &operator=(const RunningProgram &) = delete;

    int pid() const { return pid_; }
    RunResult wait();

private:
    std::filesystem::path streams_;
    bool capture_out_;
    int pid_ = -1;
};

// A fresh directory that is removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return path_; }
    std::filesystem::path write(const std::string &name, const std::string &bytes) const;
    std::filesystem::path script(const std::string &name, const std::string &body) const;

private:
    std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path &path);
// The names of the entries of a folder, sorted.
std::vector<std::string> names_in(const std::filesystem::path &folder);

#endif

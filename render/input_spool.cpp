// SPDX-License-Identifier: MIT
#include "input_spool.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The one regular file that the inputs are, opened to be read in place;
// null with `error` set when it cannot be opened, and null with `error`
// empty when the inputs are anything else.
std::FILE *open_in_place(const std::vector<std::string> &inputs, std::string &error)
{
    if (inputs.size() != 1 || inputs[0] == "-")
        return nullptr;
    struct stat st {};
    if (stat(inputs[0].c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    std::FILE *file = std::fopen(inputs[0].c_str(), "rb");
    if (file == nullptr)
        error = "cannot open '" + inputs[0] + "': " + std::strerror(errno);
    return file;
}

// Where a copy goes, and how much it takes.
struct Spool {
    std::FILE *file;
    const std::string &folder;
    std::uint64_t limit;
    std::uint64_t written = 0;
};

// Appends everything `in` holds to the spool; false, with `error` set, when
// `in` could not be read or the spool not written or when it is full.
bool copy_input(std::FILE *in, const std::string &name, Spool &spool, std::string &error)
{
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) {
        if (n > spool.limit - spool.written) {
            error = "the input is longer than the spool takes (" + std::to_string(spool.limit)
                    + " bytes, --spool-limit)";
            return false;
        }
        if (std::fwrite(buffer, 1, n, spool.file) != n) {
            error = "cannot write the spool file in " + spool.folder + ": " + std::strerror(errno);
            return false;
        }
        spool.written += n;
    }
    if (std::ferror(in) != 0) {
        error = "cannot read '" + name + "'";
        return false;
    }
    return true;
}

// A new spool file in `folder`, already unlinked: it is gone with the
// program however that ends.
std::FILE *make_spool_file(const std::string &folder, std::string &error)
{
    std::string name = folder + "/zelvo-render-spool.XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        error = "cannot make a spool file in " + folder + ": " + std::strerror(errno);
        return nullptr;
    }
    unlink(name.c_str());
    std::FILE *file = fdopen(fd, "w+b");
    if (file == nullptr) {
        error = "cannot make a spool file in " + folder + ": " + std::strerror(errno);
        close(fd);
    }
    return file;
}

// The inputs copied in order into a new spool file, ready to be read from
// its start; null, with `error` set, when one cannot be read or the copy
// cannot be made.
std::FILE *copy_inputs(const std::vector<std::string> &inputs, const std::string &folder,
                       std::uint64_t limit, std::string &error)
{
    Spool spool{make_spool_file(folder, error), folder, limit};
    if (spool.file == nullptr)
        return nullptr;
    bool stdin_read = false;
    bool copied = true;
    for (const std::string &name : inputs) {
        const bool is_stdin = name == "-";
        if (is_stdin && stdin_read)
            continue;
        std::FILE *in = is_stdin ? stdin : std::fopen(name.c_str(), "rb");
        if (in == nullptr) {
            error = "cannot open '" + name + "': " + std::strerror(errno);
            copied = false;
            break;
        }
        copied = copy_input(in, name, spool, error);
        if (is_stdin)
            stdin_read = true;
        else
            std::fclose(in);
        if (!copied)
            break;
    }
    if (copied && std::fflush(spool.file) != 0) {
        error = "cannot write the spool file in " + folder + ": " + std::strerror(errno);
        copied = false;
    }
    if (!copied) {
        std::fclose(spool.file);
        return nullptr;
    }
    std::rewind(spool.file);
    return spool.file;
}

} // namespace

InputSpool::InputSpool(const std::vector<std::string> &inputs, const std::string &folder,
                       std::uint64_t limit)
{
    file_ = open_in_place(inputs, error_);
    if (file_ == nullptr && error_.empty())
        file_ = copy_inputs(inputs, folder, limit, error_);
}

InputSpool::~InputSpool()
{
    if (file_ != nullptr)
        std::fclose(file_);
}

std::size_t InputSpool::read(char *buffer, std::size_t size)
{
    const std::size_t n = std::fread(buffer, 1, size, file_);
    if (n == 0 && std::ferror(file_))
        read_failed_ = true;
    return n;
}

void InputSpool::rewind()
{
    std::rewind(file_);
}

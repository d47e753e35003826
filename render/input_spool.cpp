// SPDX-License-Identifier: MIT
#include "input_spool.h"

#include <sys/stat.h>

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

// Appends everything `in` holds to `copy`; false when `in` could not be
// read.
bool copy_input(std::FILE *in, std::FILE *copy)
{
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
        std::fwrite(buffer, 1, n, copy);
    return std::ferror(in) == 0;
}

// The inputs copied in order into a new temporary file; null, with `error`
// set, when one cannot be read or the copy cannot be made.
std::FILE *copy_inputs(const std::vector<std::string> &inputs, std::string &error)
{
    std::FILE *copy = std::tmpfile();
    if (copy == nullptr) {
        error = std::string("cannot make a temporary file: ") + std::strerror(errno);
        return nullptr;
    }
    bool stdin_read = false;
    for (const std::string &name : inputs) {
        const bool is_stdin = name == "-";
        if (is_stdin && stdin_read)
            continue;
        std::FILE *in = is_stdin ? stdin : std::fopen(name.c_str(), "rb");
        if (in == nullptr) {
            error = "cannot open '" + name + "': " + std::strerror(errno);
            std::fclose(copy);
            return nullptr;
        }
        const bool read = copy_input(in, copy);
        if (is_stdin)
            stdin_read = true;
        else
            std::fclose(in);
        if (!read) {
            error = "cannot read '" + name + "'";
            std::fclose(copy);
            return nullptr;
        }
    }
    if (std::fflush(copy) != 0) {
        error = std::string("cannot write a temporary file: ") + std::strerror(errno);
        std::fclose(copy);
        return nullptr;
    }
    return copy;
}

} // namespace

InputSpool::InputSpool(const std::vector<std::string> &inputs)
{
    file_ = open_in_place(inputs, error_);
    if (file_ == nullptr && error_.empty())
        file_ = copy_inputs(inputs, error_);
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

// SPDX-License-Identifier: MIT
// Files compared by device and inode.
#include "same_file.h"

#include <sys/stat.h>

namespace {

std::optional<FileIdentity> regular(const struct stat &info)
{
    if (!S_ISREG(info.st_mode))
        return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

} // namespace

std::optional<FileIdentity> regular_file_named(const char *name)
{
    struct stat info {};
    return stat(name, &info) == 0 ? regular(info) : std::nullopt;
}

std::optional<FileIdentity> regular_file_open(int fd)
{
    struct stat info {};
    return fstat(fd, &info) == 0 ? regular(info) : std::nullopt;
}

bool same_file(const FileIdentity &a, const FileIdentity &b)
{
    return a.device == b.device && a.inode == b.inode;
}

bool same_regular_file(int input, int output)
{
    const std::optional<FileIdentity> in = regular_file_open(input);
    const std::optional<FileIdentity> out = regular_file_open(output);
    return in && out && same_file(*in, *out);
}

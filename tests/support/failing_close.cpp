// SPDX-License-Identifier: MIT
#include "support/failing_close.h"

#include <cerrno>
#include <sys/stat.h>

extern "C" int __real_close(int fd);

namespace {

struct State {
    bool armed = false;
    dev_t device = 0;
    ino_t inode = 0;
    int failures = 0;
};

// One test thread drives this.
State state;

bool is_target(int fd)
{
    struct stat info {};
    return state.armed && fstat(fd, &info) == 0 && info.st_dev == state.device
           && info.st_ino == state.inode;
}

} // namespace

void failing_close::arm(const char *path)
{
    struct stat info {};
    state = State{};
    if (path != nullptr && stat(path, &info) == 0)
        state = {true, info.st_dev, info.st_ino, 0};
}

int failing_close::failures()
{
    return state.failures;
}

extern "C" int __wrap_close(int fd)
{
    const bool fail = is_target(fd);
    const int result = __real_close(fd);
    if (!fail)
        return result;
    ++state.failures;
    errno = EIO;
    return -1;
}

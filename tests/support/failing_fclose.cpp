#include "support/failing_fclose.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

extern "C" int __real_fclose(std::FILE *stream);

namespace {

struct State {
    bool armed = false;
    dev_t device = 0;
    ino_t inode = 0;
    int failures = 0;
};

// One test thread drives this.
State state;

bool is_target(std::FILE *stream)
{
    struct stat info {};
    return state.armed && stream != nullptr && fstat(fileno(stream), &info) == 0
           && info.st_dev == state.device && info.st_ino == state.inode;
}

} // namespace

void failing_fclose::arm(const char *path)
{
    struct stat info {};
    state = State{};
    if (path != nullptr && stat(path, &info) == 0)
        state = {true, info.st_dev, info.st_ino, 0};
}

int failing_fclose::failures()
{
    return state.failures;
}

extern "C" int __wrap_fclose(std::FILE *stream)
{
    const bool fail = is_target(stream);
    const int result = __real_fclose(stream);
    if (!fail)
        return result;
    ++state.failures;
    errno = EIO;
    return EOF;
}

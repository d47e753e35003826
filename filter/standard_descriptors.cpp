// SPDX-License-Identifier: MIT
// Filling closed standard descriptors.
#include "standard_descriptors.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

bool fill_closed_standard_descriptors()
{
    // In order: with the lower ones open, open() returns the one closed.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (opened != fd) {
            if (opened >= 0)
                close(opened);
            return false;
        }
    }
    return true;
}

// Inputs and the destination compared by device and inode.
#include "same_file.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool regular_file(int fd, struct stat &info)
{
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

bool regular_file(const char *name, struct stat &info)
{
    return stat(name, &info) == 0 && S_ISREG(info.st_mode);
}

bool same(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

const char *input_that_is_output(const OutputDestination &destination, const JobInputs &inputs)
{
    struct stat output {};
    switch (destination_kind(destination)) {
    case DestinationKind::Command:
        return nullptr;
    case DestinationKind::StandardOutput:
        if (!regular_file(STDOUT_FILENO, output))
            return nullptr;
        break;
    case DestinationKind::File:
        if (!regular_file(destination.name, output))
            return nullptr;
        break;
    }
    struct stat input {};
    if (inputs.count == 0)
        return regular_file(STDIN_FILENO, input) && same(input, output) ? "-" : nullptr;
    for (int i = 0; i < inputs.count; ++i) {
        const char *name = inputs.names[i];
        const bool found = is_standard_input(inputs, i) ? regular_file(STDIN_FILENO, input)
                                                        : regular_file(name, input);
        if (found && same(input, output))
            return name;
    }
    return nullptr;
}

bool same_regular_file(int input, int output)
{
    struct stat in {
    }, out{};
    return regular_file(input, in) && regular_file(output, out) && same(in, out);
}

// SPDX-License-Identifier: MIT
// Opening the inputs and reading ahead.
#include "inputs.h"

#include "same_file.h"

#include <fcntl.h>
#include <unistd.h>

bool is_standard_input(const JobInputs &inputs, int index)
{
    return inputs.means_standard_input != nullptr
           && inputs.means_standard_input(inputs.names[index]);
}

const char *input_that_is_output(const OutputDestination &destination, const JobInputs &inputs)
{
    std::optional<FileIdentity> output;
    switch (destination_kind(destination)) {
    case DestinationKind::Command:
        return nullptr;
    case DestinationKind::StandardOutput:
        output = regular_file_open(STDOUT_FILENO);
        break;
    case DestinationKind::File:
        output = regular_file_named(destination.name);
        break;
    }
    if (!output)
        return nullptr;
    const auto is_output = [&](std::optional<FileIdentity> input) {
        return input && same_file(*input, *output);
    };
    if (inputs.count == 0)
        return is_output(regular_file_open(STDIN_FILENO)) ? "-" : nullptr;
    for (int i = 0; i < inputs.count; ++i) {
        const char *name = inputs.names[i];
        if (is_output(is_standard_input(inputs, i) ? regular_file_open(STDIN_FILENO)
                                                   : regular_file_named(name)))
            return name;
    }
    return nullptr;
}

namespace {

// An input that proves, once open, to be the output file is left out, as cat
// leaves it out, so that the copy never reads back what it writes.
bool left_out_as_output(InputWalk &walk, const InputLog &log, int input, const char *name)
{
    if (walk.output < 0 || !same_regular_file(input, walk.output))
        return false;
    std::fprintf(log.log, "%sInput file is output file: %s\n", log.prefix, name);
    walk.failed = true;
    close_input(input);
    return true;
}

} // namespace

int open_next_input(const JobInputs &inputs, InputWalk &walk, const InputLog &log,
                    CancelFlag cancel)
{
    if (inputs.count == 0) {
        if (walk.next++ > 0)
            return -1;
        walk.current = "-";
        return left_out_as_output(walk, log, STDIN_FILENO, "-") ? -1 : STDIN_FILENO;
    }
    while (walk.next < inputs.count && !cancelled(cancel)) {
        const int index = walk.next++;
        const char *name = inputs.names[index];
        if (is_standard_input(inputs, index)) {
            if (walk.stdin_closed)
                continue;
            walk.stdin_closed = true;
            if (left_out_as_output(walk, log, STDIN_FILENO, name))
                continue;
            walk.current = name;
            return STDIN_FILENO;
        }
        // Not inherited by the destination command, which -fit may start
        // with the first input open.
        const int input = open(name, O_RDONLY | O_CLOEXEC);
        if (input >= 0) {
            if (left_out_as_output(walk, log, input, name))
                continue;
            walk.current = name;
            return input;
        }
        // An open that a cancel request broke off (a FIFO without a writer)
        // is no missing input.
        if (cancelled(cancel))
            break;
        std::fprintf(log.log, "%sUnable to open: %s\n", log.prefix, name);
        walk.failed = true;
    }
    return -1;
}

void note_copy_status(InputWalk &walk, const InputLog &log, CopyStatus status)
{
    if (status == CopyStatus::ReadFailed) {
        std::fprintf(log.log, "%sUnable to read: %s\n", log.prefix, walk.current);
        walk.failed = true;
    }
}

void close_input(int input)
{
    close(input);
}

std::optional<PlotExtent> read_ahead_plot_size(int input, const PlotScanner &scanner,
                                               ReadAhead &ahead, CancelFlag cancel)
{
    PlotScanner probe = scanner;
    while (ahead.size < ReadAhead::capacity && !probe.plot_size_found && !probe.drawn) {
        std::size_t got = 0;
        ahead.status = read_some(input, ahead.bytes + ahead.size, ReadAhead::capacity - ahead.size,
                                 got, cancel);
        if (ahead.status != CopyStatus::Done || got == 0) {
            ahead.ended = ahead.status == CopyStatus::Done;
            finish_plot(probe);
            break;
        }
        for (std::size_t done = 0; done < got;) {
            const std::size_t place = scan_plot(probe, ahead.bytes + ahead.size + done, got - done);
            done = place == kNoHold ? got : done + place;
        }
        ahead.size += got;
    }
    if (!probe.plot_size_found)
        return std::nullopt;
    // Plotter units of 0.025 mm.
    return PlotExtent{static_cast<double>(probe.plot_length) / 40,
                      static_cast<double>(probe.plot_width) / 40};
}

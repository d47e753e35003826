// Opening the inputs and reading ahead.
#include "inputs.h"

#include <fcntl.h>
#include <unistd.h>

bool is_standard_input(const JobInputs &inputs, int index)
{
    return inputs.means_standard_input != nullptr
           && inputs.means_standard_input(inputs.names[index]);
}

int open_next_input(const JobInputs &inputs, InputWalk &walk, const InputLog &log,
                    CancelFlag cancel)
{
    if (inputs.count == 0) {
        if (walk.next++ > 0)
            return -1;
        walk.current = "-";
        return STDIN_FILENO;
    }
    while (walk.next < inputs.count && !cancelled(cancel)) {
        const int index = walk.next++;
        const char *name = inputs.names[index];
        if (is_standard_input(inputs, index)) {
            if (walk.stdin_closed)
                continue;
            walk.stdin_closed = true;
            walk.current = name;
            return STDIN_FILENO;
        }
        const int input = open(name, O_RDONLY);
        if (input >= 0) {
            walk.current = name;
            return input;
        }
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

// SPDX-License-Identifier: MIT
// Copying the plot bytes from an input descriptor to the output descriptor.
#ifndef ZELVO_COPY_H
#define ZELVO_COPY_H

#include "plot_scanner.h"

#include <csignal>
#include <cstddef>
#include <string_view>

// A request to stop, owned by the program that runs the job and set from its
// signal handler: nonzero stops a copy where it is. Null when none can come.
using CancelFlag = const volatile std::sig_atomic_t *;

// Whether `cancel` asks to stop.
inline bool cancelled(CancelFlag cancel)
{
    return cancel != nullptr && *cancel != 0;
}

// How a copy ended. A short read ends the copy either way; the caller tells
// the user which kind of end it was.
enum class CopyStatus {
    Done,        // the input reached its end and every byte was written
    ReadFailed,  // a read error ended the copy
    WriteFailed, // a write failed; the copy stopped there
    Stopped,     // the cancel flag ended the copy early
};

// The two descriptors of a copy and the flag that may stop it. The input is
// read from where it stands; the output is written behind what it holds.
struct CopyEnds {
    int input;
    int output;
    CancelFlag cancel = nullptr;
};

// Copies the input to its end (or its first read error) to the output, in
// constant memory. A call interrupted by a signal (EINTR) is retried unless
// the cancel flag is set, which ends the copy.
CopyStatus copy_input(const CopyEnds &ends);

// The texts that go into the plot, one for each kind of place the scanner
// names; an empty one adds nothing.
struct Insertions {
    std::string_view hold;       // after IN and BP
    std::string_view page_break; // at a PG's page end
    std::string_view reset;      // after ESC E

    std::string_view at(PlaceKind kind) const
    {
        switch (kind) {
        case PlaceKind::Hold:
            return hold;
        case PlaceKind::PageBreak:
            return page_break;
        case PlaceKind::Reset:
            return reset;
        }
        return {};
    }
};

// The same copy, read through `scanner`: the insertions go into the output
// at every place the scanner names. The scanner's state carries over from
// one call to the next, as the printer reads all inputs as one stream.
CopyStatus copy_input_inserting(const CopyEnds &ends, PlotScanner &scanner,
                                const Insertions &insert);

// Writes `size` bytes, already read from an input, to `output` through
// `scanner`, as copy_input_inserting would have written them.
CopyStatus write_inserting(int output, CancelFlag cancel, PlotScanner &scanner,
                           const Insertions &insert, const char *bytes, std::size_t size);

// Writes all of `bytes` to the descriptor `out`, retrying short writes and
// EINTR unless the cancel flag is set.
CopyStatus write_all(int out, const char *bytes, std::size_t length, CancelFlag cancel);

// One read of up to `size` bytes from the descriptor `in` into `buffer`,
// retried after EINTR unless the cancel flag is set. `got` is 0 at the end of
// the input.
CopyStatus read_some(int in, char *buffer, std::size_t size, std::size_t &got, CancelFlag cancel);

#endif

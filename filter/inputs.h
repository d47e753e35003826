// SPDX-License-Identifier: MIT
// The job's inputs: opening them in turn, and reading the first one ahead of
// the header to find the plot's size.
#ifndef ZELVO_INPUTS_H
#define ZELVO_INPUTS_H

#include "copy.h"
#include "destination.h"
#include "paper_size.h"
#include "plot_scanner.h"

#include <cstddef>
#include <cstdio>
#include <optional>

// The inputs of a job, in order; with none, standard input, named "-". Which
// names mean standard input is the front end's rule, not the job's.
struct JobInputs {
    int count = 0;
    const char *const *names = nullptr;
    bool (*means_standard_input)(const char *name) = nullptr; // null: no name does
};

// Whether the input at `index` of `inputs` is standard input.
bool is_standard_input(const JobInputs &inputs, int index);

// The first of `inputs` (standard input when there are none, named "-"
// then) that is the regular file the destination writes to, hard and
// symbolic links included; null when there is none. Looks at the destination
// with stat before anything opens it; inputs and destinations that are not
// regular files are never the same file.
const char *input_that_is_output(const OutputDestination &destination, const JobInputs &inputs);

// Where the walk through the inputs stands.
struct InputWalk {
    int next = 0;              // the next name to open
    bool stdin_closed = false; // standard input is closed after its copy
    const char *current = "-"; // the name of the open input
    bool failed = false;       // an input could not be opened or read to its end
    int output = -1;           // the open output, which no input may be; -1 before it opens
};

// Where messages about inputs go.
struct InputLog {
    std::FILE *log;
    const char *prefix; // in front of every message
};

// Opens the next input and returns its descriptor, reporting those that
// cannot be opened and leaving out, reported, those that prove to be the
// open output; -1 after the last, or once `cancel` is set. Standard input is
// opened once: a later name for it is passed over.
int open_next_input(const JobInputs &inputs, InputWalk &walk, const InputLog &log,
                    CancelFlag cancel);

// Reports an input that ended on a read error; the job goes on after it.
void note_copy_status(InputWalk &walk, const InputLog &log, CopyStatus status);

// Closes an input, standard input too: a later name for it copies nothing.
void close_input(int input);

// The plot's first 64 KiB at most, read ahead of the header.
struct ReadAhead {
    static constexpr std::size_t capacity = 64 * 1024;
    char bytes[capacity];
    std::size_t size = 0;
    CopyStatus status = CopyStatus::Done;
    bool ended = false; // the input ended within them: it is not read again
};

// Reads the input's first bytes into `ahead` until they give the plot size (a
// PS read as `scanner`, left as it is, would read it), a drawing instruction,
// or their end. The size in millimetres, when they give one.
std::optional<PlotExtent> read_ahead_plot_size(int input, const PlotScanner &scanner,
                                               ReadAhead &ahead, CancelFlag cancel);

#endif

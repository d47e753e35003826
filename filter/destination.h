// SPDX-License-Identifier: MIT
// Where the job goes: the destination's name and kind, and opening, closing
// and abandoning it.
#ifndef ZELVO_DESTINATION_H
#define ZELVO_DESTINATION_H

#include "copy.h"
#include "output_command.h"

#include <cstddef>

// Where the job goes, chosen by the first character of the name.
enum class DestinationKind {
    Command,        // "|cmd": the rest of the name is run by /bin/sh
    StandardOutput, // "-" or any name that begins with "-"
    File,           // anything else, created or truncated
};

struct OutputDestination {
    static constexpr std::size_t capacity = 80; // 79 characters and a NUL
    char name[capacity];
};

DestinationKind destination_kind(const OutputDestination &destination);

// An open destination: the descriptor the job is written to.
struct Destination {
    DestinationKind kind = DestinationKind::File;
    int output = -1;
    OutputCommand command; // for a command destination
};

// Opens the destination as its name says (a file as fopen(name, "w") creates
// it). False, with nothing opened, when no descriptor could be had.
bool open_destination(const OutputDestination &name, Destination &destination);

enum class CloseOutcome {
    Closed,
    Unchecked, // closed; whether the command read the whole job could not be told
    WriteFailed,
    CommandFailed,
    Abandoned, // a cancel request came before the command had the whole job
};

// Closes the output and tells whether everything reached it; `written` says
// whether every write before succeeded. A command counts as failed unless it
// exits normally with status 0; one that exits 0 without reading the whole
// job counts as a failed write. A cancel request before the command has the
// whole job abandons it (below); one after that changes nothing.
CloseOutcome close_destination(Destination &destination, bool written, CancelFlag cancel);

// Closes an interrupted job's destination as it stands; a command is
// terminated first, so that it does not take what it got for a whole job.
void abandon_destination(Destination &destination);

#endif

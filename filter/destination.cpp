// SPDX-License-Identifier: MIT
// Opening and closing the destination.
#include "destination.h"

#include <fcntl.h>
#include <unistd.h>

DestinationKind destination_kind(const OutputDestination &destination)
{
    switch (destination.name[0]) {
    case '|':
        return DestinationKind::Command;
    case '-':
        return DestinationKind::StandardOutput;
    default:
        return DestinationKind::File;
    }
}

bool open_destination(const OutputDestination &name, Destination &destination)
{
    destination.kind = destination_kind(name);
    switch (destination.kind) {
    case DestinationKind::Command:
        if (start_command(name.name + 1, destination.command))
            destination.output = destination.command.input;
        break;
    case DestinationKind::StandardOutput:
        destination.output = STDOUT_FILENO;
        break;
    case DestinationKind::File:
        destination.output = open(name.name, O_WRONLY | O_CREAT | O_TRUNC, 0666);
        break;
    }
    return destination.output >= 0;
}

CloseOutcome close_destination(Destination &destination, bool written, CancelFlag cancel)
{
    if (destination.kind == DestinationKind::Command) {
        const CommandEnd end = finish_command(destination.command, cancel);
        destination.output = -1;
        if (end.abandoned)
            return CloseOutcome::Abandoned;
        if (!end.succeeded)
            return CloseOutcome::CommandFailed;
        if (!written || !end.closed || end.left_unread)
            return CloseOutcome::WriteFailed;
        return end.unchecked ? CloseOutcome::Unchecked : CloseOutcome::Closed;
    }
    // Standard output is closed too, so that its failed close is seen.
    if (close(destination.output) != 0)
        written = false;
    destination.output = -1;
    return written ? CloseOutcome::Closed : CloseOutcome::WriteFailed;
}

void abandon_destination(Destination &destination)
{
    if (destination.kind == DestinationKind::Command)
        abandon_command(destination.command);
    else
        close(destination.output);
    destination.output = -1;
}

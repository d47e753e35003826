// SPDX-License-Identifier: MIT
// A command destination: the command run by /bin/sh with a pipe to its
// standard input, as popen(command, "w") runs it, but in a process group of
// its own so that an interrupted job can stop it before it sees the end of
// its input.
#ifndef ZELVO_OUTPUT_COMMAND_H
#define ZELVO_OUTPUT_COMMAND_H

#include "copy.h"

#include <sys/types.h>

struct OutputCommand {
    pid_t pid = -1; // also its process group
    int input = -1; // the write end of its input
};

// Starts `command` with the filter's environment and descriptors and the
// default action for SIGPIPE. False, with nothing started, when no pipe or
// process could be had.
bool start_command(const char *command, OutputCommand &started);

// How a command ended.
struct CommandEnd {
    // A cancel request came before the command had the whole job and the end
    // of its input: it was abandoned (below) instead.
    bool abandoned = false;
    bool closed = false;      // its input was closed
    bool succeeded = false;   // it exited normally with status 0
    bool left_unread = false; // part of the job was still in the pipe when it let go
    bool unchecked = false;   // whether it read the whole job could not be told
};

// Waits until the command has read everything in its pipe, or has closed its
// end, then closes its input and waits for it to exit. A cancel request
// before the input is closed abandons the command; one that comes after it
// changes nothing: the command has the whole job, and its own exit decides.
CommandEnd finish_command(OutputCommand &command, CancelFlag cancel);

// Terminates the command's process group, and only then closes its input, so
// that no part of it reads a clean end of the job; waits for it.
void abandon_command(OutputCommand &command);

#endif

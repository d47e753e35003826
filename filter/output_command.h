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

// How a command ended after its input was closed.
struct CommandEnd {
    bool closed = false;      // the input was flushed and closed
    bool succeeded = false;   // it exited normally with status 0
    bool left_unread = false; // part of the job was still in the pipe
};

// Closes the command's input and waits for it. A cancel request while it
// runs on terminates it too.
CommandEnd finish_command(OutputCommand &command, CancelFlag cancel);

// Terminates the command's process group, and only then closes its input, so
// that no part of it reads a clean end of the job; waits for it.
void abandon_command(OutputCommand &command);

#endif

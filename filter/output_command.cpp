// SPDX-License-Identifier: MIT
// Starting and ending the destination command.
#include "output_command.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// Waits for the command's shell; -1 when it cannot be waited for.
int wait_for(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return status;
}

enum class PipeCheck { AllRead, LeftUnread, Unknown, Cancelled };

// The bytes still in the pipe, counted on its write end, which the filter
// holds anyway: the count stays right after the reader has gone, and needs
// neither /proc nor a second read end, which would keep writes to a command
// that went away from failing.
PipeCheck count_unread(int write_end)
{
    int unread = 0;
    if (ioctl(write_end, FIONREAD, &unread) != 0)
        return PipeCheck::Unknown;
    return unread > 0 ? PipeCheck::LeftUnread : PipeCheck::AllRead;
}

// Waits, before the pipe is closed, until the command has read all of it or
// has closed its end (poll reports POLLERR on the write end then). A command
// that reads until the end of its input has read everything before it can
// see that end, so the wait holds up none that is still at work; the pause
// between looks grows to 50 ms.
PipeCheck wait_until_read(int write_end, CancelFlag cancel)
{
    int pause_ms = 1;
    for (;;) {
        if (cancelled(cancel))
            return PipeCheck::Cancelled;
        const PipeCheck now = count_unread(write_end);
        if (now != PipeCheck::LeftUnread)
            return now;
        pollfd reader{write_end, 0, 0};
        const int ready = poll(&reader, 1, pause_ms);
        if (ready > 0 && (reader.revents & POLLERR) != 0)
            return count_unread(write_end);
        if (ready < 0 && errno != EINTR)
            return PipeCheck::Unknown;
        pause_ms = std::min(2 * pause_ms, 50);
    }
}

bool spawn_shell(const char *command, int read_end, pid_t &pid)
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return false;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return false;
    }
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    bool ok =
        posix_spawnattr_setsigdefault(&attributes, &defaults) == 0
        && posix_spawnattr_setpgroup(&attributes, 0) == 0
        && posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP)
               == 0;
    if (ok && read_end != STDIN_FILENO)
        ok = posix_spawn_file_actions_adddup2(&actions, read_end, STDIN_FILENO) == 0
             && posix_spawn_file_actions_addclose(&actions, read_end) == 0;
    char shell[] = "/bin/sh";
    char flag[] = "-c";
    char *argv[] = {shell, flag, const_cast<char *>(command), nullptr};
    ok = ok && posix_spawn(&pid, shell, &actions, &attributes, argv, environ) == 0;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return ok;
}

// Whether the command's shell has ended, reaping it.
bool ended(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

} // namespace

bool start_command(const char *command, OutputCommand &started)
{
    int ends[2];
    if (pipe(ends) != 0)
        return false;
    // The write end is the filter's alone; the read end goes to the command.
    fcntl(ends[1], F_SETFD, FD_CLOEXEC);
    pid_t pid = -1;
    const bool spawned = spawn_shell(command, ends[0], pid);
    close(ends[0]);
    if (!spawned) {
        close(ends[1]);
        return false;
    }
    started.pid = pid;
    started.input = ends[1];
    return true;
}

CommandEnd finish_command(OutputCommand &command, CancelFlag cancel)
{
    CommandEnd end;
    const PipeCheck check = wait_until_read(command.input, cancel);
    if (check == PipeCheck::Cancelled) {
        abandon_command(command);
        end.abandoned = true;
        return end;
    }
    end.left_unread = check == PipeCheck::LeftUnread;
    end.unchecked = check == PipeCheck::Unknown;
    end.closed = close(command.input) == 0;
    command.input = -1;
    const int status = wait_for(command.pid);
    end.succeeded = status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return end;
}

void abandon_command(OutputCommand &command)
{
    // SIGTERM lets the command clean up; whatever is left of its group once
    // the shell has gone, or after a grace period, is killed, so that nothing
    // survives to see the input end.
    kill(-command.pid, SIGTERM);
    bool reaped = false;
    const timespec step{0, 10 * 1000 * 1000};
    for (int tries = 0; tries < 200 && !(reaped = ended(command.pid)); ++tries)
        nanosleep(&step, nullptr);
    kill(-command.pid, SIGKILL);
    close(command.input);
    command.input = -1;
    if (!reaped)
        wait_for(command.pid);
}

// Starting and ending the destination command.
#include "output_command.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// Waits for the command's shell; -1 when it cannot be waited for. A stop
// requested while it runs on with the whole job terminates it too: the user
// asked for the job to stop.
int wait_for(pid_t pid, CancelFlag cancel)
{
    int status = 0;
    bool terminated = false;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
        if (cancelled(cancel) && !terminated) {
            kill(-pid, SIGTERM);
            terminated = true;
        }
    }
    return status;
}

// A second read end of the pipe, opened through the write end, keeps the
// bytes the command leaves unread countable after it has gone.
int keep_read_end(int write_end)
{
    char path[32];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", write_end);
    return open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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
    const int spare = keep_read_end(command.input);
    CommandEnd end;
    end.closed = close(command.input) == 0;
    command.input = -1;
    const int status = wait_for(command.pid, cancel);
    end.succeeded = status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    int unread = 0;
    if (spare >= 0) {
        end.left_unread = ioctl(spare, FIONREAD, &unread) == 0 && unread > 0;
        close(spare);
    }
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
        wait_for(command.pid, nullptr);
}

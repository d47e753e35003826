// Copying one input to the output: the only place that moves plot bytes.
//
// The bytes go through the kernel where it can move them without a trip
// through user memory (splice when either side is a pipe, copy_file_range
// between regular files); wherever it refuses, a read/write loop on one
// fixed buffer takes over from the point reached. Memory stays constant
// whatever the input's size.
#include "job.h"

#include <cerrno>
#include <fcntl.h>
#include <initializer_list>
#include <sys/stat.h>
#include <unistd.h>

JobStream job_stream{nullptr, nullptr};
volatile std::sig_atomic_t copy_stop_requested = 0;

namespace {

constexpr std::size_t kernel_chunk = 1 << 20;
constexpr std::size_t buffer_size = 128 * 1024;

enum class KernelPath { None, Splice, CopyRange };

KernelPath kernel_path(int in, int out)
{
    struct stat from, to;
    if (fstat(in, &from) != 0 || fstat(out, &to) != 0)
        return KernelPath::None;
    if (S_ISFIFO(from.st_mode) || S_ISFIFO(to.st_mode))
        return KernelPath::Splice;
    if (S_ISREG(from.st_mode) && S_ISREG(to.st_mode))
        return KernelPath::CopyRange;
    return KernelPath::None;
}

// A pipe holds 64 KiB by default, which caps every splice at 64 KiB and
// wakes the other end for each of them. Asking for the chunk size (within
// the unprivileged limit) lets each call move more; a refusal only leaves
// the smaller pipe. The buffer is kernel memory, not this process's.
void widen_pipes(int in, int out)
{
    for (const int fd : {in, out}) {
        // Anything but a pipe answers -1 here and is left alone.
        const int size = fcntl(fd, F_GETPIPE_SZ);
        if (size >= 0 && size < static_cast<int>(kernel_chunk))
            fcntl(fd, F_SETPIPE_SZ, static_cast<int>(kernel_chunk));
    }
}

// Every loop below looks at the stop request before each call, so a signal
// that interrupts a blocked call (EINTR) ends the copy on the next turn
// instead of restarting the call.

enum class KernelResult { Done, HandOver, Stopped };

// Moves bytes through the kernel until the input ends. HandOver gives the
// rest to the read/write loop: the kernel refused the pair, or a call failed
// and the loop is to find out whether reading or writing was at fault. An
// empty first answer is handed on too, since some files (those of /proc,
// say) report nothing to the kernel copy and yet have bytes for read().
KernelResult kernel_copy(int in, int out)
{
    const KernelPath path = kernel_path(in, out);
    if (path == KernelPath::None)
        return KernelResult::HandOver;
    if (path == KernelPath::Splice)
        widen_pipes(in, out);
    bool moved = false;
    for (;;) {
        if (copy_stop_requested)
            return KernelResult::Stopped;
        const ssize_t n =
            path == KernelPath::Splice
                ? splice(in, nullptr, out, nullptr, kernel_chunk, SPLICE_F_MOVE | SPLICE_F_MORE)
                : copy_file_range(in, nullptr, out, nullptr, kernel_chunk, 0);
        if (n > 0)
            moved = true;
        else if (n == 0)
            return moved ? KernelResult::Done : KernelResult::HandOver;
        else if (errno != EINTR)
            return KernelResult::HandOver;
    }
}

int write_all(int out, const char *bytes, std::size_t length)
{
    while (length > 0) {
        if (copy_stop_requested)
            return CopyStopped;
        const ssize_t n = write(out, bytes, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return CopyWriteFailed;
        }
        bytes += n;
        length -= static_cast<std::size_t>(n);
    }
    return CopyDone;
}

int read_write_copy(int in, int out)
{
    char buffer[buffer_size];
    for (;;) {
        if (copy_stop_requested)
            return CopyStopped;
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got == 0)
            return CopyDone;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return CopyReadFailed;
        }
        const int written = write_all(out, buffer, static_cast<std::size_t>(got));
        if (written != CopyDone)
            return written;
    }
}

} // namespace

int file_cat()
{
    // The header waits in the output stream's buffer; it must go out first.
    if (std::fflush(job_stream.output) != 0)
        return CopyWriteFailed;
    const int in = fileno(job_stream.input);
    const int out = fileno(job_stream.output);
    switch (kernel_copy(in, out)) {
    case KernelResult::Done:
        return CopyDone;
    case KernelResult::Stopped:
        return CopyStopped;
    case KernelResult::HandOver:
        break;
    }
    return read_write_copy(in, out);
}

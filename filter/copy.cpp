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
    struct stat st;
    for (const int fd : {in, out})
        if (fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode) && fcntl(fd, F_GETPIPE_SZ) < static_cast<int>(kernel_chunk))
            fcntl(fd, F_SETPIPE_SZ, static_cast<int>(kernel_chunk));
}

// Moves bytes through the kernel until the input ends. False hands the rest
// to the read/write loop: the kernel refused the pair, or a call failed and
// the loop is to find out whether reading or writing was at fault. An empty
// first answer is handed on too, since some files (those of /proc, say)
// report nothing to the kernel copy and yet have bytes for read().
bool kernel_copy(int in, int out)
{
    const KernelPath path = kernel_path(in, out);
    if (path == KernelPath::None)
        return false;
    if (path == KernelPath::Splice)
        widen_pipes(in, out);
    bool moved = false;
    for (;;) {
        const ssize_t n = path == KernelPath::Splice
                              ? splice(in, nullptr, out, nullptr, kernel_chunk, SPLICE_F_MOVE | SPLICE_F_MORE)
                              : copy_file_range(in, nullptr, out, nullptr, kernel_chunk, 0);
        if (n > 0)
            moved = true;
        else if (n == 0)
            return moved;
        else if (errno != EINTR)
            return false;
    }
}

bool write_all(int out, const char *bytes, std::size_t length)
{
    while (length > 0) {
        const ssize_t n = write(out, bytes, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

int read_write_copy(int in, int out)
{
    char buffer[buffer_size];
    for (;;) {
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got == 0)
            return CopyDone;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return CopyReadFailed;
        }
        if (!write_all(out, buffer, static_cast<std::size_t>(got)))
            return CopyWriteFailed;
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
    if (kernel_copy(in, out))
        return CopyDone;
    return read_write_copy(in, out);
}

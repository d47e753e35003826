// Copying one input to the output: the only place that moves plot bytes.
//
// The bytes go through the kernel where it can move them without a trip
// through user memory (splice when either side is a pipe, copy_file_range
// between regular files); wherever it refuses, a read/write loop on one
// fixed buffer takes over from the point reached. A copy that inserts text
// reads every byte through the plot scanner instead. Memory stays constant
// whatever the input's size.
#include "copy.h"

#include <cerrno>
#include <fcntl.h>
#include <initializer_list>
#include <sys/stat.h>
#include <sys/uio.h>
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

CopyStatus read_write_copy(int in, int out)
{
    char buffer[buffer_size];
    for (;;) {
        std::size_t got = 0;
        const CopyStatus read = read_some(in, buffer, sizeof buffer, got);
        if (read != CopyStatus::Done || got == 0)
            return read;
        const CopyStatus written = write_all(out, buffer, got);
        if (written != CopyStatus::Done)
            return written;
    }
}

constexpr int kMaxPieces = 64;

// writev until every piece is out; `pieces` is used up on the way.
CopyStatus write_pieces(int out, iovec *pieces, int count)
{
    while (count > 0) {
        if (copy_stop_requested)
            return CopyStatus::Stopped;
        ssize_t n = writev(out, pieces, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return CopyStatus::WriteFailed;
        }
        while (count > 0 && static_cast<std::size_t>(n) >= pieces->iov_len) {
            n -= static_cast<ssize_t>(pieces->iov_len);
            ++pieces;
            --count;
        }
        if (count > 0) {
            pieces->iov_base = static_cast<char *>(pieces->iov_base) + n;
            pieces->iov_len -= static_cast<std::size_t>(n);
        }
    }
    return CopyStatus::Done;
}

// The header waits in the output stream's buffer; it must go out before the
// copy writes to the descriptor.
bool flush_output()
{
    return std::fflush(job_stream.output) == 0;
}

} // namespace

CopyStatus write_all(int out, const char *bytes, std::size_t length)
{
    while (length > 0) {
        if (copy_stop_requested)
            return CopyStatus::Stopped;
        const ssize_t n = write(out, bytes, length);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return CopyStatus::WriteFailed;
        }
        bytes += n;
        length -= static_cast<std::size_t>(n);
    }
    return CopyStatus::Done;
}

CopyStatus read_some(int in, char *buffer, std::size_t size, std::size_t &got)
{
    got = 0;
    for (;;) {
        if (copy_stop_requested)
            return CopyStatus::Stopped;
        const ssize_t n = read(in, buffer, size);
        if (n >= 0) {
            got = static_cast<std::size_t>(n);
            return CopyStatus::Done;
        }
        if (errno != EINTR)
            return CopyStatus::ReadFailed;
    }
}

CopyStatus file_cat()
{
    if (!flush_output())
        return CopyStatus::WriteFailed;
    const int in = fileno(job_stream.input);
    const int out = fileno(job_stream.output);
    switch (kernel_copy(in, out)) {
    case KernelResult::Done:
        return CopyStatus::Done;
    case KernelResult::Stopped:
        return CopyStatus::Stopped;
    case KernelResult::HandOver:
        break;
    }
    return read_write_copy(in, out);
}

CopyStatus write_scanned(PlotScanner &scanner, std::string_view insert, const char *bytes,
                         std::size_t size)
{
    if (!flush_output())
        return CopyStatus::WriteFailed;
    const int out = fileno(job_stream.output);
    // The pieces between the places, and the text at each, go out together.
    iovec pieces[kMaxPieces];
    int count = 0;
    while (size > 0) {
        const std::size_t place = scan_plot(scanner, bytes, size);
        const std::size_t before = place == kNoHold ? size : place;
        if (before > 0)
            pieces[count++] = {const_cast<char *>(bytes), before};
        if (place != kNoHold && !insert.empty())
            pieces[count++] = {const_cast<char *>(insert.data()), insert.size()};
        bytes += before;
        size -= before;
        if (count + 2 > kMaxPieces || size == 0) {
            const CopyStatus written = write_pieces(out, pieces, count);
            if (written != CopyStatus::Done)
                return written;
            count = 0;
        }
    }
    return CopyStatus::Done;
}

CopyStatus file_cat_scanned(PlotScanner &scanner, std::string_view insert)
{
    const int in = fileno(job_stream.input);
    char buffer[buffer_size];
    for (;;) {
        std::size_t got = 0;
        const CopyStatus read = read_some(in, buffer, sizeof buffer, got);
        if (read != CopyStatus::Done || got == 0)
            return read;
        const CopyStatus written = write_scanned(scanner, insert, buffer, got);
        if (written != CopyStatus::Done)
            return written;
    }
}

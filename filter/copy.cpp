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

constexpr std::size_t kKernelChunk = 1 << 20;
constexpr std::size_t kBufferSize = 256 * 1024;

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
        if (size >= 0 && size < static_cast<int>(kKernelChunk))
            fcntl(fd, F_SETPIPE_SZ, static_cast<int>(kKernelChunk));
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
                ? splice(in, nullptr, out, nullptr, kKernelChunk, SPLICE_F_MOVE | SPLICE_F_MORE)
                : copy_file_range(in, nullptr, out, nullptr, kKernelChunk, 0);
        if (n > 0)
            moved = true;
        else if (n == 0)
            return moved ? KernelResult::Done : KernelResult::HandOver;
        else if (errno != EINTR)
            return KernelResult::HandOver;
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

namespace {

// A block read through the scanner, as the pieces that go out: its bytes
// between the places, and the text at each.
struct Pieces {
    iovec pieces[kMaxPieces];
    int count = 0;
    bool placed = false; // the text went in somewhere
};

// Scans `bytes` into `pieces`, up to the place where they are full; returns
// how many bytes it took.
std::size_t gather(PlotScanner &scanner, std::string_view insert, const char *bytes,
                   std::size_t size, Pieces &out)
{
    std::size_t done = 0;
    while (done < size && out.count + 2 <= kMaxPieces) {
        const std::size_t place = scan_plot(scanner, bytes + done, size - done);
        const std::size_t before = place == kNoHold ? size - done : place;
        if (before > 0)
            out.pieces[out.count++] = {const_cast<char *>(bytes + done), before};
        if (place != kNoHold && !insert.empty()) {
            out.pieces[out.count++] = {const_cast<char *>(insert.data()), insert.size()};
            out.placed = true;
        }
        done += before;
    }
    return done;
}

// Moves `length` bytes of the regular file `in` from `offset` to `out`
// through the kernel (splice into a pipe, copy_file_range into a file);
// where it refuses, writes them from `bytes`, the same bytes read before.
// `kernel` turns false at the first refusal, for the rest of the input.
CopyStatus move_range(int in, off_t offset, int out, bool to_pipe, const char *bytes,
                      std::size_t length, bool &kernel)
{
    loff_t from = offset;
    while (kernel && length > 0) {
        if (copy_stop_requested)
            return CopyStatus::Stopped;
        const ssize_t n =
            to_pipe ? splice(in, &from, out, nullptr, length, SPLICE_F_MOVE | SPLICE_F_MORE)
                    : copy_file_range(in, &from, out, nullptr, length, 0);
        if (n > 0) {
            bytes += n;
            length -= static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            kernel = false; // a write error shows again, and is reported, below
        }
    }
    return write_all(out, bytes, length);
}

// Writes one block of the input through the scanner. A block that takes no
// text goes through the kernel from the regular file `in` at `offset` (when
// `kernel` is still on); any other goes out in one writev per full set of
// pieces, so that a reader at the other end of a pipe wakes once a block.
CopyStatus write_block(PlotScanner &scanner, std::string_view insert, const char *bytes,
                       std::size_t size, int in, off_t offset, bool to_pipe, bool &kernel)
{
    const int out = fileno(job_stream.output);
    for (std::size_t done = 0; done < size;) {
        Pieces pieces;
        const std::size_t taken = gather(scanner, insert, bytes + done, size - done, pieces);
        const CopyStatus status = !pieces.placed && in >= 0
                                      ? move_range(in, offset + static_cast<off_t>(done), out,
                                                   to_pipe, bytes + done, taken, kernel)
                                      : write_pieces(out, pieces.pieces, pieces.count);
        if (status != CopyStatus::Done)
            return status;
        done += taken;
    }
    return CopyStatus::Done;
}

// Reads the input a block at a time to its end and writes each block, through
// `scanner` when there is one.
CopyStatus read_write_copy(int in, PlotScanner *scanner, std::string_view insert)
{
    const int out = fileno(job_stream.output);
    char buffer[kBufferSize];
    for (;;) {
        std::size_t got = 0;
        const CopyStatus read = read_some(in, buffer, sizeof buffer, got);
        if (read != CopyStatus::Done || got == 0)
            return read;
        bool kernel = false;
        const CopyStatus written =
            scanner != nullptr ? write_block(*scanner, insert, buffer, got, -1, 0, false, kernel)
                               : write_all(out, buffer, got);
        if (written != CopyStatus::Done)
            return written;
    }
}

// A regular file into a pipe or another regular file: each block is read
// once, to be scanned, and a block without a place goes on through the
// kernel as the plain copy moves it.
CopyStatus scan_file(PlotScanner &scanner, std::string_view insert, int in, int out, bool to_pipe)
{
    off_t offset = lseek(in, 0, SEEK_CUR);
    if (offset < 0)
        return CopyStatus::ReadFailed;
    if (to_pipe)
        widen_pipes(in, out);
    bool kernel = true;
    char buffer[kBufferSize];
    CopyStatus status = CopyStatus::Done;
    while (status == CopyStatus::Done) {
        if (copy_stop_requested) {
            status = CopyStatus::Stopped;
            break;
        }
        const ssize_t got = pread(in, buffer, sizeof buffer, offset);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno != EINTR)
                status = CopyStatus::ReadFailed;
            continue;
        }
        status = write_block(scanner, insert, buffer, static_cast<std::size_t>(got), in, offset,
                             to_pipe, kernel);
        if (status == CopyStatus::Done)
            offset += got;
    }
    // Where a plain read would have left the input.
    lseek(in, offset, SEEK_SET);
    return status;
}

} // namespace

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
    return read_write_copy(in, nullptr, {});
}

CopyStatus write_scanned(PlotScanner &scanner, std::string_view insert, const char *bytes,
                         std::size_t size)
{
    if (!flush_output())
        return CopyStatus::WriteFailed;
    bool kernel = false;
    return write_block(scanner, insert, bytes, size, -1, 0, false, kernel);
}

CopyStatus file_cat_scanned(PlotScanner &scanner, std::string_view insert)
{
    if (!flush_output())
        return CopyStatus::WriteFailed;
    const int in = fileno(job_stream.input);
    const int out = fileno(job_stream.output);
    struct stat from, to;
    if (fstat(in, &from) == 0 && fstat(out, &to) == 0 && S_ISREG(from.st_mode)
        && (S_ISFIFO(to.st_mode) || S_ISREG(to.st_mode)))
        return scan_file(scanner, insert, in, out, S_ISFIFO(to.st_mode));
    return read_write_copy(in, &scanner, insert);
}

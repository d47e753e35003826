// SPDX-License-Identifier: MIT
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
KernelResult kernel_copy(int in, int out, CancelFlag cancel)
{
    const KernelPath path = kernel_path(in, out);
    if (path == KernelPath::None)
        return KernelResult::HandOver;
    if (path == KernelPath::Splice)
        widen_pipes(in, out);
    bool moved = false;
    for (;;) {
        if (cancelled(cancel))
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
CopyStatus write_pieces(int out, iovec *pieces, int count, CancelFlag cancel)
{
    while (count > 0) {
        if (cancelled(cancel))
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

} // namespace

CopyStatus write_all(int out, const char *bytes, std::size_t length, CancelFlag cancel)
{
    while (length > 0) {
        if (cancelled(cancel))
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

CopyStatus read_some(int in, char *buffer, std::size_t size, std::size_t &got, CancelFlag cancel)
{
    got = 0;
    for (;;) {
        if (cancelled(cancel))
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
std::size_t gather(PlotScanner &scanner, const Insertions &insert, const char *bytes,
                   std::size_t size, Pieces &out)
{
    std::size_t done = 0;
    while (done < size && out.count + 2 <= kMaxPieces) {
        const std::size_t place = scan_plot(scanner, bytes + done, size - done);
        const std::size_t before = place == kNoHold ? size - done : place;
        if (before > 0)
            out.pieces[out.count++] = {const_cast<char *>(bytes + done), before};
        const std::string_view text = place != kNoHold ? insert.at(scanner.place) : "";
        if (!text.empty()) {
            out.pieces[out.count++] = {const_cast<char *>(text.data()), text.size()};
            out.placed = true;
        }
        done += before;
    }
    return done;
}

// Where the kernel may take the bytes of a block from: the regular file the
// block was read from, and the block's offset in it.
struct KernelSource {
    int file;
    off_t offset;
    bool to_pipe;       // splice into a pipe, else copy_file_range into a file
    bool usable = true; // turns false at the first refusal, for the rest of the input
};

// Writing the blocks of one input through the scanner.
struct InsertingWrite {
    int output;
    CancelFlag cancel;
    PlotScanner &scanner;
    const Insertions &insert;
};

// Moves `length` bytes of `source`, `skip` bytes into its block, to the
// output through the kernel; where it refuses, writes them from `bytes`, the
// same bytes read before.
CopyStatus move_range(const InsertingWrite &write, KernelSource &source, std::size_t skip,
                      const char *bytes, std::size_t length)
{
    loff_t from = source.offset + static_cast<off_t>(skip);
    while (source.usable && length > 0) {
        if (cancelled(write.cancel))
            return CopyStatus::Stopped;
        const ssize_t n =
            source.to_pipe ? splice(source.file, &from, write.output, nullptr, length,
                                    SPLICE_F_MOVE | SPLICE_F_MORE)
                           : copy_file_range(source.file, &from, write.output, nullptr, length, 0);
        if (n > 0) {
            bytes += n;
            length -= static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            source.usable = false; // a write error shows again, and is reported, below
        }
    }
    return write_all(write.output, bytes, length, write.cancel);
}

// Writes one block of the input through the scanner. A block that takes no
// text goes through the kernel from `source` (when there is one, still
// usable); any other goes out in one writev per full set of pieces, so that
// a reader at the other end of a pipe wakes once a block.
CopyStatus write_block(const InsertingWrite &write, const char *bytes, std::size_t size,
                       KernelSource *source)
{
    for (std::size_t done = 0; done < size;) {
        Pieces pieces;
        const std::size_t taken =
            gather(write.scanner, write.insert, bytes + done, size - done, pieces);
        const CopyStatus status =
            !pieces.placed && source != nullptr
                ? move_range(write, *source, done, bytes + done, taken)
                : write_pieces(write.output, pieces.pieces, pieces.count, write.cancel);
        if (status != CopyStatus::Done)
            return status;
        done += taken;
    }
    return CopyStatus::Done;
}

// Reads the input a block at a time to its end and writes each block, through
// `scanner` when there is one.
CopyStatus read_write_copy(const CopyEnds &ends, const InsertingWrite *through)
{
    char buffer[kBufferSize];
    for (;;) {
        std::size_t got = 0;
        const CopyStatus read = read_some(ends.input, buffer, sizeof buffer, got, ends.cancel);
        if (read != CopyStatus::Done || got == 0)
            return read;
        const CopyStatus written = through != nullptr
                                       ? write_block(*through, buffer, got, nullptr)
                                       : write_all(ends.output, buffer, got, ends.cancel);
        if (written != CopyStatus::Done)
            return written;
    }
}

// A regular file into a pipe or another regular file: each block is read
// once, to be scanned, and a block without a place goes on through the
// kernel as the plain copy moves it.
CopyStatus scan_file(const InsertingWrite &write, int in, bool to_pipe)
{
    KernelSource source{in, lseek(in, 0, SEEK_CUR), to_pipe};
    if (source.offset < 0)
        return CopyStatus::ReadFailed;
    if (to_pipe)
        widen_pipes(in, write.output);
    char buffer[kBufferSize];
    CopyStatus status = CopyStatus::Done;
    while (status == CopyStatus::Done) {
        if (cancelled(write.cancel)) {
            status = CopyStatus::Stopped;
            break;
        }
        const ssize_t got = pread(in, buffer, sizeof buffer, source.offset);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno != EINTR)
                status = CopyStatus::ReadFailed;
            continue;
        }
        status = write_block(write, buffer, static_cast<std::size_t>(got), &source);
        if (status == CopyStatus::Done)
            source.offset += got;
    }
    // Where a plain read would have left the input.
    lseek(in, source.offset, SEEK_SET);
    return status;
}

} // namespace

CopyStatus copy_input(const CopyEnds &ends)
{
    switch (kernel_copy(ends.input, ends.output, ends.cancel)) {
    case KernelResult::Done:
        return CopyStatus::Done;
    case KernelResult::Stopped:
        return CopyStatus::Stopped;
    case KernelResult::HandOver:
        break;
    }
    return read_write_copy(ends, nullptr);
}

CopyStatus write_inserting(int output, CancelFlag cancel, PlotScanner &scanner,
                           const Insertions &insert, const char *bytes, std::size_t size)
{
    return write_block({output, cancel, scanner, insert}, bytes, size, nullptr);
}

CopyStatus copy_input_inserting(const CopyEnds &ends, PlotScanner &scanner,
                                const Insertions &insert)
{
    const InsertingWrite write{ends.output, ends.cancel, scanner, insert};
    struct stat from, to;
    if (fstat(ends.input, &from) == 0 && fstat(ends.output, &to) == 0 && S_ISREG(from.st_mode)
        && (S_ISFIFO(to.st_mode) || S_ISREG(to.st_mode)))
        return scan_file(write, ends.input, S_ISFIFO(to.st_mode));
    return read_write_copy(ends, &write);
}

// Copying the plot bytes from the current input to the output.
#ifndef ZELVO_COPY_H
#define ZELVO_COPY_H

#include "plot_scanner.h"

#include <csignal>
#include <cstddef>
#include <cstdio>
#include <string_view>

// The process-wide pair of streams that the copy moves bytes between.
struct JobStream {
    std::FILE *input;
    std::FILE *output;
};

extern JobStream job_stream;

// Set from a signal handler to ask the copy to stop where it is: the number
// of the signal that asked, or 0. Whoever set it decides how the job ends.
extern volatile std::sig_atomic_t copy_stop_requested;

// How a copy ended. A short read ends the copy either way; the caller tells
// the user which kind of end it was.
enum class CopyStatus {
    Done,        // the input reached its end and every byte was written
    ReadFailed,  // a read error ended the copy
    WriteFailed, // a write failed; the copy stopped there
    Stopped,     // copy_stop_requested ended the copy early
};

// Copies job_stream.input to its end (or its first read error) behind what
// is already written to job_stream.output, in constant memory. The output
// stream is flushed first; the input stream must not hold buffered bytes of
// its own. A call interrupted by a signal (EINTR) is retried unless
// copy_stop_requested is set, which ends the copy.
CopyStatus file_cat();

// The same copy, read through `scanner`: `insert` goes into the output at
// every place the scanner names. The scanner's state carries over from one
// call to the next, as the printer reads all inputs as one stream.
CopyStatus file_cat_scanned(PlotScanner &scanner, std::string_view insert);

// Writes `size` bytes that were read ahead from the input through `scanner`,
// as file_cat_scanned would have written them.
CopyStatus write_scanned(PlotScanner &scanner, std::string_view insert, const char *bytes,
                         std::size_t size);

// Writes all of `bytes` to the descriptor `out`, retrying short writes.
CopyStatus write_all(int out, const char *bytes, std::size_t length);

// One read of up to `size` bytes from the descriptor `in` into `buffer`,
// retried after EINTR unless a stop is requested. `got` is 0 at the end of
// the input.
CopyStatus read_some(int in, char *buffer, std::size_t size, std::size_t &got);

#endif

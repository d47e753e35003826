// The print job: its settings, its destination and the copy of the inputs.
#ifndef ZELVO_JOB_H
#define ZELVO_JOB_H

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>

// How the plot is wrapped. There is no third value: every way of setting the
// mode yields one of these two, so the PCL wrapper is always written.
enum WrapperMode : std::int32_t {
    ModePcl = 1, // PCL 5 wrapper around HP-GL/2
    ModeLj = 2,  // the same wrapper plus an extra 90-degree rotation
};

// Where the job goes, chosen by the first character of the name.
enum class DestinationKind {
    Command,        // "|cmd": the rest of the name is started with popen(.., "w")
    StandardOutput, // "-" or any name that begins with "-"
    File,           // anything else, opened with fopen(.., "w")
};

struct OutputDestination {
    static constexpr std::size_t capacity = 80; // 79 characters and a NUL
    char name[capacity];
};

DestinationKind destination_kind(const OutputDestination &destination);

struct JobSettings {
    std::int32_t wrapper_mode = ModePcl;
    std::int32_t rotation = 0; // only 90, 180 and 270 write a rotation line
    float pen_width = 0.2f;    // millimetres, printed with one decimal
    OutputDestination destination{};
    // Above 1, the PCL number-of-copies command follows the first reset; the
    // printer then repeats the page itself. 1 leaves the header as it is.
    std::int32_t copies = 1;
    // Put in front of every message on standard error ("ERROR: " for CUPS).
    const char *message_prefix = "";
};

// The process-wide pair of streams that file_cat copies between.
struct JobStream {
    std::FILE *input;
    std::FILE *output;
};

extern JobStream job_stream;

// Set from a signal handler to ask the copy to stop where it is (a cancelled
// job). The job then still writes the trailer, so the printer is left reset.
extern volatile std::sig_atomic_t copy_stop_requested;

// What file_cat reports. A short read ends the copy either way; the caller
// tells the user which kind of end it was.
enum CopyStatus {
    CopyDone = 0,        // the input reached its end and every byte was written
    CopyReadFailed = 1,  // a read error ended the copy
    CopyWriteFailed = 2, // a write failed; the copy stopped there
    CopyStopped = 3,     // copy_stop_requested ended the copy early
};

// Copies job_stream.input to its end (or its first read error) behind what
// is already written to job_stream.output, in constant memory, and returns a
// CopyStatus. The output stream is flushed first; the input stream must not
// hold buffered bytes of its own. A call interrupted by a signal (EINTR) is
// retried unless copy_stop_requested is set, which ends the copy.
int file_cat();

// Writes the job for `settings` with the `count` inputs named in `names`
// (standard input when there are none) and returns the exit status: 0 for a
// written job, 1 when the output could not be opened or written, or when a
// command destination did not exit with status 0. Messages go to stderr.
// When `input_failed` is given it is set to whether an input could not be
// opened or read to its end (which leaves the status at 0).
// A stop request ends the copy and skips the remaining inputs; the trailer
// is still written and the job counts as written.
int run_job(const JobSettings &settings, int count, const char *const *names,
            bool *input_failed = nullptr);

#endif

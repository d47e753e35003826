// The print job: its settings, its destination and the copy of the inputs.
#ifndef ZELVO_JOB_H
#define ZELVO_JOB_H

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
};

// The process-wide pair of streams that file_cat copies between.
struct JobStream {
    std::FILE *input;
    std::FILE *output;
};

extern JobStream job_stream;

// What file_cat reports. A short read ends the copy either way; the caller
// tells the user which kind of end it was.
enum CopyStatus {
    CopyDone = 0,        // the input reached its end and every byte was written
    CopyReadFailed = 1,  // a read error ended the copy
    CopyWriteFailed = 2, // a write failed; the copy stopped there
};

// Copies job_stream.input to its end (or its first read error) behind what
// is already written to job_stream.output, in constant memory, and returns a
// CopyStatus. The output stream is flushed first; the input stream must not
// hold buffered bytes of its own.
int file_cat();

// Writes the job for `settings` with the `count` inputs named in `names`
// (standard input when there are none) and returns the exit status: 0 for a
// written job, 1 when the output could not be opened or written, or when a
// command destination did not exit with status 0. Messages go to stderr.
int run_job(const JobSettings &settings, int count, const char *const *names);

#endif

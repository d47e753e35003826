// The print job: its settings, its destination, and writing it.
#ifndef ZELVO_JOB_H
#define ZELVO_JOB_H

#include "paper_size.h"

#include <cstddef>
#include <cstdint>

// How the plot is wrapped. There is no third value: every way of setting the
// mode yields one of these two, so the PCL wrapper is always written.
enum WrapperMode : std::int32_t {
    ModePcl = 1, // PCL 5 wrapper around HP-GL/2
    ModeLj = 2,  // the same wrapper plus an extra 90-degree rotation
};

// Where the job goes, chosen by the first character of the name.
enum class DestinationKind {
    Command,        // "|cmd": the rest of the name is run by /bin/sh
    StandardOutput, // "-" or any name that begins with "-"
    File,           // anything else, opened with fopen(.., "w")
};

struct OutputDestination {
    static constexpr std::size_t capacity = 80; // 79 characters and a NUL
    char name[capacity];
};

DestinationKind destination_kind(const OutputDestination &destination);

struct JobSettings {
    WrapperMode wrapper_mode = ModePcl;
    std::int32_t rotation = 0; // only 90, 180 and 270 write a rotation line
    float pen_width = 0.2f;    // millimetres
    bool pen_width_given = false;
    OutputDestination destination{};
    // The pen width and rotations again after every IN and BP of the plot.
    bool hold = false;
    // The page size command, or null for none.
    const Paper *paper = nullptr;
    // Scale the plot to the page: to `fit_size` when it is given (millimetres,
    // width along X), else to the size its first PS gives. Implies hold.
    bool fit = false;
    PlotExtent fit_size{};
    // Above 1, the PCL number-of-copies command follows the first reset; the
    // printer then repeats the page itself. 1 leaves the header as it is.
    std::int32_t copies = 1;
    // Read the whole plot even when there is nothing to insert, to count its
    // pages and end it in the right context.
    bool read_plot = false;
    // A stop request still writes the trailer and counts as a written job
    // (a cancelled CUPS job); otherwise the job is abandoned where it is.
    bool finish_when_stopped = false;
    // Put in front of every message on standard error ("ERROR: " for CUPS),
    // and of every warning.
    const char *message_prefix = "";
    const char *warning_prefix = "";
};

// What a run of the job found beside its exit status.
struct JobReport {
    bool input_failed = false; // an input could not be opened or read to its end
    bool stopped = false;      // a stop request ended the copy
    std::uint64_t pages = 0;   // the pages the printer ejects, when the plot was read
};

// Writes the job for `settings` with the `count` inputs named in `names`
// (standard input when there are none) and returns the exit status: 0 for a
// written job, 1 when it was refused (an input is the output), when the
// output could not be opened or written, when a command destination did not
// exit with status 0 or did not read the whole job, or when an input failed.
// Messages go to standard error. `report`, when given, receives the rest.
int run_job(const JobSettings &settings, int count, const char *const *names,
            JobReport *report = nullptr);

#endif

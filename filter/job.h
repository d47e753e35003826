// SPDX-License-Identifier: MIT
// Running the print job: the settings, the destination, the inputs and the
// conduct of the run come in as arguments; nothing is kept between runs.
#ifndef ZELVO_JOB_H
#define ZELVO_JOB_H

#include "copy.h"
#include "destination.h"
#include "fit.h"
#include "inputs.h"
#include "job_settings.h"

#include <cstdint>
#include <cstdio>

// How the run behaves, as the program that runs the job wants it.
struct JobConduct {
    // Set by the program (from a signal handler) to stop the job where it is.
    CancelFlag cancel = nullptr;
    std::FILE *log = stderr; // messages, one line each
    // Put in front of every message ("ERROR: " for CUPS), and of every warning.
    const char *message_prefix = "";
    const char *warning_prefix = "";
    // A cancel request still writes the trailer and counts as a written job
    // (a cancelled CUPS job); otherwise the job is abandoned where it is.
    bool finish_when_cancelled = false;
    // Read the whole plot even when there is nothing to insert, to count its
    // pages and end it in the right context.
    bool count_pages = false;
    // How -fit measures the drawing of a first input that is a regular file;
    // null: it is not measured, and only a plot size fits the plot.
    MeasureDrawing measure_drawing = nullptr;
};

// What a run of the job found beside its exit status.
struct JobReport {
    bool input_failed = false; // an input could not be opened or read to its end
    bool stopped = false;      // a cancel request ended the copy
    // The whole job reached the destination: written and closed, and for a
    // command, read whole by it before it exited with status 0.
    bool delivered = false;
    std::uint64_t pages = 0; // the pages the printer ejects, when the plot was read
    // The rotation the printer ends with, a fit's turn included, and how
    // much -fit scaled the plot (millimetres on the page per millimetre of
    // the plot; 0 where it printed unscaled).
    int rotation = 0;
    double fit_scale = 0;
};

// Writes the job for `settings` with `inputs` to `destination` and returns
// the exit status: 0 for a written job, 1 when it was refused (an input is
// the output), when the output could not be opened or written, when a
// command destination did not exit with status 0 or did not read the whole
// job, or when an input failed. `report`, when given, receives the rest.
int run_job(const JobSettings &settings, const OutputDestination &destination,
            const JobInputs &inputs, const JobConduct &conduct, JobReport *report = nullptr);

#endif

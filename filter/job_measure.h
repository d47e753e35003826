// SPDX-License-Identifier: MIT
// What -fit of the job filter scales: a plot file's drawing as the job
// prints it, measured with the renderer's geometry in one more pass over the
// file, in constant memory and without cairo.
#ifndef ZELVO_JOB_MEASURE_H
#define ZELVO_JOB_MEASURE_H

#include "fit.h"

#include <optional>

// The drawing of the regular file open on `input`, read from where it
// stands (the file's offset stays where it is), after `prelude` and with
// `hold` after every IN and BP: its box on a landscape frame of
// `frame_length` by `frame_width` plotter units (0 for the renderer's plain
// plot size), which P1 and P2 span after IN, turned as the plot's rotations
// turn it and clipped to the window the plot sets (IW), outside which
// nothing prints. Labels count, drawn with the stroke font of ZELVO_HERSHEY_DIR or
// Debian's hershey-fonts-data, where it is found. Nothing when nothing is
// drawn or the file cannot be read. Fits MeasureDrawing.
std::optional<DrawingBox> measure_job_drawing(int input, const char *prelude, const char *hold,
                                              double frame_length, double frame_width);

#endif

// SPDX-License-Identifier: MIT
// What of a plot's drawing prints: its extent, clipped as the printer clips
// it to the window the plot sets with IW. Read once, in constant memory,
// without cairo.
#ifndef ZELVO_PRINTED_EXTENT_H
#define ZELVO_PRINTED_EXTENT_H

#include "render.h"

struct PrintedExtent {
    bool drawn = false; // something prints, within the plot's window
    // In plotter units, in the plot's coordinates after its own rotation
    // (RO), as measure_plot gives them.
    Point low;
    Point high;
};

// Reads the stream once, with P2 after IN at `plot_length` by `plot_width`
// plotter units. Labels count with `font`, and are left out without one;
// dots, where the pen went down without moving, have no size and do not.
// Only the plot's own window clips: the picture frame is the caller's.
PrintedExtent measure_printed_extent(PlotSource &source, const StrokeFont *font, double plot_length,
                                     double plot_width);

// The part of the segment from `a` to `b` within the rectangle from `low`
// to `high`, its ends written back into `a` and `b`; false when none is.
bool clip_segment(Point &a, Point &b, Point low, Point high);

// Whether `p` lies inside the closed sub-paths of `path` under `rule`.
bool inside_path(const Path &path, FillRule rule, Point p);

#endif

// Scaling a plot to the page with PCL's picture frame.
#ifndef ZELVO_FIT_H
#define ZELVO_FIT_H

#include "paper_size.h"

#include <cstddef>

// Room for the commands with their NUL.
constexpr std::size_t kFitCommands = 160;

// The PCL commands, for PCL context before the job enters HP-GL/2, that
// scale a plot drawn for `plot` to the largest size that fits `paper` less
// 1/4 inch on every side, the same on both axes, and centre it on a landscape
// page. With a `rotation` of 90 or 270 degrees (the header's rotations taken
// together) the plot's width runs along the page's height.
void fit_commands(char (&commands)[kFitCommands], const Paper &paper, PlotExtent plot,
                  int rotation);

// How much fit_commands scales a plot drawn for `plot` on `paper` with
// `rotation`.
double fit_scale(const Paper &paper, PlotExtent plot, int rotation);

#endif

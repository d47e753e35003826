// SPDX-License-Identifier: MIT
// Where a job that reads the plot puts P1 and P2 after its rotation lines:
// a plot scaled to them (SC) keeps its proportions when the job turns it,
// and moves with the rest of the drawing when -fit moves it.
#ifndef ZELVO_HELD_POINTS_H
#define ZELVO_HELD_POINTS_H

#include "fit.h"

#include <cstddef>

// Room for the line with its NUL: IP with four numbers, SC with two, each
// with its line feed.
constexpr std::size_t kPointsText = 96;

// For a plot printed in the printer's own frame on `paper` (-hold), turned
// by `rotation`, the rotation the printer ends with. A quarter turn: IP puts
// P1 and P2 on the rectangle of the plot's own (the frame's corners)
// turned, as large as the turned frame holds it and in its middle, in whole
// plotter units. Half a turn: "IP;", the frame's corners. None unturned.
void printer_frame_points(int rotation, const Paper &paper, char (&line)[kPointsText]);

// For a plot fitted in a frame of the job's own, which turns with a plot
// the job turns by a quarter (see measure_frame): "IP;" where the plot is
// turned, the corners of the turned frame; none unturned.
void turned_frame_points(int rotation, char (&line)[kPointsText]);

// For a fitted plot whose drawing, measured in `from`'s frame, goes where
// `to` has it, in `to`'s frame: P1 and P2 where the frame of `from` had
// them, moved with the drawing (IP); where it moves, SC with a user unit of
// a plotter unit from there, which moves a plot drawn in plotter units the
// same way, and a plot's own SC scales to the moved P1 and P2. False where
// a number would be beyond HP-GL/2's integers, or the move more than 4096
// times the drawing's size, which the printer's single-precision
// arithmetic would not place to 1/4096 of it.
bool moved_points(int rotation, const DrawingBox &from, const DrawingBox &to,
                  char (&line)[kPointsText]);

#endif

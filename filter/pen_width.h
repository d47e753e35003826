// SPDX-License-Identifier: MIT
// The pen width: which widths a printer can use, and how the header writes one.
#ifndef ZELVO_PEN_WIDTH_H
#define ZELVO_PEN_WIDTH_H

#include <cstddef>

// Whether no printer can use the width: not finite, negative, or above
// 100 mm.
bool pen_width_refused(float width);

// Room for the text format_pen_width writes ("100.0" at the most).
constexpr std::size_t kPenWidthText = 24;

// Writes `width` (one that pen_width_refused does not refuse) rounded to a
// micrometre, ties to even, with the fewest decimals that show it: at least
// one and at most three ("0.2", "0.35", "1.0", "0.125"). The digits come from
// the single-precision value itself, so they are the same on every platform.
void format_pen_width(float width, char (&text)[kPenWidthText]);

#endif

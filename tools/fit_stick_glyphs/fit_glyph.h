// SPDX-License-Identifier: MIT
// Fitting one glyph's rows of the stick glyph table by coordinate descent:
// the glyph's moved points together, then each point alone, are moved
// across, up and diagonally a step at a time, first one way and then the
// other, and a move is kept while the agreement of the ink improves; then
// the step is halved, down to a 200th of the box of H. The points together come first
// because a glyph read off the printer's a little off is most often off
// as a whole, and a point of a curve moved alone can slide along the
// curve, where its ink hardly changes, rather than back to its place.
#ifndef ZELVO_TOOLS_FIT_GLYPH_H
#define ZELVO_TOOLS_FIT_GLYPH_H

#include "stroke_font.h"

#include <functional>
#include <optional>

// The agreement of the ink with the font's stick_moves as they are now;
// nothing where the page could not be rendered.
using InkScore = std::function<std::optional<double>(const StrokeFont &)>;

struct GlyphFit {
    int rows = 0;         // the rows of the character in the table
    double before = 0;    // the agreement as the rows were
    double after = 0;     // as they are fitted
    int renders = 0;      // the pages rendered
    bool failed = false;  // a page could not be rendered
    bool stopped = false; // the fit reached the most renders it may make
};

// Moves the rows of `c` in `font.stick_moves` (the rows' points stay: only
// where they stand changes, so the table stays one that fits the font).
GlyphFit fit_glyph(unsigned char c, StrokeFont &font, const InkScore &score);

#endif

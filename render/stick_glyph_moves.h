// SPDX-License-Identifier: MIT
// Points where the printer's stick glyphs part from Hershey's in design: a
// table fitted to one Hershey font, kept as data in stick_glyph_moves.txt
// (whose comments say why each glyph's points move) and built into the
// program from it. tools/fit_stick_glyphs fits the table to the PCL
// interpreter's ink and writes that file.
#ifndef ZELVO_RENDER_STICK_GLYPH_MOVES_H
#define ZELVO_RENDER_STICK_GLYPH_MOVES_H

#include <span>
#include <string_view>

// The point (x, y) of the font's glyph for `c`, font units from the
// glyph's left bound and up from the baseline, stands at (across, up):
// fractions of the box of the printer's H (stick_glyph_place.h).
struct StickMove {
    unsigned char c = 0;
    int x = 0;
    int y = 0;
    double across = 0;
    double up = 0;
};

// The most points of one glyph a table may move: '@', every point of
// Hershey's moved, has 48.
constexpr int kMaxStickMovesPerGlyph = 48;

struct StickMoveTable {
    std::string_view font; // the file name of the font the rows were fitted to
    std::span<const StickMove> moves;
};

// The table of stick_glyph_moves.txt.
StickMoveTable fitted_stick_moves();

#endif

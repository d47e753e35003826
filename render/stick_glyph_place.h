// SPDX-License-Identifier: MIT
// Where a Hershey glyph is drawn so that it takes the place of the printer's
// own stick glyph of the same character.
//
// The printer's stick font is not Hershey's: its capitals are a little
// lower, its lower case letters taller, its descenders shorter, its
// brackets and signs sit elsewhere. The places were measured on the PCL
// interpreter at 600 dpi, each character labelled alone at cap heights of
// 177 and 158 pixels, as fractions of the box of the printer's H: across,
// its width from the left of the H's strokes to their right; up, its
// height above the baseline, the centres of the strokes. The points of most
// glyphs were then fitted to the printer's ink at 100 dpi: the font's
// stick_moves (stick_glyph_moves.h).
#ifndef ZELVO_RENDER_STICK_GLYPH_PLACE_H
#define ZELVO_RENDER_STICK_GLYPH_PLACE_H

#include "point.h"
#include "stroke_font.h"

// How a glyph's points are mapped. Across: `left + (x - ink_left) * scale`.
// Up: piecewise linear through `knots` (font cap heights to label cap
// heights), continued past the first and last.
struct GlyphPlace {
    double left = 0;
    double ink_left = 0;
    double scale = 1; // glyph units per font unit across
    struct Knot {
        double from = 0;
        double to = 0;
    };
    Knot knots[4] = {{0, 0}, {1, 1}};
    int knot_count = 2;
    double unit = 1; // one over the font's cap height
    // Bars the printer's glyph has and Hershey's lacks, drawn after the
    // glyph's strokes: glyph units, across from `left` to `right` at `up`.
    struct Serif {
        double left = 0;
        double right = 0;
        double up = 0;
    };
    Serif serifs[2];
    int serif_count = 0;
    // Points the printer's design puts elsewhere than Hershey's, from the
    // font's stick_moves: the glyph's point `from` is drawn at `to`, glyph
    // units.
    struct Move {
        FontPoint from;
        Point to; // glyph units
    };
    Move moves[kMaxStickMovesPerGlyph];
    int move_count = 0;
    // A round glyph the printer draws squarer: the points of its bowl, font
    // units about `centre` in a box `half` wide and high each way, are
    // pushed out along their directions onto a superellipse.
    bool squarer = false;
    Point centre; // font units
    Point half;
};

// The place of `glyph`, the font's glyph for `c`. A fixed-pitch glyph is
// fitted across to the span the printer's glyph takes in its cell, and
// gains the printer's serifs and the points the font's stick_moves move; a proportional one starts
// at its own left bound, without either. Both are fitted up to the printer's heights.
GlyphPlace stick_glyph_place(const StrokeFont &font, const Glyph &glyph, unsigned char c,
                             bool fixed_pitch);

// A point of the glyph's own, font units, mapped to the label's glyph units:
// x across from the character's cell origin, y up from the baseline.
Point place_point(const GlyphPlace &place, FontPoint p);

#endif

// SPDX-License-Identifier: MIT
// A stroke font read at run time from a Hershey font file (.jhf), as Debian's
// hershey-fonts-data installs them. The labels of a plot are drawn with it,
// as a plotter draws its stick font.
//
// A .jhf file holds one glyph after another: a glyph number in columns 1-5,
// a count of coordinate pairs in columns 6-8, then that many pairs of
// characters, each the coordinate plus 'R'. The first pair is the glyph's
// left and right bounds, the others its points, y downwards; the pair " R"
// lifts the pen between strokes. A glyph's pairs may run on over following
// lines. The glyphs in file order are the characters from ' ' on.
#ifndef ZELVO_RENDER_STROKE_FONT_H
#define ZELVO_RENDER_STROKE_FONT_H

#include "stick_glyph_moves.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The font's own units: x from the glyph's left bound, y up from the
// baseline.
struct FontPoint {
    int x = 0;
    int y = 0;
};

struct Glyph {
    int advance = 0; // from the left bound to the right bound
    std::vector<std::vector<FontPoint>> strokes;
};

struct StrokeFont {
    std::vector<Glyph> glyphs; // glyphs[0] is ' '
    // The height of 'H', and the file's y of its bottom; the Hershey fonts'
    // usual 21 and 9 when the font has no 'H'.
    int cap_height = 0;
    int baseline = 0;
    // Where the printer's stick glyphs put points of these glyphs: the
    // table fitted to this font, given by give_stick_moves; none for a
    // font no table was fitted to.
    std::vector<StickMove> stick_moves;
};

struct StrokeFontResult {
    bool ok = false;
    StrokeFont font;
    std::string error; // why not, when not ok
};

// The folder the font files are read from: `argument` when it is given (not
// null and not empty), else the value of ZELVO_HERSHEY_DIR as the program
// read it, else Debian's folder.
std::string stroke_font_folder(const char *argument, const char *environment_value);

// The font of the text of a .jhf file.
StrokeFontResult parse_stroke_font(std::string_view text);

// The font of the file `name` in `folder`; the error names the file. The
// font the built-in table was fitted to (fitted_stick_moves) gets its
// moves, and fails to load where they do not fit it.
StrokeFontResult load_stroke_font(const std::string &folder,
                                  const std::string &name = "rowmans.jhf");

// Gives the font `moves`, each checked against its glyphs: false, with the
// font unchanged and `error` naming the character and the point, where a
// glyph lacks the point a row moves, a row moves a point another moves, or
// a glyph has more than kMaxStickMovesPerGlyph moved.
bool give_stick_moves(StrokeFont &font, std::span<const StickMove> moves, std::string &error);

// The glyph that draws `c`, or null when the font has none for it: only
// ' ' to '~' have one.
const Glyph *glyph_for(const StrokeFont &font, unsigned char c);

#endif

// Laying out the text of LB as strokes of the stroke font, in plotter units
// in the label's own frame: the interpreter gives the position and the
// label state, and applies user scaling and the plot's rotation (RO) to the
// strokes it gets back.
//
// The character cell of the stick font, as the PCL interpreter the tests
// compare with draws it: a character of nominal width w (SI, SR or the
// font's pitch) and cap height h takes a cell 1.25 w wide, the glyph in its
// left two thirds; lines are 1.92 h apart. A space for CP, BS and HT, and the
// length LO measures a line by, is w itself. In a vertical text path (DV 1
// and 3) characters are 1.44 h apart, as there, and lines a cell width.
// The cell and the slant turn with the label's direction as a whole (that
// interpreter draws labels at 90 degrees with other proportions).
#ifndef ZELVO_RENDER_LABEL_LAYOUT_H
#define ZELVO_RENDER_LABEL_LAYOUT_H

#include "stroke_font.h"

#include <cstddef>
#include <string_view>

struct PlotterPoint {
    double x = 0;
    double y = 0;
};

// Character size in plotter units: the nominal character width and the
// cap height. A negative one mirrors the characters.
struct CharacterSize {
    double width = 0;
    double height = 0;
};

// SI: centimetres.
CharacterSize absolute_character_size(double width_cm, double height_cm);
// SR: percentages of P2 - P1 (`p1_to_p2`, plotter units).
CharacterSize relative_character_size(double width_percent, double height_percent,
                                      PlotterPoint p1_to_p2);
// The size the selected font (SD or AD) gives without SI or SR: fixed
// spacing takes it from the pitch (characters per inch), proportional from
// the height in points.
CharacterSize font_character_size(bool proportional, double pitch, double height_points);
// DR: percentages of P2 - P1, as a direction; DI's run and rise are one as
// they are.
PlotterPoint relative_direction(double run_percent, double rise_percent, PlotterPoint p1_to_p2);

enum class TextPath { Right = 0, Down = 1, Left = 2, Up = 3 }; // DV's path

struct LabelSettings {
    CharacterSize size;
    bool proportional = false; // SD/AD kind 2 of the selected font
    double slant = 0;          // SL: the tangent of the characters' lean
    PlotterPoint direction{1, 0};
    TextPath path = TextPath::Right;
    bool reverse_line_feed = false; // DV's second parameter 1
    int origin = 1;                 // LO: 1-9, 11-19
    double extra_space = 0;         // ES: spaces added between characters
    double extra_lines = 0;         // ES: lines added between lines
    bool seven_bit = false;         // LM 1: the eighth bit of the text is dropped
};

// The pen, and the carriage-return point that CR goes back to.
struct LabelPosition {
    PlotterPoint pen;
    PlotterPoint carriage_return;
};

class LabelStrokeListener {
public:
    // One stroke of a glyph: `count` points, at least one, to join in turn.
    virtual void stroke(const PlotterPoint *points, std::size_t count) = 0;

protected:
    ~LabelStrokeListener() = default;
};

// Draws `text` (the label's bytes, without a terminator it does not print)
// from `start` and returns where the pen and the carriage-return point are
// after it. CR goes back to the carriage-return point's place on the line,
// LF moves both a line on, BS back a space, HT on five spaces; other control
// characters, and characters the font lacks, draw nothing; a byte without
// a glyph above '~' takes a cell.
LabelPosition layout_label(const StrokeFont &font, const LabelSettings &settings,
                           LabelPosition start, std::string_view text,
                           LabelStrokeListener &listener);

// CP spaces,lines: the pen moves `spaces` spaces along the text path and
// `lines` lines against the line feed; the carriage-return point moves with
// the lines.
LabelPosition character_plot(const LabelSettings &settings, LabelPosition from, double spaces,
                             double lines);
// CP without parameters: a carriage return and a line feed.
LabelPosition character_plot_new_line(const LabelSettings &settings, LabelPosition from);

// The width the stick font's lines are drawn with: it follows the
// character size, not the pen.
double stick_line_width(const LabelSettings &settings);

#endif

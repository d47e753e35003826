// SPDX-License-Identifier: MIT
// Laying out the text of LB as strokes of the stroke font, in plotter units
// in the label's own frame: the interpreter gives the position and the
// label state, and applies user scaling and the plot's rotation (RO) to the
// strokes it gets back.
//
// The character cell of the stick font, as the PCL interpreter the tests
// compare with draws it: SI and SR give a character of nominal width w and
// cap height h a cell 1.25 w wide, the glyph in its left two thirds; the
// font's pitch gives a cell of 1/pitch inch and a cap height as high. Lines
// are 1.92 h apart. A space for CP, BS and HT, and the length LO measures a
// line by, is w (the cell of a pitch). Along the path right without ES a
// glyph moves the pen by its own width, which is a 2048th more than the
// cell (683/1024 of the font's em, where the cell is two thirds of it). In
// a vertical text path (DV 1 and 3) characters are 1.44 h apart, as there,
// and lines 1.5 cells.
//
// That interpreter turns a glyph in a frame scaled to the cell and the cap
// height: the glyph and its advance are rotated to the direction (DI, DR,
// rounded to whole degrees) as if cell and cap height were equal, and then
// stretched back by them. A label at 90 degrees so takes h per character
// and its glyphs are 1.25 w high. SL leans the glyphs in that frame too.
// The moves of CP, BS, HT, LF and of LO's origin turn unstretched.
//
// The printer's stick glyphs lie each in its place across the box of its
// H (letters, digits and most signs fill it, lower case letters 0.86 of it
// from the same left, points and brackets at its sides); the Hershey
// glyphs are fitted to those places.
#ifndef ZELVO_RENDER_LABEL_LAYOUT_H
#define ZELVO_RENDER_LABEL_LAYOUT_H

#include "point.h"
#include "stroke_font.h"

#include <cstddef>
#include <string_view>

// Character size in plotter units: the nominal character width and the
// cap height. A negative one mirrors the characters.
struct CharacterSize {
    double width = 0;
    double height = 0;
    // The cell a fixed glyph takes, per width: 1.25 for SI and SR, 1 for
    // the size a font's pitch gives.
    double cell_per_width = 1.25;
};

// SI: centimetres.
CharacterSize absolute_character_size(double width_cm, double height_cm);
// SR: percentages of P2 - P1 (`p1_to_p2`, plotter units).
CharacterSize relative_character_size(double width_percent, double height_percent, Point p1_to_p2);
// The size the selected font (SD or AD) gives without SI or SR: fixed
// spacing takes it from the pitch (characters per inch), proportional from
// the height in points.
CharacterSize font_character_size(bool proportional, double pitch, double height_points);
// How wide a proportional typeface's characters are, per the Hershey
// glyphs': the stick font's proportional form (48, 50) and the outline
// fonts (Univers, 4148, and the rest). LO measures a label of a font's size
// by them; the glyphs drawn keep Hershey's widths.
double proportional_width_of(int typeface);
// DR: percentages of P2 - P1, as a direction; DI's run and rise are one as
// they are.
Point relative_direction(double run_percent, double rise_percent, Point p1_to_p2);

enum class TextPath { Right = 0, Down = 1, Left = 2, Up = 3 }; // DV's path

struct LabelSettings {
    CharacterSize size;
    bool proportional = false; // SD/AD kind 2 of the selected font
    int typeface = 48;         // SD/AD kind 7: 48 the stick font
    double font_height = 12;   // SD/AD kind 4: the height in points
    double slant = 0;          // SL: the tangent of the characters' lean
    Point direction{1, 0};
    TextPath path = TextPath::Right;
    bool reverse_line_feed = false; // DV's second parameter 1
    int origin = 1;                 // LO: 1-9, 11-19
    double extra_space = 0;         // ES: spaces added between characters
    double extra_lines = 0;         // ES: lines added between lines
    bool seven_bit = false;         // LM 1: the eighth bit of the text is dropped
};

// The pen, and the carriage-return point that CR goes back to.
struct LabelPosition {
    Point pen;
    Point carriage_return;
};

class LabelStrokeListener {
public:
    // One stroke of a glyph: `count` points, at least one, to join in turn;
    // `origin` is the glyph's origin.
    virtual void stroke(const Point *points, std::size_t count, Point origin) = 0;
    // A character of an outline font to be filled, '!' to '~': its origin
    // on the baseline, an em along the baseline and up from it, and the
    // printer's advance for it in ems.
    virtual void glyph(char c, Point origin, Point across, Point up, double advance) = 0;
    // An area of an outline glyph to fill: `count` corners, at least three.
    virtual void fill(const Point *points, std::size_t count) = 0;
    // The move a glyph of the stroke font makes the pen along the path
    // right, given its advance: the page may take it in steps of its own.
    virtual Point escapement(Point advance) { return advance; }
    // A character drawn in strokes: its origin, one cell along the
    // baseline and one cap height up, for who keeps the text.
    virtual void character(char, Point, Point, Point) {}

protected:
    ~LabelStrokeListener() = default;
};

// The printer fills the glyphs of its outline fonts (Univers, 4148, and the
// others SD and AD select). With `outline_glyphs`, a label in one of them,
// spaced proportionally, along a path right or left, is laid out with the
// advances of the printer's Univers, its em 1.5 cells across and 1.5 cap
// heights up (the font's height in points, where SI and SR do not size
// it), and each character is handed on whole, Roman-8's dash as the bar
// Univers draws for it; else such labels are drawn with the stroke font, as
// the stick font's are. Under SI and SR the printer keeps the space at the
// font's own height. Lines are 1.2 ems apart, and LO takes a line's top
// 0.75 em above its baseline.
//
// Draws `text` (the label's bytes, without a terminator it does not print)
// from `start` and returns where the pen and the carriage-return point are
// after it. CR goes back to the carriage-return point, LF moves both a line
// on, BS back a space, HT on five spaces; other control characters, and
// characters the font lacks, draw nothing; a byte without a glyph above '~'
// takes a cell. LO places each piece of the text up to and with a CR (an
// LF does not end one) by its length. At the end the pen is left where the
// last piece ends, less LO's move, where a label of that origin and path
// can be followed on (origins 1, 2, 3 along the path right, for one); else
// it goes to the carriage-return point.
LabelPosition layout_label(const StrokeFont &font, const LabelSettings &settings,
                           LabelPosition start, std::string_view text,
                           LabelStrokeListener &listener, bool outline_glyphs = false);

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

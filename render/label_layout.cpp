// SPDX-License-Identifier: MIT
#include "label_layout.h"

#include "stick_glyph_place.h"
#include "units.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kPlotterUnitsPerCm = 400;
// The stick font's cell and lines, measured on the PCL interpreter: see the
// header.
constexpr double kCellPerWidth = 1.25;
constexpr double kLinePerHeight = 1.92;
constexpr double kVerticalStepPerHeight = 1.44;
constexpr double kVerticalLinePerCell = 1.5;
constexpr double kSpacesPerTab = 5;
// A stick glyph moves the pen by its own width, 683/1024 of the font's em
// where the cell is two thirds of it: a 2048th more than the cell. Only the
// glyph's own move has it; LO, CP and ES measure by the cell.
constexpr double kStickEscapement = 2049.0 / 2048;
// The proportional typefaces' characters are narrower than Hershey's at the
// same cap height: labels of ten zeros and of "sin(x)/x abcdefghij" at 12
// point took 0.69 of the length in the stick font's proportional form (the
// arc font), 0.875 in Univers and the interpreter's other outline fonts.
constexpr int kStickTypeface = 48;
constexpr int kArcTypeface = 50;
constexpr double kArcWidth = 0.69;
constexpr double kOutlineWidth = 0.875;
// A proportional font's cap height is two thirds of its point size.
constexpr double kCapPerPointSize = 2.0 / 3.0;
// The em of an outline font in glyph units, across and up.
constexpr double kGlyphUnitsPerEm = 1 / kCapPerPointSize;
// LO: the top of a line is its line distance / 2.24 above the baseline (6/7
// of the cap height along the path right); the origins 11-19 lie a third of
// that further out on each axis.
constexpr double kTopPerLine = 1 / 2.24;
// The outline fonts' lines are 1.2 ems apart, and LO takes the top of a line
// 0.75 em above the baseline.
constexpr double kOutlineLinePerEm = 1.2;
constexpr double kOutlineTopPerEm = 0.75;
constexpr double kOutPerTop = 0.33;
// The line width of the stick font, per the smaller of cell width and cap
// height.
constexpr double kLineWidthPerSize = 0.09;

Point operator+(Point a, Point b)
{
    return {a.x + b.x, a.y + b.y};
}

Point operator-(Point a, Point b)
{
    return {a.x - b.x, a.y - b.y};
}

// The steps of a label, from its settings. Glyph units are the cell width
// across and the cap height up, before the direction turns them.
struct LabelGeometry {
    double cos = 1; // the direction, in whole degrees
    double sin = 0;
    double cell = 0; // plotter units per glyph unit, signed
    double cap = 0;
    double slant = 0;
    TextPath path = TextPath::Right;
    bool vertical = false;
    bool proportional = false;
    double line_feed = 1;     // -1 when DV reverses it
    double width = 0;         // a fixed character's (and a space's) width, with ES
    double extra_width = 0;   // ES's spaces added to a proportional character
    double line = 0;          // the distance of lines, with ES's lines
    double top = 0;           // where LO takes a line's top, above the baseline
    double vertical_line = 0; // LF's move in a vertical path
    // The width LO measures a proportional character by, per Hershey's.
    double proportional_width = 1;
    bool size_given = false; // by SI or SR, not by the font
    bool outline = false;    // the characters are filled outline glyphs
    // The selected font's own height, in plotter units: under SI and SR the
    // printer keeps an outline font's space at that size.
    double font_em = 0;
};

LabelGeometry geometry_of(const LabelSettings &s, bool outline_glyphs = false)
{
    LabelGeometry f;
    // The direction turns in whole degrees, as the interpreter rounds it.
    const double degrees =
        std::round(std::atan2(s.direction.y, s.direction.x) * 180 / std::numbers::pi);
    const double radians = degrees * std::numbers::pi / 180;
    f.cos = std::cos(radians);
    f.sin = std::sin(radians);
    f.cell = s.size.cell_per_width * s.size.width;
    f.cap = s.size.height;
    f.slant = s.slant;
    f.path = s.path;
    f.vertical = s.path == TextPath::Down || s.path == TextPath::Up;
    f.proportional = s.proportional;
    f.size_given = s.size.cell_per_width == kCellPerWidth;
    // The glyphs themselves keep Hershey's width: narrowed, their thin
    // strokes lose more of the interpreter's filled outlines than their
    // places gain. SI and SR give every character its width anyway.
    f.proportional_width = proportional_width_of(s.typeface);
    f.line_feed = s.reverse_line_feed ? -1 : 1;
    // A reversed line feed swaps ES's spaces and lines, as the interpreter
    // does.
    const double extra_x = s.reverse_line_feed ? s.extra_lines : s.extra_space;
    const double extra_y = s.reverse_line_feed ? s.extra_space : s.extra_lines;
    f.width = s.size.width * (1 + extra_x);
    f.extra_width = s.size.width * extra_x;
    const double per_height = f.vertical ? kVerticalStepPerHeight : kLinePerHeight;
    f.line = std::abs(s.size.height) * per_height * (1 + extra_y);
    f.top = f.line * kTopPerLine;
    f.vertical_line = kVerticalLinePerCell * f.cell;
    f.outline = outline_glyphs && s.typeface != kStickTypeface && s.typeface != kArcTypeface
                && f.proportional && !f.vertical && f.cell != 0;
    if (f.outline) {
        const double em = kGlyphUnitsPerEm * std::abs(s.size.height);
        f.line = kOutlineLinePerEm * em * (1 + extra_y);
        f.top = kOutlineTopPerEm * em;
        f.font_em = s.font_height * kPlotterUnitsPerInch / kPointsPerInch;
    }
    return f;
}

// A move in the label's frame (along, up), turned to the direction.
Point turned(const LabelGeometry &f, double along, double up)
{
    return {f.cos * along - f.sin * up, f.sin * along + f.cos * up};
}

// A point in glyph units, leaned, turned and scaled to plotter units.
Point glyph_offset(const LabelGeometry &f, double u, double v)
{
    const double leaned = u + f.slant * v;
    return {f.cell * (f.cos * leaned - f.sin * v), f.cap * (f.sin * leaned + f.cos * v)};
}

unsigned char character_of(char byte, const LabelSettings &s)
{
    const auto c = static_cast<unsigned char>(byte);
    return s.seven_bit ? static_cast<unsigned char>(c & 0x7f) : c;
}

bool printing(unsigned char c)
{
    return c >= ' ' && c != 0x7f;
}

// Roman-8's dash, the labels' default symbol set's: plotutils writes its
// minus signs with it.
constexpr unsigned char kRoman8Dash = 0xf6;

const Glyph *drawn_glyph(const StrokeFont &font, unsigned char c)
{
    if (c == kRoman8Dash)
        return glyph_for(font, '-');
    return c <= '~' ? glyph_for(font, c) : nullptr;
}

// The printer's Univers draws Roman-8's dash as a bar, in ems from the
// glyph's origin: measured at 600 dpi on the interpreter, 72 points.
constexpr double kDashStart = 0.233;
constexpr double kDashEnd = 0.793;
constexpr double kDashLow = 0.325;
constexpr double kDashHigh = 0.39;

// The advances of the printer's Univers, in 54ths of an em, for ' ' to '~':
// labels of each character once and eleven times at 12 points, measured at
// 600 dpi on the interpreter.
constexpr unsigned char kUniversAdvance[95] = {
    18, 18, 27, 34, 34, 54, 41, 18, 18, 18, 34, 54, 18, 18, 18, 18, // ' ' to '/'
    34, 34, 34, 34, 34, 34, 34, 34, 34, 34, 18, 18, 54, 54, 54, 28, // '0' to '?'
    54, 40, 34, 38, 39, 31, 30, 40, 39, 15, 30, 36, 29, 49, 39, 41, // '@' to 'O'
    32, 42, 35, 35, 34, 39, 39, 54, 39, 37, 33, 18, 18, 18, 27, 27, // 'P' to '_'
    18, 29, 31, 29, 31, 29, 20, 31, 31, 13, 13, 29, 13, 47, 31, 31, // '`' to 'o'
    31, 31, 19, 27, 20, 31, 30, 47, 30, 30, 26, 24, 27, 24, 54,     // 'p' to '~'
};

// Roman-8's dash takes an em.
constexpr unsigned char kUniversDashAdvance = 54;

// An outline character's advance in ems; one the font lacks takes a
// space's.
double outline_advance(unsigned char c)
{
    if (c == kRoman8Dash)
        return kUniversDashAdvance / 54.0;
    return kUniversAdvance[c >= ' ' && c <= '~' ? c - ' ' : 0] / 54.0;
}

// A proportional glyph's advance in glyph units; a character without a
// glyph takes a space's.
double proportional_advance(const StrokeFont &font, unsigned char c)
{
    const Glyph *glyph = drawn_glyph(font, c);
    if (glyph == nullptr)
        glyph = glyph_for(font, ' ');
    return glyph != nullptr ? static_cast<double>(glyph->advance) / font.cap_height : 1;
}

// The width of a printing character in plotter units, as LO measures it:
// a proportional glyph's own only where the font's size sizes it (SI and SR
// give every character their width).
double width_of(const StrokeFont &font, const LabelGeometry &f, unsigned char c)
{
    if (f.outline && c == ' ' && f.size_given)
        return outline_advance(c) * f.font_em;
    if (f.outline)
        return outline_advance(c) * kGlyphUnitsPerEm * f.cell + (c == ' ' ? 0 : f.extra_width);
    if (!f.proportional || f.size_given)
        return f.width;
    return proportional_advance(font, c) * f.cell + (c == ' ' ? 0 : f.extra_width);
}

// How far a printing character moves the pen along its baseline, in glyph
// units, along the path right: a cell, or with ES the width and its extra.
double glyph_advance(const StrokeFont &font, const LabelGeometry &f, unsigned char c)
{
    if (f.extra_width != 0 && f.cell != 0)
        return width_of(font, f, c) / f.cell;
    return f.proportional ? proportional_advance(font, c) : kStickEscapement;
}

// The pen's move for CP, BS, HT and LF: `spaces` along the path and
// `lines` against the line feed, turned but not stretched. A move with
// lines takes the carriage-return point along, spaces and all, as the
// interpreter does. A step along the direction is `width` long (a space,
// but LF's line in a vertical path), one across it a line.
LabelPosition move_by_characters(const LabelGeometry &f, LabelPosition at, double spaces,
                                 double lines, double width)
{
    lines *= f.line_feed;
    double along = 0;
    double across = 0;
    switch (f.path) {
    case TextPath::Right:
        along = spaces, across = lines;
        break;
    case TextPath::Down:
        along = lines, across = -spaces;
        break;
    case TextPath::Left:
        along = -spaces, across = -lines;
        break;
    case TextPath::Up:
        along = -lines, across = spaces;
        break;
    }
    const Point move = turned(f, along * width, across * f.line);
    at.pen = at.pen + move;
    if (lines != 0)
        at.carriage_return = at.carriage_return + move;
    return at;
}

// LO's measure of a piece of text: its length along the path right, and
// the height a path down or up takes.
struct Extent {
    double length = 0;
    double height = 0;
};

Extent extent_of(const StrokeFont &font, const LabelSettings &s, const LabelGeometry &f,
                 std::string_view piece)
{
    Extent e;
    bool line_start = true;
    for (const char byte : piece) {
        const unsigned char c = character_of(byte, s);
        if (c == '\b') {
            if (f.vertical)
                e.height = std::max(0.0, e.height - f.line);
            else
                e.length = std::max(0.0, e.length - f.width);
            continue;
        }
        if (c == '\n')
            line_start = true;
        if (c < ' ' && c != '\t')
            continue;
        const double width = c == '\t' ? kSpacesPerTab * f.width
                             : f.proportional && !f.size_given && !f.outline
                                 ? f.proportional_width * width_of(font, f, c)
                                 : width_of(font, f, c);
        if (f.vertical) {
            e.length = std::max(e.length, width);
            if (!line_start)
                e.height += f.line;
            line_start = false;
        } else {
            e.length += width;
            e.height = std::max(e.height, f.line);
        }
    }
    return e;
}

// Where LO puts a piece's start, from the pen.
Point origin_offset(const LabelSettings &s, const LabelGeometry &f, Extent e)
{
    const int origin = s.origin;
    const double top = f.top;
    const double out = origin > 10 && origin != 15 ? kOutPerTop * top : 0;
    const int column = ((origin % 10) - 1) / 3; // start, middle, end of the line
    const int row = ((origin % 10) - 1) % 3;    // baseline, middle, top
    const double along = column * 0.5 * e.length + (column - 1) * out;
    const double up = row * 0.5 * top + (row - 1) * out;
    Point offset = turned(f, along, up);
    // The interpreter leans the offset as it turned, and moves a path left
    // or down by the piece's extent on the plotter's own axes.
    offset.x += s.slant * offset.y;
    if (f.path == TextPath::Left)
        offset.x -= e.length;
    if (f.path == TextPath::Down)
        offset.y -= e.height;
    return {-offset.x, -offset.y};
}

// Whether the pen stays where a label of this origin and path ends, for
// another to follow on; else it goes to the carriage-return point. Bit n
// is text path n.
bool can_follow_on(int origin, TextPath path)
{
    static constexpr unsigned kPathsByOrigin[10] = {0, 9, 1, 3, 8, 0, 2, 12, 4, 6};
    return (kPathsByOrigin[origin % 10] >> static_cast<unsigned>(path) & 1) != 0;
}

void draw_glyph(const StrokeFont &font, const Glyph &glyph, unsigned char c, const LabelGeometry &f,
                Point at, LabelStrokeListener &listener, std::vector<Point> &points)
{
    const GlyphPlace place = stick_glyph_place(font, glyph, c, !f.proportional || f.vertical);
    for (const std::vector<FontPoint> &stroke : glyph.strokes) {
        points.clear();
        for (const FontPoint &p : stroke) {
            const Point placed = place_point(place, p);
            points.push_back(at + glyph_offset(f, placed.x, placed.y));
        }
        listener.stroke(points.data(), points.size(), at);
    }
    for (int i = 0; i < place.serif_count; ++i) {
        const GlyphPlace::Serif &serif = place.serifs[i];
        const Point bar[2] = {at + glyph_offset(f, serif.left, serif.up),
                              at + glyph_offset(f, serif.right, serif.up)};
        listener.stroke(bar, 2, at);
    }
    if (c > ' ' && c <= '~')
        listener.character(static_cast<char>(c), at, glyph_offset(f, 1, 0), glyph_offset(f, 0, 1));
}

// Hands on an outline character to be filled at `at`.
void mark_glyph(const LabelGeometry &f, Point at, unsigned char c, LabelStrokeListener &listener)
{
    if (c == kRoman8Dash) {
        const auto corner = [&](double along, double up) {
            return at + glyph_offset(f, along * kGlyphUnitsPerEm, up * kGlyphUnitsPerEm);
        };
        const Point bar[] = {corner(kDashStart, kDashLow), corner(kDashEnd, kDashLow),
                             corner(kDashEnd, kDashHigh), corner(kDashStart, kDashHigh)};
        listener.fill(bar, 4);
        return;
    }
    if (c <= ' ' || c > '~')
        return;
    listener.glyph(static_cast<char>(c), at, glyph_offset(f, kGlyphUnitsPerEm, 0),
                   glyph_offset(f, 0, kGlyphUnitsPerEm), outline_advance(c));
}

// Where a glyph drawn at `pen` along the path right leaves the pen,
// `advance` glyph units on: with ES the printer puts the pen a width on from
// the glyph's start; else the glyph's own move takes it on, in the page's
// steps.
Point moved_on(const LabelGeometry &f, Point pen, double advance, LabelStrokeListener &listener)
{
    const Point move = glyph_offset(f, advance, 0);
    return pen + (f.extra_width != 0 ? move : listener.escapement(move));
}

// Draws a printing character from the pen and moves the pen on.
Point print_character(const StrokeFont &font, const LabelGeometry &f, Point pen, unsigned char c,
                      LabelStrokeListener &listener, std::vector<Point> &points)
{
    if (f.outline) {
        // Only paths right and left lay out outline characters.
        const double advance = width_of(font, f, c) / f.cell;
        if (f.path == TextPath::Left)
            pen = pen + glyph_offset(f, -advance, 0);
        mark_glyph(f, pen, c, listener);
        return f.path == TextPath::Left ? pen : moved_on(f, pen, advance, listener);
    }
    const Glyph *glyph = drawn_glyph(font, c);
    const double step = f.line / f.cap;
    switch (f.path) {
    case TextPath::Right:
        if (glyph != nullptr)
            draw_glyph(font, *glyph, c, f, pen, listener, points);
        return moved_on(f, pen, glyph_advance(font, f, c), listener);
    case TextPath::Left: {
        // Back by the character's width first, the glyph drawn there.
        const Point start =
            pen + glyph_offset(f, f.cell != 0 ? -width_of(font, f, c) / f.cell : 0, 0);
        if (glyph != nullptr)
            draw_glyph(font, *glyph, c, f, start, listener, points);
        return start;
    }
    case TextPath::Down:
    case TextPath::Up:
        if (glyph != nullptr)
            draw_glyph(font, *glyph, c, f, pen, listener, points);
        return pen + glyph_offset(f, 0, f.path == TextPath::Down ? -step : step);
    }
    return pen;
}

// Lays out a piece of text, ending with its CR if it has one, from LO's
// place for it; returns LO's move.
Point layout_piece(const StrokeFont &font, const LabelSettings &s, const LabelGeometry &f,
                   LabelPosition &at, std::string_view piece, LabelStrokeListener &listener,
                   std::vector<Point> &points)
{
    const Point offset = origin_offset(s, f, extent_of(font, s, f, piece));
    at.pen = at.pen + offset;
    for (const char byte : piece) {
        const unsigned char c = character_of(byte, s);
        if (c == '\r')
            at.pen = at.carriage_return;
        else if (c == '\n')
            at = move_by_characters(f, at, 0, -1, f.vertical ? f.vertical_line : f.width);
        else if (c == '\b')
            at = move_by_characters(f, at, -1, 0, f.width);
        else if (c == '\t')
            at = move_by_characters(f, at, kSpacesPerTab, 0, f.width);
        else if (printing(c))
            at.pen = print_character(font, f, at.pen, c, listener, points);
    }
    return offset;
}

} // namespace

double proportional_width_of(int typeface)
{
    return typeface == kStickTypeface || typeface == kArcTypeface ? kArcWidth : kOutlineWidth;
}

CharacterSize absolute_character_size(double width_cm, double height_cm)
{
    return {width_cm * kPlotterUnitsPerCm, height_cm * kPlotterUnitsPerCm, kCellPerWidth};
}

CharacterSize relative_character_size(double width_percent, double height_percent, Point p1_to_p2)
{
    return {width_percent / 100 * p1_to_p2.x, height_percent / 100 * p1_to_p2.y, kCellPerWidth};
}

CharacterSize font_character_size(bool proportional, double pitch, double height_points)
{
    if (proportional) {
        const double cap = kCapPerPointSize * height_points * kPlotterUnitsPerInch / kPointsPerInch;
        return {cap, cap, 1};
    }
    const double cell = pitch > 0 ? kPlotterUnitsPerInch / pitch : 0;
    return {cell, cell, 1};
}

Point relative_direction(double run_percent, double rise_percent, Point p1_to_p2)
{
    return {run_percent / 100 * p1_to_p2.x, rise_percent / 100 * p1_to_p2.y};
}

LabelPosition layout_label(const StrokeFont &font, const LabelSettings &settings,
                           LabelPosition start, std::string_view text,
                           LabelStrokeListener &listener, bool outline_glyphs)
{
    const LabelGeometry f = geometry_of(settings, outline_glyphs);
    LabelPosition at = start;
    std::vector<Point> points;
    // Each piece up to and with a CR is placed by LO on its own; the rest
    // after the last CR, empty or not, is the last piece.
    Point offset;
    std::size_t from = 0;
    for (;;) {
        std::size_t end = from;
        while (end < text.size() && character_of(text[end], settings) != '\r')
            ++end;
        const bool last = end == text.size();
        offset = layout_piece(font, settings, f, at, text.substr(from, end + (last ? 0 : 1) - from),
                              listener, points);
        if (last)
            break;
        from = end + 1;
    }
    if (can_follow_on(settings.origin, settings.path))
        at.pen = at.pen - offset;
    else
        at.pen = at.carriage_return;
    return at;
}

LabelPosition character_plot(const LabelSettings &settings, LabelPosition from, double spaces,
                             double lines)
{
    const LabelGeometry f = geometry_of(settings);
    return move_by_characters(f, from, spaces, lines, f.width);
}

LabelPosition character_plot_new_line(const LabelSettings &settings, LabelPosition from)
{
    from.pen = from.carriage_return;
    return character_plot(settings, from, 0, -1);
}

double stick_line_width(const LabelSettings &settings)
{
    return kLineWidthPerSize
           * std::min(std::abs(settings.size.cell_per_width * settings.size.width),
                      std::abs(settings.size.height));
}

#include "label_layout.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kPlotterUnitsPerCm = 400;
constexpr double kPlotterUnitsPerInch = 1016;
constexpr double kPointsPerInch = 72;
// The stick font's cell, measured on the PCL interpreter: see the header.
constexpr double kCellPerWidth = 1.25;
constexpr double kLinePerHeight = 1.92;
constexpr double kVerticalStepPerHeight = 1.44;
constexpr double kSpacesPerTab = 5;
// A proportional font's cap height is two thirds of its point size.
constexpr double kCapPerPointSize = 2.0 / 3.0;
// LO: the top of a line is 6/7 of the cap height above its baseline, and
// the origins 11-19 lie 0.2 sqrt(2) cap heights further out on each axis.
constexpr double kTopPerHeight = 6.0 / 7.0;
constexpr double kOffsetPerHeight = 0.28284271247461901;
// The line width of the stick font, per the smaller of cell width and cap
// height.
constexpr double kLineWidthPerSize = 0.09;

PlotterPoint operator+(PlotterPoint a, PlotterPoint b)
{
    return {a.x + b.x, a.y + b.y};
}

PlotterPoint operator-(PlotterPoint a, PlotterPoint b)
{
    return {a.x - b.x, a.y - b.y};
}

PlotterPoint operator*(double k, PlotterPoint a)
{
    return {k * a.x, k * a.y};
}

PlotterPoint turned_left(PlotterPoint v)
{
    return {-v.y, v.x};
}

PlotterPoint turned_right(PlotterPoint v)
{
    return {v.y, -v.x};
}

// The unit vectors and steps a label is laid out with.
struct Frame {
    PlotterPoint along; // the characters' baseline direction (DI, DR)
    PlotterPoint up;    // the characters' up
    PlotterPoint path;  // where the next character goes
    PlotterPoint path_up;
    PlotterPoint line_feed;
    bool vertical = false;
    double space = 0;   // CP's, BS's and HT's space, signed
    double cell = 0;    // a fixed character's step, signed
    double line = 0;    // the distance between lines, signed
    double scale_x = 0; // font units to plotter units, signed
    double scale_y = 0;
    double glyph_at = 0; // where in its cell a fixed glyph's middle is
};

Frame frame_of(const StrokeFont &font, const LabelSettings &s)
{
    Frame f;
    const double length = std::hypot(s.direction.x, s.direction.y);
    f.along = length > 0 ? (1 / length) * s.direction : PlotterPoint{1, 0};
    f.up = turned_left(f.along);
    switch (s.path) {
    case TextPath::Right:
        f.path = f.along;
        break;
    case TextPath::Down:
        f.path = -1 * f.up;
        break;
    case TextPath::Left:
        f.path = -1 * f.along;
        break;
    case TextPath::Up:
        f.path = f.up;
        break;
    }
    f.vertical = s.path == TextPath::Down || s.path == TextPath::Up;
    f.path_up = turned_left(f.path);
    f.line_feed = s.reverse_line_feed ? turned_left(f.path) : turned_right(f.path);
    const double w = s.size.width;
    const double h = s.size.height;
    const double cell = kCellPerWidth * w;
    f.space = f.vertical ? kVerticalStepPerHeight * h : w;
    f.cell = (f.vertical ? kVerticalStepPerHeight * h : cell) + s.extra_space * f.space;
    f.line = (f.vertical ? cell : kLinePerHeight * h) * (1 + s.extra_lines);
    f.scale_x = cell / font.cap_height;
    f.scale_y = h / font.cap_height;
    f.glyph_at = cell / 3;
    return f;
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

// How far a printing character moves the pen along the path.
double step_of(const StrokeFont &font, const LabelSettings &s, const Frame &f, unsigned char c)
{
    if (!s.proportional || f.vertical)
        return f.cell;
    const Glyph *glyph = glyph_for(font, c);
    if (glyph == nullptr)
        glyph = glyph_for(font, ' ');
    const double advance = glyph != nullptr ? glyph->advance * f.scale_x : f.cell;
    return advance + s.extra_space * f.space;
}

// The pen's move for a control character within a line; false for the
// ones that end a line or do nothing.
bool control_step(unsigned char c, const Frame &f, double &step)
{
    if (c == '\b') {
        step = -f.space;
        return true;
    }
    if (c == '\t') {
        step = kSpacesPerTab * f.space;
        return true;
    }
    return false;
}

bool ends_line(unsigned char c)
{
    return c == '\r' || c == '\n';
}

// The length of the line that starts at `text`, as LO measures it: the
// pen's travel over it.
double line_length(const StrokeFont &font, const LabelSettings &s, const Frame &f,
                   std::string_view text)
{
    double length = 0;
    for (const char byte : text) {
        const unsigned char c = character_of(byte, s);
        if (ends_line(c))
            break;
        double step = 0;
        if (printing(c))
            length += step_of(font, s, f, c);
        else if (control_step(c, f, step))
            length += step;
    }
    return length;
}

// Where along the line the origin sits: 0 at its start, 1 at its end; and
// across it: 0 at the baseline, 1 at the top.
double along_fraction(int origin)
{
    return ((origin % 10) - 1) / 3 * 0.5;
}

double across_fraction(int origin)
{
    return ((origin % 10) - 1) % 3 * 0.5;
}

// The offset from the pen at which a line of `length` is drawn.
PlotterPoint line_offset(const LabelSettings &s, const Frame &f, double length)
{
    const int origin = s.origin;
    const double along = along_fraction(origin);
    const double across = across_fraction(origin);
    // LO measures a line by its characters' nominal width, not by the cells
    // they take (4/5 of them).
    PlotterPoint offset = (-along * length / kCellPerWidth) * f.path
                          + (-across * kTopPerHeight * s.size.height) * f.path_up;
    if (origin > 10) {
        const double out = kOffsetPerHeight * s.size.height;
        offset = offset + ((1 - 2 * along) * out) * f.path + ((1 - 2 * across) * out) * f.path_up;
    }
    return offset;
}

void draw_glyph(const Glyph &glyph, const LabelSettings &s, const Frame &f, PlotterPoint cell,
                LabelStrokeListener &listener, std::vector<PlotterPoint> &points)
{
    // A fixed-space glyph is centred in the left two thirds of its cell.
    const double left =
        s.proportional && !f.vertical ? 0 : f.glyph_at - glyph.advance * f.scale_x / 2;
    for (const std::vector<FontPoint> &stroke : glyph.strokes) {
        points.clear();
        for (const FontPoint &p : stroke) {
            const double y = p.y * f.scale_y;
            const double x = left + p.x * f.scale_x + s.slant * y;
            points.push_back(cell + x * f.along + y * f.up);
        }
        listener.stroke(points.data(), points.size());
    }
}

} // namespace

CharacterSize absolute_character_size(double width_cm, double height_cm)
{
    return {width_cm * kPlotterUnitsPerCm, height_cm * kPlotterUnitsPerCm};
}

CharacterSize relative_character_size(double width_percent, double height_percent,
                                      PlotterPoint p1_to_p2)
{
    return {width_percent / 100 * p1_to_p2.x, height_percent / 100 * p1_to_p2.y};
}

CharacterSize font_character_size(bool proportional, double pitch, double height_points)
{
    if (proportional) {
        const double cap = kCapPerPointSize * height_points * kPlotterUnitsPerInch / kPointsPerInch;
        return {cap / kCellPerWidth, cap};
    }
    const double cell = pitch > 0 ? kPlotterUnitsPerInch / pitch : 0;
    return {cell / kCellPerWidth, cell};
}

PlotterPoint relative_direction(double run_percent, double rise_percent, PlotterPoint p1_to_p2)
{
    return {run_percent / 100 * p1_to_p2.x, rise_percent / 100 * p1_to_p2.y};
}

LabelPosition layout_label(const StrokeFont &font, const LabelSettings &settings,
                           LabelPosition start, std::string_view text,
                           LabelStrokeListener &listener)
{
    const Frame f = frame_of(font, settings);
    LabelPosition at = start;
    std::vector<PlotterPoint> points;
    bool line_start = true;
    double length = 0;
    PlotterPoint offset;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (line_start) {
            length = line_length(font, settings, f, text.substr(i));
            offset = line_offset(settings, f, length);
            line_start = false;
        }
        const unsigned char c = character_of(text[i], settings);
        double step = 0;
        if (ends_line(c)) {
            line_start = true;
            length = 0;
        }
        if (c == '\r') {
            at.pen = at.carriage_return;
        } else if (c == '\n') {
            at.pen = at.pen + f.line * f.line_feed;
            at.carriage_return = at.carriage_return + f.line * f.line_feed;
        } else if (printing(c)) {
            const Glyph *glyph = c <= '~' ? glyph_for(font, c) : nullptr;
            if (glyph != nullptr)
                draw_glyph(*glyph, settings, f, at.pen + offset, listener, points);
            at.pen = at.pen + step_of(font, settings, f, c) * f.path;
        } else if (control_step(c, f, step)) {
            at.pen = at.pen + step * f.path;
        }
    }
    // The pen ends where the last line ends, moved back along the path as
    // the origin moved that line, but not across it.
    at.pen = at.pen - (along_fraction(settings.origin) * length) * f.path;
    return at;
}

LabelPosition character_plot(const LabelSettings &settings, LabelPosition from, double spaces,
                             double lines)
{
    // CP's spaces take no font: a stroke font is not needed for them.
    const StrokeFont none{{}, 1, 0};
    const Frame f = frame_of(none, settings);
    const PlotterPoint lines_move = (-lines * f.line) * f.line_feed;
    from.pen =
        from.pen + (spaces * (f.space + settings.extra_space * f.space)) * f.path + lines_move;
    from.carriage_return = from.carriage_return + lines_move;
    return from;
}

LabelPosition character_plot_new_line(const LabelSettings &settings, LabelPosition from)
{
    from.pen = from.carriage_return;
    return character_plot(settings, from, 0, -1);
}

double stick_line_width(const LabelSettings &settings)
{
    return kLineWidthPerSize
           * std::min(std::abs(kCellPerWidth * settings.size.width),
                      std::abs(settings.size.height));
}

// SPDX-License-Identifier: MIT
// Labels: LB's text with DT's terminator, SM's symbols, the label's size,
// direction, origin and spacing (SI SR DI DR DV LO SL ES LM), its fonts (SD
// AD SS SA) and CP; and the strokes and glyphs a label draws.
#include "hpgl_instructions.h"

#include <algorithm>
#include <cmath>

namespace {

// A label's text is laid out whole, for LO to centre its lines; a longer one
// goes out in pieces of this size.
constexpr std::size_t kLabelPiece = 4096;

// What the label layout draws, on the sheet. The strokes of a label go to
// the sink as one path, drawn with one pen: a page of many small marks
// costs a document's page analysis far more than one of few large ones.
class LabelMarks : public LabelStrokeListener {
public:
    explicit LabelMarks(Plotter &p) : p_(p) {}

    void stroke(const Point *points, std::size_t count, Point origin) override;
    void glyph(char c, Point origin, Point across, Point up, double advance) override;
    void fill(const Point *points, std::size_t count) override;
    Point escapement(Point advance) override;
    void character(char c, Point origin, Point across, Point up) override;
    // Draws the strokes gathered so far, with their text for a search.
    void flush();

private:
    Plotter &p_;
    Path strokes_;
    Pen pen_;
    HiddenText text_;
};

bool on_pixels(const Plotter &p)
{
    return p.options.pcl_job && p.options.raster_pixel > 0;
}

void LabelMarks::stroke(const Point *points, std::size_t count, Point origin)
{
    Pen pen = current_pen(p_);
    if (transparent(p_, pen.colour))
        return;
    // On a raster the printer draws a glyph from its font cache, and with
    // TR 0 straight onto the page.
    Point shift{0, 0};
    if (on_pixels(p_) && p_.state.source_transparent)
        shift = cached_glyph_shift(p_.plotter_to_sheet.apply(origin), p_.options.raster_pixel);
    SubPath &sub = strokes_.emplace_back();
    for (std::size_t i = 0; i < count; ++i) {
        const Point at = p_.plotter_to_sheet.apply(points[i]);
        sub.points.push_back({at.x + shift.x, at.y + shift.y});
    }
    if (count == 1)
        sub.points.push_back(sub.points[0]);
    pen.dashes.clear();
    pen.width = stick_line_width(p_.state.label) * p_.plotter_to_sheet.scale();
    pen.end = LineEnd::Round;
    pen.join = LineJoin::Round;
    pen.glyph = true;
    pen_ = pen;
}

void LabelMarks::character(char c, Point origin, Point across, Point up)
{
    if (strokes_.empty())
        return; // transparent, or nothing drawn
    const Point at = p_.plotter_to_sheet.apply(origin);
    text_.characters += c;
    text_.origins.push_back(at);
    text_.across = p_.plotter_to_sheet.apply_vector(across);
    text_.up = p_.plotter_to_sheet.apply_vector(up);
}

void LabelMarks::flush()
{
    if (strokes_.empty())
        return;
    p_.sink.stroke(strokes_, pen_);
    p_.sink.hidden_text(text_);
    strokes_.clear();
    text_ = {};
}

// On a raster the printer moves the pen glyph by glyph in its fixed point.
Point LabelMarks::escapement(Point advance)
{
    if (!on_pixels(p_))
        return advance;
    const Point on_page =
        fixed_point_advance(p_.plotter_to_sheet.apply_vector(advance), p_.options.raster_pixel);
    return p_.plotter_to_sheet.inverse().apply_vector(on_page);
}

void LabelMarks::fill(const Point *points, std::size_t count)
{
    flush();
    const Colour colour = current_pen(p_).colour;
    if (transparent(p_, colour))
        return;
    Path path(1);
    for (std::size_t i = 0; i < count; ++i)
        path[0].points.push_back(p_.plotter_to_sheet.apply(points[i]));
    path[0].closed = true;
    Fill fill;
    fill.rule = FillRule::NonZero;
    fill.colour = colour;
    p_.sink.fill(path, fill);
}

void LabelMarks::glyph(char c, Point origin, Point across, Point up, double advance)
{
    flush();
    const Colour colour = current_pen(p_).colour;
    if (transparent(p_, colour))
        return;
    GlyphMark mark;
    mark.character = c;
    mark.origin = p_.plotter_to_sheet.apply(origin);
    mark.across = p_.plotter_to_sheet.apply_vector(across);
    mark.up = p_.plotter_to_sheet.apply_vector(up);
    mark.advance = advance;
    mark.colour = colour;
    mark.outline = !p_.state.source_transparent;
    p_.sink.glyph(mark);
}

// SD and AD: kind,value pairs; spacing, pitch and height change the size.
void font_definition(Plotter &p, const Parameters &n, bool alternate)
{
    GraphicsState &s = p.state;
    FontChoice &font = alternate ? s.alternate_font : s.standard_font;
    if (n.count == 0)
        font = {};
    for (std::size_t i = 0; i + 1 < n.count; i += 2) {
        const int kind = integer_parameter(n[i]);
        const double value = n[i + 1];
        if (kind == 2)
            font.proportional = value == 1;
        else if (kind == 3 && value > 0)
            font.pitch = clamp_parameter(value, 0.1, 1000);
        else if (kind == 7)
            font.typeface = static_cast<int>(clamp_parameter(value, 0, 1e6));
        else if (kind == 4 && value > 0)
            font.height = clamp_parameter(value, 0.1, 1000);
    }
    update_label_size(s);
}

Point p1_to_p2(const GraphicsState &s)
{
    return {s.p2.x - s.p1.x, s.p2.y - s.p1.y};
}

} // namespace

// A label starts where the pen is; when the pen moved since the last label,
// the carriage return goes back there too.
void label_start(Plotter &p)
{
    GraphicsState &s = p.state;
    if (s.position.x != s.label_at.pen.x || s.position.y != s.label_at.pen.y)
        s.label_at = {s.position, s.position};
    p.label_text.clear();
}

void draw_label_text(Plotter &p)
{
    GraphicsState &s = p.state;
    if (p.options.font != nullptr && !p.label_text.empty()) {
        LabelMarks marks(p);
        s.label_at = layout_label(*p.options.font, s.label, s.label_at, p.label_text, marks,
                                  p.options.outline_glyphs);
        marks.flush();
        s.position = s.label_at.pen;
    }
    p.label_text.clear();
}

// SM: the symbol at the point the pen went to, centred on it (LO 5) as a
// label of one character; the pen stays.
void draw_symbol(Plotter &p)
{
    const char symbol = p.state.symbol;
    if (symbol == 0 || p.options.font == nullptr)
        return;
    LabelSettings settings = p.state.label;
    settings.origin = 5;
    const Point at = p.state.position;
    LabelMarks marks(p);
    layout_label(*p.options.font, settings, {at, at}, std::string_view(&symbol, 1), marks);
    marks.flush();
}

// DT's mode 0 prints the terminator as a character of the label, a control
// code doing what it does there.
void label_terminated(Plotter &p)
{
    if (p.state.terminator_prints)
        instruction::label_text(p, std::string_view(&p.state.label_terminator, 1));
}

namespace instruction {

void label_begin(Plotter &p)
{
    label_start(p);
}

void label_text(Plotter &p, std::string_view text)
{
    while (!text.empty()) {
        const std::size_t room = kLabelPiece - p.label_text.size();
        const std::size_t n = std::min(room, text.size());
        p.label_text.append(text.substr(0, n));
        text.remove_prefix(n);
        if (p.label_text.size() == kLabelPiece)
            draw_label_text(p);
    }
}

void label_end(Plotter &p, const Parameters &)
{
    draw_label_text(p);
}

void terminator_begin(Plotter &p)
{
    p.state.label_terminator = 3; // unless a terminator follows
}

void terminator(Plotter &p, std::string_view byte)
{
    p.state.label_terminator = !byte.empty() ? byte[0] : 3;
}

void terminator_mode(Plotter &p, const Parameters &n)
{
    // Mode 1, the default, keeps the terminator off the page.
    p.state.terminator_prints = n.count > 0 && n[0] == 0;
}

void symbol_begin(Plotter &p)
{
    p.state.symbol = 0; // unless a symbol follows
}

void symbol(Plotter &p, std::string_view byte)
{
    p.state.symbol = !byte.empty() ? byte[0] : 0;
}

void absolute_direction(Plotter &p, const Parameters &n)
{
    p.state.label.direction =
        n.count >= 2 && (n[0] != 0 || n[1] != 0) ? Point{n[0], n[1]} : Point{1, 0};
}

void relative_direction(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    s.label.direction = n.count >= 2 && (n[0] != 0 || n[1] != 0)
                            ? ::relative_direction(n[0], n[1], p1_to_p2(s))
                            : Point{1, 0};
}

void direction_vertical(Plotter &p, const Parameters &n)
{
    LabelSettings &label = p.state.label;
    const int path = n.count > 0 ? integer_parameter(n[0]) : 0;
    label.path = path >= 0 && path <= 3 ? static_cast<TextPath>(path) : TextPath::Right;
    label.reverse_line_feed = n.count >= 2 && n[1] == 1;
}

void label_origin(Plotter &p, const Parameters &n)
{
    const int origin = n.count > 0 ? integer_parameter(n[0]) : 1;
    p.state.label.origin =
        (origin >= 1 && origin <= 9) || (origin >= 11 && origin <= 19) ? origin : 1;
}

void absolute_size(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    s.size_given = n.count >= 2;
    if (s.size_given)
        s.label.size = absolute_character_size(n[0], n[1]);
    update_label_size(s);
}

void relative_size(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    s.size_given = true;
    s.label.size =
        relative_character_size(n.count >= 2 ? n[0] : 0.75, n.count >= 2 ? n[1] : 1.5, p1_to_p2(s));
}

void slant(Plotter &p, const Parameters &n)
{
    p.state.label.slant = n.count > 0 ? clamp_parameter(n[0], -1000, 1000) : 0;
}

void extra_space(Plotter &p, const Parameters &n)
{
    LabelSettings &label = p.state.label;
    label.extra_space = n.count > 0 ? clamp_parameter(n[0], -100, 100) : 0;
    label.extra_lines = n.count > 1 ? clamp_parameter(n[1], -100, 100) : 0;
}

void label_mode(Plotter &p, const Parameters &n)
{
    p.state.label.seven_bit = n.count > 0 && n[0] == 1;
}

void standard_font_definition(Plotter &p, const Parameters &n)
{
    font_definition(p, n, false);
}

void alternate_font_definition(Plotter &p, const Parameters &n)
{
    font_definition(p, n, true);
}

void select_standard_font(Plotter &p, const Parameters &)
{
    p.state.alternate_selected = false;
    update_label_size(p.state);
}

void select_alternate_font(Plotter &p, const Parameters &)
{
    p.state.alternate_selected = true;
    update_label_size(p.state);
}

void character_plot(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    label_start(p);
    s.label_at = n.count >= 1 ? ::character_plot(s.label, s.label_at, n[0], n.count >= 2 ? n[1] : 0)
                              : character_plot_new_line(s.label, s.label_at);
    s.position = s.label_at.pen;
}

} // namespace instruction

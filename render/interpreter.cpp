// SPDX-License-Identifier: MIT
#include "interpreter.h"
#include "instructions.h"

#include "paper_size.h"
#include "pixel_grid.h"
#include "units.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace {

constexpr double kDegrees = std::numbers::pi / 180;
// A polyline goes to the sink in pieces of at most this many points, so
// that a plot of one endless PD keeps its memory.
constexpr std::size_t kStrokePiece = 4096;
// The polygon buffer of a printer is finite too; points beyond are dropped.
constexpr std::size_t kPolygonLimit = 1 << 16;
constexpr int kMaxPens = 256;
// A label's text is laid out whole, for LO to centre its lines; a longer one
// goes out in pieces of this size.
constexpr std::size_t kLabelPiece = 4096;
// The printer's dot, 1/600 inch, in millimetres: a pen thinner than this
// leaves no dot where it only touches the paper.
constexpr double kPrinterDot = kMillimetresPerInch / 600;

// Instructions whose parameters are coordinate pairs taken as they come,
// and those that draw on with the polyline pending.
bool streams_pairs(unsigned code)
{
    const ParameterKind kind =
        instruction_info(static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)).parameters;
    return kind == ParameterKind::Pairs || kind == ParameterKind::Curves;
}

bool continues_polyline(unsigned code)
{
    return instruction_info(static_cast<char>(code >> 8), static_cast<char>(code & 0xFF))
        .continues_path;
}

// The fixed line types 1 to 8: dashes and gaps in percent of the pattern.
const std::vector<double> kLineTypes[8] = {
    {0, 100},
    {50, 50},
    {70, 30},
    {80, 10, 0, 10},
    {70, 10, 10, 10},
    {50, 10, 10, 10, 10, 10},
    {70, 10, 0, 10, 0, 10},
    {50, 10, 0, 10, 10, 10, 0, 10},
};

// The eight pens of a colour plotter; pen 0 is white.
const Colour kPalette[8] = {
    {1, 1, 1}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1},
};

Colour gray(double level)
{
    return {level, level, level};
}

double linear(double srgb)
{
    return srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

double encoded(double light)
{
    return light <= 0.0031308 ? light * 12.92 : 1.055 * std::pow(light, 1 / 2.4) - 0.055;
}

// A colour as the PCL interpreter prints it in gray: its luminance in
// linear light, then encoded again, so that yellow is nearly white. The
// luminance is the sRGB colour profile's, adapted to D50 as colour
// management has it (not Rec. 709's 0.2126, 0.7152, 0.0722): red prints
// at 130, just light enough not to count as ink, where 0.2126 gives 127.
Colour printed_gray(Colour c)
{
    return gray(
        encoded(0.2225 * linear(c.red) + 0.7169 * linear(c.green) + 0.0606 * linear(c.blue)));
}

Colour default_colour(std::size_t pen, bool printer)
{
    return printer ? printed_gray(kPalette[pen % 8]) : kPalette[pen % 8];
}

double clamp_finite(double value, double low, double high)
{
    if (!std::isfinite(value))
        return low;
    return std::clamp(value, low, high);
}

// A parameter taken as an integer: its integer part, kept within reach of
// an int (any value that far out means nothing to any instruction).
int whole(double value)
{
    return static_cast<int>(clamp_finite(value, -1e9, 1e9));
}

// How many patterns `pattern` long an adaptive line type fits into a
// line `segment` long: one more than the line holds whole, as the printer
// does, so that a line of exactly two patterns takes three, shortened.
double adaptive_pattern_count(double segment, double pattern)
{
    return std::floor(segment / pattern) + 1;
}

} // namespace

PlotInterpreter::PlotInterpreter(PageSink &sink, const InterpreterOptions &options)
    : sink_(sink), options_(options)
{
    place();
    reset_graphics();
    text_cursor_ = pcl_home(pcl_);
}

// The placement of the plot: the PCL page's, or the layout's.
void PlotInterpreter::place()
{
    if (options_.pcl_job) {
        const PlotPlacement placement = place_plot(pcl_);
        const Point shift = options_.raster_pixel > 0 ? logical_page_shift(placement.logical_origin,
                                                                           options_.raster_pixel)
                                                      : Point{0, 0};
        sheet_width_ = placement.sheet_width;
        sheet_height_ = placement.sheet_height;
        plot_to_sheet_ = compose(translation(shift.x, shift.y), placement.plot_to_sheet);
        logical_page_to_sheet_ =
            compose(translation(shift.x, shift.y), logical_page_to_sheet(pcl_));
        pen_scale_ = placement.pen_scale;
        plot_length_ = placement.plot_length;
        plot_width_ = placement.plot_width;
        frame_low_ = {placement.frame_low.x + shift.x, placement.frame_low.y + shift.y};
        frame_high_ = {placement.frame_high.x + shift.x, placement.frame_high.y + shift.y};
        // The printer keeps the anchor in whole centipoints, and cuts the
        // frame's size to them.
        origin_steps_.anchor = {std::round(placement.anchor.x * kCentipointsPerInch),
                                std::round(placement.anchor.y * kCentipointsPerInch)};
        origin_steps_.frame_width = std::floor(placement.frame_width * kCentipointsPerInch + 1e-6);
        origin_steps_.frame_height =
            std::floor(placement.frame_height * kCentipointsPerInch + 1e-6);
        frame_clips_ = true;
    } else {
        sheet_width_ = options_.layout.sheet_width;
        sheet_height_ = options_.layout.sheet_height;
        plot_to_sheet_ = options_.layout.plot_to_sheet;
        pen_scale_ = 1;
        plot_length_ = options_.layout.plot_length;
        plot_width_ = options_.layout.plot_width;
        frame_clips_ = false;
    }
    // The sheet turned clockwise a quarter at a time: y runs down, so a
    // clockwise turn on paper is a counter-clockwise one in these numbers.
    for (int q = 0; q < (options_.sheet_quarters & 3); ++q) {
        const Affine turn = compose(translation(sheet_height_, 0), quarter_turns(1));
        plot_to_sheet_ = compose(turn, plot_to_sheet_);
        logical_page_to_sheet_ = compose(turn, logical_page_to_sheet_);
        const Point a = turn.apply(frame_low_);
        const Point b = turn.apply(frame_high_);
        frame_low_ = {std::min(a.x, b.x), std::min(a.y, b.y)};
        frame_high_ = {std::max(a.x, b.x), std::max(a.y, b.y)};
        std::swap(sheet_width_, sheet_height_);
    }
}

// IN: everything back to its default, the pen at the origin.
void PlotInterpreter::reset_graphics()
{
    flush_stroke();
    rotation_ = 0;
    p1_ = {0, 0};
    p2_ = {plot_length_, plot_width_};
    p1_p2_given_ = false;
    pens_.assign(8, PenSetting{});
    for (std::size_t i = 0; i < pens_.size(); ++i) {
        pens_[i].width = options_.pen_width;
        pens_[i].colour = default_colour(i, options_.pcl_job);
    }
    relative_width_ = false;
    pen_ = 1;
    position_ = {0, 0};
    pen_down_ = false;
    line_end_ = LineEnd::Butt;
    line_join_ = LineJoin::Mitered;
    miter_limit_ = 5;
    for (auto &type : user_types_)
        type.clear();
    default_attributes();
    update_transforms();
    if (page_open_)
        apply_clip();
    label_at_ = {{0, 0}, {0, 0}};
}

// DF, and the part of IN that DF shares.
void PlotInterpreter::default_attributes()
{
    scaling_ = Scaling::None;
    window_set_ = false;
    relative_ = false;
    symbol_ = 0;
    line_type_ = 0;
    saved_line_type_ = 0;
    pattern_length_ = 4;
    pattern_absolute_ = false;
    fill_type_ = 1;
    hatch_spacing_ = 0;
    hatch_angle_ = 0;
    shading_ = 100;
    chord_deviation_ = false;
    source_transparent_ = true;
    polygon_mode_ = false;
    polygon_.clear();
    polygon_points_ = 0;
    std::fill(std::begin(colour_low_), std::end(colour_low_), 0);
    std::fill(std::begin(colour_high_), std::end(colour_high_), 255);
    default_labels();
}

void PlotInterpreter::default_labels()
{
    label_terminator_ = 3;
    terminator_prints_ = false;
    standard_font_ = {};
    alternate_font_ = {};
    alternate_selected_ = false;
    size_given_ = false;
    label_ = {};
    update_label_size();
}

void PlotInterpreter::update_label_size()
{
    const FontChoice &font = alternate_selected_ ? alternate_font_ : standard_font_;
    if (!size_given_)
        label_.size = font_character_size(font.proportional, font.pitch, font.height);
    label_.proportional = font.proportional;
    label_.typeface = font.typeface;
    label_.font_height = font.height;
}

double PlotInterpreter::axis_ratio() const
{
    const Point x = plot_to_sheet_.apply_vector({1, 0});
    const Point y = plot_to_sheet_.apply_vector({0, 1});
    const double across = std::hypot(x.x, x.y);
    const double up = std::hypot(y.x, y.y);
    return across > 0 && up > 0 ? across / up : 1;
}

Point PlotInterpreter::turned_plot_extent() const
{
    const double r = axis_ratio();
    return rotation_ == 90 || rotation_ == 270 ? Point{plot_width_ / r, plot_length_ * r}
                                               : Point{plot_length_, plot_width_};
}

void PlotInterpreter::update_transforms()
{
    // RO turns the plot's axes; the origin goes to the corner of the plot
    // that is then its lower left. The printer scales a plot to its picture
    // frame along the plot's own axes, before RO turns them: turned a
    // quarter, the plot's X keeps the scale the frame gives across though it
    // now runs up, so where the plot size scales across and up differently,
    // the two trade scales (r is across over up).
    const double r = axis_ratio();
    Affine rotate;
    switch (rotation_) {
    case 90:
        rotate =
            compose(scaling(1 / r, r), compose(translation(plot_length_ * r, 0), quarter_turns(1)));
        break;
    case 180:
        rotate = compose(translation(plot_length_, plot_width_), quarter_turns(2));
        break;
    case 270:
        rotate =
            compose(scaling(1 / r, r), compose(translation(0, plot_width_ / r), quarter_turns(3)));
        break;
    default:
        break;
    }
    plotter_to_sheet_ = compose(plot_to_sheet_, rotate);
    const bool on_pixels = options_.pcl_job && options_.raster_pixel > 0;
    const double pixel = options_.raster_pixel;
    const Affine exact_to_page = compose(scaling(1 / pixel, 1 / pixel), plotter_to_sheet_);
    if (on_pixels) {
        const Affine logical_to_page =
            compose(scaling(1 / pixel, 1 / pixel), logical_page_to_sheet_);
        const auto unit = [](Point v) {
            const double length = std::hypot(v.x, v.y);
            return Point{v.x / length, v.y / length};
        };
        origin_steps_.corner = logical_to_page.apply({0, 0});
        origin_steps_.across = unit(logical_to_page.apply_vector({1, 0}));
        origin_steps_.down = unit(logical_to_page.apply_vector({0, 1}));
        origin_steps_.rotation = rotation_;
        const Point origin = printer_plot_origin(origin_steps_, kMillimetresPerInch / pixel);
        plotter_to_sheet_ =
            compose(scaling(pixel, pixel), with_plot_origin_on_pixel(exact_to_page, origin));
    }

    user_to_plotter_ = {};
    if (scaling_ == Scaling::None)
        return;
    const double dx = p2_.x - p1_.x;
    const double dy = p2_.y - p1_.y;
    double sx;
    double sy;
    double ox = p1_.x;
    double oy = p1_.y;
    if (scaling_ == Scaling::PointFactor) {
        sx = scale_[1];
        sy = scale_[3];
    } else {
        const double ux = scale_[1] - scale_[0];
        const double uy = scale_[3] - scale_[2];
        if (ux == 0 || uy == 0)
            return;
        sx = dx / ux;
        sy = dy / uy;
        if (scaling_ == Scaling::Isotropic) {
            const double s = std::min(std::fabs(sx), std::fabs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
            ox += (dx - sx * ux) * iso_left_ / 100;
            oy += (dy - sy * uy) * iso_bottom_ / 100;
        }
    }
    user_to_plotter_ = compose(translation(ox, oy), scaling(sx, sy));
    user_to_plotter_ = compose(user_to_plotter_, translation(-scale_[0], -scale_[2]));
    if (on_pixels) {
        // The interpreter rounds the user origin from where the plot's
        // origin lies on the pixels, or, with P1 and P2 where IN or IP
        // without parameters left them (in any RO, whatever the plot size
        // scaling), from its exact place.
        const Affine to_page = compose(scaling(1 / pixel, 1 / pixel), plotter_to_sheet_);
        const bool from_exact = !p1_p2_given_;
        const Affine &rounded_from = from_exact ? exact_to_page : to_page;
        user_to_plotter_ = with_user_origin_on_pixel(
            user_to_plotter_, to_page, rounded_from.apply(user_to_plotter_.apply({0, 0})));
    }
}

Point PlotInterpreter::to_plotter(Point user) const
{
    return user_to_plotter_.apply(user);
}

double PlotInterpreter::user_length_x(double user) const
{
    return std::fabs(user_to_plotter_.xx) * user;
}

double PlotInterpreter::diagonal() const
{
    return std::hypot(p2_.x - p1_.x, p2_.y - p1_.y);
}

// Reading the instruction.

void PlotInterpreter::instruction(char first, char second)
{
    code_ = mnemonic(first, second);
    if (!continues_polyline(code_))
        flush_stroke();
    reader_ = {};
    count_ = 0;
    streaming_ = streams_pairs(code_);
    switch (code_) {
    case mnemonic('P', 'A'):
        relative_ = false;
        break;
    case mnemonic('P', 'R'):
        relative_ = true;
        break;
    case mnemonic('P', 'D'):
        pen_down_ = true;
        if (!polygon_mode_ && stroke_.empty())
            dot_ = position_;
        break;
    case mnemonic('P', 'U'):
        flush_stroke();
        pen_down_ = false;
        break;
    case mnemonic('L', 'B'):
        label_start();
        break;
    case mnemonic('S', 'M'):
        symbol_ = 0; // unless a symbol follows
        break;
    case mnemonic('D', 'T'):
        label_terminator_ = 3; // unless a terminator follows
        break;
    default:
        break;
    }
}

void PlotInterpreter::text(const char *bytes, std::size_t size)
{
    if (code_ == mnemonic('P', 'E')) {
        decode_polyline_encoded(encoded_, {bytes, size}, *this);
    } else if (code_ == mnemonic('S', 'M')) {
        symbol_ = size > 0 ? bytes[0] : 0;
    } else if (code_ == mnemonic('D', 'T')) {
        label_terminator_ = size > 0 ? bytes[0] : 3;
    } else if (code_ == mnemonic('L', 'B')) {
        while (size > 0) {
            const std::size_t room = kLabelPiece - label_text_.size();
            const std::size_t n = std::min(room, size);
            label_text_.append(bytes, n);
            bytes += n;
            size -= n;
            if (label_text_.size() == kLabelPiece)
                draw_label_text();
        }
    }
}

// DT's mode 0 prints the terminator as a character of the label, a control
// code doing what it does there.
void PlotInterpreter::label_terminated()
{
    if (code_ == mnemonic('L', 'B') && terminator_prints_)
        text(&label_terminator_, 1);
}

// A label starts where the pen is; when the pen moved since the last label,
// the carriage return goes back there too.
void PlotInterpreter::label_start()
{
    if (position_.x != label_at_.pen.x || position_.y != label_at_.pen.y)
        label_at_ = {{position_.x, position_.y}, {position_.x, position_.y}};
    label_text_.clear();
}

void PlotInterpreter::draw_label_text()
{
    if (options_.font != nullptr && !label_text_.empty()) {
        label_at_ = layout_label(*options_.font, label_, label_at_, label_text_, *this,
                                 options_.outline_glyphs);
        position_ = {label_at_.pen.x, label_at_.pen.y};
    }
    label_text_.clear();
}

void PlotInterpreter::stroke(const PlotterPoint *points, std::size_t count, PlotterPoint origin)
{
    start_page();
    Pen pen = current_pen();
    if (transparent(pen.colour))
        return;
    // On a raster the printer draws a glyph from its font cache, and with
    // TR 0 straight onto the page.
    Point shift{0, 0};
    if (options_.pcl_job && options_.raster_pixel > 0 && source_transparent_)
        shift = cached_glyph_shift(plotter_to_sheet_.apply({origin.x, origin.y}),
                                   options_.raster_pixel);
    Path path(1);
    for (std::size_t i = 0; i < count; ++i) {
        const Point p = plotter_to_sheet_.apply({points[i].x, points[i].y});
        path[0].points.push_back({p.x + shift.x, p.y + shift.y});
    }
    if (count == 1)
        path[0].points.push_back(path[0].points[0]);
    pen.dashes.clear();
    pen.width = stick_line_width(label_) * plotter_to_sheet_.scale();
    pen.end = LineEnd::Round;
    pen.join = LineJoin::Round;
    pen.glyph = true;
    sink_.stroke(path, pen);
}

// On a raster the printer moves the pen glyph by glyph in its fixed point.
PlotterPoint PlotInterpreter::escapement(PlotterPoint advance)
{
    if (!options_.pcl_job || options_.raster_pixel <= 0)
        return advance;
    const Point on_page = fixed_point_advance(
        plotter_to_sheet_.apply_vector({advance.x, advance.y}), options_.raster_pixel);
    const Point back = plotter_to_sheet_.inverse().apply_vector(on_page);
    return {back.x, back.y};
}

void PlotInterpreter::fill(const PlotterPoint *points, std::size_t count)
{
    start_page();
    const Colour colour = current_pen().colour;
    if (transparent(colour))
        return;
    Path path(1);
    for (std::size_t i = 0; i < count; ++i)
        path[0].points.push_back(plotter_to_sheet_.apply({points[i].x, points[i].y}));
    path[0].closed = true;
    Fill fill;
    fill.rule = FillRule::NonZero;
    fill.colour = colour;
    sink_.fill(path, fill);
}

void PlotInterpreter::glyph(char c, PlotterPoint origin, PlotterPoint across, PlotterPoint up,
                            double advance)
{
    start_page();
    const Colour colour = current_pen().colour;
    if (transparent(colour))
        return;
    GlyphMark mark;
    mark.character = c;
    mark.origin = plotter_to_sheet_.apply({origin.x, origin.y});
    mark.across = plotter_to_sheet_.apply_vector({across.x, across.y});
    mark.up = plotter_to_sheet_.apply_vector({up.x, up.y});
    mark.advance = advance;
    mark.colour = colour;
    mark.outline = !source_transparent_;
    sink_.glyph(mark);
}

void PlotInterpreter::move(const EncodedMove &m)
{
    const Point given{m.x, m.y};
    Point target;
    if (m.absolute) {
        target = to_plotter(given);
    } else {
        const Point v = user_to_plotter_.apply_vector(given);
        target = {position_.x + v.x, position_.y + v.y};
    }
    pen_down_ = !m.pen_up;
    if (pen_down_)
        line_to(target);
    else
        move_to(target);
    draw_symbol();
}

void PlotInterpreter::select_pen(std::int64_t pen)
{
    flush_stroke();
    // Pens beyond the last wrap around to pen 1 on.
    pen_ = static_cast<int>(std::clamp<std::int64_t>(pen, 0, 1000000000));
    if (static_cast<std::size_t>(pen_) >= pens_.size())
        pen_ = (pen_ - 1) % (static_cast<int>(pens_.size()) - 1) + 1;
}

// SD and AD: kind,value pairs; spacing, pitch and height change the size.
void PlotInterpreter::font_definition(bool alternate)
{
    FontChoice &font = alternate ? alternate_font_ : standard_font_;
    if (count_ == 0)
        font = {};
    for (std::size_t i = 0; i + 1 < count_; i += 2) {
        const int kind = whole(numbers_[i]);
        const double value = numbers_[i + 1];
        if (kind == 2)
            font.proportional = value == 1;
        else if (kind == 3 && value > 0)
            font.pitch = clamp_finite(value, 0.1, 1000);
        else if (kind == 7)
            font.typeface = static_cast<int>(clamp_finite(value, 0, 1e6));
        else if (kind == 4 && value > 0)
            font.height = clamp_finite(value, 0.1, 1000);
    }
    update_label_size();
}

void PlotInterpreter::parameters(const char *bytes, std::size_t size)
{
    NumberReader &r = reader_;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c >= '0' && c <= '9') {
            if (!r.in_number)
                r = {true, false, false, false, 0, 1};
            r.has_digit = true;
            if (r.fraction) {
                r.scale /= 10;
                r.value += (c - '0') * r.scale;
            } else {
                r.value = std::min(r.value * 10 + (c - '0'), 1e15);
            }
        } else if (c == '+' || c == '-') {
            end_number();
            r = {true, false, c == '-', false, 0, 1};
        } else if (c == '.') {
            if (r.in_number && !r.fraction) {
                r.fraction = true;
            } else {
                end_number();
                r = {true, false, false, true, 0, 1};
            }
        } else {
            end_number();
        }
    }
}

void PlotInterpreter::end_number()
{
    if (reader_.in_number && reader_.has_digit)
        add_number(reader_.negative ? -reader_.value : reader_.value);
    reader_.in_number = false;
}

void PlotInterpreter::add_number(double value)
{
    if (count_ < kMaxNumbers)
        numbers_[count_++] = value;
    if (!streaming_)
        return;
    const bool curve = code_ == mnemonic('B', 'Z') || code_ == mnemonic('B', 'R');
    if (!curve && count_ == 2) {
        coordinate_pair({numbers_[0], numbers_[1]});
        count_ = 0;
    } else if (curve && count_ == 6) {
        bezier(reinterpret_cast<const double(&)[6]>(numbers_));
        count_ = 0;
    }
}

void PlotInterpreter::instruction_end()
{
    end_number();
    if (code_ == mnemonic('P', 'E'))
        finish_polyline_encoded(encoded_, *this);
    else if (code_ == mnemonic('L', 'B'))
        draw_label_text();
    execute();
    code_ = 0;
    count_ = 0;
    streaming_ = false;
}

// Pages and the PCL side.

void PlotInterpreter::escape(const EscapeSequence &sequence)
{
    if (!options_.pcl_job)
        return;
    const bool reset = sequence.kind == 0 && (sequence.parameter & 0xDF) == 'E';
    if (apply_pcl_escape(pcl_, sequence, text_cursor_)) {
        place();
        if (reset)
            reset_graphics();
    }
    text_cursor_ = pcl_cursor_after(text_cursor_, sequence, pcl_);
}

void PlotInterpreter::context(bool pcl)
{
    if (!pcl && options_.pcl_job) {
        // Entering HP-GL/2: the frame the PCL commands set takes effect.
        flush_stroke();
        place();
        p1_ = {0, 0};
        p2_ = {plot_length_, plot_width_};
        p1_p2_given_ = false;
        update_transforms();
        if (page_open_)
            apply_clip();
    }
}

void PlotInterpreter::page_ejected()
{
    if (!options_.pcl_job)
        return;
    flush_stroke();
    start_page();
    end_page();
    text_cursor_ = {text_cursor_.x, pcl_home(pcl_).y, true};
}

void PlotInterpreter::pcl_text(const char *bytes, std::size_t size)
{
    if (options_.pcl_job)
        text_cursor_ = print_pcl_text(text_cursor_, {bytes, size}, pcl_.line_spacing, *this);
}

void PlotInterpreter::characters(PclCursor at, std::string_view run)
{
    if (run.find_first_not_of(' ') == std::string_view::npos)
        return;
    start_page();
    // Text is not clipped to the picture frame; HP-GL/2 context sets the
    // frame's clip again.
    sink_.clip({0, 0}, {sheet_width_, sheet_height_});
    TextRun text;
    text.characters = run;
    const Point start = logical_page_to_sheet_.apply({at.x, at.y});
    const Point next = logical_page_to_sheet_.apply({at.x + kPclCharacterStep, at.y});
    text.start = start;
    text.advance = {next.x - start.x, next.y - start.y};
    text.em = kPclTextEm * kMillimetresPerInch;
    sink_.text(text);
}

void PlotInterpreter::finish()
{
    end_number();
    flush_stroke();
    if (page_open_ || pages_ == 0) {
        start_page();
        end_page();
    }
}

void PlotInterpreter::start_page()
{
    if (page_open_)
        return;
    sink_.begin_page(sheet_width_, sheet_height_);
    page_open_ = true;
    apply_clip();
}

void PlotInterpreter::end_page()
{
    if (!page_open_)
        return;
    sink_.end_page();
    page_open_ = false;
    ++pages_;
}

void PlotInterpreter::apply_clip()
{
    const Point sheet = {sheet_width_, sheet_height_};
    const PageBox frame = frame_clips_ ? PageBox{frame_low_, frame_high_} : PageBox{{0, 0}, sheet};
    std::optional<PageBox> window;
    if (window_set_) {
        const Point a = plotter_to_sheet_.apply(window_low_);
        const Point b = plotter_to_sheet_.apply(window_high_);
        window = PageBox{{std::min(a.x, b.x), std::min(a.y, b.y)},
                         {std::max(a.x, b.x), std::max(a.y, b.y)}};
    }
    if (options_.pcl_job && options_.raster_pixel > 0) {
        const PageBox box = clip_on_pixels(frame, window, options_.raster_pixel);
        sink_.clip(box.low, box.high);
        return;
    }
    Point low = frame.low;
    Point high = frame.high;
    if (window) {
        low = {std::max(low.x, window->low.x), std::max(low.y, window->low.y)};
        high = {std::min(high.x, window->high.x), std::min(high.y, window->high.y)};
        high = {std::max(low.x, high.x), std::max(low.y, high.y)};
    }
    sink_.clip(low, high);
}

// Drawing.

Pen PlotInterpreter::current_pen() const
{
    Pen pen;
    const PenSetting &setting = pens_[static_cast<std::size_t>(pen_) % pens_.size()];
    const double scale = plotter_to_sheet_.scale();
    pen.width =
        relative_width_ ? setting.width / 100 * diagonal() * scale : setting.width * pen_scale_;
    pen.colour = setting.colour;
    if (options_.pcl_job
        && !(setting.colour.red == setting.colour.green
             && setting.colour.green == setting.colour.blue))
        pen.colour = printed_gray(setting.colour);
    pen.end = line_end_;
    pen.join = line_join_;
    pen.miter_limit = miter_limit_;
    if (line_type_ != 0) {
        const std::size_t index = static_cast<std::size_t>(std::abs(line_type_) - 1);
        const std::vector<double> &segments =
            user_types_[index].empty() ? kLineTypes[index] : user_types_[index];
        const double length =
            pattern_absolute_ ? pattern_length_ : pattern_length_ / 100 * diagonal() * scale;
        double total = 0;
        for (double segment : segments)
            total += segment;
        if (total > 0 && length > 0) {
            for (double segment : segments)
                pen.dashes.push_back(segment / total * length);
            // A dash of no length is drawn as a line of no length is (see
            // draw_dot), taken from the gap after it: with butt ends a bar
            // a pixel long (the printer's dot on a vector page); other ends
            // give it their own shape, which cairo draws for a dash of some
            // length only. On a printer's raster a pen no wider than a
            // pixel leaves no such bar (PW 0.25 at 100 dpi and 0.08 at 300
            // none, 0.26 and 0.09 one): cairo draws nothing for a butt
            // dash of no length.
            const double dot = dot_dash_length(pen.end);
            const bool thin_on_pixels = options_.pcl_job && options_.raster_pixel > 0
                                        && pen.end == LineEnd::Butt
                                        && pen.width <= options_.raster_pixel;
            for (std::size_t i = 0; i + 1 < pen.dashes.size() && !thin_on_pixels; i += 2) {
                if (pen.dashes[i] == 0) {
                    pen.dashes[i] = std::min(dot, pen.dashes[i + 1]);
                    pen.dashes[i + 1] -= pen.dashes[i];
                }
            }
        }
    }
    return pen;
}

double PlotInterpreter::dot_dash_length(LineEnd end) const
{
    if (end != LineEnd::Butt)
        return kPrinterDot / 100;
    return options_.raster_pixel > 0 ? options_.raster_pixel : kPrinterDot;
}

Fill PlotInterpreter::current_fill(FillRule rule) const
{
    Fill fill;
    fill.rule = rule;
    fill.colour = current_pen().colour;
    const double scale = plotter_to_sheet_.scale();
    if (fill_type_ == 3 || fill_type_ == 4) {
        double spacing =
            hatch_spacing_ > 0
                ? (scaling_ != Scaling::None ? user_length_x(hatch_spacing_) : hatch_spacing_)
                : diagonal() / 100;
        fill.spacing = std::max(spacing * scale, 0.05);
        // The printer lays the lines out from the plot's origin at the
        // angle from the sheet's width as it is fed, turned by RO but not
        // by the page's orientation.
        fill.anchor = plotter_to_sheet_.apply({0, 0});
        fill.angle = -(hatch_angle_ + rotation_) * kDegrees;
        fill.crossed = fill_type_ == 4;
        fill.line_width = current_pen().width;
    } else if (fill_type_ == 10) {
        fill.shade = shading_;
    }
    return fill;
}

// A PCL job prints with the printer's source transparency, on unless TR 0
// turns it off: white (pen 0, or a pen PC makes white) leaves what is under
// it, where a plotter or a PDF page would paint it over.
bool PlotInterpreter::transparent(const Colour &colour) const
{
    // White as the printer prints it: 255 of 255 in each channel.
    const auto full = [](double channel) { return channel * 255 >= 254.5; };
    return options_.pcl_job && source_transparent_ && full(colour.red) && full(colour.green)
           && full(colour.blue);
}

void PlotInterpreter::stroke_path(const std::vector<Point> &plotter, bool closed)
{
    if (plotter.size() < 2)
        return;
    start_page();
    Path path(1);
    path[0].closed = closed;
    path[0].points.reserve(plotter.size());
    const Pen pen = current_pen();
    if (transparent(pen.colour))
        return;
    for (Point p : plotter)
        path[0].points.push_back(plotter_to_sheet_.apply(p));
    if (line_type_ >= 0 || pen.dashes.empty()) {
        sink_.stroke(path, pen);
        return;
    }
    // An adaptive line type fits whole patterns into each line. The
    // printer's own types start and end it in the middle of the first dash;
    // a type UL sets starts it where the pattern starts.
    const std::vector<Point> &points = path[0].points;
    double length = 0;
    for (double dash : pen.dashes)
        length += dash;
    const bool on_pixels = options_.pcl_job && options_.raster_pixel > 0;
    const bool user_type = !user_types_[static_cast<std::size_t>(-line_type_ - 1)].empty();
    const double dot = dot_dash_length(pen.end);
    const std::size_t count = points.size() - (closed ? 0 : 1);
    const Affine to_plotter = plotter_to_sheet_.inverse();
    const double mean_scale = plotter_to_sheet_.scale();
    for (std::size_t i = 0; i < count; ++i) {
        const Point a = points[i];
        const Point b = points[(i + 1) % points.size()];
        const double segment = on_pixels ? fixed_point_length(a, b, options_.raster_pixel)
                                         : std::hypot(b.x - a.x, b.y - a.y);
        // The printer lays a relative pattern along the line at the plot's
        // scale in the line's direction: where the plot size scales the
        // axes a little differently, that decides the count of a line a
        // whole number of patterns long.
        const Point along = to_plotter.apply_vector({b.x - a.x, b.y - a.y});
        const double plotter_length = std::hypot(along.x, along.y);
        const double direction_scale = plotter_length > 0 && mean_scale > 0
                                           ? std::hypot(b.x - a.x, b.y - a.y) / plotter_length
                                           : mean_scale;
        // Where the axes' scales agree, the pattern keeps its length exactly:
        // a ratio a rounding away from one would decide the count instead.
        const double ratio = mean_scale > 0 ? direction_scale / mean_scale : 1;
        const double pattern =
            !pattern_absolute_ && std::abs(ratio - 1) > 1e-12 ? length * ratio : length;
        const double patterns = adaptive_pattern_count(segment, pattern);
        Pen fitted = pen;
        for (double &dash : fitted.dashes)
            dash *= segment / (patterns * length);
        // Dots keep their length, as the printer draws them.
        for (std::size_t k = 0; k + 1 < fitted.dashes.size(); k += 2) {
            if (pen.dashes[k] == dot) {
                const double both = fitted.dashes[k] + fitted.dashes[k + 1];
                fitted.dashes[k] = std::min(dot, both);
                fitted.dashes[k + 1] = both - fitted.dashes[k];
            }
        }
        fitted.dash_offset = user_type ? 0 : fitted.dashes[0] / 2;
        sink_.stroke({{{a, b}, false}}, fitted);
    }
}

void PlotInterpreter::fill_path(Path path, FillRule rule)
{
    start_page();
    const Fill fill = current_fill(rule);
    if (transparent(fill.colour))
        return;
    for (SubPath &sub : path) {
        sub.closed = true;
        for (Point &p : sub.points)
            p = plotter_to_sheet_.apply(p);
    }
    sink_.fill(path, fill);
}

void PlotInterpreter::flush_stroke()
{
    if (stroke_.size() >= 2)
        stroke_path(stroke_, false);
    else if (dot_ && options_.dots)
        draw_dot(*dot_);
    stroke_.clear();
    dot_.reset();
}

// The mark a pen leaves where it goes down and moves no further, as the
// printer draws a line of no length: the shape of the pen's line ends (a
// disc, a square, a diamond), and for butt ends a bar as long as the pen is
// wide and one pixel thin, lying along the page's rows on a raster coarser
// than 400 dpi and across them on a finer one or a vector page (so the
// interpreter draws it, and a 600 dpi printer prints it). The printer's line
// types leave nothing.
void PlotInterpreter::draw_dot(Point plotter)
{
    start_page();
    Pen pen = current_pen();
    if (transparent(pen.colour) || !pen.dashes.empty() || pen.width < kPrinterDot)
        return;
    const Point at = plotter_to_sheet_.apply(plotter);
    const double half = pen.width / 2;
    Fill fill;
    fill.colour = pen.colour;
    switch (pen.end) {
    case LineEnd::Round:
        sink_.stroke({{{at, at}, false}}, pen);
        break;
    case LineEnd::Square:
        sink_.fill({{{{at.x - half, at.y - half},
                      {at.x + half, at.y - half},
                      {at.x + half, at.y + half},
                      {at.x - half, at.y + half}},
                     true}},
                   fill);
        break;
    case LineEnd::Triangular:
        sink_.fill(
            {{{{at.x - half, at.y}, {at.x, at.y - half}, {at.x + half, at.y}, {at.x, at.y + half}},
              true}},
            fill);
        break;
    case LineEnd::Butt: {
        const double pixel = options_.raster_pixel;
        const bool along_rows = pixel > kMillimetresPerInch / 400;
        double low = (along_rows ? at.x : at.y) - half;
        double high = low + pen.width;
        double thin = along_rows ? at.y : at.x;
        pen.width = kPrinterDot;
        if (pixel > 0) {
            // On a raster the bar is the pen's width in whole pixels, and
            // its one pixel of thickness is the one after the pixel corner
            // nearest the point: a stroke a little over a pixel wide, half a
            // pixel on, is adjusted onto that one.
            const double pixels = std::max(1.0, std::round(high / pixel - low / pixel));
            low = std::round((low + high) / 2 / pixel - pixels / 2) * pixel;
            high = low + pixels * pixel;
            thin += pixel / 2;
            pen.width = 1.25 * pixel;
        }
        const Path bar = along_rows ? Path{{{{low, thin}, {high, thin}}, false}}
                                    : Path{{{{thin, low}, {thin, high}}, false}};
        sink_.stroke(bar, pen);
        break;
    }
    }
}

void PlotInterpreter::move_to(Point plotter)
{
    if (polygon_mode_)
        polygon_point(plotter, false);
    else
        flush_stroke();
    position_ = plotter;
}

void PlotInterpreter::line_to(Point plotter)
{
    if (polygon_mode_) {
        polygon_point(plotter, true);
    } else if (plotter.x == position_.x && plotter.y == position_.y) {
        if (stroke_.empty())
            dot_ = position_;
    } else {
        dot_.reset();
        if (stroke_.empty())
            stroke_.push_back(position_);
        stroke_.push_back(plotter);
        if (stroke_.size() >= kStrokePiece) {
            flush_stroke();
            stroke_.push_back(plotter);
        }
    }
    position_ = plotter;
}

void PlotInterpreter::polyline_to(const std::vector<Point> &plotter)
{
    for (Point p : plotter) {
        if (pen_down_)
            line_to(p);
        else
            move_to(p);
    }
}

void PlotInterpreter::coordinate_pair(Point pair)
{
    const Point target = relative_ ? Point{position_.x + user_to_plotter_.apply_vector(pair).x,
                                           position_.y + user_to_plotter_.apply_vector(pair).y}
                                   : to_plotter(pair);
    if (pen_down_)
        line_to(target);
    else
        move_to(target);
    draw_symbol();
}

// SM: the symbol at the point the pen went to, centred on it (LO 5) as a
// label of one character; the pen stays.
void PlotInterpreter::draw_symbol()
{
    if (symbol_ == 0 || options_.font == nullptr)
        return;
    LabelSettings settings = label_;
    settings.origin = 5;
    const PlotterPoint at{position_.x, position_.y};
    layout_label(*options_.font, settings, {at, at}, std::string_view(&symbol_, 1), *this);
}

void PlotInterpreter::bezier(const double (&n)[6])
{
    const bool relative = code_ == mnemonic('B', 'R');
    Point control[4] = {position_};
    for (int i = 0; i < 3; ++i) {
        const Point given{n[2 * i], n[2 * i + 1]};
        if (relative) {
            const Point v = user_to_plotter_.apply_vector(given);
            control[i + 1] = {position_.x + v.x, position_.y + v.y};
        } else {
            control[i + 1] = to_plotter(given);
        }
    }
    double length = 0;
    for (int i = 0; i < 3; ++i)
        length += std::hypot(control[i + 1].x - control[i].x, control[i + 1].y - control[i].y);
    // About a chord per millimetre of the control polygon.
    const int steps = static_cast<int>(clamp_finite(length * kPlotterUnit, 4, 256));
    std::vector<Point> points;
    for (int k = 1; k <= steps; ++k) {
        const double t = static_cast<double>(k) / steps;
        const double u = 1 - t;
        const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
        points.push_back(
            {b0 * control[0].x + b1 * control[1].x + b2 * control[2].x + b3 * control[3].x,
             b0 * control[0].y + b1 * control[1].y + b2 * control[2].y + b3 * control[3].y});
    }
    polyline_to(points);
}

// The angle of one chord: the angle given (CT0), or the one whose chords
// stray at most the distance given from the arc (CT1); 5 degrees by
// default. Kept between half a degree and 180 so that no arc takes more
// than 720 chords a turn.
double PlotInterpreter::chord_angle(double radius, double given) const
{
    double angle = 5;
    if (given > 0 || (given < 0 && !chord_deviation_)) {
        if (chord_deviation_) {
            const double deviation = std::fabs(given);
            angle = deviation >= radius || radius <= 0
                        ? 180
                        : 2 * std::acos(1 - deviation / radius) / kDegrees;
        } else {
            angle = std::fabs(given);
        }
    }
    return clamp_finite(angle, 0.5, 180);
}

std::vector<Point> PlotInterpreter::arc_points(Point centre, double radius, double start,
                                               double sweep, double chord) const
{
    sweep = clamp_finite(sweep, -360, 360);
    const int steps = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / chord - 1e-9)));
    std::vector<Point> points;
    points.reserve(static_cast<std::size_t>(steps));
    for (int k = 1; k <= steps; ++k) {
        const double angle = (start + sweep * k / steps) * kDegrees;
        points.push_back(
            {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
    return points;
}

// Arcs, circles and wedges are drawn in user units, as the printer draws
// them: anisotropic scaling makes ellipses of them.
std::vector<Point> PlotInterpreter::to_plotter(std::vector<Point> user) const
{
    for (Point &p : user)
        p = user_to_plotter_.apply(p);
    return user;
}

void PlotInterpreter::arc(Point centre_given, double sweep, double chord, bool relative)
{
    const Point from = user_to_plotter_.inverse().apply(position_);
    const Point centre =
        relative ? Point{from.x + centre_given.x, from.y + centre_given.y} : centre_given;
    const double radius = std::hypot(from.x - centre.x, from.y - centre.y);
    if (!(radius > 0) || !std::isfinite(radius))
        return;
    const double start = std::atan2(from.y - centre.y, from.x - centre.x) / kDegrees;
    polyline_to(to_plotter(arc_points(centre, radius, start, sweep, chord_angle(radius, chord))));
}

void PlotInterpreter::arc_three_point(Point b, Point c, double chord)
{
    const Point a = user_to_plotter_.inverse().apply(position_);
    if (code_ == mnemonic('R', 'T')) {
        b = {a.x + b.x, a.y + b.y};
        c = {a.x + c.x, a.y + c.y};
    }
    const double d = 2 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
    if (std::fabs(d) < 1e-9 || !std::isfinite(d)) {
        // The three points on a line: straight to the end.
        polyline_to({user_to_plotter_.apply(c)});
        return;
    }
    const double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, c2 = c.x * c.x + c.y * c.y;
    const Point centre{(a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d,
                       (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d};
    const double radius = std::hypot(a.x - centre.x, a.y - centre.y);
    const double start = std::atan2(a.y - centre.y, a.x - centre.x) / kDegrees;
    const double to_end = std::atan2(c.y - centre.y, c.x - centre.x) / kDegrees - start;
    // d > 0: the points turn counter-clockwise.
    double sweep = std::fmod(to_end + 720, 360);
    if (d < 0)
        sweep -= 360;
    if (!std::isfinite(radius) || !std::isfinite(sweep))
        return;
    std::vector<Point> points =
        arc_points(centre, radius, start, sweep, chord_angle(radius, chord));
    if (!points.empty())
        points.back() = c;
    polyline_to(to_plotter(points));
}

void PlotInterpreter::circle(double radius, double chord)
{
    if (!std::isfinite(radius) || radius == 0)
        return;
    const Point centre = user_to_plotter_.inverse().apply(position_);
    // A negative radius starts on the other side.
    const double start = radius < 0 ? 180 : 0;
    const double r = std::fabs(radius);
    std::vector<Point> points{{centre.x + r * std::cos(start * kDegrees), centre.y}};
    for (Point p : arc_points(centre, r, start, 360, chord_angle(r, chord)))
        points.push_back(p);
    points = to_plotter(points);
    const Point back = position_;
    if (polygon_mode_) {
        polygon_.push_back({points, true});
        polygon_points_ += points.size();
    } else {
        stroke_path(points, true);
    }
    position_ = back;
}

void PlotInterpreter::rectangle(Point corner_given, bool fill)
{
    const bool relative = code_ == mnemonic('E', 'R') || code_ == mnemonic('R', 'R');
    Point corner;
    if (relative) {
        const Point v = user_to_plotter_.apply_vector(corner_given);
        corner = {position_.x + v.x, position_.y + v.y};
    } else {
        corner = to_plotter(corner_given);
    }
    const Point a = position_;
    const std::vector<Point> outline{a, {corner.x, a.y}, corner, {a.x, corner.y}};
    if (fill)
        fill_path({{outline, true}}, FillRule::NonZero);
    else
        stroke_path(outline, true);
}

void PlotInterpreter::wedge(double radius, double start, double sweep, double chord, bool fill)
{
    if (!std::isfinite(radius) || radius == 0)
        return;
    const Point centre = user_to_plotter_.inverse().apply(position_);
    // A negative radius starts on the other side.
    const double from = radius < 0 ? start + 180 : start;
    const double r = std::fabs(radius);
    std::vector<Point> outline{
        centre,
        {centre.x + r * std::cos(from * kDegrees), centre.y + r * std::sin(from * kDegrees)}};
    for (Point p : arc_points(centre, r, from, sweep, chord_angle(r, chord)))
        outline.push_back(p);
    outline = to_plotter(outline);
    if (fill)
        fill_path({{outline, true}}, FillRule::NonZero);
    else
        stroke_path(outline, true);
}

// Polygons.

void PlotInterpreter::polygon_point(Point plotter, bool drawn)
{
    if (polygon_points_ >= kPolygonLimit)
        return;
    if (!drawn || polygon_.empty() || !polygon_pen_down_) {
        if (!drawn) {
            polygon_.push_back({{plotter}, false});
            polygon_pen_down_ = false;
            ++polygon_points_;
            return;
        }
        if (polygon_.empty() || polygon_.back().closed)
            polygon_.push_back({{position_}, false});
        polygon_pen_down_ = true;
    }
    polygon_.back().points.push_back(plotter);
    ++polygon_points_;
}

void PlotInterpreter::close_polygon()
{
    if (!polygon_.empty())
        polygon_.back().closed = true;
}

void PlotInterpreter::polygon_mode()
{
    const int mode = count_ > 0 ? whole(numbers_[0]) : 0;
    if (mode == 0) {
        polygon_.clear();
        polygon_points_ = 0;
        polygon_mode_ = true;
        polygon_pen_down_ = false;
        polygon_.push_back({{position_}, false});
    } else if (mode == 1 && polygon_mode_) {
        close_polygon();
        polygon_.push_back({{position_}, false});
    } else if (mode == 2 && polygon_mode_) {
        close_polygon();
        polygon_mode_ = false;
    }
}

// Configuration.

void PlotInterpreter::input_p1_p2()
{
    const Point default_p2 = turned_plot_extent();
    if (count_ >= 2) {
        const Point offset{p2_.x - p1_.x, p2_.y - p1_.y};
        p1_ = {numbers_[0], numbers_[1]};
        p2_ = count_ >= 4 ? Point{numbers_[2], numbers_[3]}
                          : Point{p1_.x + offset.x, p1_.y + offset.y};
    } else {
        p1_ = {0, 0};
        p2_ = default_p2;
    }
    p1_p2_given_ = count_ >= 2;
    update_transforms();
}

void PlotInterpreter::input_relative()
{
    const Point extent = turned_plot_extent();
    if (count_ < 2) {
        p1_ = {0, 0};
        p2_ = extent;
    } else {
        const Point offset{p2_.x - p1_.x, p2_.y - p1_.y};
        p1_ = {numbers_[0] / 100 * extent.x, numbers_[1] / 100 * extent.y};
        p2_ = count_ >= 4 ? Point{numbers_[2] / 100 * extent.x, numbers_[3] / 100 * extent.y}
                          : Point{p1_.x + offset.x, p1_.y + offset.y};
    }
    p1_p2_given_ = count_ >= 2;
    update_transforms();
}

void PlotInterpreter::scale()
{
    if (count_ < 4) {
        scaling_ = Scaling::None;
    } else {
        std::copy(numbers_, numbers_ + 4, scale_);
        const int type = count_ >= 5 ? whole(numbers_[4]) : 0;
        scaling_ = type == 1   ? Scaling::Isotropic
                   : type == 2 ? Scaling::PointFactor
                               : Scaling::Anisotropic;
        iso_left_ = count_ >= 7 ? clamp_finite(numbers_[5], 0, 100) : 50;
        iso_bottom_ = count_ >= 7 ? clamp_finite(numbers_[6], 0, 100) : 50;
    }
    update_transforms();
    // A window IW gave in plotter units is read again in the new user
    // units, and keeps that place from then on, as the PCL interpreter
    // clips: IW0,0,50,50;SC0,100,0,100 clips to the middle of P1 and P2.
    if (window_set_ && window_unscaled_ && scaling_ != Scaling::None) {
        const Point a = to_plotter(window_low_);
        const Point b = to_plotter(window_high_);
        window_low_ = {std::min(a.x, b.x), std::min(a.y, b.y)};
        window_high_ = {std::max(a.x, b.x), std::max(a.y, b.y)};
        window_unscaled_ = false;
        if (page_open_)
            apply_clip();
    }
}

void PlotInterpreter::input_window()
{
    if (count_ < 4) {
        window_set_ = false;
    } else {
        const Point a = to_plotter({numbers_[0], numbers_[1]});
        const Point b = to_plotter({numbers_[2], numbers_[3]});
        window_set_ = true;
        window_low_ = {std::min(a.x, b.x), std::min(a.y, b.y)};
        window_high_ = {std::max(a.x, b.x), std::max(a.y, b.y)};
        window_unscaled_ = scaling_ == Scaling::None;
    }
    if (page_open_)
        apply_clip();
}

// Lines and fills.

void PlotInterpreter::line_attributes()
{
    if (count_ == 0) {
        line_end_ = LineEnd::Butt;
        line_join_ = LineJoin::Mitered;
        miter_limit_ = 5;
        return;
    }
    for (std::size_t i = 0; i + 1 < count_; i += 2) {
        const int kind = whole(numbers_[i]);
        const double value = numbers_[i + 1];
        const int choice = whole(value);
        if (kind == 1 && choice >= 1 && choice <= 4)
            line_end_ = static_cast<LineEnd>(choice - 1);
        else if (kind == 2 && choice >= 1 && choice <= 6)
            line_join_ = static_cast<LineJoin>(choice - 1);
        else if (kind == 3)
            miter_limit_ = clamp_finite(value, 1, 32767);
    }
}

void PlotInterpreter::line_type()
{
    if (count_ == 0) {
        saved_line_type_ = line_type_;
        line_type_ = 0;
        return;
    }
    const int type = static_cast<int>(clamp_finite(numbers_[0], -99, 99));
    if (type == 99) {
        if (line_type_ == 0)
            line_type_ = saved_line_type_;
        return;
    }
    // LT0 puts dots at the points given; drawn solid here.
    line_type_ = type >= -8 && type <= 8 ? type : 0;
    if (count_ >= 2 && numbers_[1] > 0 && std::isfinite(numbers_[1]))
        pattern_length_ = numbers_[1];
    if (count_ >= 3)
        pattern_absolute_ = numbers_[2] == 1;
}

void PlotInterpreter::user_line_type()
{
    if (count_ == 0) {
        for (auto &type : user_types_)
            type.clear();
        return;
    }
    const int index = whole(numbers_[0]);
    if (index < 1 || index > 8)
        return;
    std::vector<double> &type = user_types_[static_cast<std::size_t>(index - 1)];
    type.clear();
    for (std::size_t i = 1; i < count_; ++i)
        type.push_back(clamp_finite(numbers_[i], 0, 32767));
}

void PlotInterpreter::fill_type()
{
    const int type = count_ > 0 ? whole(numbers_[0]) : 1;
    switch (type) {
    case 1:
    case 2:
        fill_type_ = 1;
        break;
    case 3:
    case 4:
        fill_type_ = type;
        if (count_ >= 2)
            hatch_spacing_ = clamp_finite(numbers_[1], 0, 1e9);
        if (count_ >= 3)
            hatch_angle_ = clamp_finite(numbers_[2], -360, 360);
        break;
    case 10:
        fill_type_ = 10;
        if (count_ >= 2)
            shading_ = clamp_finite(numbers_[1], 0, 100);
        break;
    default:
        break; // raster and PCL patterns: the fill stays as it was
    }
}

void PlotInterpreter::pen_width()
{
    const double width = count_ > 0 ? clamp_finite(numbers_[0], 0, 1000)
                                    : (relative_width_ ? 0.1 : options_.pen_width);
    if (count_ >= 2) {
        const int pen = whole(numbers_[1]);
        if (pen >= 0 && static_cast<std::size_t>(pen) < pens_.size())
            pens_[static_cast<std::size_t>(pen)].width = width;
        return;
    }
    for (PenSetting &pen : pens_)
        pen.width = width;
}

void PlotInterpreter::pen_colour()
{
    if (count_ == 0) {
        for (std::size_t i = 0; i < pens_.size(); ++i)
            pens_[i].colour = default_colour(i, options_.pcl_job);
        return;
    }
    const int pen = whole(numbers_[0]);
    if (pen < 0 || static_cast<std::size_t>(pen) >= pens_.size())
        return;
    Colour &colour = pens_[static_cast<std::size_t>(pen)].colour;
    if (count_ < 4) {
        colour = default_colour(static_cast<std::size_t>(pen), options_.pcl_job);
        return;
    }
    double channel[3];
    for (int i = 0; i < 3; ++i) {
        const double range = colour_high_[i] - colour_low_[i];
        channel[i] =
            range == 0 ? 0 : clamp_finite((numbers_[1 + i] - colour_low_[i]) / range, 0, 1);
    }
    colour = {channel[0], channel[1], channel[2]};
}

// An instruction whose parameters are all read.
void PlotInterpreter::execute()
{
    const double *n = numbers_;
    switch (code_) {
    case mnemonic('I', 'N'): {
        // The PCL interpreter's IN keeps the pen selected (only a reset of
        // the printer selects pen 1): a page that a plot starts with IN
        // after SP0 draws in white until its first SP.
        const int pen = pen_;
        reset_graphics();
        if (options_.pcl_job)
            pen_ = pen;
        break;
    }
    case mnemonic('D', 'F'):
        default_attributes();
        update_transforms();
        if (page_open_)
            apply_clip();
        break;
    case mnemonic('P', 'G'):
        if (!options_.pcl_job)
            end_page();
        break;
    case mnemonic('P', 'S'):
        if (!options_.pcl_job) {
            p1_ = {0, 0};
            p2_ = {plot_length_, plot_width_};
            p1_p2_given_ = false;
            update_transforms();
        }
        break;
    case mnemonic('R', 'O'): {
        const int angle = count_ > 0 ? whole(n[0]) : 0;
        if (angle == 0 || angle == 90 || angle == 180 || angle == 270) {
            // The pen stays where it is on the paper, in the new coordinates.
            const Point on_sheet = plotter_to_sheet_.apply(position_);
            rotation_ = angle;
            update_transforms();
            position_ = plotter_to_sheet_.inverse().apply(on_sheet);
            if (page_open_)
                apply_clip();
        }
        break;
    }
    case mnemonic('I', 'P'):
        input_p1_p2();
        break;
    case mnemonic('I', 'R'):
        input_relative();
        break;
    case mnemonic('S', 'C'):
        scale();
        break;
    case mnemonic('I', 'W'):
        input_window();
        break;
    case mnemonic('P', 'D'):
    case mnemonic('P', 'U'):
    case mnemonic('P', 'A'):
    case mnemonic('P', 'R'):
    case mnemonic('B', 'Z'):
    case mnemonic('B', 'R'):
        break; // drawn as their coordinates came
    case mnemonic('A', 'A'):
    case mnemonic('A', 'R'):
        if (count_ >= 3)
            arc({n[0], n[1]}, n[2], count_ >= 4 ? n[3] : 0, code_ == mnemonic('A', 'R'));
        break;
    case mnemonic('A', 'T'):
    case mnemonic('R', 'T'):
        if (count_ >= 4)
            arc_three_point({n[0], n[1]}, {n[2], n[3]}, count_ >= 5 ? n[4] : 0);
        break;
    case mnemonic('C', 'I'):
        if (count_ >= 1)
            circle(n[0], count_ >= 2 ? n[1] : 0);
        break;
    case mnemonic('C', 'T'):
        chord_deviation_ = count_ > 0 && n[0] == 1;
        break;
    case mnemonic('T', 'R'):
        source_transparent_ = count_ == 0 || n[0] != 0;
        break;
    case mnemonic('E', 'A'):
    case mnemonic('E', 'R'):
        if (count_ >= 2)
            rectangle({n[0], n[1]}, false);
        break;
    case mnemonic('R', 'A'):
    case mnemonic('R', 'R'):
        if (count_ >= 2)
            rectangle({n[0], n[1]}, true);
        break;
    case mnemonic('E', 'W'):
    case mnemonic('W', 'G'):
        if (count_ >= 3)
            wedge(n[0], n[1], n[2], count_ >= 4 ? n[3] : 0, code_ == mnemonic('W', 'G'));
        break;
    case mnemonic('P', 'M'):
        polygon_mode();
        break;
    case mnemonic('E', 'P'):
        // The printer edges each sub-polygon as it was drawn: one that does
        // not come back to its start is left open (fig2dev draws open
        // polylines so).
        for (const SubPath &sub : polygon_)
            stroke_path(sub.points, false);
        break;
    case mnemonic('F', 'P'):
        if (!polygon_.empty())
            fill_path(polygon_, count_ > 0 && n[0] == 1 ? FillRule::NonZero : FillRule::EvenOdd);
        break;
    case mnemonic('F', 'T'):
        fill_type();
        break;
    case mnemonic('L', 'A'):
        line_attributes();
        break;
    case mnemonic('L', 'T'):
        line_type();
        break;
    case mnemonic('U', 'L'):
        user_line_type();
        break;
    case mnemonic('S', 'P'):
        select_pen(count_ > 0 ? static_cast<std::int64_t>(clamp_finite(n[0], 0, 1e9)) : 0);
        break;
    case mnemonic('S', 'I'):
        size_given_ = count_ >= 2;
        if (size_given_)
            label_.size = absolute_character_size(n[0], n[1]);
        update_label_size();
        break;
    case mnemonic('S', 'R'):
        size_given_ = true;
        label_.size = relative_character_size(count_ >= 2 ? n[0] : 0.75, count_ >= 2 ? n[1] : 1.5,
                                              {p2_.x - p1_.x, p2_.y - p1_.y});
        break;
    case mnemonic('D', 'T'):
        // Mode 1, the default, keeps the terminator off the page.
        terminator_prints_ = count_ > 0 && n[0] == 0;
        break;
    case mnemonic('S', 'L'):
        label_.slant = count_ > 0 ? clamp_finite(n[0], -1000, 1000) : 0;
        break;
    case mnemonic('D', 'I'):
        label_.direction =
            count_ >= 2 && (n[0] != 0 || n[1] != 0) ? PlotterPoint{n[0], n[1]} : PlotterPoint{1, 0};
        break;
    case mnemonic('D', 'R'):
        label_.direction = count_ >= 2 && (n[0] != 0 || n[1] != 0)
                               ? relative_direction(n[0], n[1], {p2_.x - p1_.x, p2_.y - p1_.y})
                               : PlotterPoint{1, 0};
        break;
    case mnemonic('D', 'V'): {
        const int path = count_ > 0 ? whole(n[0]) : 0;
        label_.path = path >= 0 && path <= 3 ? static_cast<TextPath>(path) : TextPath::Right;
        label_.reverse_line_feed = count_ >= 2 && n[1] == 1;
        break;
    }
    case mnemonic('L', 'O'): {
        const int origin = count_ > 0 ? whole(n[0]) : 1;
        label_.origin = (origin >= 1 && origin <= 9) || (origin >= 11 && origin <= 19) ? origin : 1;
        break;
    }
    case mnemonic('E', 'S'):
        label_.extra_space = count_ > 0 ? clamp_finite(n[0], -100, 100) : 0;
        label_.extra_lines = count_ > 1 ? clamp_finite(n[1], -100, 100) : 0;
        break;
    case mnemonic('L', 'M'):
        label_.seven_bit = count_ > 0 && n[0] == 1;
        break;
    case mnemonic('S', 'D'):
        font_definition(false);
        break;
    case mnemonic('A', 'D'):
        font_definition(true);
        break;
    case mnemonic('S', 'S'):
        alternate_selected_ = false;
        update_label_size();
        break;
    case mnemonic('S', 'A'):
        alternate_selected_ = true;
        update_label_size();
        break;
    case mnemonic('C', 'P'):
        label_start();
        label_at_ = count_ >= 1 ? character_plot(label_, label_at_, n[0], count_ >= 2 ? n[1] : 0)
                                : character_plot_new_line(label_, label_at_);
        position_ = {label_at_.pen.x, label_at_.pen.y};
        break;
    case mnemonic('P', 'W'):
        pen_width();
        break;
    case mnemonic('W', 'U'):
        relative_width_ = count_ > 0 && n[0] == 1;
        for (PenSetting &pen : pens_)
            pen.width = relative_width_ ? 0.1 : options_.pen_width;
        break;
    case mnemonic('N', 'P'): {
        const int count = count_ > 0 ? static_cast<int>(clamp_finite(n[0], 2, kMaxPens)) : 8;
        const std::size_t old = pens_.size();
        pens_.resize(static_cast<std::size_t>(count), PenSetting{});
        for (std::size_t i = old; i < pens_.size(); ++i) {
            pens_[i].width = pens_[1].width;
            pens_[i].colour = default_colour(i, options_.pcl_job);
        }
        break;
    }
    case mnemonic('P', 'C'):
        pen_colour();
        break;
    case mnemonic('C', 'R'):
        if (count_ >= 6) {
            for (int i = 0; i < 3; ++i) {
                colour_low_[i] = n[2 * i];
                colour_high_[i] = n[2 * i + 1];
            }
        } else {
            std::fill(std::begin(colour_low_), std::end(colour_low_), 0);
            std::fill(std::begin(colour_high_), std::end(colour_high_), 255);
        }
        break;
    default:
        break; // read and passed over
    }
}

// SPDX-License-Identifier: MIT
// Lines and pens: line attributes and types (LA LT UL), pen widths (PW
// WU), the pens and their colours (NP PC CR SP), and transparency (TR).
#include "hpgl_instructions.h"

#include "pen_colour.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxPens = 256;

} // namespace

void choose_pen(Plotter &p, std::int64_t pen)
{
    GraphicsState &s = p.state;
    flush_stroke(p);
    // Pens beyond the last wrap around to pen 1 on.
    s.pen = static_cast<int>(std::clamp<std::int64_t>(pen, 0, 1000000000));
    if (static_cast<std::size_t>(s.pen) >= s.pens.size())
        s.pen = (s.pen - 1) % (static_cast<int>(s.pens.size()) - 1) + 1;
}

namespace instruction {

void line_attributes(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    if (n.count == 0) {
        s.line_end = LineEnd::Butt;
        s.line_join = LineJoin::Mitered;
        s.miter_limit = 5;
        return;
    }
    for (std::size_t i = 0; i + 1 < n.count; i += 2) {
        const int kind = integer_parameter(n[i]);
        const double value = n[i + 1];
        const int choice = integer_parameter(value);
        if (kind == 1 && choice >= 1 && choice <= 4)
            s.line_end = static_cast<LineEnd>(choice - 1);
        else if (kind == 2 && choice >= 1 && choice <= 6)
            s.line_join = static_cast<LineJoin>(choice - 1);
        else if (kind == 3)
            s.miter_limit = clamp_parameter(value, 1, 32767);
    }
}

void line_type(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    if (n.count == 0) {
        s.saved_line_type = s.line_type;
        s.line_type = 0;
        return;
    }
    const int type = static_cast<int>(clamp_parameter(n[0], -99, 99));
    if (type == 99) {
        if (s.line_type == 0)
            s.line_type = s.saved_line_type;
        return;
    }
    // LT0 puts dots at the points given; drawn solid here.
    s.line_type = type >= -8 && type <= 8 ? type : 0;
    if (n.count >= 2 && n[1] > 0 && std::isfinite(n[1]))
        s.pattern_length = n[1];
    if (n.count >= 3)
        s.pattern_absolute = n[2] == 1;
}

void user_line_type(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    if (n.count == 0) {
        for (auto &type : s.user_types)
            type.clear();
        return;
    }
    const int index = integer_parameter(n[0]);
    if (index < 1 || index > 8)
        return;
    std::vector<double> &type = s.user_types[static_cast<std::size_t>(index - 1)];
    type.clear();
    for (std::size_t i = 1; i < n.count; ++i)
        type.push_back(clamp_parameter(n[i], 0, 32767));
}

void pen_width(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    const double width = n.count > 0 ? clamp_parameter(n[0], 0, 1000)
                                     : (s.relative_width ? 0.1 : p.options.pen_width);
    if (n.count >= 2) {
        const int pen = integer_parameter(n[1]);
        if (pen >= 0 && static_cast<std::size_t>(pen) < s.pens.size())
            s.pens[static_cast<std::size_t>(pen)].width = width;
        return;
    }
    for (PenSetting &pen : s.pens)
        pen.width = width;
}

void width_unit(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    s.relative_width = n.count > 0 && n[0] == 1;
    for (PenSetting &pen : s.pens)
        pen.width = s.relative_width ? 0.1 : p.options.pen_width;
}

void number_of_pens(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    const int count = n.count > 0 ? static_cast<int>(clamp_parameter(n[0], 2, kMaxPens)) : 8;
    const std::size_t old = s.pens.size();
    s.pens.resize(static_cast<std::size_t>(count), PenSetting{});
    for (std::size_t i = old; i < s.pens.size(); ++i) {
        s.pens[i].width = s.pens[1].width;
        s.pens[i].colour = default_pen_colour(i, p.options.pcl_job);
    }
}

void pen_colour(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    if (n.count == 0) {
        for (std::size_t i = 0; i < s.pens.size(); ++i)
            s.pens[i].colour = default_pen_colour(i, p.options.pcl_job);
        return;
    }
    const int pen = integer_parameter(n[0]);
    if (pen < 0 || static_cast<std::size_t>(pen) >= s.pens.size())
        return;
    Colour &colour = s.pens[static_cast<std::size_t>(pen)].colour;
    if (n.count < 4) {
        colour = default_pen_colour(static_cast<std::size_t>(pen), p.options.pcl_job);
        return;
    }
    double channel[3];
    for (int i = 0; i < 3; ++i) {
        const double range = s.colour_high[i] - s.colour_low[i];
        channel[i] = range == 0 ? 0 : clamp_parameter((n[1 + i] - s.colour_low[i]) / range, 0, 1);
    }
    colour = {channel[0], channel[1], channel[2]};
}

void colour_range(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    if (n.count >= 6) {
        for (int i = 0; i < 3; ++i) {
            s.colour_low[i] = n[2 * i];
            s.colour_high[i] = n[2 * i + 1];
        }
    } else {
        std::fill(std::begin(s.colour_low), std::end(s.colour_low), 0);
        std::fill(std::begin(s.colour_high), std::end(s.colour_high), 255);
    }
}

void select_pen(Plotter &p, const Parameters &n)
{
    choose_pen(p, n.count > 0 ? static_cast<std::int64_t>(clamp_parameter(n[0], 0, 1e9)) : 0);
}

void transparency(Plotter &p, const Parameters &n)
{
    p.state.source_transparent = n.count == 0 || n[0] != 0;
}

} // namespace instruction

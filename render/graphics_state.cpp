// SPDX-License-Identifier: MIT
#include "graphics_state.h"

#include "pen_colour.h"

#include <algorithm>

void set_defaults(GraphicsState &s)
{
    s.scaling = Scaling::None;
    s.window_set = false;
    s.relative = false;
    s.symbol = 0;
    s.line_type = 0;
    s.saved_line_type = 0;
    s.pattern_length = 4;
    s.pattern_absolute = false;
    s.fill_type = 1;
    s.hatch_spacing = 0;
    s.hatch_angle = 0;
    s.shading = 100;
    s.source_transparent = true;
    s.polygon_mode = false;
    s.polygon.clear();
    s.polygon_edges.clear();
    s.polygon_points = 0;
    ++s.polygon_generation;
    std::fill(std::begin(s.colour_low), std::end(s.colour_low), 0);
    std::fill(std::begin(s.colour_high), std::end(s.colour_high), 255);
    s.label_terminator = 3;
    s.terminator_prints = false;
    s.standard_font = {};
    s.alternate_font = {};
    s.alternate_selected = false;
    s.size_given = false;
    s.label = {};
    update_label_size(s);
}

void initialise(GraphicsState &s, Point plot_extent, double pen_width, bool printer)
{
    s.rotation = 0;
    s.p1 = {0, 0};
    s.p2 = plot_extent;
    s.p1_p2_given = false;
    s.pens.assign(8, PenSetting{});
    for (std::size_t i = 0; i < s.pens.size(); ++i) {
        s.pens[i].width = pen_width;
        s.pens[i].colour = default_pen_colour(i, printer);
    }
    s.relative_width = false;
    s.pen = 1;
    s.position = {0, 0};
    s.pen_down = false;
    s.line_end = LineEnd::Butt;
    s.line_join = LineJoin::Mitered;
    s.miter_limit = 5;
    for (auto &type : s.user_types)
        type.clear();
    set_defaults(s);
    s.label_at = {{0, 0}, {0, 0}};
}

void update_label_size(GraphicsState &s)
{
    const FontChoice &font = s.alternate_selected ? s.alternate_font : s.standard_font;
    if (!s.size_given)
        s.label.size = font_character_size(font.proportional, font.pitch, font.height);
    s.label.proportional = font.proportional;
    s.label.typeface = font.typeface;
    s.label.font_height = font.height;
}

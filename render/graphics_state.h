// SPDX-License-Identifier: MIT
// The HP-GL/2 graphics state: everything the instructions set and the
// drawing reads. IN sets all of it to its defaults; DF only what
// set_defaults lists. A PCL reset (ESC E) resets the PCL page and then does
// what IN does.
#ifndef ZELVO_GRAPHICS_STATE_H
#define ZELVO_GRAPHICS_STATE_H

#include "label_layout.h"
#include "page_sink.h"
#include "units.h"

#include <array>
#include <cstdint>
#include <vector>

enum class Scaling { None, Anisotropic, Isotropic, PointFactor };

struct PenSetting {
    double width = kInitialPenWidth; // millimetres, or percent of P1-P2 with WU1
    Colour colour;
};

// A font SD or AD defines, as far as labels use it.
struct FontChoice {
    bool proportional = false;
    double pitch = 9;     // characters per inch
    double height = 11.5; // points
    int typeface = 48;    // the stick font
};

struct GraphicsState {
    // Set by IN alone.
    int rotation = 0; // RO, degrees
    Point p1;         // plotter units
    Point p2;
    bool p1_p2_given = false; // by IP or IR, since IN
    Point position;           // plotter units
    bool pen_down = false;
    int pen = 1;
    std::vector<PenSetting> pens;
    bool relative_width = false; // WU1
    LineEnd line_end = LineEnd::Butt;
    LineJoin line_join = LineJoin::Mitered;
    double miter_limit = 5;
    std::array<std::vector<double>, 8> user_types; // UL, empty for the fixed types
    LabelPosition label_at;

    // Set by DF, and by IN with it.
    Scaling scaling = Scaling::None;
    bool window_set = false;
    bool relative = false; // PR
    char symbol = 0;       // SM's symbol, drawn at each point; 0 for none
    int line_type = 0;     // 0: solid
    double pattern_length = 4;
    bool pattern_absolute = false;
    int saved_line_type = 0;
    int fill_type = 1;
    double hatch_spacing = 0;
    double hatch_angle = 0;
    double shading = 100;
    bool source_transparent = true; // TR
    bool polygon_mode = false;
    // The polygon buffer, plotter units: the subpolygons FP fills, every
    // point of each whether the pen was up or down; and the lines EP
    // edges, those drawn with the pen down.
    Path polygon;
    Path polygon_edges;
    std::size_t polygon_points = 0;
    // Counts every change of the polygon buffer: two draws of the same
    // generation draw the same polygon.
    std::uint64_t polygon_generation = 0;
    double colour_low[3] = {0, 0, 0};
    double colour_high[3] = {255, 255, 255};
    char label_terminator = 3; // DT's
    bool terminator_prints = false;
    FontChoice standard_font;
    FontChoice alternate_font;
    bool alternate_selected = false;
    bool size_given = false; // SI or SR, not the font, sizes the characters
    LabelSettings label;

    // Set only by the instructions that give them.
    double scale[4] = {}; // SC's numbers
    double iso_left = 50;
    double iso_bottom = 50;
    Point window_low; // plotter units
    Point window_high;
    // IW came with no scaling: the printer reads its numbers again as user
    // units at the next SC that scales.
    bool window_unscaled = false;
    // In polygon mode: the last point was drawn with the pen down (a line of
    // polygon_edges runs on to the next), the next point starts a
    // subpolygon (after PM1), and the pen as PM0 found it, which PM2 puts
    // back.
    bool polygon_pen_down = false;
    bool subpolygon_due = false;
    bool pen_down_before_polygon = false;
};

// What DF sets: the defaults of everything but P1 and P2, the rotation, the
// pens, the line ends and the pen's place.
void set_defaults(GraphicsState &state);

// What IN sets, DF's defaults among it: P1 at the origin and P2 at
// `plot_extent`, eight pens `pen_width` millimetres wide in their default
// colours (as a printer prints them when `printer`).
void initialise(GraphicsState &state, Point plot_extent, double pen_width, bool printer);

// The character size and face of the selected font, unless SI or SR gave
// the size.
void update_label_size(GraphicsState &state);

#endif

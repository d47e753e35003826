// SPDX-License-Identifier: MIT
// The interpreter's state, one record of records, and the functions the
// instruction groups share: where the plot lies on the sheet, the
// coordinate systems, and drawing on the sink. Each group of instructions
// (configuration, vectors, polygons, lines and pens, labels, the PCL page)
// is a file of functions over this record.
#ifndef ZELVO_PLOTTER_H
#define ZELVO_PLOTTER_H

#include "affine.h"
#include "graphics_state.h"
#include "page_marks.h"
#include "page_sink.h"
#include "pcl_page.h"
#include "pcl_raster.h"
#include "pixel_grid.h"
#include "polyline_encoded.h"
#include "stroke_font.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where a plot that is no PCL job goes on its page.
struct PlotLayout {
    double sheet_width = 0; // millimetres
    double sheet_height = 0;
    Affine plot_to_sheet; // plotter units (before RO) to the sheet
    // The plot's extent in plotter units: where P1 and P2 sit after IN.
    double plot_length = 0;
    double plot_width = 0;
};

// Where the interpreter says what of a plot it could not draw as the plot
// asks: each kind of thing once a stream.
class InterpreterWarnings {
public:
    virtual void warn(const char *message) = 0;

protected:
    ~InterpreterWarnings() = default;
};

struct InterpreterOptions {
    // A PCL job places the plot itself and prints in black and white;
    // otherwise `layout` places it and PG ends a page.
    bool pcl_job = false;
    PlotLayout layout;
    double pen_width = kInitialPenWidth; // every pen's width after IN, millimetres
    int sheet_quarters = 0;              // the sheet turned clockwise, in quarter turns
    // A PCL job's landscape pages turned a quarter more, so that they read
    // upright, as a person holds the sheet.
    bool upright = false;
    // Millimetres per pixel of a raster output, 0 for a vector one: the PCL
    // interpreter puts a job's plot origin, and SC's user origin, on pixel
    // corners (pixel_grid.h).
    double raster_pixel = 0;
    // The font labels are drawn with; none draws no labels.
    const StrokeFont *font = nullptr;
    // Whether labels in the printer's outline fonts are handed to the sink
    // as glyphs to fill (layout_label), rather than drawn with `font`.
    bool outline_glyphs = false;
    // Whether a pen put down without moving leaves its dot.
    bool dots = true;
    // None: nothing is said.
    InterpreterWarnings *warnings = nullptr;
    // Every mark goes to the sink, wherever it lies, and begins a page: for
    // a measure of the drawing. Else only marks that show (page_marks.h).
    bool every_mark = false;
};

// Where the plot lies on the sheet: from the PCL page's picture frame in a
// PCL job, else from the layout; the sheet turned as asked.
struct SheetPlacement {
    double sheet_width = 0; // millimetres
    double sheet_height = 0;
    Affine plot_to_sheet;         // plotter units, before RO
    Affine logical_page_to_sheet; // PCL's logical page, inches, to the sheet
    OriginSteps origin_steps;     // how the printer reaches the plot's origin
    double pen_scale = 1;         // metric pen widths on the sheet, per millimetre
    double plot_length = 0;       // P2 after IN, plotter units
    double plot_width = 0;
    Point frame_low; // the picture frame on the sheet
    Point frame_high;
    bool frame_clips = false;
};

// The pages, and the PCL side of a job: what a PCL reset resets is `pcl`.
struct PageState {
    PclPage pcl;
    PclCursor text_cursor; // where PCL context prints next, and ESC *c0T anchors
    bool form_fed = false; // the page the printer ejects next is a form feed's
};

// The things the interpreter warns of, each once.
enum class Warning : unsigned {
    PolygonFull = 1,
    PolygonRedrawn = 2,
    RasterRefused = 4,
};

// The last fill or edge of the polygon buffer, and how often this buffer
// was drawn: a repeat of the same drawing with nothing drawn between shows
// nothing new, and the draws of one buffer are bounded.
struct PolygonDraws {
    std::uint64_t buffer = 0; // the buffer's generation
    std::size_t count = 0;
    std::size_t points = 0;   // drawn of it, all draws together
    std::vector<double> last; // how the last draw drew, all of it
    std::uint64_t sink_calls_after = 0;
};

// What is drawn and not yet given to the sink.
struct PendingStroke {
    std::vector<Point> points; // plotter units
    // Where the pen went down and has drawn nothing since: a dot, unless a
    // line follows from there.
    std::optional<Point> dot; // plotter units
};

struct Plotter {
    Plotter(PageSink &out, const InterpreterOptions &options)
        : sink(out, options.every_mark), options(options)
    {
    }

    PageMarks sink;
    InterpreterOptions options;
    SheetPlacement placement;
    PageState page;
    GraphicsState state;
    // The coordinate systems the state gives, kept up to date by
    // update_transforms.
    Affine plotter_to_sheet;
    Affine user_to_plotter;
    PendingStroke pending;
    std::string label_text; // the label read so far, laid out at its end
    EncodedPolylineDecoder encoded;
    PolygonDraws polygon_draws;
    RasterGraphics raster;
    unsigned warned = 0; // the Warnings said
};

// Says `message` through the options' warnings, once for each `kind`.
void warn_once(Plotter &p, Warning kind, const char *message);

// An instruction's numbers, as many as were given (up to a limit).
struct Parameters {
    const double *numbers = nullptr;
    std::size_t count = 0;

    double operator[](std::size_t i) const { return numbers[i]; }
};

// A parameter as an integer: its integer part, kept within reach of an int
// (any value that far out means nothing to any instruction).
int integer_parameter(double value);
// A parameter kept between `low` and `high`; `low` when it is not finite.
double clamp_parameter(double value, double low, double high);

// What IN does: every setting to its default, the pen at the origin.
void initialise_graphics(Plotter &p);

// Where the plot lies: the PCL page's frame, or the layout.
void place_plot_on_sheet(Plotter &p);
// The coordinate systems after a change of placement, P1 and P2, rotation
// or scaling.
void update_transforms(Plotter &p);
// The plot's extent in plotter units along the axes RO turned.
Point turned_plot_extent(const Plotter &p);
// User units to plotter units.
Point to_plotter(const Plotter &p, Point user);
std::vector<Point> to_plotter(const Plotter &p, std::vector<Point> user);
// A move in user units, added to the pen's place.
Point relative_to_pen(const Plotter &p, Point user_move);
// The length of P1-P2, plotter units.
double diagonal(const Plotter &p);

// The clip the state gives, for the marks from now on.
void apply_clip(Plotter &p);

// The pen, the fill and the drawing of the current state.
Pen current_pen(const Plotter &p);
Fill current_fill(const Plotter &p, FillRule rule);
bool transparent(const Plotter &p, const Colour &colour);
void stroke_path(Plotter &p, const std::vector<Point> &plotter, bool closed);
void fill_path(Plotter &p, Path plotter_path, FillRule rule);
void flush_stroke(Plotter &p);
void move_to(Plotter &p, Point plotter);
void line_to(Plotter &p, Point plotter);
// To each point with the pen as it is, up or down.
void polyline_to(Plotter &p, const std::vector<Point> &plotter);
// To the point with the pen as it is, and the symbol there.
void pen_to(Plotter &p, Point plotter);

// SP's pen, or the one PE selects; pens beyond the last wrap around.
void choose_pen(Plotter &p, std::int64_t pen);

// The points of an arc, in user units, after its start: chords of the chord
// angle given (see vector_instructions.cpp).
std::vector<Point> user_arc(Point centre, double radius, double start, double sweep, double chord);

// A point of the polygon buffer, which polygon mode draws into: a move, or
// a line from the pen when `drawn`.
void polygon_point(Plotter &p, Point plotter, bool drawn);
// A closed figure of the polygon buffer (CI's circle), as many of its
// points as the buffer holds.
void polygon_figure(Plotter &p, std::vector<Point> plotter);
// Whether the polygon buffer holds all it can (said once, when it is).
bool polygon_full(Plotter &p);

// Labels: the symbol SM puts at the pen, and the text LB has read so far.
void draw_symbol(Plotter &p);
void draw_label_text(Plotter &p);
void label_start(Plotter &p);

#endif

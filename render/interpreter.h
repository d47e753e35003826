// SPDX-License-Identifier: MIT
// HP-GL/2 as a PCL 5 printer draws it: the instructions the plot scanner
// reads become paths on a PageSink. One interpreter reads one stream; its
// memory stays bounded whatever the stream's size (long polylines go out in
// pieces, the polygon buffer has a cap).
#ifndef ZELVO_INTERPRETER_H
#define ZELVO_INTERPRETER_H

#include "affine.h"
#include "label_layout.h"
#include "page_sink.h"
#include "pcl_page.h"
#include "pcl_text.h"
#include "pixel_grid.h"
#include "plot_scanner.h"
#include "polyline_encoded.h"
#include "stroke_font.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
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

struct InterpreterOptions {
    // A PCL job places the plot itself and prints in black and white;
    // otherwise `layout` places it and PG ends a page.
    bool pcl_job = false;
    PlotLayout layout;
    double pen_width = kInitialPenWidth; // every pen's width after IN, millimetres
    int sheet_quarters = 0;              // the sheet turned clockwise, in quarter turns
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
};

// A number of an instruction's parameters, read as the bytes come.
struct NumberReader {
    bool in_number = false;
    bool has_digit = false;
    bool negative = false;
    bool fraction = false;
    double value = 0;
    double scale = 1;
};

class PlotInterpreter : public ScanEvents,
                        private EncodedPolylineListener,
                        private LabelStrokeListener,
                        private PclTextListener {
public:
    PlotInterpreter(PageSink &sink, const InterpreterOptions &options);

    void instruction(char first, char second) override;
    void parameters(const char *bytes, std::size_t size) override;
    void text(const char *bytes, std::size_t size) override;
    void instruction_end() override;
    void escape(const EscapeSequence &sequence) override;
    void context(bool pcl) override;
    void page_ejected() override;
    void pcl_text(const char *bytes, std::size_t size) override;
    void label_terminated() override;

    // The stream ended: draws what is pending and ends the last page. A
    // stream that drew nothing still gives one (empty) page.
    void finish();

    std::uint64_t pages() const { return pages_; }

private:
    static constexpr std::size_t kMaxNumbers = 16;
    enum class Scaling { None, Anisotropic, Isotropic, PointFactor };

    // PE's points and pens, and the strokes of labels.
    void move(const EncodedMove &move) override;
    void select_pen(std::int64_t pen) override;
    void end() override {}
    void stroke(const PlotterPoint *points, std::size_t count, PlotterPoint origin) override;
    void glyph(char c, PlotterPoint origin, PlotterPoint across, PlotterPoint up,
               double advance) override;
    void fill(const PlotterPoint *points, std::size_t count) override;
    PlotterPoint escapement(PlotterPoint advance) override;
    // PCL context's printing characters.
    void characters(PclCursor at, std::string_view run) override;

    void reset_graphics();
    void default_labels();
    void update_label_size();
    void draw_label_text();
    void label_start();
    void draw_symbol();
    void font_definition(bool alternate);
    void default_attributes();
    void place();
    void update_transforms();
    // How much more the plot size scales the plot across than up.
    double axis_ratio() const;
    // The plot's extent in plotter units along the axes RO turned.
    Point turned_plot_extent() const;
    void add_number(double value);
    void end_number();
    void execute();

    // Drawing.
    Point to_plotter(Point user) const;
    std::vector<Point> to_plotter(std::vector<Point> user) const;
    double user_length_x(double user) const;
    void move_to(Point plotter);
    void line_to(Point plotter);
    void polyline_to(const std::vector<Point> &plotter);
    void flush_stroke();
    void stroke_path(const std::vector<Point> &plotter, bool closed);
    void draw_dot(Point plotter);
    void fill_path(Path plotter_path, FillRule rule);
    bool transparent(const Colour &colour) const;
    void start_page();
    void end_page();
    void apply_clip();
    Pen current_pen() const;
    // How long a dash of no length is drawn with pens of this `end`.
    double dot_dash_length(LineEnd end) const;
    Fill current_fill(FillRule rule) const;
    double diagonal() const;

    // Instructions taking several forms.
    void coordinate_pair(Point pair);
    void bezier(const double (&numbers)[6]);
    void arc(Point centre, double sweep, double chord, bool relative);
    void arc_three_point(Point middle, Point end, double chord);
    void circle(double radius, double chord);
    void rectangle(Point corner, bool fill);
    void wedge(double radius, double start, double sweep, double chord, bool fill);
    void input_p1_p2();
    void input_relative();
    void scale();
    void input_window();
    void line_attributes();
    void line_type();
    void user_line_type();
    void fill_type();
    void pen_width();
    void pen_colour();
    void polygon_mode();
    void polygon_point(Point plotter, bool drawn);
    void close_polygon();
    std::vector<Point> arc_points(Point centre, double radius, double start, double sweep,
                                  double chord) const;
    double chord_angle(double radius, double given) const;

    PageSink &sink_;
    InterpreterOptions options_;

    // The instruction being read.
    unsigned code_ = 0;
    NumberReader reader_;
    double numbers_[kMaxNumbers] = {};
    std::size_t count_ = 0;
    bool streaming_ = false; // coordinates taken pair by pair as they come

    // Pages.
    PclPage pcl_;
    bool page_open_ = false;
    std::uint64_t pages_ = 0;
    double sheet_width_ = 0;
    double sheet_height_ = 0;
    Point frame_low_;
    Point frame_high_;
    bool frame_clips_ = false;
    PclCursor text_cursor_; // where PCL context prints next, and ESC *c0T anchors

    // Coordinate systems.
    Affine plot_to_sheet_;
    Affine logical_page_to_sheet_; // PCL's logical page, inches, to the sheet
    OriginSteps origin_steps_;     // how the printer reaches the plot's origin
    double pen_scale_ = 1;         // metric pen widths on the sheet, per millimetre
    double plot_length_ = 0;
    double plot_width_ = 0;
    int rotation_ = 0; // RO, degrees
    Affine plotter_to_sheet_;
    Point p1_;
    Point p2_;
    bool p1_p2_given_ = false; // by IP or IR, since IN
    Scaling scaling_ = Scaling::None;
    double scale_[4] = {};
    double iso_left_ = 50;
    double iso_bottom_ = 50;
    Affine user_to_plotter_;
    bool window_set_ = false;
    Point window_low_;
    Point window_high_;
    // IW came with no scaling: the printer reads its numbers again as user
    // units at the next SC that scales (see scale()).
    bool window_unscaled_ = false;

    // The pen.
    Point position_; // plotter units
    bool pen_down_ = false;
    bool relative_ = false;
    int pen_ = 1;
    struct PenSetting {
        double width = kInitialPenWidth;
        Colour colour;
    };
    std::vector<PenSetting> pens_;
    bool relative_width_ = false;
    LineEnd line_end_ = LineEnd::Butt;
    LineJoin line_join_ = LineJoin::Mitered;
    double miter_limit_ = 5;
    int line_type_ = 0; // 0: solid
    double pattern_length_ = 4;
    bool pattern_absolute_ = false;
    int saved_line_type_ = 0;
    std::array<std::vector<double>, 8> user_types_;
    double colour_low_[3] = {0, 0, 0};
    double colour_high_[3] = {255, 255, 255};
    int fill_type_ = 1;
    double hatch_spacing_ = 0;
    double hatch_angle_ = 0;
    double shading_ = 100;
    bool chord_deviation_ = false;
    bool source_transparent_ = true; // TR

    // What is drawn and not yet given to the sink.
    std::vector<Point> stroke_; // plotter units
    // Where the pen went down and has drawn nothing since: a dot, unless a
    // line follows from there.
    std::optional<Point> dot_; // plotter units
    bool polygon_mode_ = false;
    bool polygon_pen_down_ = false;
    Path polygon_; // plotter units
    std::size_t polygon_points_ = 0;

    // Labels and PE.
    struct FontChoice {
        bool proportional = false;
        double pitch = 9;     // characters per inch
        double height = 11.5; // points
        int typeface = 48;    // the stick font
    };
    FontChoice standard_font_;
    FontChoice alternate_font_;
    bool alternate_selected_ = false;
    bool size_given_ = false; // SI or SR, not the font, sizes the characters
    LabelSettings label_;
    LabelPosition label_at_;
    std::string label_text_;    // the label read so far, laid out at its end
    char label_terminator_ = 3; // DT's
    bool terminator_prints_ = false;
    char symbol_ = 0; // SM's symbol, drawn at each point; 0 for none
    EncodedPolylineDecoder encoded_;
};

#endif

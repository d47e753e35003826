// SPDX-License-Identifier: MIT
// Rendering a plot stream: a plain HP-GL/2 plot on a page of its own, or a
// PCL 5 job with HP-GL/2 in it as the printer prints it.
#ifndef ZELVO_RENDER_H
#define ZELVO_RENDER_H

#include "interpreter.h"
#include "paper_size.h"
#include "units.h"

#include <cstddef>
#include <cstdint>

// Where the stream's bytes come from: `read` fills up to `size` bytes and
// returns how many, 0 at the end.
class PlotSource {
public:
    virtual std::size_t read(char *buffer, std::size_t size) = 0;

protected:
    ~PlotSource() = default;
};

// P2 after IN for a plain plot without PS, which measure_plot measures with:
// as in zelvo's default job, the landscape letter page's picture frame
// (10.6 by 7.5 inches), in plotter units.
constexpr double kPlainPlotLength = 10.6 * kPlotterUnitsPerInch;
constexpr double kPlainPlotWidth = 7.5 * kPlotterUnitsPerInch;

// What one reading of a plot finds, in constant memory.
struct PlotMeasure {
    bool pcl_job = false; // the stream begins with an escape sequence
    bool drawn = false;   // something was drawn
    // The drawing's extent in plotter units, in the plot's coordinates
    // after its own rotation (RO), as a plain plot is drawn.
    Point low;
    Point high;
    std::uint64_t pages = 0;      // the pages it renders to
    bool plot_size_found = false; // the first PS, as the job filter takes it
    double plot_length = 0;
    double plot_width = 0;
};

// Reads the stream once, with P2 after IN at `plot_length` by `plot_width`
// plotter units. Labels count with `font`, and are left out without one.
PlotMeasure measure_plot(PlotSource &source, const StrokeFont *font = nullptr,
                         double plot_length = kPlainPlotLength,
                         double plot_width = kPlainPlotWidth);

// How a plain plot's paper is held.
enum class SheetShape {
    Drawing,   // turned to the drawing's shape
    Portrait,  // upright, whatever the drawing's shape
    Landscape, // on its side, whatever the drawing's shape
};

struct RenderOptions {
    // A plain plot's page: its PS, else its drawing with a margin; with a
    // paper, that paper with the plot in its middle, and with `fit` scaled
    // to fill it (the system's paper when none is given).
    const Paper *paper = nullptr;
    bool fit = false;
    // As `fit`, but a drawing that fits the paper as drawn keeps its size.
    bool fit_if_larger = false;
    // How the paper is held, when there is one.
    SheetShape sheet = SheetShape::Drawing;
    int rotate = 0;                      // the sheet turned clockwise: 0, 90, 180 or 270
    bool upright = false;                // landscape pages of PCL jobs turned to read upright
    double pen_width = kInitialPenWidth; // millimetres, each pen's width after IN
    const StrokeFont *font = nullptr;    // labels are drawn with it; none, not at all
    // Labels in the printer's outline fonts are filled, not drawn with `font`.
    bool outline_glyphs = false;
    double raster_pixel = 0; // millimetres per pixel of a raster output
    // The longest side a page of the output format may have, millimetres;
    // 0 for any. A plain plot's page beyond it is drawn scaled down to it.
    double largest_sheet = 0;
    // Where what cannot be drawn as asked is said; none: nothing is.
    InterpreterWarnings *warnings = nullptr;
};

// Where a plain plot goes, from its measure.
PlotLayout plain_layout(const PlotMeasure &measure, const RenderOptions &options);

// Draws the stream on `sink`; `measure` is the same stream's. Returns the
// number of pages drawn.
std::uint64_t render_plot(PlotSource &source, const PlotMeasure &measure,
                          const RenderOptions &options, PageSink &sink);

#endif

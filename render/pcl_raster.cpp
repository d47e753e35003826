// SPDX-License-Identifier: MIT
// Raster graphics placed as a PCL 5 printer places them. Each rule below
// was measured on the PCL interpreter with small jobs rendered at 75, 300
// and 600 dpi: a 16-pixel row over five rows of one pixel, at cursors on
// and off the pixel grid.
//
// - ESC *r # A starts an image at the cursor's line: 1 and 3 at the cursor,
//   0 and 2 at the logical page's left edge. ESC *b # W or # V without a
//   start starts one as 0 does. A start while an image is drawn is none.
// - A pixel is 1/R inch, R from ESC *t # R: 16 pixels at 100 dpi take 96
//   pixels at 600 dpi, at 200 dpi 48, exactly.
// - 2 and 3 scale the image, where ESC *r # S and # T both give its size, to
//   ESC *t # H by # V (decipoints), to either of them alone keeping the
//   shape (H 1440 made 16 by 6 pixels 600 by 225 at 300 dpi), or without
//   either to what is left of the sheet right of and below its corner,
//   keeping the shape (from 750 x 5699 at 600 dpi, 2403 by 901 to the
//   sheet's 6600). 0 and 1 never scale.
// - The rows run down the logical page with ESC *r 0 F; with 3 F, as
//   after a reset, on a landscape page they run down the sheet as it is
//   fed, a row across it (measured without F, in PCL context and from
//   HP-GL/2 alike, as with 3 F), the image's
//   first pixel on the same device pixel as with 0 F: one device pixel
//   along the logical page's x from the cursor (at 600 dpi its top at 5879
//   where the cursor lies at 5880).
// - ESC %1 A from HP-GL/2 puts the cursor at the pen, where the printer
//   draws it (pixel_grid.h puts the plot's origin a device pixel up): a pen
//   at 9.5 inches, 5699 at 600 dpi, puts an image's top there, one at
//   5690.73 on 5691. ESC %0 A keeps the cursor where PCL left it.
// - ESC *p # X and # Y put the cursor in units of ESC &u # D (300 to the
//   inch unless it says otherwise), X from the logical page's left edge and
//   Y from the top margin, or with a sign that far from where it is.
// - While an image is drawn, the cursor follows its rows, and a move down
//   or up the page (ESC &a # V or # R, ESC *p # Y) puts the rows after it
//   there, at the image's left edge: one row at 75 dpi, ESC &a +720 V and a
//   row put the second row's top at 754 at 300 dpi, the first's at 450.
//   A move across changes nothing.
// - When the image ends, the cursor is back at its left edge and below its
//   rows: an image of 6 rows at 75 dpi moves the next one 24 pixels down
//   at 300 dpi, and text after it stands on that line.
// - White pixels leave what lies beneath unless ESC *v 1 N made the source
//   opaque.
// The rows go to the sink in bands, clipped to the sheet (a band that
// shows nothing there begins no page); a PCL job prints
// their colours in the grays its pens print in.
#include "pcl_context.h"
#include "pen_colour.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double kDecipoint = 1 / kDecipointsPerInch; // inches
// The units ESC &u # D takes, to the inch.
constexpr double kFewestPclUnits = 96;
constexpr double kMostPclUnits = 7200;
// A move of the cursor beyond this many units goes no farther: far off
// any page.
constexpr double kFarthestMove = 1e9;

// The rows of the decoder, on the sheet.
class BandsToSink : public RasterListener {
public:
    explicit BandsToSink(Plotter &p) : p_(p) {}

    void rows(const RasterRows &rows) override
    {
        RasterGraphics &r = p_.raster;
        const double first = static_cast<double>(rows.first);
        ImageBand band;
        band.width = rows.width;
        band.rows = rows.count;
        band.origin = {r.origin.x + r.down.x * first, r.origin.y + r.down.y * first};
        band.across = r.across;
        band.down = r.down;
        band.white_transparent = !r.decoder.settings().opaque;
        if (!p_.sink.open() && !r.data_announced)
            return;
        if (p_.options.pcl_job)
            print_in_gray(rows.rgb);
        band.rgb = rows.rgb;
        flush_stroke(p_);
        // Not clipped to the picture frame; HP-GL/2 context sets the
        // frame's clip again.
        p_.sink.clip({0, 0}, {p_.placement.sheet_width, p_.placement.sheet_height});
        p_.sink.image(band);
    }

    void refused(const char *message) override { warn_once(p_, Warning::RasterRefused, message); }

private:
    // Runs of one colour are common: the gray is worked out once a run.
    static void print_in_gray(std::span<std::uint8_t> rgb)
    {
        std::uint8_t last[3] = {255, 255, 255};
        std::uint8_t gray = 255;
        for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
            if (rgb[i] != last[0] || rgb[i + 1] != last[1] || rgb[i + 2] != last[2]) {
                std::copy_n(rgb.data() + i, 3, last);
                const Colour c =
                    printed_gray({rgb[i] / 255.0, rgb[i + 1] / 255.0, rgb[i + 2] / 255.0});
                gray = static_cast<std::uint8_t>(std::lround(std::clamp(c.red, 0.0, 1.0) * 255));
            }
            std::fill_n(rgb.data() + i, 3, gray);
        }
    }

    Plotter &p_;
};

// Where the logical page's inches lie on the sheet.
const Affine &logical_page(const Plotter &p)
{
    return p.placement.logical_page_to_sheet;
}

// Inches across and down a pixel: 1/R, or scaled as the image is.
Point pixel_size(const Plotter &p, int start, Point corner)
{
    const RasterSettings &s = p.raster.decoder.settings();
    const double pixel = 1.0 / s.resolution;
    const bool scales = (start == 2 || start == 3) && s.source_width > 0 && s.source_height > 0;
    if (!scales)
        return {pixel, pixel};
    const double columns = static_cast<double>(s.source_width);
    const double rows = static_cast<double>(s.source_height);
    const double across = s.destination_width * kDecipoint / columns;
    const double down = s.destination_height * kDecipoint / rows;
    if (across > 0 && down > 0)
        return {across, down};
    if (across > 0 || down > 0)
        return {std::max(across, down), std::max(across, down)};
    // What is left of the sheet, in the logical page's inches.
    const Affine to_logical = logical_page(p).inverse();
    double right = corner.x;
    double bottom = corner.y;
    for (const Point q :
         {Point{0, 0}, Point{p.placement.sheet_width, 0}, Point{0, p.placement.sheet_height},
          Point{p.placement.sheet_width, p.placement.sheet_height}}) {
        const Point l = to_logical.apply(q);
        right = std::max(right, l.x);
        bottom = std::max(bottom, l.y);
    }
    const double fit = std::min((right - corner.x) / columns, (bottom - corner.y) / rows);
    return fit > 0 ? Point{fit, fit} : Point{pixel, pixel};
}

// Pixels from `origin` along `step` to the sheet's edge.
std::uint64_t pixels_to_edge(const Plotter &p, Point origin, Point step)
{
    double reach = std::numeric_limits<double>::infinity();
    const double sheet[2] = {p.placement.sheet_width, p.placement.sheet_height};
    const double from[2] = {origin.x, origin.y};
    const double along[2] = {step.x, step.y};
    for (int axis = 0; axis < 2; ++axis) {
        if (along[axis] > 0)
            reach = std::min(reach, (sheet[axis] - from[axis]) / along[axis]);
        else if (along[axis] < 0)
            reach = std::min(reach, -from[axis] / along[axis]);
    }
    if (!(reach > 0))
        return 0;
    return reach >= 1e9 ? std::uint64_t{1000000000} : static_cast<std::uint64_t>(std::ceil(reach));
}

void start_image(Plotter &p, int start)
{
    RasterGraphics &r = p.raster;
    if (r.decoder.active())
        return;
    const RasterSettings &s = r.decoder.settings();
    const PclCursor cursor = p.page.text_cursor;
    Point corner{start == 1 || start == 3 ? cursor.x : 0, cursor.y};
    const Point size = pixel_size(p, start, corner);
    Point across{size.x, 0};
    Point down{0, size.y};
    r.start = {corner.x, corner.y, false};
    r.row_height = size.y;
    if (s.presentation == 3 && p.options.pcl_job && p.page.pcl.landscape) {
        across = {0, size.x};
        down = {-size.y, 0};
        corner.x += p.options.raster_pixel / kMillimetresPerInch;
        r.row_height = 0;
    }
    const Affine &to_sheet = logical_page(p);
    r.origin = to_sheet.apply(corner);
    r.across = to_sheet.apply_vector(across);
    r.down = to_sheet.apply_vector(down);
    BandsToSink sink(p);
    r.decoder.start(pixels_to_edge(p, r.origin, r.across), sink);
}

bool announces_rows(const EscapeSequence &e)
{
    const unsigned char parameter = e.parameter & 0xDF;
    return e.kind == '*' && e.group == 'b' && (parameter == 'W' || parameter == 'V');
}

// ESC %1 A from HP-GL/2: the cursor to the pen.
void cursor_to_pen(Plotter &p)
{
    const Point sheet = p.plotter_to_sheet.apply(p.state.position);
    const Point at = logical_page(p).inverse().apply(sheet);
    if (!std::isfinite(at.x) || !std::isfinite(at.y))
        return;
    p.page.text_cursor = {at.x, at.y, false};
}

// ESC &u # D and ESC *p # X, # Y.
void unit_cursor(Plotter &p, const EscapeSequence &e, unsigned char parameter)
{
    RasterGraphics &r = p.raster;
    if (e.kind == '&' && e.group == 'u' && parameter == 'D') {
        if (e.value >= kFewestPclUnits && e.value <= kMostPclUnits)
            r.pcl_units = e.value;
        return;
    }
    if (e.kind != '*' || e.group != 'p' || (parameter != 'X' && parameter != 'Y'))
        return;
    const double inches = std::clamp(e.value, -kFarthestMove, kFarthestMove) / r.pcl_units;
    PclCursor &at = p.page.text_cursor;
    if (parameter == 'X') {
        at.x = std::max(0.0, e.relative ? at.x + inches : inches);
    } else {
        at.y = std::max(0.0, e.relative ? at.y + inches : p.page.pcl.top_margin + inches);
        at.home = false;
    }
}

} // namespace

void raster_cursor_sync(Plotter &p)
{
    const RasterGraphics &r = p.raster;
    if (r.decoder.active() && r.row_height > 0)
        p.page.text_cursor.y =
            r.start.y + static_cast<double>(r.decoder.rows_done()) * r.row_height;
}

void raster_cursor_moved(Plotter &p)
{
    RasterGraphics &r = p.raster;
    if (!r.decoder.active() || r.row_height <= 0)
        return;
    const double rows = static_cast<double>(r.decoder.rows_done());
    const double y = p.page.text_cursor.y;
    BandsToSink sink(p);
    r.decoder.hand_on(sink);
    r.start.y = y - rows * r.row_height;
    r.origin = logical_page(p).apply({r.start.x, r.start.y});
}

void end_raster(Plotter &p)
{
    RasterGraphics &r = p.raster;
    if (!r.decoder.active())
        return;
    BandsToSink sink(p);
    r.decoder.end(sink);
    const double rows = static_cast<double>(r.decoder.rows_done());
    p.page.text_cursor = {r.start.x, r.start.y + rows * r.row_height, false};
}

void raster_escape(Plotter &p, const EscapeSequence &e)
{
    RasterGraphics &r = p.raster;
    const unsigned char parameter = e.parameter & 0xDF;
    if (e.kind == 0 && parameter == 'E') {
        end_raster(p);
        r.decoder.reset();
        r.pcl_units = kDefaultPclUnits;
        return;
    }
    if (e.kind == '%' && e.group == 0 && parameter == 'A' && !r.in_pcl
        && std::lround(std::clamp(e.value, -2.0, 2.0)) == 1)
        cursor_to_pen(p);
    if (!r.in_pcl)
        return;
    unit_cursor(p, e, parameter);
    BandsToSink sink(p);
    if (e.kind == '*' && e.group == 'r') {
        if (parameter == 'A') {
            start_image(p, std::clamp(static_cast<int>(std::clamp(e.value, 0.0, 3.0)), 0, 3));
            return;
        }
        if (parameter == 'B' || parameter == 'C') {
            end_raster(p);
            return;
        }
    }
    if (announces_rows(e)) {
        if (!r.decoder.active())
            start_image(p, 0);
        r.data_announced = r.data_announced || e.value >= 1;
    }
    r.decoder.escape(e, sink);
}

void raster_data(Plotter &p, std::string_view bytes)
{
    BandsToSink sink(p);
    p.raster.decoder.data({reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()},
                          sink);
}

// SPDX-License-Identifier: MIT
#include "cairo_sink.h"

#include "mark_rules.h"
#include "pixel_grid.h"
#include "units.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace {

// The largest PNG page: the side PNG writers take, and 2^28 pixels in all
// (a gigabyte of memory as the page is drawn).
constexpr double kMaxPngSide = 32767;
constexpr double kMaxPngPixels = 268435456;

cairo_status_t write_to_file(void *closure, const unsigned char *data, unsigned int length)
{
    auto *file = static_cast<std::FILE *>(closure);
    return std::fwrite(data, 1, length, file) == length ? CAIRO_STATUS_SUCCESS
                                                        : CAIRO_STATUS_WRITE_ERROR;
}

cairo_line_cap_t cap_of(DrawnEnd end)
{
    switch (end) {
    case DrawnEnd::Butt:
        return CAIRO_LINE_CAP_BUTT;
    case DrawnEnd::Square:
        return CAIRO_LINE_CAP_SQUARE;
    default:
        return CAIRO_LINE_CAP_ROUND;
    }
}

cairo_line_join_t join_of(DrawnJoin join)
{
    switch (join) {
    case DrawnJoin::Miter:
        return CAIRO_LINE_JOIN_MITER;
    case DrawnJoin::Round:
        return CAIRO_LINE_JOIN_ROUND;
    default:
        return CAIRO_LINE_JOIN_BEVEL;
    }
}

// The path of a stroke `pixels` wide moved onto the pixel grid, in
// millimetres with `per_mm` pixels to the millimetre.
Path adjusted_stroke(const Path &path, int pixels, bool hairline, double per_mm)
{
    Path adjusted = path;
    for (SubPath &sub : adjusted) {
        for (Point &p : sub.points)
            p = {p.x * per_mm, p.y * per_mm};
        sub.points = adjusted_stroke_points(std::move(sub.points), sub.closed, pixels, hairline);
        for (Point &p : sub.points)
            p = {p.x / per_mm, p.y / per_mm};
    }
    return adjusted;
}

// How wide, across its longer axis, a hairline along (dx, dy) is stroked
// to cover one pixel centre at each step, in pixels: exactly one there. A
// width rounded up at all lets a line that runs exactly between two centres
// (as one at 45 degrees may) take both, all along.
double hairline_width(double dx, double dy)
{
    const double length = std::hypot(dx, dy);
    if (length == 0)
        return 1;
    return std::max(std::fabs(dx), std::fabs(dy)) / length;
}

// A PNG page's size in pixels: the pixels a page of this many millimetres
// covers at `dpi`, none when that is more than PNG writers take on a side
// or more than a page here may hold in all.
struct PixelSize {
    int width = 1;
    int height = 1;
};

std::optional<PixelSize> png_page_size(double width, double height, double dpi)
{
    const double across = std::max(1.0, std::round(width / kMillimetresPerInch * dpi));
    const double down = std::max(1.0, std::round(height / kMillimetresPerInch * dpi));
    if (!(across <= kMaxPngSide && down <= kMaxPngSide && across * down <= kMaxPngPixels))
        return std::nullopt;
    return PixelSize{static_cast<int>(across), static_cast<int>(down)};
}

} // namespace

CairoSink::CairoSink(PageFiles &pages, std::uint64_t max_pages, double dpi, GlyphFonts &fonts,
                     bool smooth)
    : files_(pages), max_pages_(max_pages), dpi_(dpi), units_per_mm_(dpi / kMillimetresPerInch),
      fonts_(fonts), smooth_(smooth)
{
}

CairoSink::~CairoSink()
{
    if (cr_ != nullptr)
        cairo_destroy(cr_);
    if (surface_ != nullptr)
        cairo_surface_destroy(surface_);
}

void CairoSink::begin_page(double width, double height)
{
    ++pages_;
    if (pages_ > max_pages_)
        return;
    const std::optional<PixelSize> size = png_page_size(width, height, dpi_);
    if (!size) {
        refuse_page(width, height);
        return;
    }
    page_file_ = files_.open_page(pages_);
    if (page_file_ == nullptr) {
        failed_ = true;
        return;
    }
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size->width, size->height);
    cr_ = cairo_create(surface_);
    cairo_scale(cr_, units_per_mm_, units_per_mm_);
    cairo_set_source_rgb(cr_, 1, 1, 1);
    cairo_paint(cr_);
    // The printer inks whole pixels, those whose centre a stroke or a
    // fill covers, in the pen's gray; smoothed edges would be lighter
    // pixels half of the way.
    if (!smooth_)
        cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
}

void CairoSink::refuse_page(double width, double height)
{
    failed_ = true;
    char text[256];
    std::snprintf(text, sizeof text,
                  "page %llu is %.0f by %.0f millimetres, too large for a PNG page at %g dpi "
                  "(at most %.0f pixels a side and %.0f in all)",
                  static_cast<unsigned long long>(pages_), width, height, dpi_, kMaxPngSide,
                  kMaxPngPixels);
    if (error_.empty())
        error_ = text;
}

void CairoSink::add_path(const Path &path)
{
    for (const SubPath &sub : path) {
        if (sub.points.empty())
            continue;
        cairo_move_to(cr_, sub.points[0].x, sub.points[0].y);
        for (std::size_t i = 1; i < sub.points.size(); ++i)
            cairo_line_to(cr_, sub.points[i].x, sub.points[i].y);
        if (sub.closed)
            cairo_close_path(cr_);
    }
}

// For a screen: the path as it lies, at least a pixel wide.
void CairoSink::stroke_smooth(const Path &path, const Pen &pen)
{
    add_path(path);
    cairo_set_line_width(cr_, std::max(pen.width, 1 / units_per_mm_));
    cairo_set_source_rgb(cr_, pen.colour.red, pen.colour.green, pen.colour.blue);
    cairo_set_line_cap(cr_, cap_of(drawn_end(pen.end)));
    cairo_set_line_join(cr_, join_of(drawn_join(pen.join)));
    cairo_set_miter_limit(cr_, pen.miter_limit);
    cairo_set_dash(cr_, pen.dashes.data(), static_cast<int>(pen.dashes.size()), pen.dash_offset);
    cairo_stroke(cr_);
}

void CairoSink::stroke(const Path &path, const Pen &pen)
{
    if (!drawing())
        return;
    if (smooth_) {
        stroke_smooth(path, pen);
        return;
    }
    // The printer rasterises a glyph's strokes one by one.
    if (pen.glyph && path.size() > 1) {
        for (const SubPath &sub : path)
            stroke({sub}, pen);
        return;
    }
    // A printer's rasteriser adjusts strokes to whole pixels.
    const double thinnest = 1 / units_per_mm_;
    const double given = pen.width * units_per_mm_;
    const int pixels = adjusted_stroke_pixels(std::max(pen.width, thinnest) * units_per_mm_);
    const bool hairline = drawn_as_hairline(given);
    const Path adjusted =
        pen.glyph && !hairline ? path : adjusted_stroke(path, pixels, hairline, units_per_mm_);
    if (hairline && pen.dashes.empty()) {
        stroke_hairline(adjusted, pen);
        return;
    }
    add_path(adjusted);
    // The pixels whose centre the pen covers (see begin_page): a level or
    // upright stroke, centred as adjusted, covers `pixels` centres, a
    // slanted one as many as its true width does. A hairline still inks a
    // pixel at every step.
    cairo_set_line_width(cr_, std::max(given, 1.0) / units_per_mm_);
    cairo_set_source_rgb(cr_, pen.colour.red, pen.colour.green, pen.colour.blue);
    cairo_set_line_cap(cr_, cap_of(drawn_end(pen.end)));
    cairo_set_line_join(cr_, join_of(drawn_join(pen.join)));
    cairo_set_miter_limit(cr_, pen.miter_limit);
    cairo_set_dash(cr_, pen.dashes.data(), static_cast<int>(pen.dashes.size()), pen.dash_offset);
    cairo_stroke(cr_);
}

// A hairline on a raster, a pixel at every step along each segment's
// longer axis, as the printer draws it: each run of segments of one slope
// stroked as wide, across that axis, as one pixel. A line takes the
// pixels from end to end; a glyph's stroke, drawn into the font cache,
// only those whose centres lie between its ends.
void CairoSink::stroke_hairline(const Path &path, const Pen &pen)
{
    cairo_set_source_rgb(cr_, pen.colour.red, pen.colour.green, pen.colour.blue);
    cairo_set_line_cap(cr_, pen.glyph ? CAIRO_LINE_CAP_BUTT : CAIRO_LINE_CAP_SQUARE);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
    cairo_set_dash(cr_, nullptr, 0, 0);
    const auto step = [](Point a, Point b) { return hairline_width(b.x - a.x, b.y - a.y); };
    for (const SubPath &sub : path) {
        std::vector<Point> points = sub.points;
        if (sub.closed && !points.empty())
            points.push_back(points.front());
        std::size_t start = 0;
        while (start + 1 < points.size()) {
            const double run = step(points[start], points[start + 1]);
            std::size_t end = start + 1;
            while (end + 1 < points.size() && step(points[end], points[end + 1]) == run)
                ++end;
            cairo_move_to(cr_, points[start].x, points[start].y);
            for (std::size_t i = start + 1; i <= end; ++i)
                cairo_line_to(cr_, points[i].x, points[i].y);
            cairo_set_line_width(cr_, run / units_per_mm_);
            cairo_stroke(cr_);
            start = end;
        }
    }
}

// The hatch lines over the shape within the clip, clipped to the shape.
void CairoSink::hatch(const Path &path, const Fill &fill, double angle)
{
    double x1, y1, x2, y2;
    cairo_clip_extents(cr_, &x1, &y1, &x2, &y2);
    cairo_save(cr_);
    add_path(path);
    cairo_clip(cr_);
    hatch_lines(path, fill, angle, {{x1, y1}, {x2, y2}}, [&](Point from, Point to) {
        cairo_move_to(cr_, from.x, from.y);
        cairo_line_to(cr_, to.x, to.y);
    });
    cairo_set_source_rgb(cr_, fill.colour.red, fill.colour.green, fill.colour.blue);
    double width = std::max(fill.line_width, 1 / units_per_mm_);
    // The printer draws a hairline a pixel at every step along its longer
    // axis: a stroke that wide across that axis covers the centre of one
    // pixel per step, where a wider slanted one would take two at times.
    if (!smooth_ && drawn_as_hairline(fill.line_width * units_per_mm_))
        width = hairline_width(std::cos(angle), std::sin(angle)) / units_per_mm_;
    cairo_set_line_width(cr_, width);
    cairo_set_dash(cr_, nullptr, 0, 0);
    cairo_stroke(cr_);
    cairo_restore(cr_);
}

void CairoSink::fill(const Path &path, const Fill &fill)
{
    if (!drawing())
        return;
    cairo_set_fill_rule(cr_, fill.rule == FillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD
                                                            : CAIRO_FILL_RULE_WINDING);
    if (fill.spacing > 0) {
        hatch(path, fill, fill.angle);
        if (fill.crossed)
            hatch(path, fill, fill.angle + M_PI / 2);
        return;
    }
    const Colour colour = shaded_colour(fill);
    add_path(path);
    cairo_set_source_rgb(cr_, colour.red, colour.green, colour.blue);
    cairo_fill(cr_);
}

void CairoSink::clip(Point low, Point high)
{
    if (!drawing())
        return;
    cairo_reset_clip(cr_);
    cairo_rectangle(cr_, low.x, low.y, high.x - low.x, high.y - low.y);
    cairo_clip(cr_);
}

void CairoSink::text(const TextRun &run)
{
    if (!drawing())
        return;
    cairo_font_face_t *face = cairo_toy_font_face_create(
        GlyphFonts::family(Typeface::Courier), CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_save(cr_);
    cairo_translate(cr_, run.start.x, run.start.y);
    cairo_rotate(cr_, std::atan2(run.advance.y, run.advance.x));
    cairo_matrix_t size;
    cairo_matrix_init_scale(&size, run.em, run.em);
    cairo_matrix_t ctm;
    cairo_get_matrix(cr_, &ctm);
    cairo_font_options_t *options = cairo_font_options_create();
    cairo_scaled_font_t *font = cairo_scaled_font_create(face, &size, &ctm, options);
    // A font that cannot be had leaves the page without the text rather
    // than failing it.
    if (cairo_scaled_font_status(font) == CAIRO_STATUS_SUCCESS) {
        cairo_set_scaled_font(cr_, font);
        cairo_set_source_rgb(cr_, 0, 0, 0);
        const double step = std::hypot(run.advance.x, run.advance.y);
        char one[2] = {0, 0};
        for (std::size_t i = 0; i < run.characters.size(); ++i) {
            if (run.characters[i] == ' ')
                continue;
            // Each character at its own place: the pitch is the printer's,
            // whatever the font found. The font's hinted glyphs, as the
            // printer's rasteriser takes them.
            one[0] = run.characters[i];
            cairo_move_to(cr_, static_cast<double>(i) * step, 0);
            cairo_show_text(cr_, one);
        }
        cairo_fill(cr_);
    }
    cairo_scaled_font_destroy(font);
    cairo_font_options_destroy(options);
    cairo_font_face_destroy(face);
    cairo_restore(cr_);
}

void CairoSink::glyph(const GlyphMark &mark)
{
    if (!drawing())
        return;
    const std::optional<Affine> place = fonts_.placement(mark);
    if (!place)
        return;
    const char text[2] = {mark.character, 0};
    cairo_font_face_t *face = cairo_toy_font_face_create(
        GlyphFonts::family(Typeface::Sans), CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    // The font's y axis points down: an em up is its minus y.
    cairo_matrix_t size;
    cairo_matrix_init(&size, place->xx, place->yx, -place->xy, -place->yy, 0, 0);
    cairo_matrix_t ctm;
    cairo_get_matrix(cr_, &ctm);
    cairo_font_options_t *options = cairo_font_options_create();
    if (mark.outline) {
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    }
    cairo_scaled_font_t *font = cairo_scaled_font_create(face, &size, &ctm, options);
    // A glyph too small or too flat to have a font is left out, as a font
    // that cannot be found is.
    if (cairo_scaled_font_status(font) == CAIRO_STATUS_SUCCESS) {
        cairo_save(cr_);
        cairo_set_scaled_font(cr_, font);
        cairo_set_source_rgb(cr_, mark.colour.red, mark.colour.green, mark.colour.blue);
        cairo_move_to(cr_, place->dx, place->dy);
        // The hinted glyph, as the printer's font cache holds it, but for a
        // glyph the printer fills as a path.
        if (mark.outline)
            cairo_text_path(cr_, text);
        else
            cairo_show_text(cr_, text);
        cairo_fill(cr_);
        cairo_restore(cr_);
    }
    cairo_scaled_font_destroy(font);
    cairo_font_options_destroy(options);
    cairo_font_face_destroy(face);
}

namespace {

// An image goes to cairo in pieces of at most this many pixels a row:
// cairo's images take 32767.
constexpr std::size_t kImagePiece = 4096;
// How far, in page pixels, rows move up so that a page pixel's centre on
// the line between two takes the lower: more than cairo's fixed point
// resolves, far less than a pixel.
constexpr double kRowSlack = 1.0 / 64;

// Whether a pixel's steps span an area: a flat or endless one draws
// nothing, and cairo takes no such matrix.
bool spans_area(const ImageBand &band)
{
    const double area = band.across.x * band.down.y - band.across.y * band.down.x;
    return std::isfinite(area) && area != 0 && std::isfinite(band.origin.x)
           && std::isfinite(band.origin.y);
}

} // namespace

void CairoSink::image(const ImageBand &band)
{
    if (!drawing() || band.width == 0 || band.rows == 0 || !spans_area(band)
        || band.rgb.size() < band.width * band.rows * 3)
        return;
    const int rows = static_cast<int>(band.rows);
    for (std::size_t left = 0; left < band.width; left += kImagePiece) {
        const std::size_t columns = std::min(kImagePiece, band.width - left);
        cairo_surface_t *piece = cairo_image_surface_create(
            band.white_transparent ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24,
            static_cast<int>(columns), rows);
        if (cairo_surface_status(piece) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(piece);
            failed_ = true;
            return;
        }
        cairo_surface_flush(piece);
        unsigned char *data = cairo_image_surface_get_data(piece);
        const int stride = cairo_image_surface_get_stride(piece);
        for (std::size_t y = 0; y < band.rows; ++y) {
            auto *out =
                reinterpret_cast<std::uint32_t *>(data + static_cast<std::ptrdiff_t>(y) * stride);
            const std::uint8_t *in = band.rgb.data() + (y * band.width + left) * 3;
            for (std::size_t x = 0; x < columns; ++x, in += 3) {
                const bool clear =
                    band.white_transparent && in[0] == 255 && in[1] == 255 && in[2] == 255;
                // Premultiplied: a clear pixel is all zeros.
                out[x] = clear ? 0
                               : 0xFF000000u | (std::uint32_t{in[0]} << 16)
                                     | (std::uint32_t{in[1]} << 8) | in[2];
            }
        }
        cairo_surface_mark_dirty(piece);
        const double l = static_cast<double>(left);
        // As the printer inks it, a page pixel whose centre lies on the line between
        // two rows takes the lower row, as the printer's does (200 dpi rows
        // at 100 dpi: the second of each two), where cairo's sampling takes
        // the upper: the rows move up a little, far less than a pixel.
        Point shift{0, 0};
        if (!smooth_) {
            const double rise = kRowSlack / units_per_mm_ / std::hypot(band.down.x, band.down.y);
            shift = {-band.down.x * rise, -band.down.y * rise};
        }
        cairo_save(cr_);
        cairo_matrix_t place;
        cairo_matrix_init(&place, band.across.x, band.across.y, band.down.x, band.down.y,
                          band.origin.x + band.across.x * l + shift.x,
                          band.origin.y + band.across.y * l + shift.y);
        cairo_transform(cr_, &place);
        cairo_set_source_surface(cr_, piece, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
        // A fill of the image's rectangle: on a PNG page, without smoothing,
        // the pixels whose centres it covers, each of the image pixel its
        // centre lies in.
        cairo_rectangle(cr_, 0, 0, static_cast<double>(columns), rows);
        cairo_fill(cr_);
        cairo_restore(cr_);
        cairo_surface_destroy(piece);
    }
}

void release_cairo_fonts()
{
    cairo_debug_reset_static_data();
    FcFini();
}

void CairoSink::end_page()
{
    if (!drawing())
        return;
    cairo_show_page(cr_);
    if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS)
        failed_ = true;
    cairo_destroy(cr_);
    cr_ = nullptr;
    if (cairo_surface_write_to_png_stream(surface_, write_to_file, page_file_)
        != CAIRO_STATUS_SUCCESS)
        failed_ = true;
    cairo_surface_finish(surface_);
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS)
        failed_ = true;
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
    if (!files_.close_page(page_file_))
        failed_ = true;
    page_file_ = nullptr;
}

bool CairoSink::finish()
{
    end_page();
    return !failed_;
}

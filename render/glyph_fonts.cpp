// SPDX-License-Identifier: MIT
#include "glyph_fonts.h"

#include <cairo.h>

#include <algorithm>

namespace {

const char *const kFamilies[] = {"Courier", "Nimbus Sans"};
// The printer's Univers stands this high, per em, against Nimbus Sans's
// 0.73.
constexpr double kOutlineCapPerEm = 0.69;
// A glyph is stretched or narrowed to the printer's advance up to these
// factors; beyond them ('+', '<', '|' take a whole em there) it keeps its
// shape in the middle of the advance.
constexpr double kNarrowest = 0.85;
constexpr double kWidest = 1.2;
// The size metrics and outlines are read at, per em: large and unhinted, so
// that they keep their fractions.
constexpr double kMetricsEm = 1000;

cairo_font_face_t *face_of(Typeface face)
{
    return cairo_toy_font_face_create(kFamilies[static_cast<int>(face)], CAIRO_FONT_SLANT_NORMAL,
                                      CAIRO_FONT_WEIGHT_NORMAL);
}

cairo_font_options_t *unhinted()
{
    cairo_font_options_t *options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    return options;
}

GlyphOutline read_outline(Typeface typeface, char c)
{
    GlyphOutline outline;
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t *cr = cairo_create(surface);
    cairo_font_face_t *face = face_of(typeface);
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, kMetricsEm);
    cairo_font_options_t *options = unhinted();
    cairo_set_font_options(cr, options);
    const char text[2] = {c, 0};
    cairo_move_to(cr, 0, 0);
    cairo_text_path(cr, text);
    cairo_path_t *path = cairo_copy_path(cr);
    if (cairo_status(cr) == CAIRO_STATUS_SUCCESS && path->status == CAIRO_STATUS_SUCCESS) {
        // Cairo's y points down; an outline's points up.
        const auto point = [](const cairo_path_data_t &p) {
            return Point{p.point.x / kMetricsEm, -p.point.y / kMetricsEm};
        };
        for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
            const cairo_path_data_t *data = &path->data[i];
            OutlineStep step;
            switch (data->header.type) {
            case CAIRO_PATH_MOVE_TO:
                step = {OutlineStep::Move, {point(data[1])}};
                break;
            case CAIRO_PATH_LINE_TO:
                step = {OutlineStep::Line, {point(data[1])}};
                break;
            case CAIRO_PATH_CURVE_TO:
                step = {OutlineStep::Curve, {point(data[1]), point(data[2]), point(data[3])}};
                break;
            case CAIRO_PATH_CLOSE_PATH:
                step = {OutlineStep::Close, {}};
                break;
            }
            outline.push_back(step);
        }
    }
    cairo_path_destroy(path);
    cairo_font_options_destroy(options);
    cairo_font_face_destroy(face);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return outline;
}

} // namespace

GlyphFonts::GlyphFonts() = default;

const char *GlyphFonts::family(Typeface face)
{
    return kFamilies[static_cast<int>(face)];
}

GlyphFonts::~GlyphFonts()
{
    if (metrics_ != nullptr)
        cairo_scaled_font_destroy(metrics_);
}

bool GlyphFonts::read_metrics()
{
    if (!metrics_read_) {
        metrics_read_ = true;
        cairo_font_face_t *face = face_of(Typeface::Sans);
        cairo_matrix_t size;
        cairo_matrix_init_scale(&size, kMetricsEm, kMetricsEm);
        cairo_matrix_t identity;
        cairo_matrix_init_identity(&identity);
        cairo_font_options_t *options = unhinted();
        metrics_ = cairo_scaled_font_create(face, &size, &identity, options);
        cairo_font_options_destroy(options);
        cairo_font_face_destroy(face);
        if (cairo_scaled_font_status(metrics_) == CAIRO_STATUS_SUCCESS) {
            cairo_text_extents_t extents;
            cairo_scaled_font_text_extents(metrics_, "H", &extents);
            cap_ = -extents.y_bearing / kMetricsEm;
        }
    }
    return cap_ > 0;
}

std::optional<Affine> GlyphFonts::placement(const GlyphMark &mark)
{
    if (mark.character <= ' ' || mark.character > '~' || !read_metrics())
        return std::nullopt;
    const char text[2] = {mark.character, 0};
    cairo_text_extents_t extents;
    cairo_scaled_font_text_extents(metrics_, text, &extents);
    const double own = extents.x_advance / kMetricsEm;
    if (!(own > 0))
        return std::nullopt;
    const double stretch = std::clamp(mark.advance / own, kNarrowest, kWidest);
    const double shift = (mark.advance - own * stretch) / 2;
    const double rise = kOutlineCapPerEm / cap_;
    return Affine{mark.across.x * stretch,
                  mark.across.y * stretch,
                  mark.up.x * rise,
                  mark.up.y * rise,
                  mark.origin.x + shift * mark.across.x,
                  mark.origin.y + shift * mark.across.y};
}

const GlyphOutline *GlyphFonts::outline(Typeface face, char c)
{
    if (c < '!' || c > '~')
        return nullptr;
    std::optional<GlyphOutline> &kept = outlines_[static_cast<int>(face)][c - '!'];
    if (!kept)
        kept = read_outline(face, c);
    return kept->empty() ? nullptr : &*kept;
}

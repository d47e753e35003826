// SPDX-License-Identifier: MIT
#include "svg_sink.h"

#include "png_band.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const char *const kEnds[] = {"butt", "round", "square"};
const char *const kJoins[] = {"miter", "round", "bevel"};

std::string number(double value, int decimals = kLengthDecimals)
{
    return std::string(format_decimal({value, decimals}).view());
}

// "#rrggbb".
std::string hex(const Colour &colour)
{
    const auto byte = [](double level) {
        return static_cast<int>(std::lround(std::clamp(level, 0.0, 1.0) * 255));
    };
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(colour.red), byte(colour.green),
                  byte(colour.blue));
    return text;
}

std::string matrix(const Affine &m)
{
    return "matrix(" + number(m.xx, kMatrixDecimals) + ' ' + number(m.yx, kMatrixDecimals) + ' '
           + number(m.xy, kMatrixDecimals) + ' ' + number(m.yy, kMatrixDecimals) + ' '
           + number(m.dx, kMatrixDecimals) + ' ' + number(m.dy, kMatrixDecimals) + ')';
}

std::string fill_style(const Colour &colour, FillRule rule)
{
    return "fill=\"" + hex(colour) + "\" fill-rule=\""
           + (rule == FillRule::EvenOdd ? "evenodd" : "nonzero") + '"';
}

} // namespace

SvgSink::SvgSink(PageFiles &files, std::uint64_t max_pages, GlyphFonts &fonts)
    : files_(files), max_pages_(max_pages), fonts_(fonts)
{
}

void SvgSink::begin_page(double width, double height)
{
    ++pages_;
    if (pages_ > max_pages_)
        return;
    file_ = files_.open_page(pages_);
    if (file_ == nullptr) {
        failed_ = true;
        return;
    }
    out_ = std::make_unique<DocumentOutput>(file_);
    page_ = {{0, 0}, {width, height}};
    clip_ = page_;
    clipped_ = false;
    style_.clear();
    ids_ = 0;
    defined_[0].reset();
    defined_[1].reset();
    *out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             "<svg xmlns=\"http://www.w3.org/2000/svg\" "
             "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\""
          << Decimal{width * kPointsPerMm} << "pt\" height=\"" << Decimal{height * kPointsPerMm}
          << "pt\" viewBox=\"0 0 " << Decimal{width} << ' ' << Decimal{height}
          << "\" version=\"1.1\">\n";
}

void SvgSink::style(const std::string &attributes)
{
    if (attributes == style_)
        return;
    close_style();
    *out_ << "<g " << attributes << ">\n";
    style_ = attributes;
}

void SvgSink::close_style()
{
    if (style_.empty())
        return;
    *out_ << "</g>\n";
    style_.clear();
}

void SvgSink::path_data(const Path &path)
{
    bool first_sub = true;
    for (const SubPath &sub : path) {
        if (sub.points.empty())
            continue;
        bool first = true;
        for (const Point p : sub.points) {
            if (!first || !first_sub)
                *out_ << ' ';
            *out_ << (first ? "M " : "L ") << Decimal{p.x, kLengthDecimals} << ' '
                  << Decimal{p.y, kLengthDecimals};
            first = false;
        }
        if (sub.closed)
            *out_ << " Z";
        first_sub = false;
    }
}

void SvgSink::stroke(const Path &path, const Pen &pen)
{
    if (!drawing())
        return;
    std::string attributes = "fill=\"none\" stroke=\"" + hex(pen.colour) + "\" stroke-width=\""
                             + number(document_line_width(pen)) + "\" stroke-linecap=\""
                             + kEnds[static_cast<int>(drawn_end(pen.end))] + "\" stroke-linejoin=\""
                             + kJoins[static_cast<int>(drawn_join(pen.join))]
                             + "\" stroke-miterlimit=\"" + number(document_miter_limit(pen)) + '"';
    if (drawable_dashes(pen)) {
        attributes += " stroke-dasharray=\"";
        for (std::size_t i = 0; i < pen.dashes.size(); ++i)
            attributes += (i == 0 ? "" : ",") + number(pen.dashes[i]);
        attributes += "\" stroke-dashoffset=\"" + number(pen.dash_offset) + '"';
    }
    style(attributes);
    *out_ << "<path d=\"";
    path_data(path);
    *out_ << "\"/>\n";
}

void SvgSink::fill(const Path &path, const Fill &fill)
{
    if (!drawing())
        return;
    if (fill.spacing > 0) {
        // The lines in a path of their own, clipped to the shape.
        close_style();
        const std::uint64_t id = ++ids_;
        *out_ << "<clipPath id=\"hatch" << id << "\"><path clip-rule=\""
              << (fill.rule == FillRule::EvenOdd ? "evenodd" : "nonzero") << "\" d=\"";
        path_data(path);
        *out_ << "\"/></clipPath>\n<path clip-path=\"url(#hatch" << id
              << ")\" fill=\"none\" stroke=\"" << hex(fill.colour) << "\" stroke-width=\""
              << Decimal{std::max(fill.line_width, kThinnestDocumentLine)} << "\" d=\"";
        const auto line = [&](Point from, Point to) {
            *out_ << "M " << Decimal{from.x} << ' ' << Decimal{from.y} << " L " << Decimal{to.x}
                  << ' ' << Decimal{to.y} << ' ';
        };
        hatch_lines(path, fill, fill.angle, clip_, line);
        if (fill.crossed)
            hatch_lines(path, fill, fill.angle + M_PI / 2, clip_, line);
        *out_ << "\"/>\n";
        return;
    }
    style(fill_style(shaded_colour(fill), fill.rule));
    *out_ << "<path d=\"";
    path_data(path);
    *out_ << "\"/>\n";
}

void SvgSink::clip(Point low, Point high)
{
    if (!drawing())
        return;
    close_style();
    if (clipped_)
        *out_ << "</g>\n";
    clip_ = clip_on_page(low, high, page_.high.x, page_.high.y);
    const std::uint64_t id = ++ids_;
    *out_ << "<clipPath id=\"clip" << id << "\"><rect x=\"" << Decimal{std::min(low.x, high.x)}
          << "\" y=\"" << Decimal{std::min(low.y, high.y)} << "\" width=\""
          << Decimal{std::fabs(high.x - low.x)} << "\" height=\""
          << Decimal{std::fabs(high.y - low.y)} << "\"/></clipPath>\n<g clip-path=\"url(#clip" << id
          << ")\">\n";
    clipped_ = true;
}

void SvgSink::draw_glyph(Typeface face, char c, const Affine &place, const Colour &colour)
{
    const GlyphOutline *outline = fonts_.outline(face, c);
    if (outline == nullptr)
        return;
    const char *prefix = face == Typeface::Courier ? "c" : "s";
    const std::uint64_t code = static_cast<std::uint64_t>(c);
    auto &defined = defined_[static_cast<int>(face)];
    if (!defined[c - '!']) {
        defined[c - '!'] = true;
        *out_ << "<defs><path id=\"" << prefix << code << "\" d=\"";
        const auto point = [&](Point p) {
            *out_ << Decimal{p.x, kMatrixDecimals} << ' ' << Decimal{p.y, kMatrixDecimals};
        };
        for (const OutlineStep &step : *outline) {
            switch (step.kind) {
            case OutlineStep::Move:
                *out_ << "M ";
                point(step.points[0]);
                break;
            case OutlineStep::Line:
                *out_ << "L ";
                point(step.points[0]);
                break;
            case OutlineStep::Curve:
                *out_ << "C ";
                point(step.points[0]);
                *out_ << ' ';
                point(step.points[1]);
                *out_ << ' ';
                point(step.points[2]);
                break;
            case OutlineStep::Close:
                *out_ << 'Z';
                break;
            }
            *out_ << ' ';
        }
        *out_ << "\"/></defs>\n";
    }
    style(fill_style(colour, FillRule::NonZero));
    *out_ << "<use xlink:href=\"#" << prefix << code << "\" transform=\"" << matrix(place)
          << "\"/>\n";
}

void SvgSink::text(const TextRun &run)
{
    if (!drawing())
        return;
    for (std::size_t i = 0; i < run.characters.size(); ++i) {
        const char c = run.characters[i];
        if (c > ' ' && c <= '~')
            draw_glyph(Typeface::Courier, c, text_character_place(run, i), {0, 0, 0});
    }
}

void SvgSink::glyph(const GlyphMark &mark)
{
    if (!drawing())
        return;
    if (const std::optional<Affine> place = fonts_.placement(mark))
        draw_glyph(Typeface::Sans, mark.character, *place, mark.colour);
}

void SvgSink::image(const ImageBand &band)
{
    if (!drawing())
        return;
    const std::string png = png_of_band(band);
    if (png.empty())
        return;
    close_style();
    const auto number = [](double value) { return Decimal{value, kMatrixDecimals}; };
    *out_ << "<image width=\"" << std::uint64_t{band.width} << "\" height=\""
          << std::uint64_t{band.rows} << "\" preserveAspectRatio=\"none\" "
          << "style=\"image-rendering:pixelated\" transform=\"matrix(" << number(band.across.x)
          << ' ' << number(band.across.y) << ' ' << number(band.down.x) << ' '
          << number(band.down.y) << ' ' << number(band.origin.x) << ' ' << number(band.origin.y)
          << ")\" href=\"data:image/png;base64," << base64(png) << "\"/>\n";
}

void SvgSink::end_page()
{
    if (!drawing())
        return;
    close_style();
    if (clipped_)
        *out_ << "</g>\n";
    *out_ << "</svg>\n";
    if (!out_->flush())
        failed_ = true;
    out_.reset();
    if (!files_.close_page(file_))
        failed_ = true;
    file_ = nullptr;
}

bool SvgSink::finish()
{
    end_page();
    return !failed_;
}

// SPDX-License-Identifier: MIT
#include "operator_content.h"

#include <algorithm>
#include <cmath>

namespace {

bool same(const Colour &a, const Colour &b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

} // namespace

OperatorContent::OperatorContent(DocumentOutput &out, bool one_colour)
    : out_(out), one_colour_(one_colour)
{
}

void OperatorContent::begin_page(double width, double height)
{
    page_ = {{0, 0}, {width, height}};
    clip_ = page_;
    written_ = {};
    // Millimetres, y down from the top, to points, y up from the bottom.
    matrix({kPointsPerMm, 0, 0, -kPointsPerMm, 0, height * kPointsPerMm});
    out_ << " cm\nq\n";
}

void OperatorContent::end_page()
{
    out_ << "Q\n";
}

void OperatorContent::matrix(const Affine &m)
{
    out_ << Decimal{m.xx, kMatrixDecimals} << ' ' << Decimal{m.yx, kMatrixDecimals} << ' '
         << Decimal{m.xy, kMatrixDecimals} << ' ' << Decimal{m.yy, kMatrixDecimals} << ' '
         << Decimal{m.dx, kMatrixDecimals} << ' ' << Decimal{m.dy, kMatrixDecimals};
}

void OperatorContent::path(const Path &path)
{
    for (const SubPath &sub : path) {
        if (sub.points.empty())
            continue;
        bool first = true;
        for (const Point p : sub.points) {
            out_ << Decimal{p.x, kLengthDecimals} << ' ' << Decimal{p.y, kLengthDecimals}
                 << (first ? " m\n" : " l\n");
            first = false;
        }
        if (sub.closed)
            out_ << "h\n";
    }
}

void OperatorContent::outline(const GlyphOutline &steps)
{
    const auto point = [&](Point p) {
        out_ << Decimal{p.x, kMatrixDecimals} << ' ' << Decimal{p.y, kMatrixDecimals};
    };
    for (const OutlineStep &step : steps) {
        switch (step.kind) {
        case OutlineStep::Move:
            point(step.points[0]);
            out_ << " m\n";
            break;
        case OutlineStep::Line:
            point(step.points[0]);
            out_ << " l\n";
            break;
        case OutlineStep::Curve:
            for (int i = 0; i < 3; ++i) {
                point(step.points[i]);
                out_ << ' ';
            }
            out_ << "c\n";
            break;
        case OutlineStep::Close:
            out_ << "h\n";
            break;
        }
    }
}

void OperatorContent::colour(const Colour &colour, bool for_stroke)
{
    std::optional<Colour> &written = for_stroke ? written_.stroke : written_.fill;
    if (written && same(*written, colour))
        return;
    out_ << Decimal{colour.red, kColourDecimals} << ' ' << Decimal{colour.green, kColourDecimals}
         << ' ' << Decimal{colour.blue, kColourDecimals} << (for_stroke ? " RG\n" : " rg\n");
    written = colour;
    if (one_colour_)
        written_.stroke = written_.fill = colour;
}

void OperatorContent::fill_colour(const Colour &colour)
{
    this->colour(colour, false);
}

void OperatorContent::line_width(double width)
{
    if (width != written_.width) {
        out_ << Decimal{width, kLengthDecimals} << " w\n";
        written_.width = width;
    }
}

void OperatorContent::line_style(double width, DrawnEnd end, DrawnJoin join, double miter)
{
    line_width(width);
    if (static_cast<int>(end) != written_.end) {
        written_.end = static_cast<int>(end);
        out_ << static_cast<std::uint64_t>(written_.end) << " J\n";
    }
    if (static_cast<int>(join) != written_.join) {
        written_.join = static_cast<int>(join);
        out_ << static_cast<std::uint64_t>(written_.join) << " j\n";
    }
    if (miter != written_.miter) {
        out_ << Decimal{miter, kLengthDecimals} << " M\n";
        written_.miter = miter;
    }
}

void OperatorContent::stroke(const Path &path, const Pen &pen)
{
    colour(pen.colour, true);
    line_style(document_line_width(pen), drawn_end(pen.end), drawn_join(pen.join),
               document_miter_limit(pen));
    static const std::vector<double> kSolid;
    const std::vector<double> &dashes = drawable_dashes(pen) ? pen.dashes : kSolid;
    const double offset = dashes.empty() ? 0 : pen.dash_offset;
    if (!written_.dashes || *written_.dashes != dashes || written_.dash_offset != offset) {
        out_ << '[';
        for (std::size_t i = 0; i < dashes.size(); ++i)
            out_ << (i == 0 ? "" : " ") << Decimal{dashes[i], kLengthDecimals};
        out_ << "] " << Decimal{offset, kLengthDecimals} << " d\n";
        written_.dashes = dashes;
        written_.dash_offset = offset;
    }
    this->path(path);
    out_ << "S\n";
}

void OperatorContent::fill(const Path &path, const Fill &fill)
{
    const bool even_odd = fill.rule == FillRule::EvenOdd;
    if (fill.spacing > 0) {
        // The lines inside a saved state, clipped to the shape; what they
        // set is gone after it.
        if (std::all_of(path.begin(), path.end(),
                        [](const SubPath &sub) { return sub.points.empty(); }))
            return;
        const Written before = written_;
        out_ << "q\n";
        this->path(path);
        out_ << (even_odd ? "W* n\n" : "W n\n");
        colour(fill.colour, true);
        // Each line runs past the shape at both ends: its ends and joins
        // draw nothing.
        line_width(std::max(fill.line_width, kThinnestDocumentLine));
        if (!written_.dashes || !written_.dashes->empty()) {
            out_ << "[] 0 d\n";
            written_.dashes = std::vector<double>();
        }
        const auto line = [&](Point from, Point to) {
            out_ << Decimal{from.x, kLengthDecimals} << ' ' << Decimal{from.y, kLengthDecimals}
                 << " m " << Decimal{to.x, kLengthDecimals} << ' ' << Decimal{to.y, kLengthDecimals}
                 << " l\n";
        };
        hatch_lines(path, fill, fill.angle, clip_, line);
        if (fill.crossed)
            hatch_lines(path, fill, fill.angle + M_PI / 2, clip_, line);
        out_ << "S\nQ\n";
        written_ = before;
        return;
    }
    colour(shaded_colour(fill), false);
    this->path(path);
    out_ << (even_odd ? "f*\n" : "f\n");
}

void OperatorContent::clip(Point low, Point high)
{
    clip_ = clip_on_page(low, high, page_.high.x, page_.high.y);
    const double x = std::min(low.x, high.x);
    const double y = std::min(low.y, high.y);
    out_ << "Q q\n"
         << Decimal{x, kLengthDecimals} << ' ' << Decimal{y, kLengthDecimals} << ' '
         << Decimal{std::fabs(high.x - low.x), kLengthDecimals} << ' '
         << Decimal{std::fabs(high.y - low.y), kLengthDecimals} << " re W n\n";
    written_ = {};
}

// SPDX-License-Identifier: MIT
#include "mark_rules.h"

#include <algorithm>
#include <cmath>

namespace {

// The shortest length a document writes as more than 0, millimetres.
const double kSmallestLength = std::pow(10.0, -kLengthDecimals);

} // namespace

DrawnEnd drawn_end(LineEnd end)
{
    switch (end) {
    case LineEnd::Butt:
        return DrawnEnd::Butt;
    case LineEnd::Square:
        return DrawnEnd::Square;
    default:
        return DrawnEnd::Round;
    }
}

DrawnJoin drawn_join(LineJoin join)
{
    switch (join) {
    case LineJoin::Mitered:
    case LineJoin::MiteredBeveled:
        return DrawnJoin::Miter;
    case LineJoin::Triangular:
    case LineJoin::Round:
        return DrawnJoin::Round;
    default:
        return DrawnJoin::Bevel;
    }
}

double document_line_width(const Pen &pen)
{
    return std::max(pen.width, kThinnestDocumentLine);
}

double document_miter_limit(const Pen &pen)
{
    return std::max(pen.miter_limit, 1.0);
}

bool drawable_dashes(const Pen &pen)
{
    bool some_length = false;
    for (const double dash : pen.dashes) {
        if (!(dash >= 0) || !std::isfinite(dash))
            return false;
        some_length |= dash >= kSmallestLength;
    }
    return some_length;
}

Colour shaded_colour(const Fill &fill)
{
    const double level = fill.shade / 100;
    return {1 - (1 - fill.colour.red) * level, 1 - (1 - fill.colour.green) * level,
            1 - (1 - fill.colour.blue) * level};
}

Box clip_on_page(Point low, Point high, double width, double height)
{
    return {{std::max(std::min(low.x, high.x), 0.0), std::max(std::min(low.y, high.y), 0.0)},
            {std::min(std::max(low.x, high.x), width), std::min(std::max(low.y, high.y), height)}};
}

void hatch_lines(const Path &path, const Fill &fill, double angle, const Box &clip,
                 const std::function<void(Point from, Point to)> &line)
{
    if (clip.empty() || !(fill.spacing > 0))
        return;
    // The part of the clip's box that the shape's box covers.
    Box shape{{HUGE_VAL, HUGE_VAL}, {-HUGE_VAL, -HUGE_VAL}};
    for (const SubPath &sub : path) {
        for (const Point p : sub.points) {
            shape.low = {std::min(shape.low.x, p.x), std::min(shape.low.y, p.y)};
            shape.high = {std::max(shape.high.x, p.x), std::max(shape.high.y, p.y)};
        }
    }
    shape.low = {std::max(shape.low.x, clip.low.x), std::max(shape.low.y, clip.low.y)};
    shape.high = {std::min(shape.high.x, clip.high.x), std::min(shape.high.y, clip.high.y)};
    if (shape.empty())
        return;
    const double dx = std::cos(angle);
    const double dy = std::sin(angle);
    // The offsets from the anchor along the normal (-dy, dx) of the lines
    // that cross the shape's box.
    double low = HUGE_VAL;
    double high = -HUGE_VAL;
    for (const double x : {shape.low.x, shape.high.x}) {
        for (const double y : {shape.low.y, shape.high.y}) {
            const double offset = -dy * (x - fill.anchor.x) + dx * (y - fill.anchor.y);
            low = std::min(low, offset);
            high = std::max(high, offset);
        }
    }
    const double reach = std::hypot(clip.high.x - clip.low.x, clip.high.y - clip.low.y);
    const double cx = (clip.low.x + clip.high.x) / 2;
    const double cy = (clip.low.y + clip.high.y) / 2;
    const double first = std::ceil(low / fill.spacing);
    const double last = std::min(std::floor(high / fill.spacing), first + kMaxHatchLines);
    for (double k = first; k <= last; ++k) {
        // The point of the line nearest the box's centre, then both ways.
        const double offset = k * fill.spacing;
        const double along = dx * (cx - fill.anchor.x) + dy * (cy - fill.anchor.y);
        const double ox = fill.anchor.x - dy * offset + dx * along;
        const double oy = fill.anchor.y + dx * offset + dy * along;
        line({ox - dx * reach, oy - dy * reach}, {ox + dx * reach, oy + dy * reach});
    }
}

Affine text_character_place(const TextRun &run, std::size_t index)
{
    const double step = std::hypot(run.advance.x, run.advance.y);
    // A run that goes nowhere reads along the sheet's x axis.
    const Point along = step > 0 ? Point{run.advance.x / step, run.advance.y / step} : Point{1, 0};
    // Up from the baseline is a quarter turn from along it, against the
    // sheet's y axis, which points down.
    const double i = static_cast<double>(index);
    return {along.x * run.em,
            along.y * run.em,
            along.y * run.em,
            -along.x * run.em,
            run.start.x + i * run.advance.x,
            run.start.y + i * run.advance.y};
}

Affine image_square_place(const ImageBand &band)
{
    const double w = static_cast<double>(band.width);
    const double h = static_cast<double>(band.rows);
    Affine place;
    place.xx = band.across.x * w;
    place.yx = band.across.y * w;
    place.xy = -band.down.x * h;
    place.yy = -band.down.y * h;
    place.dx = band.origin.x + band.down.x * h;
    place.dy = band.origin.y + band.down.y * h;
    return place;
}

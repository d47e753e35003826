// SPDX-License-Identifier: MIT
// How every sink draws a mark, whatever it writes: the thinnest line on
// paper, the ends and joins a stroke is drawn with, shading mixed with
// white, where the lines of a hatched fill go, and where each character of
// PCL text stands.
#ifndef ZELVO_MARK_RULES_H
#define ZELVO_MARK_RULES_H

#include "affine.h"
#include "document_output.h"
#include "page_sink.h"

#include <cstddef>
#include <functional>

// A document's page is measured in points.
constexpr double kPointsPerMm = kPointsPerInch / kMillimetresPerInch;

// The thinnest line a document draws, millimetres: a pen of width 0 still
// draws, as a fine line on paper.
constexpr double kThinnestDocumentLine = 0.05;
// The lines one hatched fill draws at the most: a shape that would take
// more is hatched only that far.
constexpr double kMaxHatchLines = 100000;

// The ends and joins drawn, numbered as PDF and PostScript number them.
// Triangular ends and joins come closest round.
enum class DrawnEnd { Butt = 0, Round = 1, Square = 2 };
enum class DrawnJoin { Miter = 0, Round = 1, Bevel = 2 };
DrawnEnd drawn_end(LineEnd end);
DrawnJoin drawn_join(LineJoin join);

// A pen's width on paper, millimetres: never thinner than the thinnest line.
double document_line_width(const Pen &pen);

// A pen's miter limit as a document takes it: at least 1.
double document_miter_limit(const Pen &pen);

// Whether a pen's dashes can be drawn: lengths none of which is negative,
// one at least a micrometre, which a document writes as more than 0 (PDF
// and PostScript refuse a pattern of zeros). Others draw a solid line.
bool drawable_dashes(const Pen &pen);

// A fill's colour with its shading: the colour mixed with white, 0 % white
// and 100 % the colour.
Colour shaded_colour(const Fill &fill);

// A rectangle of the sheet, millimetres.
struct Box {
    Point low;
    Point high;
    bool empty() const { return !(low.x <= high.x && low.y <= high.y); }
};

// The part of the rectangle from `low` to `high` (either way round) that
// lies on a page `width` by `height`.
Box clip_on_page(Point low, Point high, double width, double height);

// The lines that hatch `path` for `fill` at `angle` radians, each given to
// `line` by its two ends: `fill.spacing` apart through the anchor, over the
// part of the path's box within `clip`, each running across the whole clip
// box so that where it lies does not depend on the shape; never more than
// kMaxHatchLines. They are to be clipped to the path.
void hatch_lines(const Path &path, const Fill &fill, double angle, const Box &clip,
                 const std::function<void(Point from, Point to)> &line);

// The em square of the character `index` of a PCL text run on the sheet:
// from its origin, an em along the run and an em up from it.
Affine text_character_place(const TextRun &run, std::size_t index);

// The unit square onto an image band's corners, its first row along the
// top (y 1), as PDF and PostScript draw an image.
Affine image_square_place(const ImageBand &band);

#endif

// SPDX-License-Identifier: MIT
// What the interpreter draws on: pages of paths in millimetres on the
// sheet, origin at its top-left corner, y down. A sink may be a cairo
// surface, a recording for tests, or nothing at all.
#ifndef ZELVO_PAGE_SINK_H
#define ZELVO_PAGE_SINK_H

#include "point.h"
#include "units.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Straight pieces only: arcs and curves come flattened by the interpreter,
// as a plotter draws them, with its chord angle or tolerance.
struct SubPath {
    std::vector<Point> points;
    bool closed = false;
};

using Path = std::vector<SubPath>;

enum class LineEnd { Butt, Square, Triangular, Round };
enum class LineJoin { Mitered, MiteredBeveled, Triangular, Round, Beveled, None };

struct Colour {
    double red = 0;
    double green = 0;
    double blue = 0;
};

struct Pen {
    double width = kInitialPenWidth; // millimetres
    LineEnd end = LineEnd::Butt;
    LineJoin join = LineJoin::Mitered;
    double miter_limit = 5;
    Colour colour;
    // Dashes in millimetres, alternately drawn and left out; none is solid.
    std::vector<double> dashes;
    double dash_offset = 0;
    // A stroke of a glyph: on a raster the printer adjusts it to whole
    // pixels only when it is a pixel wide or thinner, and then inks no
    // pixel past its ends.
    bool glyph = false;
};

enum class FillRule { EvenOdd, NonZero };

// How a filled area is inked: solid, or by parallel lines.
struct Fill {
    FillRule rule = FillRule::EvenOdd;
    Colour colour;
    // Hatching: lines `spacing` millimetres apart, one through `anchor`, at
    // `angle` radians from the sheet's x axis towards its y axis, crossed by
    // as many at right angles when `crossed`. A spacing of 0 fills solid.
    double spacing = 0;
    Point anchor;
    double angle = 0;
    bool crossed = false;
    double line_width = kInitialPenWidth;
    // Shading: 0 (white) to 100 (the colour); 100 for solid and hatching.
    double shade = 100;
};

// Characters of the printer's own fixed-pitch font, as PCL context prints
// them: one after another along the baseline, each at its own place.
struct TextRun {
    std::string characters; // ' ' to '~'; spaces draw nothing
    Point start;            // the first character's origin on the baseline
    Point advance;          // from one character's origin to the next
    double em = 0;          // the font's size, millimetres
};

// A character of a label in one of the printer's outline typefaces, which
// the printer fills rather than strokes: the glyph of `character` ('!' to
// '~') with its origin on the baseline at `origin`, one em along the
// baseline `across` and one em up from it `up` (leaned by SL, turned by DI),
// fitted to the printer's advance for it, `advance` ems. `outline` says the
// printer fills the glyph's outline where it stands, as with TR 0, rather
// than taking its hinted glyph from its font cache.
struct GlyphMark {
    char character = '!';
    Point origin;
    Point across;
    Point up;
    double advance = 0;
    Colour colour;
    bool outline = false;
};

// Where a glyph's ink lies: its advance along the baseline, up to 0.75 em
// above it (the outline fonts' ascenders and accents), and down to 0.21 em
// below it for the characters that reach under it; the others stand on it,
// as the digits of a scale's labels do.
inline SubPath glyph_box(const GlyphMark &mark)
{
    const auto at = [&](double along, double up) {
        return Point{mark.origin.x + along * mark.across.x + up * mark.up.x,
                     mark.origin.y + along * mark.across.y + up * mark.up.y};
    };
    const std::string_view descending = "gjpqyQ,;()[]{}|_@$/";
    const double low = descending.find(mark.character) != std::string_view::npos ? -0.21 : 0;
    const double a = mark.advance;
    return {{at(0, low), at(a, low), at(a, 0.75), at(0, 0.75)}, true};
}

// The characters of a label drawn in strokes, to be found by a search of
// a document that can hold text it does not show: each character's origin
// on the baseline, and one cell along the baseline and one cap height up
// from it (the same for the whole label).
struct HiddenText {
    std::string characters; // '!' to '~'
    std::vector<Point> origins;
    Point across;
    Point up;
};

// Rows of pixels of a raster image, a band of them at a time: `rows` rows
// of `width` pixels, top row first, each pixel three bytes (red, green,
// blue, 0 to 255). The first row's first pixel has its corner at `origin`;
// `across` goes from a pixel to the next in its row and `down` from a row
// to the next, millimetres on the sheet, so that a pixel covers the
// parallelogram those two steps span from its corner (a turned, mirrored or
// scaled image is one of other steps). Where `white_transparent`, white
// pixels leave what lies beneath them, as the printer's source
// transparency does.
struct ImageBand {
    std::size_t width = 0;
    std::size_t rows = 0;
    std::span<const std::uint8_t> rgb; // width * rows * 3 bytes
    Point origin;
    Point across;
    Point down;
    bool white_transparent = true;
};

// The four corners of a band on the sheet, in turn round it.
inline SubPath image_box(const ImageBand &band)
{
    const double w = static_cast<double>(band.width);
    const double h = static_cast<double>(band.rows);
    const Point o = band.origin;
    const Point a{band.across.x * w, band.across.y * w};
    const Point d{band.down.x * h, band.down.y * h};
    return {{o, {o.x + a.x, o.y + a.y}, {o.x + a.x + d.x, o.y + a.y + d.y}, {o.x + d.x, o.y + d.y}},
            true};
}

class PageSink {
public:
    virtual ~PageSink() = default;
    // A new page `width` by `height` millimetres.
    virtual void begin_page(double width, double height) = 0;
    virtual void stroke(const Path &path, const Pen &pen) = 0;
    virtual void fill(const Path &path, const Fill &fill) = 0;
    // Drawing from here on is clipped to this rectangle; a page starts with
    // no clip. Each call replaces the one before.
    virtual void clip(Point low, Point high) = 0;
    virtual void text(const TextRun &run) = 0;
    virtual void glyph(const GlyphMark &mark) = 0;
    // Only a document that can hold unseen text takes it.
    virtual void hidden_text(const HiddenText &) {}
    virtual void image(const ImageBand &band) = 0;
    virtual void end_page() = 0;
};

// Draws nothing: for measuring and for fuzzing.
class NullSink : public PageSink {
public:
    void begin_page(double, double) override {}
    void stroke(const Path &, const Pen &) override {}
    void fill(const Path &, const Fill &) override {}
    void clip(Point, Point) override {}
    void text(const TextRun &) override {}
    void glyph(const GlyphMark &) override {}
    void image(const ImageBand &) override {}
    void end_page() override {}
};

#endif

// SPDX-License-Identifier: MIT
// The fonts that labels in the printer's outline typefaces and PCL text are
// drawn in, as fontconfig finds them through cairo: how a label's glyph is
// fitted to the printer's advance for it, from Nimbus Sans's metrics, and
// the outlines of the glyphs, for the documents that draw them as paths.
// One object serves every sink of a run; it keeps at most one outline per
// character and typeface.
#ifndef ZELVO_GLYPH_FONTS_H
#define ZELVO_GLYPH_FONTS_H

#include "affine.h"
#include "page_sink.h"

#include <array>
#include <optional>
#include <vector>

typedef struct _cairo_scaled_font cairo_scaled_font_t;

// The typefaces drawn: "Courier" for PCL text (URW's Nimbus Mono PS where
// fonts-urw-base35 is installed) and URW's Nimbus Sans, the nearest that
// Debian's fonts have to the printer's Univers, for outline-font labels;
// each else the nearest font fontconfig has.
enum class Typeface { Courier, Sans };

// A glyph's outline in ems, y up from the baseline, the origin at its
// start: moves, lines, cubic curves (two control points, then the end) and
// closings.
struct OutlineStep {
    enum Kind { Move, Line, Curve, Close } kind = Move;
    Point points[3];
};
using GlyphOutline = std::vector<OutlineStep>;

class GlyphFonts {
public:
    GlyphFonts();
    ~GlyphFonts();
    GlyphFonts(const GlyphFonts &) = delete;
    GlyphFonts &operator=(const GlyphFonts &) = delete;

    // Where the em square of the Nimbus Sans glyph of `mark` goes on the
    // sheet (x along its baseline, y up): its H as high as the printer's
    // and its width fitted to the printer's advance. Nothing when the font
    // cannot be had or the character is not one of '!' to '~'.
    std::optional<Affine> placement(const GlyphMark &mark);

    // The family name fontconfig is asked for.
    static const char *family(Typeface face);

    // The outline of `c` ('!' to '~') in `face`, unhinted; null when the
    // font cannot be had.
    const GlyphOutline *outline(Typeface face, char c);

private:
    bool read_metrics();

    // The outline font at the size its metrics are read at, and its H's
    // height per em (0 when there is no such font): made at the first
    // glyph.
    cairo_scaled_font_t *metrics_ = nullptr;
    double cap_ = 0;
    bool metrics_read_ = false;
    static constexpr int kCharacters = '~' - '!' + 1;
    // Each typeface's outlines as read, and whether each was.
    std::array<std::array<std::optional<GlyphOutline>, kCharacters>, 2> outlines_;
};

#endif

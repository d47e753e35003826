// SPDX-License-Identifier: MIT
// Pages written as a DSC-conforming PostScript document (level 2) as they
// are drawn: a prolog that defines PDF's content operators, then each page
// with its own size and its marks as they come, the page count at the end.
// Glyphs and PCL text are their outlines, each defined as a procedure at
// its first use on a page and filled wherever it stands; what is kept is
// no more than which of them a page has defined.
#ifndef ZELVO_PS_SINK_H
#define ZELVO_PS_SINK_H

#include "document_output.h"
#include "glyph_fonts.h"
#include "operator_content.h"
#include "output_sink.h"

#include <bitset>
#include <cstdio>

class PsSink final : public OutputSink {
public:
    PsSink(std::FILE *document, GlyphFonts &fonts);

    void begin_page(double width, double height) override;
    void stroke(const Path &path, const Pen &pen) override;
    void fill(const Path &path, const Fill &fill) override;
    void clip(Point low, Point high) override;
    void text(const TextRun &run) override;
    void glyph(const GlyphMark &mark) override;
    // Inline, its bytes in hexadecimal; white masked where transparent,
    // with PostScript 3's masked image.
    void image(const ImageBand &band) override;
    void end_page() override;
    bool finish() override;

private:
    void begin_document();
    void draw_glyph(Typeface face, char c, const Affine &place);

    DocumentOutput out_;
    GlyphFonts &fonts_;
    OperatorContent content_;
    bool begun_ = false;
    bool in_page_ = false;
    // The largest page so far, points, for the bounding box.
    double widest_ = 0;
    double tallest_ = 0;
    // The glyphs this page has defined, by typeface and character.
    std::bitset<'~' - '!' + 1> defined_[2];
};

#endif

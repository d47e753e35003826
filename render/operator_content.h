// SPDX-License-Identifier: MIT
// Marks written as the content operators of a PDF page, which the
// PostScript documents' prolog defines too (m l c h S f f* W W* n re q Q cm
// w J j M d RG rg): paths in the sheet's millimetres, y down, under one
// matrix to the page's points; each graphics-state setting written only
// where it changes, and the clip as the one rectangle inside a saved state
// that each clip restores and saves again.
#ifndef ZELVO_OPERATOR_CONTENT_H
#define ZELVO_OPERATOR_CONTENT_H

#include "document_output.h"
#include "glyph_fonts.h"
#include "mark_rules.h"

#include <optional>
#include <vector>

class OperatorContent {
public:
    // With `one_colour` strokes and fills share one colour, as PostScript's
    // current colour is.
    OperatorContent(DocumentOutput &out, bool one_colour);

    void begin_page(double width, double height);
    void stroke(const Path &path, const Pen &pen);
    void fill(const Path &path, const Fill &fill);
    void clip(Point low, Point high);
    void end_page();

    // The colour that text and glyphs are filled in from here on.
    void fill_colour(const Colour &colour);
    // A matrix as the six numbers of cm, Tm and concat.
    void matrix(const Affine &m);
    // A glyph's outline, in the units of the matrix it is drawn under.
    void outline(const GlyphOutline &steps);

private:
    // The graphics state as last written; nothing is what the page starts
    // with, or what a restore leaves unknown.
    struct Written {
        std::optional<Colour> stroke;
        std::optional<Colour> fill;
        double width = -1;
        int end = -1;
        int join = -1;
        double miter = -1;
        std::optional<std::vector<double>> dashes;
        double dash_offset = 0;
    };

    void path(const Path &path);
    void colour(const Colour &colour, bool for_stroke);
    void line_width(double width);
    void line_style(double width, DrawnEnd end, DrawnJoin join, double miter);

    DocumentOutput &out_;
    bool one_colour_;
    Box page_;
    Box clip_;
    Written written_;
};

#endif

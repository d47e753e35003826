// SPDX-License-Identifier: MIT
// Pages written as SVG documents, one file a page, as they are drawn: the
// page in millimetres (its size in points), strokes and fills as paths in
// groups of one style, each clip a group of its own, hatching as lines
// clipped to the shape, and glyphs and PCL text as outlines defined once in
// the file and used wherever they stand. What is kept is the open group's
// style and which glyphs the file has defined.
#ifndef ZELVO_SVG_SINK_H
#define ZELVO_SVG_SINK_H

#include "document_output.h"
#include "glyph_fonts.h"
#include "mark_rules.h"
#include "output_sink.h"

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>

class SvgSink final : public OutputSink {
public:
    // The pages go through `files`, up to `max_pages` of them (the rest are
    // only counted).
    SvgSink(PageFiles &files, std::uint64_t max_pages, GlyphFonts &fonts);

    void begin_page(double width, double height) override;
    void stroke(const Path &path, const Pen &pen) override;
    void fill(const Path &path, const Fill &fill) override;
    void clip(Point low, Point high) override;
    void text(const TextRun &run) override;
    void glyph(const GlyphMark &mark) override;
    // Embedded as a PNG image, each image pixel a square of the sheet's.
    void image(const ImageBand &band) override;
    void end_page() override;
    bool finish() override;

private:
    bool drawing() const { return out_ != nullptr; }
    // Marks from here on in a group of these attributes.
    void style(const std::string &attributes);
    void close_style();
    void path_data(const Path &path);
    void draw_glyph(Typeface face, char c, const Affine &place, const Colour &colour);

    PageFiles &files_;
    std::uint64_t max_pages_;
    GlyphFonts &fonts_;
    std::FILE *file_ = nullptr;
    std::unique_ptr<DocumentOutput> out_;
    bool failed_ = false;
    Box page_;
    Box clip_;
    bool clipped_ = false;
    std::string style_; // the open group's attributes; empty: none open
    std::uint64_t ids_ = 0;
    std::bitset<'~' - '!' + 1> defined_[2];
};

#endif

// SPDX-License-Identifier: MIT
// Pages written as a PDF 1.4 document as they are drawn: each page's
// content stream compressed as its marks come, its length an object of its
// own after it, and the cross-reference table at the end. What is kept
// grows with the pages, never with what a page holds. PCL text and
// outline-font labels are text in the standard fonts Courier and
// Helvetica, named and not embedded, so that the text can be searched and
// copied.
#ifndef ZELVO_PDF_SINK_H
#define ZELVO_PDF_SINK_H

#include "document_output.h"
#include "glyph_fonts.h"
#include "operator_content.h"
#include "output_sink.h"

#include <cstdint>
#include <cstdio>
#include <vector>

class PdfSink final : public OutputSink {
public:
    PdfSink(std::FILE *document, GlyphFonts &fonts);

    void begin_page(double width, double height) override;
    void stroke(const Path &path, const Pen &pen) override;
    void fill(const Path &path, const Fill &fill) override;
    void clip(Point low, Point high) override;
    void text(const TextRun &run) override;
    // Searchable, unseen: in render mode 3, Courier over each character.
    void hidden_text(const HiddenText &text) override;
    void glyph(const GlyphMark &mark) override;
    // Each band an image object of its own, white masked where it is
    // transparent: the page's content stream ends before it and goes on in
    // another after it, the page's contents all of them in turn.
    void image(const ImageBand &band) override;
    void end_page() override;
    bool finish() override;

private:
    void begin_document();
    void begin_content();
    void end_content();
    std::uint64_t begin_object(std::uint64_t number);
    void show(const char *font, const Affine &place, std::string_view characters, double spacing);

    DocumentOutput out_;
    GlyphFonts &fonts_;
    OperatorContent content_;
    bool begun_ = false;
    bool in_page_ = false;
    double width_ = 0;
    double height_ = 0;
    // Where each object starts, by its number (0 is no object).
    std::vector<std::uint64_t> offsets_;
    std::vector<std::uint64_t> page_objects_;
    // The open page's content streams and images, by object number.
    std::vector<std::uint64_t> contents_;
    std::vector<std::uint64_t> images_;
};

#endif

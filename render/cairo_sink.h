// SPDX-License-Identifier: MIT
// Pages drawn with cairo: PDF and PostScript documents of many pages, and
// PNG images and SVG documents of one page each.
#ifndef ZELVO_CAIRO_SINK_H
#define ZELVO_CAIRO_SINK_H

#include "page_sink.h"

#include <cstdint>
#include <cstdio>
#include <string>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_scaled_font cairo_scaled_font_t;

enum class OutputFormat { Pdf, Svg, Ps, Png };

// Where the files of one-page formats go: a stream for page `number`
// (from 1), or null when it cannot be opened; each is closed by
// close_page, whose false result means it could not be written.
class PageFiles {
public:
    virtual std::FILE *open_page(std::uint64_t number) = 0;
    virtual bool close_page(std::FILE *file) = 0;

protected:
    ~PageFiles() = default;
};

class CairoSink : public PageSink {
public:
    // PDF and PostScript go to `document`; PNG and SVG pages through
    // `pages`, up to `max_pages` of them (the rest are only counted).
    // PNG pages are `dpi` pixels to the inch.
    CairoSink(OutputFormat format, std::FILE *document, PageFiles *pages, std::uint64_t max_pages,
              double dpi);
    ~CairoSink() override;
    CairoSink(const CairoSink &) = delete;
    CairoSink &operator=(const CairoSink &) = delete;

    void begin_page(double width, double height) override;
    void stroke(const Path &path, const Pen &pen) override;
    void fill(const Path &path, const Fill &fill) override;
    void clip(Point low, Point high) override;
    // In "Courier" as fontconfig finds it (URW's Nimbus Mono PS where
    // fonts-urw-base35 is installed, else the nearest font it has); nothing
    // when it finds none.
    void text(const TextRun &run) override;
    // In URW's Nimbus Sans as fontconfig finds it (else the nearest font it
    // has), the glyph's H as high as the printer's and its width fitted to
    // the printer's advance; nothing when it finds none.
    void glyph(const GlyphMark &mark) override;
    // As image data of the document, or on a PNG page each pixel inking
    // the page's pixels whose centres it covers: never smoothed.
    void image(const ImageBand &band) override;
    void end_page() override;

    // Ends the document; false when anything could not be drawn or written.
    bool finish();
    std::uint64_t pages() const { return pages_; }
    // Why a page could not be drawn, when that is why finish failed; empty
    // when the output could not be written.
    const std::string &error() const { return error_; }

private:
    void add_path(const Path &path);
    void refuse_page(double width, double height);
    bool read_outline_font();
    void stroke_hairline(const Path &path, const Pen &pen);
    void hatch(const Path &path, const Fill &fill, double angle);
    bool drawing() const { return cr_ != nullptr; }

    OutputFormat format_;
    std::FILE *document_;
    PageFiles *files_;
    std::uint64_t max_pages_;
    double dpi_;
    double units_per_mm_;
    double thinnest_; // millimetres: one pixel, or a fine line on paper
    cairo_surface_t *surface_ = nullptr;
    cairo_t *cr_ = nullptr;
    std::FILE *page_file_ = nullptr;
    std::uint64_t pages_ = 0;
    bool failed_ = false;
    std::string error_;
    // The outline font at the size its metrics are read at, and its H's
    // height per em (0 when there is no such font): made at the first
    // glyph.
    cairo_scaled_font_t *outline_unit_ = nullptr;
    double outline_cap_ = 0;
};

// Lets go of the fonts cairo keeps for the whole run, once no sink is
// left: what is still held at exit is then nothing a leak checker counts.
void release_cairo_fonts();

#endif

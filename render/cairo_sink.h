// SPDX-License-Identifier: MIT
// Pages drawn as PNG images with cairo, one a page: cairo's image surface
// keeps the page's pixels, never a recording of its marks.
#ifndef ZELVO_CAIRO_SINK_H
#define ZELVO_CAIRO_SINK_H

#include "glyph_fonts.h"
#include "output_sink.h"

#include <cstdint>
#include <cstdio>
#include <string>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

class CairoSink final : public OutputSink {
public:
    // The pages go through `pages`, up to `max_pages` of them (the rest are
    // only counted), `dpi` pixels to the inch. They are the printer's raster
    // (whole pixels, strokes adjusted to them, no smoothing), or with
    // `smooth` drawn for a screen: edges smoothed, every stroke where it
    // lies.
    CairoSink(PageFiles &pages, std::uint64_t max_pages, double dpi, GlyphFonts &fonts,
              bool smooth = false);
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
    // In Nimbus Sans, placed as GlyphFonts fits it; nothing where it cannot
    // be had.
    void glyph(const GlyphMark &mark) override;
    // As image data of the document, or on a PNG page each pixel inking
    // the page's pixels whose centres it covers: never smoothed.
    void image(const ImageBand &band) override;
    void end_page() override;

    bool finish() override;

private:
    void add_path(const Path &path);
    void refuse_page(double width, double height);
    void stroke_hairline(const Path &path, const Pen &pen);
    void stroke_smooth(const Path &path, const Pen &pen);
    void hatch(const Path &path, const Fill &fill, double angle);
    bool drawing() const { return cr_ != nullptr; }

    PageFiles &files_;
    std::uint64_t max_pages_;
    double dpi_;
    double units_per_mm_;
    GlyphFonts &fonts_;
    bool smooth_;
    cairo_surface_t *surface_ = nullptr;
    cairo_t *cr_ = nullptr;
    std::FILE *page_file_ = nullptr;
    bool failed_ = false;
};

// Lets go of the fonts cairo keeps for the whole run, once no sink is
// left: what is still held at exit is then nothing a leak checker counts.
void release_cairo_fonts();

#endif

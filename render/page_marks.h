// SPDX-License-Identifier: MIT
// The interpreter's pages as the printer makes them: a page is begun by the
// first mark that shows on it, within the clip (the picture frame, IW's
// window, the sheet), and a page with nothing shown on it comes out only
// where the printer prints it whatever it holds (a form feed, or a stream's
// one page). Marks that show nowhere (off the sheet, outside the frame)
// draw nothing and begin no page: a job whose drawing lies off the sheet
// has no page, as on the printer.
#ifndef ZELVO_PAGE_MARKS_H
#define ZELVO_PAGE_MARKS_H

#include "page_sink.h"

#include <cstdint>

class PageMarks {
public:
    // With `every_mark`, marks are passed on wherever they lie (a measure
    // of the drawing wants them all).
    PageMarks(PageSink &out, bool every_mark) : out_(out), every_mark_(every_mark) {}

    // The size of the pages begun from now on, millimetres.
    void set_sheet(double width, double height);
    // The clip of the marks from now on; the open page's at once.
    void clip(Point low, Point high);

    void stroke(const Path &path, const Pen &pen);
    void fill(const Path &path, const Fill &fill);
    void text(const TextRun &run);
    void glyph(const GlyphMark &mark);
    // Unseen, it begins no page: it goes with marks that show.
    void hidden_text(const HiddenText &text);
    void image(const ImageBand &band);

    // Ends the open page; without one, with `even_blank`, puts out a page
    // with nothing on it.
    void end_page(bool even_blank);

    bool open() const { return open_; }
    std::uint64_t pages() const { return pages_; }
    // How many calls the sink has had: whether anything was drawn between
    // two moments.
    std::uint64_t calls() const { return calls_; }

private:
    // Whether marks within the box from `low` to `high` show; begins the
    // page when they do.
    bool shows(Point low, Point high);
    void begin_page();

    PageSink &out_;
    bool every_mark_;
    double width_ = 0;
    double height_ = 0;
    bool clipped_ = false;
    Point clip_low_;
    Point clip_high_;
    bool open_ = false;
    std::uint64_t pages_ = 0;
    std::uint64_t calls_ = 0;
};

#endif

// SPDX-License-Identifier: MIT
#include "page_marks.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct Box {
    Point low{std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    Point high{std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};

    void add(Point p)
    {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return;
        low = {std::min(low.x, p.x), std::min(low.y, p.y)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
    void grow(double by)
    {
        low = {low.x - by, low.y - by};
        high = {high.x + by, high.y + by};
    }
};

Box box_of(const Path &path)
{
    Box box;
    for (const SubPath &sub : path)
        for (const Point p : sub.points)
            box.add(p);
    return box;
}

} // namespace

void PageMarks::set_sheet(double width, double height)
{
    width_ = width;
    height_ = height;
}

void PageMarks::clip(Point low, Point high)
{
    clipped_ = true;
    clip_low_ = low;
    clip_high_ = high;
    if (open_) {
        ++calls_;
        out_.clip(low, high);
    }
}

bool PageMarks::shows(Point low, Point high)
{
    if (!every_mark_) {
        // The clip within the sheet: what the printer can show.
        const Point from{std::max(clipped_ ? clip_low_.x : 0.0, 0.0),
                         std::max(clipped_ ? clip_low_.y : 0.0, 0.0)};
        const Point to{std::min(clipped_ ? clip_high_.x : width_, width_),
                       std::min(clipped_ ? clip_high_.y : height_, height_)};
        if (!(low.x <= to.x && high.x >= from.x && low.y <= to.y && high.y >= from.y))
            return false;
    }
    if (!open_)
        begin_page();
    ++calls_;
    return true;
}

void PageMarks::begin_page()
{
    calls_ += clipped_ ? 2 : 1;
    out_.begin_page(width_, height_);
    open_ = true;
    if (clipped_)
        out_.clip(clip_low_, clip_high_);
}

void PageMarks::stroke(const Path &path, const Pen &pen)
{
    Box box = box_of(path);
    box.grow(pen.width / 2);
    if (shows(box.low, box.high))
        out_.stroke(path, pen);
}

void PageMarks::fill(const Path &path, const Fill &fill)
{
    const Box box = box_of(path);
    if (shows(box.low, box.high))
        out_.fill(path, fill);
}

void PageMarks::text(const TextRun &run)
{
    Box box;
    const double count = static_cast<double>(run.characters.size());
    for (const Point p : {run.start, Point{run.start.x + count * run.advance.x,
                                           run.start.y + count * run.advance.y}})
        box.add(p);
    box.grow(run.em);
    if (shows(box.low, box.high))
        out_.text(run);
}

void PageMarks::glyph(const GlyphMark &mark)
{
    Box box;
    for (const Point p : glyph_box(mark).points)
        box.add(p);
    if (shows(box.low, box.high))
        out_.glyph(mark);
}

void PageMarks::hidden_text(const HiddenText &text)
{
    if (!open_ || text.characters.empty())
        return;
    ++calls_;
    out_.hidden_text(text);
}

void PageMarks::image(const ImageBand &band)
{
    Box box;
    for (const Point p : image_box(band).points)
        box.add(p);
    if (shows(box.low, box.high))
        out_.image(band);
}

void PageMarks::end_page(bool even_blank)
{
    if (!open_ && !even_blank)
        return;
    if (!open_)
        begin_page();
    ++calls_;
    out_.end_page();
    open_ = false;
    ++pages_;
}

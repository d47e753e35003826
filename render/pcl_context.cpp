// SPDX-License-Identifier: MIT
// The PCL page of a PCL job: the escape sequences that place the plot, the
// change between PCL and HP-GL/2 context, the pages the printer ejects and
// the text PCL context prints.
#include "pcl_context.h"

#include "hpgl_instructions.h"
#include "pcl_text.h"

#include <algorithm>

namespace {

// PCL context's printing characters, on the sheet.
class PclCharacters : public PclTextListener {
public:
    explicit PclCharacters(Plotter &p) : p_(p) {}

    void characters(PclCursor at, std::string_view run) override
    {
        if (run.find_first_not_of(' ') == std::string_view::npos)
            return;
        // Text is not clipped to the picture frame; HP-GL/2 context sets
        // the frame's clip again.
        p_.sink.clip({0, 0}, {p_.placement.sheet_width, p_.placement.sheet_height});
        const Affine &to_sheet = p_.placement.logical_page_to_sheet;
        TextRun text;
        text.characters = run;
        const Point start = to_sheet.apply({at.x, at.y});
        const Point next = to_sheet.apply({at.x + kPclCharacterStep, at.y});
        text.start = start;
        text.advance = {next.x - start.x, next.y - start.y};
        text.em = kPclTextEm * kMillimetresPerInch;
        p_.sink.text(text);
    }

private:
    Plotter &p_;
};

} // namespace

void pcl_escape(Plotter &p, const EscapeSequence &sequence)
{
    raster_cursor_sync(p);
    const double line = p.page.text_cursor.y;
    raster_escape(p, sequence);
    if (p.options.pcl_job) {
        const bool reset = sequence.kind == 0 && (sequence.parameter & 0xDF) == 'E';
        if (apply_pcl_escape(p.page.pcl, sequence, p.page.text_cursor)) {
            place_plot_on_sheet(p);
            if (reset)
                initialise_graphics(p);
        }
        p.page.text_cursor = pcl_cursor_after(p.page.text_cursor, sequence, p.page.pcl);
    }
    if (p.page.text_cursor.y != line)
        raster_cursor_moved(p);
}

void pcl_context_changed(Plotter &p, bool pcl)
{
    if (!pcl)
        end_raster(p);
    p.raster.in_pcl = pcl;
    if (pcl || !p.options.pcl_job)
        return;
    // Entering HP-GL/2: the frame the PCL commands set takes effect.
    GraphicsState &s = p.state;
    flush_stroke(p);
    place_plot_on_sheet(p);
    s.p1 = {0, 0};
    s.p2 = {p.placement.plot_length, p.placement.plot_width};
    s.p1_p2_given = false;
    update_transforms(p);
    apply_clip(p);
}

void pcl_page_ejected(Plotter &p)
{
    if (!p.options.pcl_job)
        return;
    end_raster(p);
    p.raster.data_announced = false;
    flush_stroke(p);
    p.sink.end_page(p.page.form_fed);
    p.page.form_fed = false;
    p.page.text_cursor = {p.page.text_cursor.x, pcl_home(p.page.pcl).y, true};
}

void pcl_text_printed(Plotter &p, std::string_view bytes)
{
    // A character ends an image; controls between its rows do not.
    if (std::any_of(bytes.begin(), bytes.end(), [](char c) { return c > ' ' || c < 0; }))
        end_raster(p);
    if (!p.options.pcl_job)
        return;
    PclCharacters characters(p);
    p.page.text_cursor =
        print_pcl_text(p.page.text_cursor, bytes, p.page.pcl.line_spacing, characters);
}

void pcl_escape_data(Plotter &p, std::string_view bytes)
{
    raster_data(p, bytes);
}

void pcl_stream_ended(Plotter &p)
{
    end_raster(p);
}

// SPDX-License-Identifier: MIT
// What a PCL job's PCL side does to the plotter: only a PCL job has one; a
// plain plot passes over it, but for its raster graphics.
#ifndef ZELVO_PCL_CONTEXT_H
#define ZELVO_PCL_CONTEXT_H

#include "plot_scanner.h"
#include "plotter.h"

#include <string_view>

// An escape sequence: the page and the frame it sets, ESC E's reset.
void pcl_escape(Plotter &p, const EscapeSequence &sequence);
// The context changed; entering HP-GL/2 the frame takes effect.
void pcl_context_changed(Plotter &p, bool pcl);
// The printer ejected a page.
void pcl_page_ejected(Plotter &p);
// Bytes PCL context prints.
void pcl_text_printed(Plotter &p, std::string_view bytes);
// The data bytes an escape sequence announced.
void pcl_escape_data(Plotter &p, std::string_view bytes);
// The stream ended: an image not ended yet is drawn as far as it came.
void pcl_stream_ended(Plotter &p);

// Raster graphics (pcl_raster.cpp), in a PCL job and in a plain plot alike:
// the escape sequences, what the sequence announced, and the end of an
// image where the printer ends it without ESC *r B or C (text, a page's
// end, HP-GL/2 context, a reset).
void raster_escape(Plotter &p, const EscapeSequence &sequence);
void raster_data(Plotter &p, std::string_view bytes);
void end_raster(Plotter &p);
// The cursor where an image's next row goes, before a sequence reads it;
// and the image's next rows to the cursor's line after a sequence moved it
// up or down.
void raster_cursor_sync(Plotter &p);
void raster_cursor_moved(Plotter &p);

#endif

// SPDX-License-Identifier: MIT
// What a PCL job's PCL side does to the plotter: only a PCL job has one; a
// plain plot passes over it.
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

#endif

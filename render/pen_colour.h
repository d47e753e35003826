// SPDX-License-Identifier: MIT
// The colours of the pens: a colour plotter's eight, and the grays a PCL 5
// printer prints colours in.
#ifndef ZELVO_PEN_COLOUR_H
#define ZELVO_PEN_COLOUR_H

#include "page_sink.h"

#include <cstddef>

// A colour as the PCL interpreter prints it in gray: its luminance in
// linear light, then encoded again, so that yellow is nearly white.
Colour printed_gray(Colour colour);

// Pen `pen`'s colour after IN: the eight pens of a colour plotter (pen 0
// white, 1 black, then red, green, yellow, blue, magenta, cyan), again from
// pen 8 on; in the printer's gray when `printer`.
Colour default_pen_colour(std::size_t pen, bool printer);

#endif

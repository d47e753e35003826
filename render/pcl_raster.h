// SPDX-License-Identifier: MIT
// Raster graphics on the page: the image being drawn, and where its rows
// go on the sheet.
#ifndef ZELVO_PCL_RASTER_H
#define ZELVO_PCL_RASTER_H

#include "pcl_page.h"
#include "point.h"
#include "raster.h"

// PCL units to the inch after a reset.
constexpr double kDefaultPclUnits = 300;

// The raster side of the interpreter: the decoder with its settings, the
// context the stream is in, and the image being drawn.
struct RasterGraphics {
    RasterDecoder decoder;
    bool in_pcl = false; // PCL context, where raster commands are read
    // ESC &u # D: the units of ESC *p # X and # Y, to the inch, with which
    // raster drivers put the cursor.
    double pcl_units = kDefaultPclUnits;
    // Since the page began, a row or plane announced data: as the printer
    // counts marks on a page, rows of none (ESC *b 0 W) put nothing on a
    // page that has nothing yet.
    bool data_announced = false;
    // The image: its first pixel's corner and a pixel's steps across and
    // down, millimetres on the sheet.
    Point origin;
    Point across;
    Point down;
    // Where the cursor goes when it ends: back to the image's left edge,
    // and down its rows (`row_height` inches each; none when the rows run
    // across the page, as a turned image's do).
    PclCursor start;
    double row_height = 0;
};

#endif

// SPDX-License-Identifier: MIT
// Paper sizes the printer is asked for, and plot sizes a plot is drawn for.
#ifndef ZELVO_PAPER_SIZE_H
#define ZELVO_PAPER_SIZE_H

#include "units.h"

// A width and a height in millimetres.
struct PlotExtent {
    double width = 0; // along X
    double height = 0;
};

struct Paper {
    const char *name;
    int pcl_code;        // the value of the page size command ESC &l # A
    PlotExtent portrait; // the sheet, short side first
    // Where the printer's logical page starts on the long side of a
    // landscape page, in 1/300 inch: the origin of cursor positions.
    int landscape_offset;
};

// The paper called `name` (any case; "tabloid" is ledger), or null.
const Paper *find_paper(const char *name);

// The paper whose page size command ESC &l # A has `code`, or null.
const Paper *find_paper_by_code(int code);

// The system's default paper (libpaper: PAPERSIZE, then /etc/papersize): the
// table's paper of that name, else the size libpaper knows for it; letter
// when the system names none that libpaper knows, or zelvo was built
// without libpaper.
Paper system_paper();

// The plot size called `name`: A0 to A4, ANSI-A to ANSI-E, ARCH-A to ARCH-E
// (any case, the hyphen optional), all landscape; or "WxH" in millimetres.
// False when `name` is none of these.
bool plot_size_named(const char *name, PlotExtent &size);

#endif

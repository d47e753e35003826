// SPDX-License-Identifier: MIT
// A point, or a move, in the plane. Whoever holds one says in which units:
// millimetres on the sheet for a page sink, plotter units in the
// interpreter and the label layout, user units where SC scales them.
#ifndef ZELVO_POINT_H
#define ZELVO_POINT_H

struct Point {
    double x = 0;
    double y = 0;
};

#endif

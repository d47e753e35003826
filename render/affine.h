// SPDX-License-Identifier: MIT
// Affine maps of the plane, from plotter units to the sheet and between the
// plot's own coordinate systems.
#ifndef ZELVO_AFFINE_H
#define ZELVO_AFFINE_H

#include "page_sink.h"

// x' = xx x + xy y + dx, y' = yx x + yy y + dy.
struct Affine {
    double xx = 1, yx = 0, xy = 0, yy = 1, dx = 0, dy = 0;

    Point apply(Point p) const { return {xx * p.x + xy * p.y + dx, yx * p.x + yy * p.y + dy}; }
    // The map of a distance, without the shift.
    Point apply_vector(Point v) const { return {xx * v.x + xy * v.y, yx * v.x + yy * v.y}; }
    // How much lengths grow, taken on both axes (the maps here keep right
    // angles, though not always the scale).
    double scale() const;
    Affine inverse() const;
};

// `outer` after `inner`.
Affine compose(const Affine &outer, const Affine &inner);
Affine translation(double dx, double dy);
Affine scaling(double sx, double sy);
// A quarter turn count `quarters` (0 to 3), counter-clockwise with y up.
Affine quarter_turns(int quarters);

#endif

// SPDX-License-Identifier: MIT
// How the PCL interpreter lines a plot up with the pixels of a raster page.
// Its rasteriser adjusts strokes to whole pixels, and it moves the origin
// of the plot onto a pixel corner: plotter units by taking the pixel the
// origin falls in, user units of SC by taking the nearest corner. Lengths
// and points here are in pixels of the page.
#ifndef ZELVO_PIXEL_GRID_H
#define ZELVO_PIXEL_GRID_H

#include "affine.h"
#include "page_sink.h"

#include <optional>
#include <vector>

// A stroke's width in whole pixels: the nearest count, at least one.
int adjusted_stroke_pixels(double width);

// The points of a stroke `pixels` wide (a polyline, closed or not) moved to
// where the adjusted stroke runs: across each level or upright segment, so
// that its edges fall between pixels (an odd width centres on a pixel, an
// even one on the line between two); along it, not at all. A point between
// two such segments moves across both; slanted segments stay as they are.
// A `hairline`, a pen a pixel wide or thinner (drawn a pixel wide), on a
// pixel edge goes to the pixel before it rather than after.
std::vector<Point> adjusted_stroke_points(std::vector<Point> points, bool closed, int pixels,
                                          bool hairline);

// A pen `width` pixels wide is drawn as a hairline when it is a pixel wide
// or less (the interpreter puts pens of 0.1, 0.2 and 0.254 mm at 100 dpi on
// the pixel before an edge, of 0.26 mm on the pixel after).
bool drawn_as_hairline(double width);

// How far the printer moves a glyph of its stick font whose origin falls at
// `origin` (millimetres on the page, `pixel` millimetres to a pixel): it
// draws each glyph once into its font cache with the origin on a pixel
// corner and places it with the origin on the nearest one (halfway, the
// one after), so a glyph looks the same wherever it stands. The origin is
// first held to the 1/256 of a pixel it keeps points in.
Point cached_glyph_shift(Point origin, double pixel);

// The move a glyph's advance `advance` (millimetres on the page, `pixel`
// millimetres to a pixel) makes on the page: the interpreter turns it into
// its fixed point of 1/256 of a pixel, cutting each axis toward zero, and
// adds that to the pen, glyph after glyph.
Point fixed_point_advance(Point advance, double pixel);

// A rectangle on the page, in millimetres.
struct PageBox {
    Point low;
    Point high;
};

// How the interpreter clips a plot on a raster page with `pixel`
// millimetres to a pixel: the picture frame and IW's window (if any), each
// grown by a pixel all round so that a line on their edge prints whole,
// their intersection, and every pixel that touches it (the interpreter's
// fills reach a pixel further on the low side when that side lies on a
// pixel boundary).
PageBox clip_on_pixels(PageBox frame, const std::optional<PageBox> &window, double pixel);

// The length of the segment from `a` to `b` (millimetres on the page,
// `pixel` millimetres to a pixel) as the interpreter measures it to lay a
// line type along it: between its ends held to the nearest 1/256 of a
// pixel, the fixed point it keeps paths in. A line a whole number of
// patterns long comes out a hair longer or shorter, which decides how
// many patterns an adaptive line type fits.
double fixed_point_length(Point a, Point b, double pixel);

// How far the printer moves the logical page, whose top left corner falls
// at `corner` (millimetres on the page, `pixel` millimetres to a pixel):
// onto the nearest pixel corner (halfway, the one after), registration
// offsets and all. Everything placed on the logical page moves with it.
Point logical_page_shift(Point corner, double pixel);

// How the printer reaches the plot's origin on the page: from the logical
// page's top left corner it steps to the picture frame's anchor point, down
// by the frame's height, and for RO across the frame to the corner that is
// then the plot's lower left. Lengths in centipoints (1/7200 inch), as the
// printer keeps them.
struct OriginSteps {
    Point corner; // pixels of the page, a whole pixel on an unturned page
    Point across; // the logical page's x and y directions on the page,
    Point down;   // unit vectors
    Point anchor; // on the logical page
    double frame_width = 0;
    double frame_height = 0;
    int rotation = 0; // RO, degrees
};

// Where the printer's arithmetic leaves the plot's origin on a page of
// `dpi` pixels to the inch. Its matrices hold single-precision numbers: a
// centipoint is a float a little under its exact share of a pixel, and each
// step is rounded to a float and added in float. So the origin of a frame
// whose bottom lies exactly on a pixel edge may come out a hair above the
// edge or exactly on it, as the sum of the steps happens to round.
Point printer_plot_origin(const OriginSteps &steps, double dpi);

// `to_page` (plotter units to the page's pixels) with its origin moved
// into the corner of the pixel that `printer_origin` (where the printer's
// arithmetic leaves it, pixels) falls in.
Affine with_plot_origin_on_pixel(const Affine &to_page, Point printer_origin);

// `user_to_plotter` moved so that the user origin, through `plotter_to_page`
// (to the page's pixels), lands on the pixel corner nearest `exact_origin`:
// where the user origin lies on the page before the plot's origin was moved
// onto a pixel, or after.
Affine with_user_origin_on_pixel(const Affine &user_to_plotter, const Affine &plotter_to_page,
                                 Point exact_origin);

#endif

// SPDX-License-Identifier: MIT
// Ink on rendered pages: which pixels are ink, and how far the ink of two
// renders of one page agrees. The agreement check compares the PCL
// interpreter's pages with zelvo-render's through these.
#ifndef ZELVO_TEST_INK_H
#define ZELVO_TEST_INK_H

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// An 8-bit gray picture, rows top to bottom: 0 is black, 255 white.
struct GrayImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

// Ink is a pixel darker than this: the middle of the gray scale, so that
// the interpreter's anti-aliased edges count as ink on the darker half.
constexpr int kInkThreshold = 128;

// How far apart two renders may put the same stroke and still agree: a
// 5 x 5 square around each ink pixel (2 pixels in each direction,
// diagonals included), a quarter of a pen width at 100 dpi either way.
constexpr int kDilation = 2;

// Which pixels are ink, one flag (0 or 1) per pixel, row by row: bytes
// rather than bits, as every page is walked several times.
struct InkMask {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> ink;
    bool at(int x, int y) const { return ink[static_cast<std::size_t>(y) * width + x] != 0; }
};

// Reads a PNG of any colour type and depth as 8-bit gray (libpng's own
// conversion); nothing when it cannot be read. `error` tells why.
std::optional<GrayImage> read_png_gray(const std::string &path, std::string &error);

// The ink of `image` placed at the top left of a white canvas of
// `width` x `height`, which is at least the image's size.
InkMask ink_on_canvas(const GrayImage &image, int width, int height);

// The mask grown by `radius` pixels as a square: a pixel is set when any
// pixel at most `radius` away on both axes is set.
InkMask dilated(const InkMask &mask, int radius);

struct InkAgreement {
    double score = 0;           // the dilated masks' intersection over their union
    std::size_t a_only = 0;     // ink of A with no ink of B within the radius
    std::size_t b_only = 0;     // ink of B with no ink of A within the radius
    std::size_t ink_either = 0; // pixels of either dilated mask
};

// Intersection over union of the ink of two pages of one size, each page's
// ink first dilated by `radius`. The dilation forgives small differences of
// placement and width only in part: a one-pixel line moved by one pixel
// scores 4/6, so a score near 1 needs strokes where the other page has them
// and of about the same width. Two pages without ink agree: score 1.
InkAgreement compare_ink(const InkMask &a, const InkMask &b, int radius);

struct InkBox {
    bool empty = true;
    int left = 0, top = 0, right = 0, bottom = 0; // inclusive pixel coordinates
};

// The smallest box that holds every ink pixel.
InkBox ink_box(const InkMask &mask);

#endif

// SPDX-License-Identifier: MIT
#include "pen_colour.h"

#include <cmath>

namespace {

// The eight pens of a colour plotter; pen 0 is white.
const Colour kPalette[8] = {
    {1, 1, 1}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1},
};

Colour gray(double level)
{
    return {level, level, level};
}

// sRGB's transfer function, both ways.
double srgb_to_linear(double srgb)
{
    return srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

double linear_to_srgb(double light)
{
    return light <= 0.0031308 ? light * 12.92 : 1.055 * std::pow(light, 1 / 2.4) - 0.055;
}

} // namespace

// The luminance is the sRGB colour profile's, adapted to D50 as colour
// management has it (not Rec. 709's 0.2126, 0.7152, 0.0722): red prints at
// 130, just light enough not to count as ink, where 0.2126 gives 127.
Colour printed_gray(Colour c)
{
    return gray(linear_to_srgb(0.2225 * srgb_to_linear(c.red) + 0.7169 * srgb_to_linear(c.green)
                               + 0.0606 * srgb_to_linear(c.blue)));
}

Colour default_pen_colour(std::size_t pen, bool printer)
{
    return printer ? printed_gray(kPalette[pen % 8]) : kPalette[pen % 8];
}

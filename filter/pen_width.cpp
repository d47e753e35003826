// SPDX-License-Identifier: MIT
// Pen widths in micrometres, from the float's own bits.
#include "pen_width.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

bool pen_width_refused(float width)
{
    return !(width >= 0.0f && width <= 100.0f);
}

void format_pen_width(float width, char (&text)[kPenWidthText])
{
    // width = mantissa * 2^exponent exactly, with a mantissa below 2^24, as
    // the float's bits hold it (the sign is left out); the micrometres are
    // that times 1000, rounded. A width up to 100 has an exponent of at most
    // -17, and from 2^-48 down it rounds to 0.
    std::uint32_t bits = 0;
    std::memcpy(&bits, &width, sizeof bits);
    const int biased = static_cast<int>(bits >> 23 & 0xFF);
    std::uint64_t mantissa = bits & 0x7FFFFF;
    int exponent = -149; // a subnormal's
    if (biased != 0) {
        mantissa |= 0x800000;
        exponent = biased - 150;
    }
    std::uint64_t micrometres = 0;
    if (exponent > -48) {
        const std::uint64_t scaled = mantissa * 1000;
        const unsigned shift = static_cast<unsigned>(-exponent);
        micrometres = scaled >> shift;
        const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        if (rest > half || (rest == half && (micrometres & 1) != 0))
            ++micrometres;
    }
    const auto whole = static_cast<unsigned long>(micrometres / 1000);
    const auto thousandths = static_cast<unsigned>(micrometres % 1000);
    std::snprintf(text, sizeof text, "%lu.%03u", whole, thousandths);
    // Keep at least one decimal.
    std::size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == '0' && text[length - 2] != '.')
        text[--length] = '\0';
}

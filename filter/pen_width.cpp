// Pen widths in micrometres, from the float's own bits.
#include "pen_width.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

bool pen_width_refused(float width)
{
    return !(width >= 0.0f && width <= 100.0f);
}

void format_pen_width(float width, char (&text)[kPenWidthText])
{
    // width = mantissa * 2^exponent exactly, with a mantissa below 2^24; the
    // micrometres are that times 1000, rounded. A width up to 100 has an
    // exponent of at most -17, and from 2^-48 down it rounds to 0.
    int exponent = 0;
    const float fraction = std::frexp(std::fabs(width), &exponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 24));
    exponent -= 24;
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

// Printing a number with a count of significant digits in a field width.
#include "strutil.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// The three numbers of a number spec are clamped to this magnitude as they are
// read. Any number beyond it ends at the same width and precision limits as
// the limit itself, so the clamp changes no result; it only keeps S + 1 and
// S - e - 1 far from overflowing.
constexpr long kNumberLimit = 100000;

// The largest precision, and so also the largest width, ever printed.
constexpr int kMaxPrecision = 999;

struct NumberSpec {
    int width = 0;
    int digits = 0;
    int decimals = 0;
};

// Reads "W.S.M" with the acceptance of sscanf's "%d.%d.%d" (blanks and a
// sign before each number, a point right after each of the first two), but
// without its undefined result on overflow. Reading stops at the first number
// or point missing; numbers not read stay 0.
NumberSpec read_spec(const char *spec)
{
    NumberSpec result;
    int *const fields[] = {&result.width, &result.digits, &result.decimals};
    const char *next = spec;
    for (int i = 0; i < 3; ++i) {
        char *end = nullptr;
        long number = std::strtol(next, &end, 10);
        if (end == next)
            break;
        if (number > kNumberLimit)
            number = kNumberLimit;
        else if (number < -kNumberLimit)
            number = -kNumberLimit;
        *fields[i] = static_cast<int>(number);
        if (*end != '.')
            break;
        next = end + 1;
    }
    return result;
}

// The longest finite text: a sign, the integer digits of the largest float, a
// point and the largest precision.
constexpr int kMaxText = 1 + (std::numeric_limits<float>::max_exponent10 + 1) + 1 + kMaxPrecision;

// Prints `value` as "%*.*f" does. The exact conversion of <charconv> gives
// printf's digits under the default rounding to nearest (ties to even) at a
// fraction of its cost; the other rounding modes, and the values that are not
// finite, are left to printf itself.
void print_fixed(char *out, int width, int precision, double value)
{
    if (std::isfinite(value) && std::fegetround() == FE_TONEAREST) {
        char text[kMaxText];
        const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, precision);
        if (error == std::errc()) {
            const int length = static_cast<int>(end - text);
            const int blanks = width > length ? width - length : 0;
            std::memset(out, ' ', static_cast<std::size_t>(blanks));
            std::memcpy(out + blanks, text, static_cast<std::size_t>(length));
            out[blanks + length] = '\0';
            return;
        }
    }
    std::sprintf(out, "%*.*f", width, precision, value);
}

} // namespace

extern "C" char *set_num(char *out, const char *spec, float value)
{
    double printed = value;
    // Not-a-number and the infinities have no leading digit; they take the
    // exponent of a value from 1 to below 10.
    int exponent = 0;
    if (std::isfinite(printed)) {
        const double magnitude = std::fabs(printed);
        if (magnitude < 1e-05) {
            // Also turns negative zero and tiny negatives into a zero without
            // a minus sign.
            printed = 0.0;
            exponent = 2;
        } else {
            exponent = static_cast<int>(std::floor(std::log10(magnitude)));
        }
    }

    const NumberSpec number = read_spec(spec);
    int width = number.width;
    if (width <= 0)
        width = number.digits + 1;
    if (width > 9)
        width = 9;

    int precision = number.digits - exponent - 1;
    if (precision < number.decimals)
        precision = number.decimals;
    if (precision < 0)
        precision = 0;
    else if (precision > kMaxPrecision)
        precision = kMaxPrecision;

    // With the precision in 0 to 999, this leaves the width in 0 to 999 too.
    if (width < precision)
        width = precision;

    // The same conversion as a "%W.Pf" format built for these numbers,
    // without a second printf call to build it.
    print_fixed(out, width, precision, printed);
    return out;
}

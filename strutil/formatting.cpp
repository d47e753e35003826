// SPDX-License-Identifier: MIT
// Printing a number with a count of significant digits in a field width.
#include "strutil.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
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

// A finite float is m * 2^e with m below 2^24 and e from -149 to 104, so its
// integer part is below 2^128 and its fraction ends after exactly -e decimal
// digits. Six limbs of 32 bits hold either one, the fraction also while it is
// being multiplied by 10 (below 2^153).
constexpr int kLimbs = 6;
using Limbs = std::uint32_t[kLimbs];

bool is_zero(const Limbs n)
{
    for (int i = 0; i < kLimbs; ++i)
        if (n[i] != 0)
            return false;
    return true;
}

// Writes the decimal digits of `n` (at least one) and returns their count.
// `n` is used up.
int write_integer(Limbs n, char *out)
{
    char reversed[40];
    int count = 0;
    do {
        std::uint64_t rest = 0;
        for (int i = kLimbs - 1; i >= 0; --i) {
            const std::uint64_t part = rest << 32 | n[i];
            n[i] = static_cast<std::uint32_t>(part / 10);
            rest = part % 10;
        }
        reversed[count++] = static_cast<char>('0' + rest);
    } while (!is_zero(n));
    for (int i = 0; i < count; ++i)
        out[i] = reversed[count - 1 - i];
    return count;
}

// The next decimal digit of the fraction `r` / 2^`bits`, which becomes the
// fraction that is left.
unsigned next_digit(Limbs r, int bits)
{
    std::uint64_t carry = 0;
    for (int i = 0; i < kLimbs; ++i) {
        const std::uint64_t product = std::uint64_t{r[i]} * 10 + carry;
        r[i] = static_cast<std::uint32_t>(product);
        carry = product >> 32;
    }
    // The digit is below 10, so it lies in bits `bits` to `bits` + 3.
    const int low = bits / 32;
    const int shift = bits % 32;
    const std::uint64_t window = r[low] | std::uint64_t{r[low + 1]} << 32;
    r[low] &= static_cast<std::uint32_t>((std::uint64_t{1} << shift) - 1);
    r[low + 1] = 0;
    return static_cast<unsigned>(window >> shift);
}

// Adds one unit in the last place of the digits from `first` to `end` (a
// point among them is stepped over). Returns false when every digit was a 9,
// so that all became 0 and a leading 1 is still owed.
bool round_up(char *first, char *end)
{
    for (char *p = end; p != first;) {
        --p;
        if (*p == '.')
            continue;
        if (*p != '9') {
            ++*p;
            return true;
        }
        *p = '0';
    }
    return false;
}

// The longest finite text: a sign, the integer digits of the largest float, a
// point and the largest precision.
constexpr int kMaxText = 1 + (std::numeric_limits<float>::max_exponent10 + 1) + 1 + kMaxPrecision;

// Writes the exact value of `value` with `precision` decimals, rounded to
// nearest with ties to even, and returns the length.
int fixed_text(float value, int precision, char *text)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const std::uint32_t biased = bits >> 23 & 0xff;
    const std::uint32_t m = biased == 0 ? bits & 0x7fffff : (bits & 0x7fffff) | 0x800000;
    const int e = biased == 0 ? -149 : static_cast<int>(biased) - 150;

    Limbs integer = {};
    Limbs fraction = {};
    const int fraction_bits = e < 0 ? -e : 0;
    if (e >= 0) {
        const std::uint64_t shifted = std::uint64_t{m} << (e % 32);
        integer[e / 32] = static_cast<std::uint32_t>(shifted);
        integer[e / 32 + 1] = static_cast<std::uint32_t>(shifted >> 32);
    } else if (fraction_bits < 32) {
        integer[0] = m >> fraction_bits;
        fraction[0] = m & ((std::uint32_t{1} << fraction_bits) - 1);
    } else {
        fraction[0] = m;
    }

    char *p = text;
    if (bits >> 31)
        *p++ = '-';
    char *const digits = p;
    p += write_integer(integer, p);
    if (precision > 0)
        *p++ = '.';
    // Beyond `fraction_bits` decimals every digit is 0.
    const int exact = precision < fraction_bits ? precision : fraction_bits;
    for (int i = 0; i < exact; ++i)
        *p++ = static_cast<char>('0' + next_digit(fraction, fraction_bits));
    std::memset(p, '0', static_cast<std::size_t>(precision - exact));
    p += precision - exact;

    if (precision < fraction_bits) {
        const unsigned next = next_digit(fraction, fraction_bits);
        const bool odd = (p[-1] - '0') % 2 != 0;
        if (next > 5 || (next == 5 && (!is_zero(fraction) || odd))) {
            if (!round_up(digits, p)) {
                std::memmove(digits + 1, digits, static_cast<std::size_t>(p - digits));
                *digits = '1';
                ++p;
            }
        }
    }
    return static_cast<int>(p - text);
}

// Prints `value` as "%*.*f" does. Under the default rounding to nearest the
// exact conversion above gives printf's digits at a fraction of its cost; the
// other rounding modes, and the values that are not finite, are left to
// printf itself.
void print_fixed(char *out, int width, int precision, float value)
{
    if (!std::isfinite(value) || std::fegetround() != FE_TONEAREST) {
        std::sprintf(out, "%*.*f", width, precision, static_cast<double>(value));
        return;
    }
    char text[kMaxText + 1];
    const int length = fixed_text(value, precision, text);
    const int blanks = width > length ? width - length : 0;
    std::memset(out, ' ', static_cast<std::size_t>(blanks));
    std::memcpy(out + blanks, text, static_cast<std::size_t>(length));
    out[blanks + length] = '\0';
}

} // namespace

extern "C" char *set_num(char *out, const char *spec, float value)
{
    float printed = value;
    // Not-a-number and the infinities have no leading digit; they take the
    // exponent of a value from 1 to below 10.
    int exponent = 0;
    if (std::isfinite(printed)) {
        const double magnitude = std::fabs(static_cast<double>(printed));
        if (magnitude < 1e-05) {
            // Also turns negative zero and tiny negatives into a zero without
            // a minus sign.
            printed = 0.0f;
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

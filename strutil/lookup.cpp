// SPDX-License-Identifier: MIT
// Lookups: a name in a list, the last occurrence of a pattern, and an
// argument word that names a keyword or a number.
#include "strutil.h"

#include <cctype>
#include <cstddef>
#include <cstring>
#include <strings.h>

namespace {

using Index = std::ptrdiff_t;

// A text or pattern read from its last byte to its first: element i is the
// byte i places before the end. Searching the reversed text for the reversed
// pattern finds the last occurrence first, so the search can stop there.
struct Backwards {
    const unsigned char *last; // the final byte

    unsigned char operator[](Index i) const { return *(last - i); }
};

struct Factorization {
    Index last_of_left; // the left part is pattern[0 .. last_of_left]; -1 when empty
    Index period;       // period of the right part
};

// Maximal suffix of pattern[0 .. m) under the byte order, or under the
// reversed order when `reversed` is set, with the period of that suffix.
Factorization maximal_suffix(Backwards pattern, Index m, bool reversed)
{
    Index start = -1; // the suffix begins at start + 1
    Index j = 0;
    Index k = 1;
    Index period = 1;
    while (j + k < m) {
        const unsigned char a = pattern[j + k];
        const unsigned char b = pattern[start + k];
        if (reversed ? a > b : a < b) {
            j += k;
            k = 1;
            period = j - start;
        } else if (a == b) {
            if (k == period) {
                j += period;
                k = 1;
            } else {
                ++k;
            }
        } else {
            start = j;
            j = start + 1;
            k = 1;
            period = 1;
        }
    }
    return {start, period};
}

// The longer of the two maximal suffixes gives a critical factorization of
// the pattern, on which the two-way search rests.
Factorization critical_factorization(Backwards pattern, Index m)
{
    const Factorization forward = maximal_suffix(pattern, m, false);
    const Factorization backward = maximal_suffix(pattern, m, true);
    return forward.last_of_left > backward.last_of_left ? forward : backward;
}

// The first window start j' >= j at which the reversed text holds `c` at
// offset `at`, found with memrchr over the forward bytes; a start beyond any
// window when there is none. Every window skipped would have failed on its
// first comparison and moved on by one.
Index next_candidate(const unsigned char *text, Index n, Index j, Index at, unsigned char c)
{
    const Index reach = n - (j + at); // forward bytes text[0 .. reach) lie at or past j + at
    if (reach <= 0)
        return n;
    const void *found = memrchr(text, c, static_cast<std::size_t>(reach));
    if (found == nullptr)
        return n;
    const Index position = static_cast<const unsigned char *>(found) - text;
    return n - 1 - position - at;
}

// Two-way string matching (Crochemore and Perrin) of the reversed pattern in
// the reversed text; returns the forward start of the last occurrence. It
// compares the right part of the pattern left to right, then the left part
// right to left, and shifts so that no text byte is compared more than a
// bounded number of times: the time is linear in n + m for any pattern, with
// constant extra space. A window whose first comparison fails is skipped with
// memrchr rather than byte by byte. Requires 1 <= m <= n.
const unsigned char *last_match(const unsigned char *forward_text, Index n,
                                const unsigned char *forward_pattern, Index m)
{
    // The last window is the first one the backward search tries; looking at
    // it before the factorization answers a pattern that ends the text at
    // once.
    if (std::memcmp(forward_text + n - m, forward_pattern, static_cast<std::size_t>(m)) == 0)
        return forward_text + n - m;
    const Backwards text{forward_text + n - 1};
    const Backwards pattern{forward_pattern + m - 1};
    const Factorization f = critical_factorization(pattern, m);
    const Index split = f.last_of_left;
    const Index first = split + 1;
    const auto found_at = [&](Index j) { return forward_text + (n - j - m); };

    bool periodic = true;
    for (Index i = 0; i <= split && periodic; ++i)
        periodic = pattern[i] == pattern[i + f.period];

    if (periodic) {
        // The whole pattern has period f.period. After a left-part match the
        // next window overlaps the last by m - period bytes that are already
        // known to match, and `memory` remembers that.
        const Index period = f.period;
        Index memory = -1;
        for (Index j = 0; j <= n - m;) {
            Index i = split > memory ? first : memory + 1;
            if (i == first && pattern[i] != text[i + j]) {
                j = next_candidate(forward_text, n, j, first, pattern[first]);
                memory = -1;
                continue;
            }
            while (i < m && pattern[i] == text[i + j])
                ++i;
            if (i < m) {
                j += i - split;
                memory = -1;
                continue;
            }
            i = split;
            while (i > memory && pattern[i] == text[i + j])
                --i;
            if (i <= memory)
                return found_at(j);
            j += period;
            memory = m - period - 1;
        }
        return nullptr;
    }

    // Otherwise the pattern's period exceeds both parts, so a shift past the
    // longer part can never skip an occurrence.
    const Index shift = (first > m - first ? first : m - first) + 1;
    for (Index j = 0; j <= n - m;) {
        Index i = first;
        if (pattern[i] != text[i + j]) {
            j = next_candidate(forward_text, n, j, first, pattern[first]);
            continue;
        }
        while (i < m && pattern[i] == text[i + j])
            ++i;
        if (i < m) {
            j += i - split;
            continue;
        }
        i = split;
        while (i >= 0 && pattern[i] == text[i + j])
            --i;
        if (i < 0)
            return found_at(j);
        j += shift;
    }
    return nullptr;
}

// The number a word names, read the way the "%d" conversion reads it (leading
// white space, an optional sign, decimal digits, anything after them
// ignored), when it lies from 1 to `limit`; 0 otherwise. Digits are
// accumulated only up to the limit, so a long numeral cannot overflow.
int numeral_up_to(const char *word, int limit)
{
    while (std::isspace(static_cast<unsigned char>(*word)))
        ++word;
    bool negative = false;
    if (*word == '+' || *word == '-')
        negative = *word++ == '-';

    long long value = 0;
    for (; *word >= '0' && *word <= '9'; ++word) {
        value = value * 10 + (*word - '0');
        if (value > limit)
            return 0;
    }
    // No digits leaves the value 0, which is refused like a numeral 0.
    if (negative)
        return 0;
    return static_cast<int>(value);
}

} // namespace

extern "C" int searchstr(const char *const *list, int count, const char *text)
{
    for (int i = 0; i < count; ++i)
        if (strcasecmp(list[i], text) == 0)
            return 1;
    return 0;
}

extern "C" char *strlstr(const char *text, const char *pattern)
{
    const std::size_t n = std::strlen(text);
    const std::size_t m = std::strlen(pattern);
    if (n == 0 || m > n)
        return nullptr;
    // The empty pattern occurs at every position, the last being the last
    // character.
    if (m == 0)
        return const_cast<char *>(text + n - 1);

    const auto *found =
        last_match(reinterpret_cast<const unsigned char *>(text), static_cast<Index>(n),
                   reinterpret_cast<const unsigned char *>(pattern), static_cast<Index>(m));
    return const_cast<char *>(reinterpret_cast<const char *>(found));
}

extern "C" int chk_arg(const char *arg, const char *const *list, int count)
{
    // Keywords come first, so a keyword that is itself a numeral names its
    // position rather than its value.
    for (int i = 0; i < count; ++i)
        if (strcasecmp(arg, list[i]) == 0)
            return i;
    const int number = numeral_up_to(arg, count);
    return number > 0 ? number : -9999;
}

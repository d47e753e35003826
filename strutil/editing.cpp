// SPDX-License-Identifier: MIT
// In-place editors: each one changes a caller's string where it lies, in a
// single pass over it, without allocating.
//
// Taking a character out is done by compacting the string front to back. The
// bytes this frees at the end are set to NUL, which is exactly what taking the
// characters out one at a time (moving the rest and the terminator one place
// left each time) would leave behind.
#include "strutil.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned char kLf = 10;
constexpr unsigned char kCr = 13;
constexpr unsigned char kBlank = 32;
constexpr unsigned char kBackslash = 92;
constexpr unsigned char kDel = 127;

// Bytes are compared by their unsigned value, so 128 to 255 never fall into a
// range below 128.
unsigned char *bytes_of(char *s)
{
    return reinterpret_cast<unsigned char *>(s);
}

// Ends a compacted string at `kept`; `end` is where its terminator was.
void end_compacted(unsigned char *s, std::size_t kept, std::size_t end)
{
    std::memset(s + kept, 0, end - kept);
}

// Takes out every byte equal to `a` or `b` and returns the new length.
std::size_t remove_bytes(unsigned char *s, unsigned char a, unsigned char b)
{
    std::size_t kept = 0;
    std::size_t read = 0;
    for (; s[read] != 0; ++read)
        if (s[read] != a && s[read] != b)
            s[kept++] = s[read];
    end_compacted(s, kept, read);
    return kept;
}

// Cuts every `c` off the end of a string of `length` bytes, writing a NUL over
// each one, the last first. Returns the new length.
std::size_t cut_trailing(unsigned char *s, std::size_t length, unsigned char c)
{
    while (length > 0 && s[length - 1] == c)
        s[--length] = 0;
    return length;
}

// Eight bytes at a time, byte k of the string in bits 8k to 8k+7 whatever the
// machine's byte order.
constexpr std::uint64_t kLowBits = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

std::uint64_t load_word(const unsigned char *s)
{
    std::uint64_t word;
    std::memcpy(&word, s, sizeof word);
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    return word;
}

void store_word(unsigned char *s, std::uint64_t word)
{
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    std::memcpy(s, &word, sizeof word);
}

unsigned char byte_of(std::uint64_t word, int k)
{
    return static_cast<unsigned char>(word >> (8 * k));
}

// The high bit of each byte that is a blank, exactly: the sum cannot carry
// from one byte into the next.
std::uint64_t blank_flags(std::uint64_t word)
{
    const std::uint64_t x = word ^ (kBlank * kLowBits);
    const std::uint64_t nonzero = ((x & ~kHighBits) + ~kHighBits) | x;
    return ~nonzero & kHighBits;
}

// Adds `delta` to every byte from `first` to `last`. Returns 0 for a null or
// empty string, else 1, whether or not a byte changed.
int change_range(char *s, unsigned char first, unsigned char last, int delta)
{
    if (s == nullptr || s[0] == '\0')
        return 0;
    for (unsigned char *p = bytes_of(s); *p != 0; ++p)
        if (*p >= first && *p <= last)
            *p = static_cast<unsigned char>(*p + delta);
    return 1;
}

} // namespace

extern "C" int fill_string(char *s, int find, int replacement)
{
    const auto target = static_cast<unsigned char>(find);
    const auto with = static_cast<unsigned char>(replacement);
    // The terminator is never examined, so a NUL to find matches nothing.
    if (s == nullptr || target == 0)
        return 0;
    for (unsigned char *p = bytes_of(s); *p != 0; ++p) {
        if (*p == target) {
            *p = with;
            // A NUL replacement ends the string here; later occurrences now
            // lie beyond the terminator and are left as they are.
            if (with == 0)
                break;
        }
    }
    return 0;
}

extern "C" int strip_string(char *s, int c)
{
    if (s != nullptr) {
        const auto target = static_cast<unsigned char>(c);
        remove_bytes(bytes_of(s), target, target);
    }
    return 0;
}

extern "C" int wsstrip_string(char *s)
{
    if (s != nullptr)
        remove_bytes(bytes_of(s), kLf, kCr);
    return 1;
}

extern "C" int wstrim_string(char *s)
{
    if (s != nullptr) {
        unsigned char *p = bytes_of(s);
        cut_trailing(p, remove_bytes(p, kLf, kCr), kBlank);
    }
    return 1;
}

extern "C" int trim_string(char *s)
{
    if (s != nullptr)
        cut_trailing(bytes_of(s), std::strlen(s), kBlank);
    return 0;
}

extern "C" int trim_cr_string(char *s)
{
    if (s != nullptr)
        cut_trailing(bytes_of(s), std::strlen(s), kCr);
    return 0;
}

extern "C" int strip_spaces(char *s)
{
    if (s == nullptr)
        return 0;
    unsigned char *p = bytes_of(s);
    const std::size_t length = std::strlen(s);
    // A blank is dropped when the byte read before it is a blank: that one
    // was either kept or dropped behind a kept blank, so a run (also a
    // leading one) shrinks to its first blank. Whether a byte goes therefore
    // depends on it and its neighbour alone, which lets eight bytes be
    // decided at once.
    std::size_t kept = 0;
    std::size_t read = 0;
    bool after_blank = false;
    for (; length - read >= 8; read += 8) {
        const std::uint64_t word = load_word(p + read);
        const std::uint64_t blanks = blank_flags(word);
        const std::uint64_t dropped = blanks & (blanks << 8 | (after_blank ? 0x80u : 0u));
        after_blank = (blanks >> 56) != 0;
        if (dropped == 0) {
            // The common case of single blanks: the word moves whole. The
            // eight bytes written lie at or before the ones just read.
            store_word(p + kept, word);
            kept += 8;
            continue;
        }
        // Byte k goes to the number of bytes kept before it in this word;
        // one multiplication gives all eight running counts. A dropped
        // byte is written where the next kept byte (or the final NUL) lands.
        const std::uint64_t keep = (~dropped & kHighBits) >> 7;
        const std::uint64_t counts = keep * kLowBits;
        const std::uint64_t before = counts << 8;
        for (int k = 0; k < 8; ++k)
            p[kept + ((before >> (8 * k)) & 0xff)] = byte_of(word, k);
        kept += counts >> 56;
    }
    for (; read < length; ++read) {
        const unsigned char c = p[read];
        p[kept] = c;
        kept += (c != kBlank) | !after_blank;
        after_blank = c == kBlank;
    }
    // Collapsing first leaves a trailing run as one blank; cutting that one
    // gives the same string as cutting the whole run before collapsing.
    if (kept != 0 && p[kept - 1] == kBlank)
        --kept;
    end_compacted(p, kept, length);
    return 0;
}

extern "C" int strip_escape(char *s)
{
    if (s == nullptr)
        return 0;
    unsigned char *p = bytes_of(s);
    std::size_t kept = 0;
    std::size_t read = 0;
    while (p[read] != 0) {
        // The backslash goes; the byte after it is kept without being
        // looked at, so an escaped backslash stays.
        if (p[read] == kBackslash) {
            ++read;
            if (p[read] == 0)
                break;
        }
        p[kept++] = p[read++];
    }
    end_compacted(p, kept, read);
    return 0;
}

extern "C" int shift_string(char *s, int count)
{
    if (s == nullptr)
        return 0;
    const std::size_t length = std::strlen(s);
    if (count >= 0) {
        // Only the new terminator is written; the dropped bytes stay behind it.
        const auto drop = static_cast<std::size_t>(count);
        s[drop < length ? length - drop : 0] = '\0';
        return 0;
    }
    // Widened before negating: the magnitude of INT_MIN does not fit an int.
    const auto drop = static_cast<std::size_t>(-static_cast<long long>(count));
    if (drop < length) {
        std::memmove(s, s + drop, length - drop);
        s[length - drop] = '\0';
    } else {
        s[0] = '\0';
    }
    return 0;
}

extern "C" int up_string(char *s)
{
    return change_range(s, 'a', 'z', -32);
}

extern "C" int low_string(char *s)
{
    return change_range(s, 'A', 'Z', 32);
}

extern "C" int clean_line(char *s)
{
    if (s == nullptr || s[0] == '\0')
        return 0;
    unsigned char *p = bytes_of(s);
    // The line end: every control byte at the end, in any mix, is cut, a
    // NUL over each, the last first.
    std::size_t length = std::strlen(s);
    while (length > 0 && p[length - 1] < kBlank)
        p[--length] = 0;
    for (std::size_t i = 0; i < length; ++i)
        if (p[i] < kBlank || p[i] > kDel)
            p[i] = kBlank;
    return 1;
}

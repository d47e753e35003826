// SPDX-License-Identifier: MIT
#include "reference.h"

#include <cstring>

namespace {

constexpr char kBlank = ' ';
constexpr char kQuote = '"';

unsigned char byte_at(const char *s, std::size_t i)
{
    return static_cast<unsigned char>(s[i]);
}

// Takes out the byte at `p` by moving every byte after it, the terminator
// included, one place to the left.
void remove_at(char *s, std::size_t p)
{
    std::memmove(s + p, s + p + 1, std::strlen(s + p + 1) + 1);
}

// The scan shared by the stripping editors: a matching byte is removed and
// the cursor stays, so a run goes whole.
void remove_all(char *s, unsigned char a, unsigned char b)
{
    std::size_t cursor = 0;
    while (s[cursor] != '\0') {
        if (byte_at(s, cursor) == a || byte_at(s, cursor) == b)
            remove_at(s, cursor);
        else
            ++cursor;
    }
}

void trim_byte(char *s, char c)
{
    const std::size_t n = std::strlen(s);
    if (n == 0)
        return;
    for (std::size_t p = n; p > 0 && s[p - 1] == c; --p)
        s[p - 1] = '\0';
}

} // namespace

ReferenceTokens reference_tokenize(const char *text)
{
    ReferenceTokens result;
    std::vector<char> &b = result.buffer;
    b.assign(text, text + std::strlen(text) + 1);

    std::size_t length = b.size() - 1;
    while (length > 0 && b[length - 1] == kBlank)
        b[--length] = '\0';

    result.starts.push_back(0);
    for (std::size_t p = 1; p < length; ++p) {
        if (b[p - 1] != kBlank && b[p] == kBlank)
            b[p] = '\0';
        if (b[p - 1] != kBlank && b[p - 1] != '\0')
            continue;
        if (b[p] == kBlank || b[p] == '\0')
            continue;
        if (b[p] == kQuote) {
            result.starts.push_back(p + 1);
            std::size_t q = p + 1;
            while (q < length && b[q] != kQuote)
                ++q;
            p = q;
            b[p] = '\0';
            continue;
        }
        result.starts.push_back(p);
    }
    return result;
}

const char *reference_strlstr(const char *text, const char *pattern)
{
    const std::size_t m = std::strlen(pattern);
    const char *last = nullptr;
    for (const char *p = text; *p != '\0'; ++p)
        if (std::strncmp(p, pattern, m) == 0)
            last = p;
    return last;
}

int reference_fill_string(char *s, int find, int replacement)
{
    for (std::size_t i = 0; i < std::strlen(s); ++i)
        if (byte_at(s, i) == static_cast<unsigned char>(find))
            s[i] = static_cast<char>(replacement);
    return 0;
}

int reference_strip_string(char *s, int c)
{
    remove_all(s, static_cast<unsigned char>(c), static_cast<unsigned char>(c));
    return 0;
}

int reference_wsstrip_string(char *s)
{
    remove_all(s, 10, 13);
    return 1;
}

int reference_wstrim_string(char *s)
{
    remove_all(s, 10, 13);
    trim_byte(s, kBlank);
    return 1;
}

int reference_trim_string(char *s)
{
    trim_byte(s, kBlank);
    return 0;
}

int reference_trim_cr_string(char *s)
{
    trim_byte(s, '\r');
    return 0;
}

int reference_strip_spaces(char *s)
{
    reference_trim_string(s);
    std::size_t n = std::strlen(s);
    for (std::size_t j = 1; j < n; ++j) {
        while (s[j] == kBlank && s[j - 1] == kBlank) {
            remove_at(s, j);
            --n;
        }
    }
    return 0;
}

int reference_strip_escape(char *s)
{
    std::size_t n = std::strlen(s);
    for (std::size_t p = 0; p < n; ++p) {
        if (s[p] == '\\') {
            remove_at(s, p);
            --n;
        }
    }
    return 0;
}

int reference_shift_string(char *s, int count)
{
    const long long n = static_cast<long long>(std::strlen(s));
    if (count >= 0) {
        s[count >= n ? 0 : n - count] = '\0';
        return 0;
    }
    const long long m = -static_cast<long long>(count);
    if (m < n) {
        for (long long i = 0; i < n - m; ++i)
            s[i] = s[i + m];
        s[n - m] = '\0';
    } else {
        s[0] = '\0';
    }
    return 0;
}

int reference_up_string(char *s)
{
    if (s == nullptr || s[0] == '\0')
        return 0;
    for (std::size_t i = 0; i < std::strlen(s); ++i)
        if (byte_at(s, i) >= 97 && byte_at(s, i) <= 122)
            s[i] = static_cast<char>(byte_at(s, i) - 32);
    return 1;
}

int reference_low_string(char *s)
{
    if (s == nullptr || s[0] == '\0')
        return 0;
    for (std::size_t i = 0; i < std::strlen(s); ++i)
        if (byte_at(s, i) >= 65 && byte_at(s, i) <= 90)
            s[i] = static_cast<char>(byte_at(s, i) + 32);
    return 1;
}

int reference_clean_line(char *s)
{
    if (s == nullptr || s[0] == '\0')
        return 0;
    bool end_phase = true;
    for (std::size_t p = std::strlen(s); p > 0; --p) {
        const unsigned char b = byte_at(s, p - 1);
        if (end_phase && b < 32) {
            s[p - 1] = '\0';
        } else if (end_phase) {
            end_phase = false;
            if (b > 127)
                s[p - 1] = kBlank;
        } else if (b < 32 || b > 127) {
            s[p - 1] = kBlank;
        }
    }
    return 1;
}

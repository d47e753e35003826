// SPDX-License-Identifier: MIT
// Predicates that classify a whole text.
#include "strutil.h"

#include <cctype>

namespace {

// The classification functions take a byte as an unsigned char value (or
// EOF); a plain char above 127 would arrive negative, which they do not
// accept.
bool is_letter(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

bool is_digit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool is_empty(const char *s)
{
    return s == nullptr || s[0] == '\0';
}

} // namespace

extern "C" int string_is_float(const char *s)
{
    if (is_empty(s))
        return 0;
    // Only a decimal point or an upper-case exponent mark counts; the rest
    // of the text is not looked at.
    for (; *s != '\0'; ++s)
        if (*s == '.' || *s == 'E')
            return 1;
    return 0;
}

extern "C" int string_is_alpha(const char *s)
{
    if (is_empty(s))
        return 0;
    for (; *s != '\0'; ++s)
        if (!is_letter(*s))
            return 0;
    return 1;
}

extern "C" int string_is_num(const char *s)
{
    if (is_empty(s))
        return 0;
    // Emptiness is judged before the sign is skipped, so a lone "-" passes.
    if (*s == '-')
        ++s;
    for (; *s != '\0'; ++s)
        if (!is_digit(*s))
            return 0;
    return 1;
}

extern "C" int string_is_num_len(const char *s, int n)
{
    if (is_empty(s))
        return 0;
    // The terminator is not a digit, so a text shorter than n stops the scan
    // at its end.
    for (int i = 0; i < n; ++i)
        if (!is_digit(s[i]))
            return 0;
    return 1;
}

extern "C" int string_is_blank(const char *s)
{
    if (is_empty(s))
        return 1;
    // Read as a signed byte, so every byte from 128 up counts as blank too.
    for (; *s != '\0'; ++s)
        if (static_cast<signed char>(*s) > 32)
            return 0;
    return 1;
}

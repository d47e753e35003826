// SPDX-License-Identifier: MIT
// Building new heap strings and writing bounded copies into caller buffers.
#include "strutil.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" char *create_string(const char *text)
{
    if (text == nullptr)
        return nullptr;
    const std::size_t size = std::strlen(text) + 1;
    auto *copy = static_cast<char *>(std::malloc(size));
    if (copy != nullptr)
        std::memcpy(copy, text, size);
    return copy;
}

extern "C" char *create_strcat(const char *first, const char *second, const char *third)
{
    if (first == nullptr || second == nullptr || third == nullptr)
        return nullptr;
    const std::size_t lengths[] = {std::strlen(first), std::strlen(second), std::strlen(third)};

    // Three strings that each fit in memory can still add up past SIZE_MAX;
    // such a sum is refused like an exhausted heap.
    std::size_t size = 1;
    for (const std::size_t length : lengths) {
        if (length > SIZE_MAX - size)
            return nullptr;
        size += length;
    }

    auto *joined = static_cast<char *>(std::malloc(size));
    if (joined == nullptr)
        return nullptr;
    std::memcpy(joined, first, lengths[0]);
    std::memcpy(joined + lengths[0], second, lengths[1]);
    std::memcpy(joined + lengths[0] + lengths[1], third, lengths[2]);
    joined[size - 1] = '\0';
    return joined;
}

extern "C" int strntcpy(char *dest, const char *src, int n)
{
    // A forward byte-by-byte copy, unlike memcpy, stays defined when the
    // source lies further on in the destination's own buffer.
    int i = 0;
    for (; i < n; ++i)
        dest[i] = src[i];
    dest[i] = '\0';
    return 1;
}

extern "C" int strmcat(char *dest, const char *src, int max)
{
    if (dest == nullptr || src == nullptr || max <= 0)
        return 0;
    const std::size_t limit = static_cast<std::size_t>(max);
    const std::size_t used = std::strlen(dest);
    if (used >= limit)
        return 0;

    // Comparing the source with the room left, rather than adding the two
    // lengths, cannot overflow.
    const std::size_t room = limit - used;
    std::size_t length = std::strlen(src);
    if (length > room)
        length = room;
    std::memcpy(dest + used, src, length);
    dest[used + length] = '\0';
    return 1;
}

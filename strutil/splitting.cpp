// SPDX-License-Identifier: MIT
// Splitting a delimited list into a token array.
#include "strutil.h"

#include <climits>
#include <cstdlib>
#include <cstring>

extern "C" int parse_string(const char *text, int separator, int *count, char ***array)
{
    *count = 0;
    *array = nullptr;
    if (text == nullptr || text[0] == '\0')
        return -1;

    const std::size_t size = std::strlen(text) + 1;
    auto *buffer = static_cast<char *>(std::malloc(size));
    if (buffer == nullptr)
        return -1;
    std::memcpy(buffer, text, size);

    const char sep = static_cast<char>(static_cast<unsigned char>(separator & 0xFF));

    // Trailing separators are cut off before counting, so they never make
    // empty tokens at the end.
    std::size_t length = size - 1;
    while (length > 0 && buffer[length - 1] == sep)
        buffer[--length] = '\0';

    std::size_t tokens = 1;
    for (std::size_t i = 0; i < length; ++i)
        if (buffer[i] == sep)
            ++tokens;
    // The count is a signed 32-bit integer; a text with more tokens cannot
    // be described and is refused like an exhausted heap.
    if (tokens > static_cast<std::size_t>(INT_MAX)) {
        std::free(buffer);
        return -1;
    }

    auto **elements = static_cast<char **>(std::malloc(tokens * sizeof(char *)));
    if (elements == nullptr) {
        std::free(buffer);
        return -1;
    }

    elements[0] = buffer;
    std::size_t next = 1;
    for (std::size_t i = 0; i < length; ++i) {
        if (buffer[i] == sep) {
            buffer[i] = '\0';
            elements[next++] = buffer + i + 1;
        }
    }

    *array = elements;
    *count = static_cast<int>(tokens);
    return 0;
}

extern "C" int free_parsed_array(int count, char **array)
{
    if (count != 0 && array != nullptr) {
        std::free(array[0]);
        std::free(array);
    }
    return 0;
}

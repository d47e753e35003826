// SPDX-License-Identifier: MIT
// parse_string: the first byte is the separator, the rest the text.
#include "fuzz_support.h"
#include "strutil.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // Only the low byte may count: pass it negative or with a high bit set.
    const int separator = size % 2 != 0 ? static_cast<signed char>(data[0]) : data[0] | 0x100;
    const std::string text = texts_of(data + 1, size - 1, 1)[0];
    const std::string before = text;
    const char sep = static_cast<char>(data[0]);

    int count = -7;
    char **array = reinterpret_cast<char **>(&count); // must be overwritten
    const int result = parse_string(text.c_str(), separator, &count, &array);
    FUZZ_CHECK(text == before);
    if (text.empty()) {
        FUZZ_CHECK(result == -1 && count == 0 && array == nullptr);
        return 0;
    }
    FUZZ_CHECK(result == 0);
    FUZZ_CHECK(count >= 1 && array != nullptr);

    // What the tokens must add up to: the text without its trailing separators.
    std::size_t kept = text.size();
    while (kept > 0 && text[kept - 1] == sep)
        --kept;
    const char *start = array[0];
    const char *end = start + kept; // the terminator of the last token
    FUZZ_CHECK(*end == '\0');

    std::string joined;
    for (int i = 0; i < count; ++i) {
        // Each token lies in element 0's buffer, in order, and ends where the
        // next one starts, less the separator written over.
        const char *token = array[i];
        FUZZ_CHECK(token >= start && token <= end);
        const std::size_t length = std::strlen(token);
        FUZZ_CHECK(token + length <= end);
        if (i + 1 < count)
            FUZZ_CHECK(array[i + 1] == token + length + 1);
        else
            FUZZ_CHECK(token + length == end);
        if (sep != '\0')
            FUZZ_CHECK(std::memchr(token, sep, length) == nullptr);
        if (i > 0)
            joined.push_back(sep);
        joined.append(token, length);
    }
    FUZZ_CHECK(joined == text.substr(0, kept));
    FUZZ_CHECK(free_parsed_array(count, array) == 0);
    return 0;
}

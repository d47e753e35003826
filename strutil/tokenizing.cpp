// SPDX-License-Identifier: MIT
// Cutting a command text into words, as a NULL-ended token array.
#include "strutil.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kBlank = ' ';
constexpr char kQuote = '"';

// Walks the words that follow element 0 in the first `length` bytes of `text`
// and returns how many there are. With `elements` null it only counts and
// leaves `text` alone; otherwise it also stores each word's start in
// elements[1], elements[2], ... and writes the NULs that end the words.
// Both passes run this one walk, so the count always matches the filling.
//
// Every decision is taken from the walk's own state and from bytes not yet
// written, never from a NUL written earlier, which is what keeps the two
// passes in step.
std::size_t walk_words(char *text, std::size_t length, char **elements)
{
    std::size_t words = 0;
    // Blanks before the first word stay: element 0 begins at the buffer
    // start and must read them, so they are not turned into NULs.
    bool leading = text[0] == kBlank;
    // The previous byte separated words: a blank, or a closing quote.
    bool separated = leading;

    std::size_t p = 1;
    while (p < length) {
        const char c = text[p];
        if (c == kBlank) {
            if (elements != nullptr && !leading)
                text[p] = '\0';
            separated = true;
            ++p;
            continue;
        }
        leading = false;
        if (!separated) {
            ++p;
            continue;
        }
        ++words;
        if (c != kQuote) {
            if (elements != nullptr)
                elements[words] = text + p;
            separated = false;
            ++p;
            continue;
        }
        // A quoted word runs to the next quote, or to the end of the text.
        // Whatever directly follows its closing quote starts a word of its
        // own, so `separated` stays set.
        const std::size_t from = p + 1;
        const void *found = std::memchr(text + from, kQuote, length - from);
        const std::size_t close =
            found != nullptr ? static_cast<std::size_t>(static_cast<const char *>(found) - text)
                             : length;
        if (elements != nullptr) {
            elements[words] = text + from;
            text[close] = '\0';
        }
        p = close + 1;
    }
    return words;
}

// Tokenizes the `length` bytes of the heap buffer `buffer` (NUL-terminated)
// and hands buffer and array to the caller; on failure releases the buffer.
int tokenize(char *buffer, std::size_t length, int *count, char ***array)
{
    // Trailing blanks never make a word, not even inside an unclosed quote,
    // so they go before anything looks at quotes.
    while (length > 0 && buffer[length - 1] == kBlank)
        buffer[--length] = '\0';

    const std::size_t words = 1 + walk_words(buffer, length, nullptr);
    // The count is a signed 32-bit integer and the array needs one slot
    // more for the NULL element; a text beyond either limit is refused.
    if (words > static_cast<std::size_t>(INT_MAX) || words >= SIZE_MAX / sizeof(char *)) {
        std::free(buffer);
        return -1;
    }

    auto **elements = static_cast<char **>(std::malloc((words + 1) * sizeof(char *)));
    *array = elements;
    if (elements == nullptr) {
        std::free(buffer);
        return -1;
    }

    elements[0] = buffer;
    walk_words(buffer, length, elements);
    elements[words] = nullptr;
    *count = static_cast<int>(words);
    return 0;
}

} // namespace

extern "C" int parse_command(const char *command, int *count, char ***array)
{
    *count = 0;
    if (command == nullptr || command[0] == '\0')
        return -1;

    const std::size_t length = std::strlen(command);
    auto *buffer = static_cast<char *>(std::malloc(length + 1));
    if (buffer == nullptr)
        return -1;
    std::memcpy(buffer, command, length + 1);
    return tokenize(buffer, length, count, array);
}

extern "C" int parse_command_line(const char *first, const char *second, int *count, char ***array)
{
    *count = 0;
    if (second == nullptr || first == nullptr || (first[0] == '\0' && second[0] == '\0'))
        return -1;

    const std::size_t first_length = std::strlen(first);
    const std::size_t second_length = std::strlen(second);
    const std::size_t length = first_length + 1 + second_length;
    auto *buffer = static_cast<char *>(std::malloc(length + 1));
    if (buffer == nullptr)
        return -1;
    std::memcpy(buffer, first, first_length);
    buffer[first_length] = kBlank;
    std::memcpy(buffer + first_length + 1, second, second_length + 1);
    return tokenize(buffer, length, count, array);
}

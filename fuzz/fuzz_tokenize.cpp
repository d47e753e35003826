// SPDX-License-Identifier: MIT
// parse_command on the first text, parse_command_line on the first two
// (texts cut at NUL bytes), both against the step-by-step tokenizer.
#include "fuzz_support.h"
#include "reference.h"
#include "strutil.h"

#include <cstring>

namespace {

// Checks a tokenizer's result for `joined` against the reference.
void check_tokens(const std::string &joined, int result, int count, char **array)
{
    FUZZ_CHECK(result == 0);
    const ReferenceTokens expected = reference_tokenize(joined.c_str());
    FUZZ_CHECK(count >= 1);
    FUZZ_CHECK(static_cast<std::size_t>(count) == expected.starts.size());
    FUZZ_CHECK(array != nullptr && array[count] == nullptr);
    const char *buffer = array[0];
    for (int i = 0; i < count; ++i) {
        FUZZ_CHECK(array[i] >= buffer && array[i] <= buffer + joined.size());
        FUZZ_CHECK(static_cast<std::size_t>(array[i] - buffer)
                   == expected.starts[static_cast<std::size_t>(i)]);
    }
    // The whole buffer, so every NUL written and every byte left matches.
    FUZZ_CHECK(std::memcmp(buffer, expected.buffer.data(), expected.buffer.size()) == 0);
    FUZZ_CHECK(free_parsed_array(count, array) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > kMaxInput)
        return 0;
    const std::vector<std::string> texts = texts_of(data, size, 2);
    const std::string first = texts[0];
    const std::string second = texts.size() > 1 ? texts[1] : std::string();

    char *untouched[1];
    char **array = untouched;
    int count = -1;
    int result = parse_command(first.c_str(), &count, &array);
    FUZZ_CHECK(first == texts[0]);
    if (first.empty()) {
        FUZZ_CHECK(result == -1 && count == 0 && array == untouched);
    } else {
        check_tokens(first, result, count, array);
    }

    array = untouched;
    count = -1;
    result = parse_command_line(first.c_str(), second.c_str(), &count, &array);
    FUZZ_CHECK(first == texts[0] && second == (texts.size() > 1 ? texts[1] : std::string()));
    if (first.empty() && second.empty()) {
        FUZZ_CHECK(result == -1 && count == 0 && array == untouched);
    } else {
        check_tokens(first + " " + second, result, count, array);
    }
    return 0;
}

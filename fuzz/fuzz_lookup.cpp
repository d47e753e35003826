// SPDX-License-Identifier: MIT
// The predicates, searchstr, strlstr and chk_arg. The input's texts (cut at
// NUL bytes) give the text, the pattern and the list.
#include "fuzz_support.h"
#include "reference.h"
#include "strutil.h"

#include <climits>
#include <cstring>
#include <strings.h>

namespace {

bool is_bit(int result)
{
    return result == 0 || result == 1;
}

// Exact-size copies, so that a read past a terminator is caught.
std::vector<char> exact(const std::string &text)
{
    return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
}

void check_predicates(const char *t)
{
    const int is_float = string_is_float(t);
    const int alpha = string_is_alpha(t);
    const int num = string_is_num(t);
    const int blank = string_is_blank(t);
    FUZZ_CHECK(is_bit(is_float) && is_bit(alpha) && is_bit(num) && is_bit(blank));

    const int length = static_cast<int>(std::strlen(t));
    if (length == 0) {
        FUZZ_CHECK(!is_float && !alpha && !num && blank);
        return;
    }
    // One text cannot be two of these at once ("E" is both a float and
    // letters, though).
    FUZZ_CHECK(!(alpha && (num || blank)));
    FUZZ_CHECK(!(num && (blank || is_float)));
    FUZZ_CHECK(!(blank && is_float));

    for (const int n : {INT_MIN, -1, 0, 1, length - 1, length, length + 1, INT_MAX}) {
        const int digits = string_is_num_len(t, n);
        FUZZ_CHECK(is_bit(digits));
        if (n <= 0)
            FUZZ_CHECK(digits == 1);
        if (n > length)
            FUZZ_CHECK(digits == 0);
    }
    // A numeral without a sign is digits all through, and the other way round.
    if (t[0] != '-')
        FUZZ_CHECK(num == string_is_num_len(t, length));
    else if (length > 1)
        FUZZ_CHECK(num == string_is_num_len(t + 1, length - 1));
}

// What chk_arg must give: the first keyword, else a number from 1 to count
// read like "%d" (a numeral beyond an int's range counts as out of range).
int expected_choice(const char *arg, const std::vector<const char *> &list)
{
    const int count = static_cast<int>(list.size());
    for (int i = 0; i < count; ++i)
        if (strcasecmp(arg, list[static_cast<std::size_t>(i)]) == 0)
            return i;
    long long number = 0;
    if (std::sscanf(arg, "%lld", &number) == 1 && number >= 1 && number <= count)
        return static_cast<int>(number);
    return -9999;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > kMaxInput)
        return 0;
    const std::vector<std::string> texts = texts_of(data, size, 64);
    const std::vector<char> text = exact(texts[0]);
    const std::vector<char> pattern = exact(texts.size() > 1 ? texts[1] : std::string());
    std::vector<std::vector<char>> entries;
    std::vector<const char *> list;
    for (std::size_t i = 1; i < texts.size(); ++i)
        entries.push_back(exact(texts[i]));
    for (const std::vector<char> &entry : entries)
        list.push_back(entry.data());
    const int count = static_cast<int>(list.size());

    check_predicates(text.data());
    FUZZ_CHECK(string_is_float(nullptr) == 0 && string_is_blank(nullptr) == 1);

    const char *found = strlstr(text.data(), pattern.data());
    FUZZ_CHECK(found == reference_strlstr(text.data(), pattern.data()));

    const int listed = searchstr(list.data(), count, text.data());
    FUZZ_CHECK(is_bit(listed));
    bool named = false;
    for (const char *entry : list)
        named = named || strcasecmp(entry, text.data()) == 0;
    FUZZ_CHECK(listed == (named ? 1 : 0));
    FUZZ_CHECK(searchstr(nullptr, 0, nullptr) == 0 && searchstr(nullptr, INT_MIN, nullptr) == 0);

    const int choice = chk_arg(text.data(), list.data(), count);
    FUZZ_CHECK(choice == -9999 || (choice >= 0 && choice <= count));
    FUZZ_CHECK(choice == expected_choice(text.data(), list));
    FUZZ_CHECK(chk_arg(text.data(), nullptr, 0) == -9999);
    return 0;
}

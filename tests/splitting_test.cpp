// SPDX-License-Identifier: MIT
#include "strutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SplitRow {
    const char *input;
    int separator;
    std::vector<std::string> tokens;
};

std::vector<std::string> tokens_of(int count, char **array)
{
    std::vector<std::string> tokens;
    for (int i = 0; i < count; ++i)
        tokens.emplace_back(array[i]);
    return tokens;
}

} // namespace

TEST(ParseString, SplitsAtEverySeparator)
{
    const SplitRow rows[] = {
        {"pcl,port,lwidth=0.3", ',', {"pcl", "port", "lwidth=0.3"}},
        {"a,,b,", ',', {"a", "", "b"}},
        {",a", ',', {"", "a"}},
        {",,,", ',', {""}},
        {"abc", ',', {"abc"}},
        {" a , b", ',', {" a ", " b"}},
        {"a,b", '\0', {"a,b"}},
        {"a:b:c::", ':', {"a", "b", "c"}},
        // Only the low byte of the separator counts.
        {"x;y", ';' + 0x100, {"x", "y"}},
        {"p\xe9q", 0xe9, {"p", "q"}},
    };
    for (const SplitRow &row : rows) {
        SCOPED_TRACE(row.input);
        const std::string before = row.input;
        int count = -1;
        char **array = nullptr;
        ASSERT_EQ(parse_string(row.input, row.separator, &count, &array), 0);
        ASSERT_NE(array, nullptr);
        EXPECT_EQ(tokens_of(count, array), row.tokens);
        EXPECT_EQ(before, row.input);
        EXPECT_EQ(free_parsed_array(count, array), 0);
    }
}

TEST(ParseString, TokensShareOneBuffer)
{
    const char text[] = "ab,c,,def";
    int count = 0;
    char **array = nullptr;
    ASSERT_EQ(parse_string(text, ',', &count, &array), 0);
    ASSERT_EQ(count, 4);
    EXPECT_NE(array[0], text);
    const char *end = array[0] + sizeof text;
    for (int i = 1; i < count; ++i) {
        EXPECT_GT(array[i], array[i - 1]);
        EXPECT_LT(array[i], end);
        EXPECT_EQ(array[i][-1], '\0');
    }
    free_parsed_array(count, array);
}

TEST(ParseString, RefusesNullAndEmptyText)
{
    for (const char *text : {static_cast<const char *>(nullptr), ""}) {
        int count = 7;
        char *sentinel = nullptr;
        char **array = &sentinel;
        EXPECT_EQ(parse_string(text, ',', &count, &array), -1);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(array, nullptr);
    }
}

TEST(FreeParsedArray, IgnoresEmptyArrays)
{
    char *tokens[] = {nullptr};
    EXPECT_EQ(free_parsed_array(0, tokens), 0);
    EXPECT_EQ(free_parsed_array(3, nullptr), 0);
}

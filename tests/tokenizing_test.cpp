// SPDX-License-Identifier: MIT
#include "strutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;

// Tokenizes through either function and checks what every success must give:
// `count` elements inside element 0's private buffer of the joined size, then
// the NULL element, and the inputs unchanged.
Words tokenize(const std::string &first, const std::string *second = nullptr)
{
    const std::string joined = second ? first + " " + *second : first;
    int count = -1;
    char **array = nullptr;
    EXPECT_EQ(second ? parse_command_line(first.c_str(), second->c_str(), &count, &array)
                     : parse_command(first.c_str(), &count, &array),
              0);
    EXPECT_EQ(joined, second ? first + " " + *second : first) << "input changed";
    Words words;
    for (int i = 0; array != nullptr && i < count; ++i) {
        EXPECT_TRUE(array[i] >= array[0] && array[i] <= array[0] + joined.size()) << i;
        words.emplace_back(array[i] ? array[i] : "(null)");
    }
    EXPECT_TRUE(array != nullptr && array[count] == nullptr);
    free_parsed_array(count, array);
    return words;
}

} // namespace

TEST(ParseCommand, SplitsWords)
{
    const struct {
        const char *input;
        Words words;
    } rows[] = {
        {"ls -l /tmp", {"ls", "-l", "/tmp"}},
        {"a   b", {"a", "b"}},
        {"cp \"my file\" x", {"cp", "my file", "x"}},
        {"a \"\" b", {"a", "", "b"}},
        {"a \"", {"a", ""}},
        {"a \"b  ", {"a", "b"}},
        {"a b\"c d\"", {"a", "b\"c", "d\""}},
        {"\"a b\" c", {"\"a", "b\"", "c"}},
        {"  a b", {"  a", "a", "b"}},
        {"  \"a b\" c", {"  \"a b", "a b", "c"}},
        {"   ", {""}},
        {"x \"a b\"   y", {"x", "a b", "y"}},
        // Text right after a closing quote is a word of its own, in which a
        // quote is ordinary.
        {"x \"ab\"cd", {"x", "ab", "cd"}},
        {"x \"a\"\"b\"", {"x", "a", "b"}},
        {"x \"ab\"c\"d e\"", {"x", "ab", "c\"d", "e\""}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.input);
        EXPECT_EQ(tokenize(row.input), row.words);
    }
}

TEST(ParseCommand, OnlyTheSpaceSeparatesAndOnlyTheQuoteGroups)
{
    for (int b = 1; b < 256; ++b) {
        SCOPED_TRACE(b);
        const std::string c(1, static_cast<char>(b));
        const Words inside = b == ' ' ? Words{"a", "c"} : Words{"a" + c + "c"};
        const Words at_start = b == ' '   ? Words{"a", "c", "d"}
                               : b == '"' ? Words{"a", "c d"}
                                          : Words{"a", c + "c", "d"};
        EXPECT_EQ(tokenize("a" + c + "c"), inside);
        EXPECT_EQ(tokenize("a " + c + "c d"), at_start);
    }
}

TEST(ParseCommand, LongCommand)
{
    std::string command;
    for (int i = 0; i < 500000; ++i)
        command += "ab \"c d\" ";
    const Words words = tokenize(command + '"' + std::string(3000000, 'q'));
    ASSERT_EQ(words.size(), 1000001u);
    EXPECT_EQ(words[999999], "c d");
    EXPECT_EQ(words.back().size(), 3000000u);
}

TEST(ParseCommandLine, JoinsWithOneBlank)
{
    const struct {
        std::string first, second;
        Words words;
    } rows[] = {
        {"prog", "a b", {"prog", "a", "b"}},
        {"my prog", "x", {"my", "prog", "x"}},
        {"prog", "", {"prog"}},
        {"", "a b", {" a", "a", "b"}},
        {"a \"b", "c\"d", {"a", "b c", "d"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.first + "|" + row.second);
        EXPECT_EQ(tokenize(row.first, &row.second), row.words);
    }
}

TEST(ParseCommand, RefusesWithoutTouchingTheArray)
{
    char *sentinel[] = {nullptr};
    const auto refuses = [&](auto call) {
        int count = 7;
        char **array = sentinel;
        EXPECT_EQ(call(&count, &array), -1);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(array, sentinel);
    };
    for (const char *command : {static_cast<const char *>(nullptr), ""})
        refuses([&](int *count, char ***array) { return parse_command(command, count, array); });
    const char *const pairs[][2] = {{"", ""}, {nullptr, "a"}, {"a", nullptr}, {nullptr, nullptr}};
    for (const auto &pair : pairs)
        refuses([&](int *count, char ***array) {
            return parse_command_line(pair[0], pair[1], count, array);
        });
}

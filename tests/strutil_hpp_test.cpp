// SPDX-License-Identifier: MIT
#include "strutil.hpp"

#include <gtest/gtest.h>

#include <ranges>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

using namespace std::string_view_literals;

static_assert(!std::is_copy_constructible<strutil::ParsedArray>::value, "copy would free twice");
static_assert(!std::is_copy_assignable<strutil::ParsedArray>::value, "copy would free twice");
static_assert(std::is_nothrow_move_constructible<strutil::ParsedArray>::value, "");
static_assert(std::is_nothrow_move_assignable<strutil::ParsedArray>::value, "");

// A const owner is a read-only contiguous range: callers can hand its tokens
// on as a span, and neither the span nor data() lets them change a pointer.
static_assert(std::ranges::contiguous_range<const strutil::ParsedArray>);
static_assert(std::is_convertible_v<const strutil::ParsedArray &, std::span<const char *const>>);
static_assert(std::is_same_v<decltype(std::declval<const strutil::ParsedArray &>().data()),
                             const char *const *>);
template <class Owner>
concept gives_argv = requires(Owner &owner)
{
    owner.argv();
};
static_assert(gives_argv<strutil::ParsedArray> && !gives_argv<const strutil::ParsedArray>);

static std::vector<std::string> tokens(const strutil::ParsedArray &array)
{
    std::vector<std::string> out;
    for (const char *token : array)
        out.emplace_back(token);
    return out;
}

static void expect_empty(const strutil::ParsedArray &array)
{
    EXPECT_TRUE(array.empty());
    EXPECT_EQ(array.size(), 0u);
    EXPECT_EQ(array.data(), nullptr);
    EXPECT_EQ(array.begin(), array.end());
}

TEST(ParsedArray, IteratesTokensInOrder)
{
    strutil::ParsedArray list = strutil::parse_string(",b,,d,,", ',');
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(tokens(list), (std::vector<std::string>{"", "b", "", "d"}));
    EXPECT_STREQ(list[3], "d");
    // The separator is passed on, not taken to be ','.
    EXPECT_EQ(tokens(strutil::parse_string("a;b,c", ';')), (std::vector<std::string>{"a", "b,c"}));
    EXPECT_EQ(tokens(strutil::parse_string("a;b,c"sv, ';')),
              (std::vector<std::string>{"a", "b,c"}));

    strutil::ParsedArray words = strutil::parse_command_line("cp", "\"my file\" x");
    EXPECT_EQ(tokens(words), (std::vector<std::string>{"cp", "my file", "x"}));
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words.data()[3], nullptr); // still an argument vector
    EXPECT_EQ(words.argv(), words.data());
    EXPECT_EQ(tokens(strutil::parse_command("a  b")), (std::vector<std::string>{"a", "b"}));
}

TEST(ParsedArray, FailureGivesEmptyOwner)
{
    expect_empty(strutil::parse_string("", ','));
    expect_empty(strutil::parse_string(nullptr, ','));
    expect_empty(strutil::parse_command(""));
    expect_empty(strutil::parse_command(nullptr));
    expect_empty(strutil::parse_command_line("", ""));
    expect_empty(strutil::parse_command_line(nullptr, "x"));
    expect_empty(strutil::ParsedArray());
}

// An array that comes without tokens is released at once; under
// LeakSanitizer a leaked one fails this.
TEST(ParsedArray, CountOfZeroOrLessReleasesTheArray)
{
    for (int count : {0, -1}) {
        SCOPED_TRACE(count);
        int parsed = 0;
        char **array = nullptr;
        ASSERT_EQ(::parse_string("a,b", ',', &parsed, &array), 0);
        expect_empty(strutil::ParsedArray(count, array));
    }
    expect_empty(strutil::ParsedArray(2, nullptr));
}

// Under the sanitizers a double free or a leaked array fails these.
TEST(ParsedArray, MovesLeaveTheSourceEmpty)
{
    strutil::ParsedArray a = strutil::parse_string("x,y", ',');
    strutil::ParsedArray b(std::move(a));
    expect_empty(a);
    EXPECT_EQ(tokens(b), (std::vector<std::string>{"x", "y"}));

    strutil::ParsedArray c = strutil::parse_string("old,array", ',');
    c = std::move(b); // releases "old,array"
    expect_empty(b);
    EXPECT_EQ(tokens(c), (std::vector<std::string>{"x", "y"}));

    a = std::move(c); // into a moved-from owner
    expect_empty(c);
    EXPECT_EQ(a.size(), 2u);

    strutil::ParsedArray &same = a;
    a = std::move(same); // keeps the tokens rather than releasing them
    EXPECT_EQ(tokens(a), (std::vector<std::string>{"x", "y"}));

    a.reset();
    expect_empty(a);
    a.reset();
}

TEST(ParsedArray, ReleaseHandsOverOwnership)
{
    strutil::ParsedArray a = strutil::parse_command("lp -d q");
    char **array = a.release();
    expect_empty(a);
    ASSERT_NE(array, nullptr);
    EXPECT_STREQ(array[2], "q");
    free_parsed_array(3, array);
}

TEST(String, OwnsCreatedStrings)
{
    strutil::String s = strutil::create_strcat("ab", "", "cd");
    ASSERT_TRUE(s);
    EXPECT_STREQ(s.get(), "abcd");

    strutil::String t = std::move(s);
    EXPECT_EQ(s.get(), nullptr);
    EXPECT_STREQ(t.get(), "abcd");

    t = strutil::create_string("next"); // frees "abcd"
    EXPECT_STREQ(t.get(), "next");

    EXPECT_FALSE(strutil::create_string(nullptr));
    EXPECT_FALSE(strutil::create_strcat("a", nullptr, "c"));
    EXPECT_STREQ(strutil::create_string("").get(), "");
}

// A view is read only up to its end, never up to the terminator that may
// follow it, and a NUL byte inside it ends its text as it would a C string.
TEST(StringView, TextEndsAtTheEndOfTheViewOrItsFirstNul)
{
    using Tokens = std::vector<std::string>;
    EXPECT_EQ(tokens(strutil::parse_string("a,b,c"sv.substr(0, 3), ',')), (Tokens{"a", "b"}));
    EXPECT_EQ(tokens(strutil::parse_string("a,b\0,c"sv, ',')), (Tokens{"a", "b"}));
    EXPECT_EQ(tokens(strutil::parse_command("lp -d q"sv.substr(0, 5))), (Tokens{"lp", "-d"}));
    EXPECT_EQ(tokens(strutil::parse_command("lp\0 x"sv)), (Tokens{"lp"}));
    EXPECT_EQ(tokens(strutil::parse_command_line("cp x"sv.substr(0, 2), std::string("a b"))),
              (Tokens{"cp", "a", "b"}));
    EXPECT_EQ(tokens(strutil::parse_command_line("a\0b"sv, "c"sv)), (Tokens{"a", "c"}));

    EXPECT_STREQ(strutil::create_string("abc"sv.substr(1, 1)).get(), "b");
    EXPECT_STREQ(strutil::create_string("ab\0cd"sv).get(), "ab");
    EXPECT_STREQ(strutil::create_strcat("ab"sv.substr(0, 1), std::string("c\0d", 3), "ef"sv).get(),
                 "acef");
}

// A default view has no data pointer; it is still an empty text, not NULL.
TEST(StringView, DefaultViewIsAnEmptyText)
{
    EXPECT_EQ(tokens(strutil::parse_command_line(std::string_view(), "x"sv)),
              (std::vector<std::string>{" x", "x"}));
    EXPECT_STREQ(strutil::create_string(std::string_view()).get(), "");
    EXPECT_STREQ(strutil::create_strcat(""sv, std::string_view(), "z"sv).get(), "z");
}

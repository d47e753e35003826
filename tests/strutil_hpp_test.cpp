#include "strutil.hpp"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

static_assert(!std::is_copy_constructible<strutil::ParsedArray>::value, "copy would free twice");
static_assert(!std::is_copy_assignable<strutil::ParsedArray>::value, "copy would free twice");
static_assert(std::is_nothrow_move_constructible<strutil::ParsedArray>::value, "");
static_assert(std::is_nothrow_move_assignable<strutil::ParsedArray>::value, "");

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

    strutil::ParsedArray words = strutil::parse_command_line("cp", "\"my file\" x");
    EXPECT_EQ(tokens(words), (std::vector<std::string>{"cp", "my file", "x"}));
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words.data()[3], nullptr); // still an argument vector
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

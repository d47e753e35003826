// SPDX-License-Identifier: MIT
#include "strutil.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <clocale>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct Row {
    const char *input;
    int expected;
};

void check_rows(int (*predicate)(const char *), std::initializer_list<Row> rows)
{
    for (const Row &row : rows) {
        SCOPED_TRACE(row.input != nullptr ? row.input : "(null)");
        EXPECT_EQ(predicate(row.input), row.expected);
    }
}

const char *const colours[] = {"red", "GREEN", "blue", "red"};

// The last occurrence found by trying every start position.
const char *naive_last(const char *text, const char *pattern)
{
    const char *last = nullptr;
    for (const char *p = text; *p != '\0'; ++p)
        if (std::strncmp(p, pattern, std::strlen(pattern)) == 0)
            last = p;
    return last;
}

} // namespace

TEST(Predicates, EveryByteAgreesWithTheCLocale)
{
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    for (int b = 1; b < 256; ++b) {
        SCOPED_TRACE(b);
        const std::string c(1, static_cast<char>(b));
        const int letter = std::isalpha(b) != 0, digit = std::isdigit(b) != 0,
                  blank = b <= 32 || b >= 128;
        EXPECT_EQ(string_is_float(c.c_str()), int{b == '.' || b == 'E'});
        EXPECT_EQ(string_is_alpha(c.c_str()), letter);
        EXPECT_EQ(string_is_alpha(("A" + c).c_str()), letter);
        EXPECT_EQ(string_is_num(c.c_str()), int{digit || b == '-'});
        EXPECT_EQ(string_is_num(("7" + c).c_str()), digit);
        EXPECT_EQ(string_is_num(("-" + c).c_str()), digit);
        EXPECT_EQ(string_is_num_len(("7" + c).c_str(), 2), digit);
        EXPECT_EQ(string_is_num_len(("7" + c).c_str(), 1), 1);
        EXPECT_EQ(string_is_blank(c.c_str()), blank);
        EXPECT_EQ(string_is_blank((" " + c).c_str()), blank);
    }
}

TEST(StringIsFloat, LooksOnlyForPointAndCapitalE)
{
    check_rows(string_is_float,
               {{"1E5", 1}, {"abc.def", 1}, {"1e5", 0}, {"123", 0}, {"", 0}, {nullptr, 0}});
}

TEST(StringIsAlpha, WholeTextMustBeLetters)
{
    check_rows(string_is_alpha, {{"aBc", 1}, {"ab1", 0}, {"", 0}, {nullptr, 0}});
}

TEST(StringIsNum, OneLeadingMinusThenDigits)
{
    check_rows(string_is_num, {{"007", 1},
                               {"-12", 1},
                               {"-", 1},
                               {"--1", 0},
                               {"+1", 0},
                               {" 1", 0},
                               {"1-", 0},
                               {"1.5", 0},
                               {"", 0},
                               {nullptr, 0}});
}

TEST(StringIsNumLen, TestsOnlyTheFirstNBytes)
{
    const struct {
        const char *input;
        int n, expected;
    } rows[] = {{"123", 3, 1},  {"12a", 2, 1}, {"12a", 3, 0}, {"12", 3, 0},    {"abc", 0, 1},
                {"abc", -1, 1}, {"-12", 2, 0}, {"", 0, 0},    {nullptr, 0, 0}, {nullptr, 3, 0}};
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.input != nullptr ? row.input : "(null)")
                     + " n=" + std::to_string(row.n));
        EXPECT_EQ(string_is_num_len(row.input, row.n), row.expected);
    }
    // A heap text of exact size: reading past its terminator would show up
    // under the address sanitizer.
    const std::vector<char> exact = {'1', '2', '\0'};
    EXPECT_EQ(string_is_num_len(exact.data(), INT_MAX), 0);
}

TEST(StringIsBlank, SignedByteAtMost32)
{
    check_rows(string_is_blank,
               {{nullptr, 1}, {"", 1}, {"\t\n ", 1}, {" \xff\x80", 1}, {"  x", 0}, {"x  ", 0}});
}

TEST(Searchstr, WholeEntriesIgnoringCaseWithinCount)
{
    EXPECT_EQ(searchstr(colours, 4, "green"), 1);
    EXPECT_EQ(searchstr(colours, 1, "GREEN"), 0);
    EXPECT_EQ(searchstr(colours, 4, "blu"), 0);
    EXPECT_EQ(searchstr(colours, 4, ""), 0);
    const char *const with_empty[] = {"x", ""};
    EXPECT_EQ(searchstr(with_empty, 2, ""), 1);
    // Neither the list nor the text is read for an empty count.
    EXPECT_EQ(searchstr(nullptr, 0, nullptr), 0);
    EXPECT_EQ(searchstr(nullptr, -3, nullptr), 0);
}

TEST(Strlstr, FindsTheLastOccurrence)
{
    const struct {
        const char *text, *pattern;
        long offset; /* -1: none */
    } rows[] = {{"abcabc", "bc", 4},
                {"aaa", "aa", 1},
                {"a.b.c", ".", 3},
                {"abc", "abc", 0},
                {"abc", "", 2},
                {"abc", "abcd", -1},
                {"abc", "x", -1},
                {"ABC", "b", -1},
                {"", "a", -1},
                {"", "", -1},
                {"a\xff\x01\xff", "\xff", 3}};
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.text) + " / " + row.pattern);
        const char *expected = row.offset < 0 ? nullptr : row.text + row.offset;
        EXPECT_EQ(strlstr(row.text, row.pattern), expected);
    }
}

TEST(Strlstr, AgreesWithTryingEveryPosition)
{
    // Every text over {a, b} up to 10 bytes against every pattern up to 5.
    std::vector<std::string> words = {""};
    for (std::size_t i = 0; words[i].size() < 10; ++i)
        for (const char c : {'a', 'b'})
            words.push_back(words[i] + c);
    for (const std::string &text : words)
        for (const std::string &pattern : words) {
            if (pattern.size() > 5)
                break;
            ASSERT_EQ(strlstr(text.c_str(), pattern.c_str()),
                      naive_last(text.c_str(), pattern.c_str()))
                << text << " / " << pattern;
        }

    // Longer, nearly periodic texts against periodic patterns with a tail.
    std::mt19937 random(12345);
    for (int round = 0; round < 20000; ++round) {
        const std::string &unit = words[1 + random() % 30], &flaw = words[1 + random() % 2];
        std::string text, pattern;
        while (text.size() < 50)
            text += random() % 8 != 0 ? unit : flaw;
        for (auto k = random() % 5; k > 0; --k)
            pattern += unit;
        pattern += flaw;
        ASSERT_EQ(strlstr(text.c_str(), pattern.c_str()), naive_last(text.c_str(), pattern.c_str()))
            << text << " / " << pattern;
    }
}

TEST(Strlstr, LongPeriodicInputs)
{
    const std::string as(8u << 20, 'a');
    const std::string run(64u << 10, 'a');
    EXPECT_EQ(strlstr(as.c_str(), (run + "b").c_str()), nullptr);
    EXPECT_EQ(strlstr(as.c_str(), ("b" + run).c_str()), nullptr);
    EXPECT_EQ(strlstr(as.c_str(), run.c_str()), as.c_str() + as.size() - run.size());

    std::string abs;
    for (int i = 0; i < (4 << 20); ++i)
        abs += "ab";
    const std::string period = abs.substr(0, 64u << 10);
    EXPECT_EQ(strlstr(abs.c_str(), (period + "b").c_str()), nullptr);
    EXPECT_EQ(strlstr(abs.c_str(), (period + "a").c_str()),
              abs.c_str() + abs.size() - period.size() - 2);
}

TEST(ChkArg, KeywordPositionThenNumberInRange)
{
    const struct {
        const char *arg;
        int count, expected;
    } rows[] = {{"Red", 4, 0},
                {"green", 4, 1},
                {"BLUE", 4, 2},
                {"BLUE", 2, -9999},
                {"red", 0, -9999},
                {"1", 0, -9999},
                {"1", 4, 1},
                {"4", 4, 4},
                {"\t 2", 4, 2},
                {"2x", 4, 2},
                {"+3", 4, 3},
                {"3.9", 4, 3},
                {"0003", 4, 3},
                {"5", 4, -9999},
                {"0", 4, -9999},
                {"-2", 4, -9999},
                {"0x2", 4, -9999},
                {"gre", 4, -9999},
                {"", 4, -9999},
                {"  ", 4, -9999},
                {"+", 4, -9999},
                {"- 2", 4, -9999},
                // Numerals beyond a 32-bit int are out of range, never wrapped.
                {"4294967297", 4, -9999},
                {"-4294967295", 4, -9999},
                {"99999999999999999999999", 4, -9999}};
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.arg) + " count=" + std::to_string(row.count));
        EXPECT_EQ(chk_arg(row.arg, colours, row.count), row.expected);
    }

    const char *const numerals[] = {"2", "1"};
    EXPECT_EQ(chk_arg("1", numerals, 2), 1);
    EXPECT_EQ(chk_arg("2", numerals, 2), 0);
    EXPECT_EQ(chk_arg("1", nullptr, -3), -9999);
}

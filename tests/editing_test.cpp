// SPDX-License-Identifier: MIT
#include "strutil.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

struct EditRow {
    std::string input;
    // The whole buffer up to the old terminator after the edit, so the new
    // terminator and what lies behind it are checked together.
    std::string buffer;
};

template <typename Edit>
void expect_edits(Edit edit, int result, std::initializer_list<EditRow> rows)
{
    for (const EditRow &row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.input));
        std::vector<char> buffer(row.input.begin(), row.input.end());
        buffer.push_back('\0');
        EXPECT_EQ(edit(buffer.data()), result);
        EXPECT_EQ(std::string(buffer.data(), row.input.size()), row.buffer);
        EXPECT_EQ(buffer.back(), '\0');
    }
}

std::string all_bytes_from_1()
{
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

} // namespace

TEST(FillString, ReplacesUpToTheFirstNulReplacement)
{
    auto dots = [](int find, int with) {
        return [=](char *s) { return fill_string(s, find, with); };
    };
    expect_edits(dots('.', '-'), 0, {{"a.b.c", "a-b-c"}, {"", ""}});
    expect_edits(dots('.', '\0'), 0, {{"a.b.c", "a\0b.c"s}, {"..", "\0."s}});
    expect_edits(dots('\0', '-'), 0, {{"a.b", "a.b"}});
    expect_edits(dots('a', 'b'), 0, {{"aaa", "bbb"}});
    expect_edits(dots(233, 'e'), 0, {{"\xe9t\xe9\xc9", "ete\xc9"}});
    expect_edits(dots('.' + 0x300, 'x' - 0x100), 0, {{"a.b", "axb"}});
}

TEST(StripString, RemovesEveryOccurrence)
{
    auto commas = [](char *s) { return strip_string(s, ','); };
    expect_edits(commas, 0, {{"a,,b,c,", "abc\0\0\0\0"s}, {",,,", "\0\0\0"s}, {"", ""}});
    expect_edits([](char *s) { return strip_string(s, '\0'); }, 0, {{"a,b", "a,b"}});
    expect_edits([](char *s) { return strip_string(s, 0x1e9); }, 0, {{"\xe9x\xe9", "x\0\0"s}});
}

TEST(WsstripString, RemovesOnlyLineBreaks)
{
    expect_edits(wsstrip_string, 1,
                 {{"a\r\nb\n\rc\r\n", "abc\0\0\0\0\0\0"s},
                  {"\r\n\r\n", "\0\0\0\0"s},
                  {" \ta \t", " \ta \t"},
                  {"", ""}});
    std::string others = all_bytes_from_1();
    expect_edits(
        wsstrip_string, 1,
        {{others, others.substr(0, 9) + others.substr(10, 2) + others.substr(13) + "\0\0"s}});
}

TEST(WstrimString, RemovesLineBreaksThenTrailingBlanks)
{
    expect_edits(wstrim_string, 1,
                 {{"ab  \r\n", "ab\0\0\0\0"s},
                  {"  \r\n", "\0\0\0\0"s},
                  {"a\rb\nc", "abc\0\0"s},
                  {"a \r\n\tb", "a \tb\0\0"s},
                  {"", ""}});
}

TEST(TrimString, CutsOnlyTrailingBlanks)
{
    expect_edits(trim_string, 0,
                 {{"ab  ", "ab\0\0"s},
                  {"   ", "\0\0\0"s},
                  {" a b ", " a b\0"s},
                  {"ab \t", "ab \t"},
                  {"ab\t ", "ab\t\0"s},
                  {"ab \r\n", "ab \r\n"},
                  {"", ""}});
}

TEST(TrimCrString, CutsOnlyTrailingCarriageReturns)
{
    expect_edits(trim_cr_string, 0,
                 {{"ab\r\r", "ab\0\0"s},
                  {"ab\r\n", "ab\r\n"},
                  {"ab\n\r", "ab\n\0"s},
                  {"a\rb", "a\rb"},
                  {"\r\r", "\0\0"s},
                  {"ab \r", "ab \0"s}});
}

TEST(StripSpaces, TrimsAndCollapsesBlankRuns)
{
    expect_edits(strip_spaces, 0,
                 {{"a  b   c  ", "a b c\0\0\0\0\0"s},
                  {"   abc", " abc\0\0"s},
                  {"    ", "\0\0\0\0"s},
                  {"a \t  b", "a \t b\0"s},
                  {"x", "x"},
                  {"", ""}});
}

// Every pattern of blanks and one other byte up to 17 bytes, so that runs
// start, end and span every place in and across the eight-byte steps. The
// other bytes are ones a blank test on whole words could mistake for a blank.
TEST(StripSpaces, EveryBlankPatternUpTo17Bytes)
{
    for (const char other : {'a', '\xa0', '!', '\x1f'}) {
        for (std::size_t n = 0; n <= 17; ++n) {
            for (unsigned pattern = 0; pattern < (1u << n); ++pattern) {
                std::string input(n, other);
                for (std::size_t i = 0; i < n; ++i)
                    if (pattern & (1u << i))
                        input[i] = ' ';
                std::string expected;
                for (const char c : input)
                    if (c != ' ' || expected.empty() || expected.back() != ' ')
                        expected += c;
                while (!expected.empty() && expected.back() == ' ')
                    expected.pop_back();
                expected.resize(n, '\0');
                std::vector<char> buffer(input.begin(), input.end());
                buffer.push_back('\0');
                ASSERT_EQ(strip_spaces(buffer.data()), 0);
                ASSERT_EQ(std::string(buffer.data(), n), expected) << testing::PrintToString(input);
                ASSERT_EQ(buffer.back(), '\0');
            }
        }
    }
}

TEST(StripEscape, DropsBackslashesButKeepsEscapedBytes)
{
    expect_edits(strip_escape, 0,
                 {{"a\\b", "ab\0"s},
                  {"a\\\\b", "a\\b\0"s},
                  {"a\\\\\\b", "a\\b\0\0"s},
                  {"a\\\\\\\\b", "a\\\\b\0\0"s},
                  {"\\n", "n\0"s},
                  {"abc\\", "abc\0"s},
                  {"\\", "\0"s},
                  {"\\\"x\\\"", "\"x\"\0\0"s},
                  {"", ""}});
}

TEST(ShiftString, DropsFromEitherEnd)
{
    auto shift = [](int count) { return [=](char *s) { return shift_string(s, count); }; };
    expect_edits(shift(2), 0, {{"abcdef", "abcd\0f"s}, {"", ""}});
    expect_edits(shift(0), 0, {{"abcdef", "abcdef"}, {"", ""}});
    expect_edits(shift(6), 0, {{"abcdef", "\0bcdef"s}});
    expect_edits(shift(9), 0, {{"abcdef", "\0bcdef"s}});
    expect_edits(shift(-2), 0, {{"abcdef", "cdef\0f"s}, {"", ""}});
    expect_edits(shift(-6), 0, {{"abcdef", "\0bcdef"s}});
    expect_edits(shift(-2147483647 - 1), 0, {{"abcdef", "\0bcdef"s}});
}

TEST(CaseChange, TouchesOnlyAsciiLetters)
{
    expect_edits(up_string, 1,
                 {{"abc-XYZ-09{}", "ABC-XYZ-09{}"}, {"\xe9\xff", "\xe9\xff"}, {"ABC", "ABC"}});
    expect_edits(low_string, 1, {{"ABC-xyz-09[]", "abc-xyz-09[]"}, {"\xc9\xdf", "\xc9\xdf"}});
    std::string upper = all_bytes_from_1();
    std::string lower = upper;
    for (char &c : upper)
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    for (char &c : lower)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    expect_edits(up_string, 1, {{all_bytes_from_1(), upper}});
    expect_edits(low_string, 1, {{all_bytes_from_1(), lower}});
}

TEST(CleanLine, CutsTheLineEndAndBlanksUnprintables)
{
    expect_edits(clean_line, 1,
                 {{"abc\r\n", "abc\0\0"s},
                  {"a\tb\x7f"
                   "c\x01"
                   "d\r\n",
                   "a b\x7f"
                   "c d\0\0"s},
                  {"a\xe9"
                   "b\xff",
                   "a b "},
                  {"ab\xe9\r\n", "ab \0\0"s},
                  {"ab \r\n", "ab \0\0"s},
                  {"x\ny\n", "x y\0"s},
                  {"\r\n", "\0\0"s},
                  {"\t", "\0"s},
                  {"\x80", " "}});
    // Every byte value, once inside the line and once at its end.
    for (int b = 1; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const char inside = (b < 32 || b > 127) ? ' ' : c;
        const std::string at_end = b < 32 ? "a\0"s : "a"s + inside;
        expect_edits(clean_line, 1,
                     {{std::string{c, 'x'}, std::string{inside, 'x'}}, {"a"s + c, at_end}});
    }
}

TEST(Editors, AcceptNullAndEmptyStrings)
{
    EXPECT_EQ(fill_string(nullptr, '.', '-'), 0);
    EXPECT_EQ(strip_string(nullptr, ','), 0);
    EXPECT_EQ(wsstrip_string(nullptr), 1);
    EXPECT_EQ(wstrim_string(nullptr), 1);
    EXPECT_EQ(trim_string(nullptr), 0);
    EXPECT_EQ(trim_cr_string(nullptr), 0);
    EXPECT_EQ(strip_spaces(nullptr), 0);
    EXPECT_EQ(strip_escape(nullptr), 0);
    EXPECT_EQ(shift_string(nullptr, -1), 0);
    for (int (*edit)(char *) : {up_string, low_string, clean_line}) {
        EXPECT_EQ(edit(nullptr), 0);
        expect_edits(edit, 0, {{"", ""}});
    }
}

// Each editor on a 4 MiB string built so that taking bytes out or measuring
// the length one step at a time would not finish.
TEST(Editors, EditMultiMegabyteStringsInOnePass)
{
    const std::size_t n = 4u << 20;
    auto run = [](auto edit, int result, const std::string &input, const std::string &expected) {
        std::vector<char> buffer(input.begin(), input.end());
        buffer.push_back('\0');
        EXPECT_EQ(edit(buffer.data()), result);
        EXPECT_TRUE(std::string(buffer.data()) == expected)
            << "length " << std::string(buffer.data()).size();
    };
    auto repeat = [](const std::string &unit, std::size_t times) {
        std::string s;
        for (std::size_t i = 0; i < times; ++i)
            s += unit;
        return s;
    };
    const std::string a(n, 'a');
    const std::string half(n / 2, 'a');
    run([](char *s) { return fill_string(s, 'a', 'b'); }, 0, a, std::string(n, 'b'));
    run([](char *s) { return strip_string(s, ','); }, 0, repeat("a,", n / 2), half);
    run(wsstrip_string, 1, repeat("a\r\n", n / 3), std::string(n / 3, 'a'));
    run(wstrim_string, 1, repeat("a \r\n", n / 4) + std::string(n, ' '),
        repeat("a ", n / 4 - 1) + "a");
    run(trim_string, 0, "a" + std::string(n, ' '), "a");
    run(trim_cr_string, 0, "a" + std::string(n, '\r'), "a");
    run(strip_spaces, 0, "a" + std::string(n, ' ') + "b", "a b");
    run(strip_escape, 0, repeat("\\a", n / 2), half);
    run([](char *s) { return shift_string(s, -static_cast<int>(n / 2)); }, 0,
        half + std::string(n / 2, 'b'), std::string(n / 2, 'b'));
    run(up_string, 1, a, std::string(n, 'A'));
    run(low_string, 1, std::string(n, 'A'), a);
    run(clean_line, 1, repeat("\t\xe9", n / 2) + std::string(n, '\n'), std::string(n, ' '));
}

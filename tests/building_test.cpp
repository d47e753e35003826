// SPDX-License-Identifier: MIT
#include "strutil.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

TEST(CreateString, CopiesIntoNewBlock)
{
    for (const char *text : {"abc", ""}) {
        char *copy = create_string(text);
        ASSERT_NE(copy, nullptr);
        EXPECT_NE(copy, text);
        EXPECT_EQ(std::strlen(copy), std::strlen(text));
        EXPECT_STREQ(copy, text);
        std::free(copy);
    }
    EXPECT_EQ(create_string(nullptr), nullptr);
}

TEST(CreateStrcat, JoinsThreeTexts)
{
    const char *const rows[][4] = {
        {"ab", "cde", "f", "abcdef"}, {"", "", "", ""}, {"a", "", "z", "az"}};
    for (const auto &row : rows) {
        char *joined = create_strcat(row[0], row[1], row[2]);
        ASSERT_NE(joined, nullptr);
        EXPECT_EQ(std::strlen(joined), std::strlen(row[3]));
        EXPECT_STREQ(joined, row[3]);
        std::free(joined);
    }
    EXPECT_EQ(create_strcat(nullptr, "b", "c"), nullptr);
    EXPECT_EQ(create_strcat("a", nullptr, "c"), nullptr);
    EXPECT_EQ(create_strcat("a", "b", nullptr), nullptr);
}

TEST(Strntcpy, CopiesExactlyNBytes)
{
    struct Row {
        const char *src;
        int n;
        std::string copied;
    };
    const Row rows[] = {
        {"hello", 3, "hel"},
        {"hello", 5, "hello"},
        {"ab\0cd", 5, std::string("ab\0cd", 5)}, // a NUL does not stop the copy
        {nullptr, 0, ""},                        // the source is not read
        {nullptr, -4, ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.n);
        char dest[8];
        std::memset(dest, '#', sizeof dest);
        EXPECT_EQ(strntcpy(dest, row.src, row.n), 1);
        const std::size_t n = row.copied.size();
        EXPECT_EQ(std::string(dest, n), row.copied);
        EXPECT_EQ(dest[n], '\0');
        EXPECT_EQ(dest[n + 1], '#');
    }
    char shifted[] = "xhello";
    strntcpy(shifted, shifted + 1, 5);
    EXPECT_STREQ(shifted, "hello");
}

TEST(Strmcat, KeepsLengthWithinMaximum)
{
    struct Row {
        const char *dest, *src;
        int max, result;
        const char *after;
    };
    const Row rows[] = {
        {"abc", "de", 10, 1, "abcde"},
        {"abc", "de", 5, 1, "abcde"},
        {"abc", "de", -1, 0, "abc"},
        // Maximum one above, equal to and one below the destination's length.
        {"abc", "de", 4, 1, "abcd"},
        {"abc", "de", 3, 0, "abc"},
        {"abc", "de", 2, 0, "abc"},
        {"abc", "", 4, 1, "abc"},
        {"abc", "", 3, 0, "abc"},
        {"", "xyz", 2, 1, "xy"},
        {"", "xyz", 0, 0, ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.dest) + "+" + row.src + " max " + std::to_string(row.max));
        char dest[16];
        std::memset(dest, '#', sizeof dest);
        std::strcpy(dest, row.dest);
        EXPECT_EQ(strmcat(dest, row.src, row.max), row.result);
        const std::size_t length = std::strlen(row.after);
        EXPECT_EQ(std::strlen(dest), length);
        EXPECT_STREQ(dest, row.after);
        EXPECT_EQ(std::string(dest + length + 1, sizeof dest - length - 1),
                  std::string(sizeof dest - length - 1, '#')); // nothing written past the end
    }
    char dest[8] = "abc";
    EXPECT_EQ(strmcat(nullptr, "de", 5) + strmcat(dest, nullptr, 5), 0);
    EXPECT_STREQ(dest, "abc");
}

TEST(SetNum, PrintsSignificantDigits)
{
    constexpr float inf = std::numeric_limits<float>::infinity();
    struct Row {
        const char *spec;
        float value;
        const char *text;
    };
    const Row rows[] = {
        {"8.3.0", 3.14159f, "    3.14"},
        {"0.2.1", 512.3f, "512.3"},
        {"0.2.0", 512.3f, "512"},
        {"0.3.0", 0.000123f, "0.000123"},
        {"6.3.2", -0.000004f, "  0.00"},
        {"12.3.0", 5.0f, "     5.00"},
        {"0.3.0", 9.999f, "10.00"},
        {"0.3.0", -2.5f, "-2.50"},
        {"0.5.0", 0.0f, "  0.00"},
        {"0.3.0", 0.05f, "0.0500"},
        // Missing numbers count as 0; each may have blanks and a sign before it.
        {"8.3", 3.14159f, "    3.14"},
        {"8", 3.14159f, "       3"},
        {"", 3.14159f, "3"},
        {"8x3.0", 3.14159f, "       3"},
        {" +8. 3.-0", 3.14159f, "    3.14"},
        // Out-of-range numbers are clamped, not overflowed.
        {"2147483648.3.0", 3.14159f, "     3.14"},
        {"0.-99999999999999999999.0", 3.14159f, "3"},
        {"0.0.-3", 5.0f, "5"},
        // No leading digit: the exponent is 0.
        {"8.3.0", std::numeric_limits<float>::quiet_NaN(), "     nan"},
        {"8.3.0", inf, "     inf"},
        {"0.3.0", -inf, "-inf"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.spec);
        char out[32];
        EXPECT_EQ(set_num(out, row.spec, row.value), out);
        EXPECT_EQ(std::strlen(out), std::strlen(row.text));
        EXPECT_STREQ(out, row.text);
    }
}

TEST(SetNum, TinyMagnitudesPrintUnsignedZero)
{
    // 1e-5f lies just below the double 1e-05; the next float up does not.
    for (const float value : {1e-5f, -1e-5f, -0.0f, -std::numeric_limits<float>::denorm_min()}) {
        SCOPED_TRACE(value);
        char out[16];
        EXPECT_STREQ(set_num(out, "0.3.0", value), "   0");
        EXPECT_STREQ(set_num(out, "8.4.2", value), "    0.00");
    }
    char out[16];
    EXPECT_STREQ(set_num(out, "0.3.0", std::nextafter(1e-5f, 1.0f)), "0.0000100");
}

// Whatever precision `spec` leads to, the digits are
// printf's: floats from every binade, ties of both parities, and negatives (a
// magnitude below 1e-05 prints as zero).
TEST(SetNum, DigitsMatchPrintf)
{
    std::vector<float> values = {0.5f,
                                 1.5f,
                                 2.5f,
                                 0.125f,
                                 0.375f,
                                 -0.625f,
                                 1e10f,
                                 16777216.0f,
                                 1e-5f * 1.5f,
                                 std::numeric_limits<float>::max(),
                                 -std::numeric_limits<float>::max()};
    for (std::uint32_t bits = 0x37270000u; bits < 0x7f800000u; bits += 0x00012345u) {
        float value;
        std::memcpy(&value, &bits, sizeof value);
        values.push_back(value);
        values.push_back(-value);
    }
    for (const char *format : {"0.1.0", "0.3.0", "9.7.2", "0.9.0", "0.12.30", "0.2.150"}) {
        for (const float value : values) {
            SCOPED_TRACE(testing::Message() << format << " " << value);
            std::string out(1100, '#');
            set_num(out.data(), format, value);
            const std::string text(out.c_str() + std::strspn(out.c_str(), " "));
            const std::size_t point = text.find('.');
            const int decimals =
                point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
            std::string expected(1100, '#');
            const double printed = std::fabs(value) < 1e-05 ? 0.0 : value;
            std::snprintf(expected.data(), expected.size(), "%.*f", decimals, printed);
            ASSERT_EQ(text, expected.c_str());
        }
    }
}

// printf rounds in the current rounding mode, and so does set_num.
TEST(SetNum, FollowsTheRoundingMode)
{
    struct Row {
        int mode;
        float value;
        const char *text;
    };
    const Row rows[] = {
        {FE_UPWARD, 3.14159f, "3.15"},
        {FE_DOWNWARD, -3.14159f, "-3.15"},
        {FE_TOWARDZERO, 2.71828f, "2.71"},
        {FE_TONEAREST, 2.71828f, "2.72"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        ASSERT_EQ(std::fesetround(row.mode), 0);
        char out[16];
        set_num(out, "0.3.0", row.value);
        std::fesetround(FE_TONEAREST);
        EXPECT_STREQ(out, row.text);
    }
}

TEST(SetNum, PrecisionStopsAt999)
{
    std::string out(1100, '#');
    set_num(out.data(), "4.0.5000", 2.0f);
    EXPECT_EQ(std::string(out.c_str()), "2." + std::string(999, '0'));
    set_num(out.data(), "0.99999999999.0", 3.14159f);
    EXPECT_EQ(std::strlen(out.c_str()), 1001u);
    EXPECT_EQ(out.compare(0, 7, "3.14159"), 0);
}

// SPDX-License-Identifier: MIT
// PE data decoded against bytes encoded by hand: both bases, the flags, the
// bytes skipped, and data cut into pieces anywhere.
#include "polyline_encoded.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Each report as a word: "M x,y" with A for absolute and U for pen up,
// "P pen", "E" for the end.
class Recorder : public EncodedPolylineListener {
public:
    std::string events;

    void move(const EncodedMove &m) override
    {
        char text[96];
        std::snprintf(text, sizeof text, "M %.10g,%.10g%s%s ", m.x, m.y, m.absolute ? " A" : "",
                      m.pen_up ? " U" : "");
        events += text;
    }
    void select_pen(std::int64_t pen) override { events += "P " + std::to_string(pen) + " "; }
    void end() override { events += "E"; }
};

std::string decoded(const std::string &data)
{
    Recorder r;
    decode_polyline_encoded(data, r);
    return r.events;
}

TEST(DecodePolylineEncoded, Values)
{
    const struct {
        std::string data;
        std::string events;
    } rows[] = {
        {"", "E"},
        // 0 and 0: one last digit each.
        {"\xbf\xbf", "M 0,0 E"},
        // 5 is 10 with its sign bit, -5 is 11.
        {"\xc9\xca", "M 5,-5 E"},
        // 10525 is 21050 = 5*4096 + 8*64 + 58: 63+58, 63+8, then 191+5.
        {"yG\xc4\xbf", "M 10525,0 E"},
        // 100 is 200 = 3*64 + 8, 200 is 400 = 6*64 + 16.
        {"G\xc2O\xc5", "M 100,200 E"},
        // The same in base 32: 21050 = 20*1024 + 17*32 + 26, 0 is '_'.
        {"7YPs_", "M 10525,0 E"},
        // -1 is 3: in base 32 the last digit 95+3.
        {"7bb", "M -1,-1 E"},
        // Base 32 drops every eighth bit, digits' and flags' alike.
        {"\xb7\xd9\xd0\xf3\xdf", "M 10525,0 E"},
        // Base 64 keeps it: 'Y' is a digit there, 0xd9 a last digit.
        {"Y\xd9\xbf", "M 845,0 E"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.data);
        EXPECT_EQ(decoded(row.data), row.events);
    }
}

TEST(DecodePolylineEncoded, Flags)
{
    const struct {
        std::string data;
        std::string events;
    } rows[] = {
        // '=' and '<' hold for the next point only.
        {"=G\xc2O\xc5\xc9\xc9", "M 100,200 A M 5,5 E"},
        {"<\xc9\xca\xc9\xc9", "M 5,-5 U M 5,5 E"},
        {"<=\xbf\xbf", "M 0,0 A U E"},
        // With the eighth bit set they are the same flags.
        {"\xbd\xbcG\xc2O\xc5", "M 100,200 A U E"},
        // Pens 1 and 3 are 2 and 6; a flag between x and y waits for y.
        {":\xc1\xc9\xc9:\xc5", "P 1 M 5,5 P 3 E"},
        {"\xc9:\xc1\xc9", "P 1 M 5,5 E"},
        // Two fractional bits (4): a quarter, for every point until the
        // next '>'.
        {">\xc3\xc9\xca\xc9\xc9>\xbf\xc9\xc9", "M 1.25,-1.25 M 1.25,1.25 M 5,5 E"},
        // The reference's example: 82.23 with 7 fractional bits is 10525.
        {">\xcdyG\xc4\xbf", "M 82.2265625,0 E"},
        // -1 fractional bit (3): doubled.
        {">\xc2\xc9\xc9", "M 10,10 E"},
        // More than 26 are 26.
        {">\xfd\xbf\xc1", "M 0,1.490116119e-08 E"},
        // A flag cuts a value short: the digits before it are dropped.
        {"yG=\xc9\xc9", "M 5,5 A E"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.data);
        EXPECT_EQ(decoded(row.data), row.events);
    }
}

TEST(DecodePolylineEncoded, SkippedBytesAndLeftovers)
{
    const struct {
        std::string data;
        std::string events;
    } rows[] = {
        // Blanks, controls, DEL, 128-160, 255 and bytes that are neither
        // flag nor digit, inside a value too.
        {"y G\r\n\x7f\x80\xa0\xff\xc4 \xbf", "M 10525,0 E"},
        {"!\"#$%&'()*+,-./0123456\x38\x39;\xc9\xc9", "M 5,5 E"},
        // In base 32 a byte of 0xa0 (space) and 0xff (DEL) are skipped too.
        {"7\xa0\xff"
         "bb",
         "M -1,-1 E"},
        // An x without its y, a flag without its value, half a value.
        {"\xc9", "E"},
        {"\xc9\xc9:", "M 5,5 E"},
        {"\xc9\xc9yG", "M 5,5 E"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.data);
        EXPECT_EQ(decoded(row.data), row.events);
    }
}

TEST(DecodePolylineEncoded, PiecesGiveTheWhole)
{
    const std::string data = ">\xc3:\xc1yG\xc4\xbf<=G\xc2O\xc5"
                             "7YPs_bb";
    const std::string whole = decoded(data);
    ASSERT_EQ(whole, "P 1 M 2631.25,0 M 25,50 A U M 2631.25,0 M -0.25,-0.25 E");
    for (std::size_t cut = 0; cut <= data.size(); ++cut) {
        for (std::size_t second = cut; second <= data.size(); ++second) {
            SCOPED_TRACE(std::to_string(cut) + " " + std::to_string(second));
            Recorder r;
            EncodedPolylineDecoder decoder;
            decode_polyline_encoded(decoder, std::string_view(data).substr(0, cut), r);
            decode_polyline_encoded(decoder, std::string_view(data).substr(cut, second - cut), r);
            decode_polyline_encoded(decoder, std::string_view(data).substr(second), r);
            finish_polyline_encoded(decoder, r);
            EXPECT_EQ(r.events, whole);
        }
    }
}

TEST(DecodePolylineEncoded, FinishStartsAfresh)
{
    Recorder r;
    EncodedPolylineDecoder decoder;
    decode_polyline_encoded(decoder, "7>\xc3<=\xc9", r);
    finish_polyline_encoded(decoder, r);
    // Base 64, no fraction, no flags, no x left from before.
    decode_polyline_encoded(decoder, "\xc9\xca", r);
    finish_polyline_encoded(decoder, r);
    EXPECT_EQ(r.events, "EM 5,-5 E");
}

TEST(DecodePolylineEncoded, LongValuesSaturate)
{
    // 200 digits of 63 after a first digit of 0 or 1: far beyond 64 bits,
    // kept large, with the first digit's sign.
    for (const char first : {'?', '@'}) {
        SCOPED_TRACE(first);
        Recorder r;
        decode_polyline_encoded(first + std::string(200, '~') + "\xfe\xbf", r);
        double x = 0;
        ASSERT_EQ(std::sscanf(r.events.c_str(), "M %lg,", &x), 1) << r.events;
        EXPECT_GT(std::abs(x), 1e17);
        EXPECT_LT(std::abs(x), 1e19);
        EXPECT_EQ(x < 0, first == '@');
    }
}

} // namespace

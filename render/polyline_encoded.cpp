// SPDX-License-Identifier: MIT
#include "polyline_encoded.h"

#include <algorithm>
#include <cmath>

namespace {

// The number of fractional bits a '>' may give; beyond it a coordinate is
// all fraction or overflows the plotter's range.
constexpr int kMaxFractionalBits = 26;
// Digits beyond this shift only saturate: the value is already far past
// any coordinate a plot can use.
constexpr int kLastShift = 54;
constexpr std::uint64_t kSaturated = (std::uint64_t{1} << 61) - 1;

enum class ByteKind { Skipped, Flag, Digit, LastDigit };

struct ClassifiedByte {
    ByteKind kind;
    unsigned value; // the flag's character, or the digit
};

ClassifiedByte classify(unsigned char byte, bool base32)
{
    const unsigned seven = byte & 0x7fu;
    // Flags count with or without their eighth bit; in base 32 every byte
    // loses it.
    if (seven == ':' || seven == '<' || seven == '>' || seven == '=' || seven == '7')
        return {ByteKind::Flag, seven};
    if (base32) {
        if (seven >= 63 && seven <= 94)
            return {ByteKind::Digit, seven - 63};
        if (seven >= 95 && seven <= 126)
            return {ByteKind::LastDigit, seven - 95};
        return {ByteKind::Skipped, 0};
    }
    if (byte >= 63 && byte <= 126)
        return {ByteKind::Digit, byte - 63u};
    if (byte >= 191 && byte <= 254)
        return {ByteKind::LastDigit, byte - 191u};
    return {ByteKind::Skipped, 0};
}

void add_digit(EncodedPolylineDecoder &d, unsigned digit)
{
    // Saturating keeps the sign, which is the lowest bit.
    if (d.shift <= kLastShift)
        d.digits |= std::uint64_t{digit} << d.shift;
    else if (digit != 0)
        d.digits = (kSaturated & ~std::uint64_t{1}) | (d.digits & 1);
    d.shift += d.base32 ? 5 : 6;
    d.shift = std::min(d.shift, kLastShift + 6);
}

// The value of the digits read: the magnitude above the sign bit.
double take_value(EncodedPolylineDecoder &d)
{
    const double magnitude = static_cast<double>(d.digits >> 1);
    const bool negative = (d.digits & 1) != 0;
    d.digits = 0;
    d.shift = 0;
    return negative ? -magnitude : magnitude;
}

void apply_flag(EncodedPolylineDecoder &d, unsigned flag)
{
    // A value cut short by a flag is dropped.
    d.digits = 0;
    d.shift = 0;
    switch (flag) {
    case ':':
        d.awaiting = EncodedPolylineDecoder::Awaiting::Pen;
        break;
    case '>':
        d.awaiting = EncodedPolylineDecoder::Awaiting::FractionalBits;
        break;
    case '<':
        d.pen_up = true;
        break;
    case '=':
        d.absolute = true;
        break;
    default: // '7'
        d.base32 = true;
        break;
    }
}

void take_complete_value(EncodedPolylineDecoder &d, EncodedPolylineListener &listener)
{
    const double value = take_value(d);
    switch (d.awaiting) {
    case EncodedPolylineDecoder::Awaiting::Pen:
        d.awaiting = EncodedPolylineDecoder::Awaiting::Point;
        listener.select_pen(static_cast<std::int64_t>(value));
        return;
    case EncodedPolylineDecoder::Awaiting::FractionalBits:
        d.awaiting = EncodedPolylineDecoder::Awaiting::Point;
        d.fractional_bits = static_cast<int>(
            std::clamp(value, double{-kMaxFractionalBits}, double{kMaxFractionalBits}));
        return;
    case EncodedPolylineDecoder::Awaiting::Point:
        break;
    }
    const double coordinate = std::ldexp(value, -d.fractional_bits);
    if (!d.have_x) {
        d.have_x = true;
        d.x = coordinate;
        return;
    }
    listener.move({d.x, coordinate, d.absolute, d.pen_up});
    d.have_x = false;
    d.absolute = false;
    d.pen_up = false;
}

} // namespace

void decode_polyline_encoded(EncodedPolylineDecoder &decoder, std::string_view piece,
                             EncodedPolylineListener &listener)
{
    for (const char c : piece) {
        const ClassifiedByte b = classify(static_cast<unsigned char>(c), decoder.base32);
        switch (b.kind) {
        case ByteKind::Skipped:
            break;
        case ByteKind::Flag:
            apply_flag(decoder, b.value);
            break;
        case ByteKind::Digit:
            add_digit(decoder, b.value);
            break;
        case ByteKind::LastDigit:
            add_digit(decoder, b.value);
            take_complete_value(decoder, listener);
            break;
        }
    }
}

void finish_polyline_encoded(EncodedPolylineDecoder &decoder, EncodedPolylineListener &listener)
{
    decoder = EncodedPolylineDecoder{};
    listener.end();
}

void decode_polyline_encoded(std::string_view data, EncodedPolylineListener &listener)
{
    EncodedPolylineDecoder decoder;
    decode_polyline_encoded(decoder, data, listener);
    finish_polyline_encoded(decoder, listener);
}

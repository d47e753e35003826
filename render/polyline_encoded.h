// SPDX-License-Identifier: MIT
// Decoding the data of PE (polyline encoded): the bytes between "PE" and
// its ';'. The decoder reports what the data says and leaves the drawing to
// its caller: coordinates come as the numbers they encode, after the
// fractional bits, in whatever units the plot's scaling gives them.
//
// Each value is a sign-and-magnitude integer, the sign in its lowest bit,
// written least significant digit first. In base 64 (the default) a digit
// that more digits follow is a byte from 63 to 126 (63 + digit) and the last
// digit a byte from 191 to 254 (191 + digit). After the flag '7' the data is
// in base 32 for the rest of the instruction: the eighth bit of every byte
// is dropped, 63 to 94 is a digit with more to follow and 95 to 126 the
// last. Flags, their eighth bit disregarded:
//   ':'  the next value is a pen to select;
//   '<'  the next point is a move with the pen up;
//   '>'  the next value is the number of fractional binary bits of the
//        coordinates that follow, until the next '>';
//   '='  the next point is absolute;
//   '7'  base 32 from here on.
// Values otherwise pair up as points, relative to the one before unless '='
// said otherwise, drawn with the pen down unless '<' said otherwise. Blanks,
// control characters, DEL, 128 to 160, 255 and any byte that is neither a
// flag nor a digit are skipped: a value goes on across them.
#ifndef ZELVO_RENDER_POLYLINE_ENCODED_H
#define ZELVO_RENDER_POLYLINE_ENCODED_H

#include <cstdint>
#include <string_view>

// One point of the data.
struct EncodedMove {
    double x = 0;
    double y = 0;
    bool absolute = false; // after '=': x and y are a position, else an offset
    bool pen_up = false;   // after '<'
};

// What the decoder reports, in the order the data gives it.
class EncodedPolylineListener {
public:
    virtual void move(const EncodedMove &move) = 0;
    virtual void select_pen(std::int64_t pen) = 0;
    // The data ended. A flag still waiting for its value or point, or an x
    // without its y, is dropped.
    virtual void end() = 0;

protected:
    ~EncodedPolylineListener() = default;
};

// The decoder's state between pieces of the data: the data of one PE may
// arrive in several pieces, and is decoded in constant memory.
struct EncodedPolylineDecoder {
    enum class Awaiting : std::uint8_t { Point, Pen, FractionalBits };
    bool base32 = false;
    Awaiting awaiting = Awaiting::Point;
    bool pen_up = false;
    bool absolute = false;
    int fractional_bits = 0;
    // The value being read: its digits so far and where the next one goes.
    std::uint64_t digits = 0;
    int shift = 0;
    // The x of a point whose y is still to come.
    bool have_x = false;
    double x = 0;
};

// Decodes one piece of the data, reporting each point and pen as it is
// complete; a value may run on into the next piece.
void decode_polyline_encoded(EncodedPolylineDecoder &decoder, std::string_view piece,
                             EncodedPolylineListener &listener);

// Reports the end of the data and makes the decoder ready for another PE.
void finish_polyline_encoded(EncodedPolylineDecoder &decoder, EncodedPolylineListener &listener);

// The whole data of one PE at once.
void decode_polyline_encoded(std::string_view data, EncodedPolylineListener &listener);

#endif

// SPDX-License-Identifier: MIT
// Raster graphics as PCL 5 and HP RTL send them: the settings their escape
// sequences make, and the rows their data bytes hold, decoded as the bytes
// come, one row at a time, in memory that the row's width bounds.
//
// A row comes as planes: ESC *b # V sends one and more follow, ESC *b # W
// the last; planes a row leaves out are blank. Each plane's bytes are
// compressed by the method ESC *b # M chose: 0 unencoded; 1 run-length
// (pairs of a repeat count less one and a byte); 2 TIFF PackBits (a control
// byte n, n + 1 bytes as they are up to 127, 257 - n repeats of the next
// byte above 128, nothing for 128); 3 delta row (a command byte: its top
// three bits one less than the bytes that follow, its low five an offset
// from where the last ones ended, with bytes added while they are 255 when
// it is 31; the bytes replace the plane's seed row, the row before); 9
// replacement delta row (as 3, but a command byte whose top bit is 0 gives
// 4 bits of offset and 3 of a count less one, extended by bytes after 15
// and 7; with it set 2 bits of offset and 5 of a count less two of one byte
// repeated, extended after 3 and 31); 5 adaptive (the data block holds
// rows, each a command byte and a count of two bytes: 0 to 3 a row of that
// many bytes with that method, 4 that many blank rows, 5 that many copies
// of the row before). Methods 0, 1 and 2 replace a row whole; 3 and 9 only
// what they give. A method the printer does not know keeps the one before.
//
// The pixels: ESC *r # U (1 one plane, 3 three planes of an RGB palette,
// -3 of a CMY one, -4 four planes of black, cyan, magenta and yellow) or the data block of ESC *v #
// W (colour space, pixel encoding, bits per index, bits per primary): indexed by plane (a bit of
// the index per plane, the first plane the lowest bit), indexed by pixel
// (1, 2, 4 or 8 bits a pixel, the first in the top bits), direct by plane
// (three planes of one bit a primary) and direct by pixel (three bytes a
// pixel). An index of one bit prints the foreground colour (ESC *v # S)
// where it is 1; others take the palette's colour, which ESC *v # a # b # c
// # I sets.
#ifndef ZELVO_RASTER_H
#define ZELVO_RASTER_H

#include "plot_scanner.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

struct RasterColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const RasterColour &) const = default;
};

enum class PixelEncoding : std::uint8_t {
    IndexedByPlane = 0,
    IndexedByPixel = 1,
    DirectByPlane = 2,
    DirectByPixel = 3,
};

// How a row's planes make pixels.
struct PixelFormat {
    bool cmy = false; // the primaries are cyan, magenta and yellow
    PixelEncoding encoding = PixelEncoding::IndexedByPlane;
    int bits_per_index = 1;
};

// The raster settings a PCL reset restores; they hold from one image to
// the next.
struct RasterSettings {
    int resolution = 75; // ESC *t # R, pixels to the inch
    // ESC *r # S and # T, pixels and rows; 0 when not given.
    std::uint64_t source_width = 0;
    std::uint64_t source_height = 0;
    // ESC *t # H and # V, decipoints; 0 when not given.
    double destination_width = 0;
    double destination_height = 0;
    int compression = 0; // ESC *b # M
    // ESC *r # F: 0 as the page is turned, 3 (after a reset) along the sheet.
    int presentation = 3;
    bool opaque = false; // ESC *v # N: 1 prints white pixels white
    PixelFormat format;  // ESC *r # U, ESC *v # W
    std::vector<RasterColour> palette{{255, 255, 255}, {0, 0, 0}};
    RasterColour foreground;       // ESC *v # S
    int components[3] = {0, 0, 0}; // ESC *v # A, # B, # C, for # I
};

// What an image may cost: a row's pixels, and its rows times their bytes.
struct RasterLimits {
    std::uint64_t max_width = 65536;
    std::uint64_t max_bytes = std::uint64_t{1} << 31;
};

// Rows of an image decoded, `count` of them from row `first` (counted from
// the image's first row, rows skipped by ESC *b # Y included), `width`
// pixels of three bytes (red, green, blue) each: the pixels from the left
// edge of the image up to the last that holds anything but white, where
// nothing but white lies beyond. The listener may change the pixels.
struct RasterRows {
    std::uint64_t first = 0;
    std::size_t count = 0;
    std::size_t width = 0;
    std::span<std::uint8_t> rgb;
};

class RasterListener {
public:
    virtual void rows(const RasterRows &rows) = 0;
    // An image the limits refuse: drawn no further.
    virtual void refused(const char *message) = 0;

protected:
    ~RasterListener() = default;
};

// One plane's row as its compressed bytes come.
struct PlaneDecoding {
    int method = 0;
    int phase = 0;
    std::size_t at = 0;      // where the next byte goes
    std::uint64_t count = 0; // bytes or repeats still due
    std::uint64_t offset = 0;
    bool repeat = false;     // method 9: the count repeats one byte
    bool more_count = false; // method 9: bytes add to the count after the offset's
    std::size_t reach = 0;   // bytes of the row written, from its start
};

// Method 5's rows, as the bytes of its data block come.
struct AdaptiveDecoding {
    int header = 0; // header bytes read of the row being read
    int command = 0;
    std::uint64_t count = 0;
};

class RasterDecoder {
public:
    explicit RasterDecoder(RasterLimits limits = {}) : limits_(limits) {}

    const RasterSettings &settings() const { return settings_; }
    bool active() const { return active_; }
    // Rows from the image's start to after its last row.
    std::uint64_t rows_done() const { return row_; }
    // Pixels a row holds (the source width, else `default_width`).
    std::uint64_t width() const { return width_; }

    // ESC E: every setting to its default, and no image.
    void reset();
    // Every escape sequence of PCL context: the raster settings, the
    // transfer of rows and, for a sequence that announces data, where its
    // data goes (escape_data); the rest only end the data that went before.
    void escape(const EscapeSequence &sequence, RasterListener &listener);
    // The data bytes that the last sequence announced.
    void data(std::span<const std::uint8_t> bytes, RasterListener &listener);
    // Starts an image whose rows hold `default_width` pixels unless ESC
    // *r # S said how many. Refused (said to the listener) when a row is
    // wider than the limits take, or when the rows ESC *r # T gives would
    // cost more than they do.
    void start(std::uint64_t default_width, RasterListener &listener);
    // Ends the image: the rows not yet handed on go to the listener.
    void end(RasterListener &listener);
    // Hands on the rows decoded so far, before the image moves on the page.
    void hand_on(RasterListener &listener) { flush(listener); }

private:
    enum class Target { None, Plane, Configuration };

    std::size_t planes() const;
    std::size_t plane_bytes(std::size_t plane) const;
    void configure(const std::uint8_t *block);
    void default_palette();
    void begin_plane(std::uint64_t count, bool last, RasterListener &listener);
    void feed_plane(std::span<const std::uint8_t> bytes, RasterListener &listener);
    void feed_adaptive(std::span<const std::uint8_t> bytes, RasterListener &listener);
    void end_plane(RasterListener &listener);
    void finish_row(RasterListener &listener);
    void emit_row(RasterListener &listener);
    void skip_rows(std::uint64_t rows, RasterListener &listener);
    void flush(RasterListener &listener);
    bool pay(std::size_t bytes, RasterListener &listener);
    void refuse(const char *message, RasterListener &listener);
    bool white_zero() const;

    RasterLimits limits_;
    RasterSettings settings_;
    bool active_ = false;
    bool refused_ = false;
    std::uint64_t width_ = 0;
    std::uint64_t row_ = 0;  // the next row's number
    std::uint64_t cost_ = 0; // bytes of rows decoded in this image
    // The planes' seed rows, each as many bytes as a row of it takes, and
    // how far from its start each holds anything.
    std::vector<std::vector<std::uint8_t>> seeds_;
    std::vector<std::size_t> reach_;
    // The plane the next data fills, and whether the row ends with it.
    std::size_t plane_ = 0;
    bool last_plane_ = false;
    Target target_ = Target::None;
    std::uint64_t data_left_ = 0;
    PlaneDecoding decoding_;
    AdaptiveDecoding adaptive_;
    std::uint8_t block_[6] = {};
    std::size_t block_size_ = 0;
    // Rows decoded and not yet handed on.
    std::vector<std::uint8_t> band_;
    std::size_t band_rows_ = 0;
    std::size_t band_capacity_ = 0;
    std::size_t band_width_ = 0;
    std::uint64_t band_first_ = 0;
};

#endif

// SPDX-License-Identifier: MIT
#include "raster.h"

#include <algorithm>
#include <cstring>

namespace {

// The rows handed on at a time: as many as fit this many bytes, one at the
// least.
constexpr std::size_t kBandBytes = std::size_t{1} << 20;

// The resolutions ESC *t # R takes; another is taken as the next above it.
constexpr int kResolutions[] = {75, 100, 150, 200, 300, 600};

// A palette's largest index takes this many bits.
constexpr int kMaxIndexBits = 8;

constexpr RasterColour kWhite{255, 255, 255};
constexpr RasterColour kBlack{0, 0, 0};

// The eight colours of a palette of three bits, an index's lowest bit the
// first primary: black to white in RGB, white to black in CMY.
constexpr RasterColour kRgbColours[8] = {
    kBlack,      {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, kWhite,
};
constexpr RasterColour kCmyColours[8] = {
    kWhite,        {0, 255, 255}, {255, 0, 255}, {0, 0, 255},
    {255, 255, 0}, {0, 255, 0},   {255, 0, 0},   kBlack,
};

// ESC *r -4 U: four planes, black, cyan, magenta and yellow, the index's
// lowest bit black. The interpreter prints its first eight indices so
// (measured: cyan and magenta together as 0, 51, 255) and the rest,
// yellow's among them, black.
constexpr RasterColour kKcmyColours[8] = {
    kWhite, kBlack, {0, 255, 255}, kBlack, {255, 0, 255}, kBlack, {0, 51, 255}, kBlack,
};
constexpr int kKcmyPlanes = 4;

// What a plane's compressed bytes are at.
enum Phase : int {
    kCommand,    // a command or control byte
    kOffsetMore, // bytes added to the offset
    kCountMore,  // bytes added to the count
    kLiteral,    // bytes as they are, `count` of them
    kRepeat,     // one byte, `count` times
};

constexpr std::uint64_t kEndless = ~std::uint64_t{0};

// Adaptive compression's commands beyond the methods of a row.
constexpr int kBlankRows = 4;
constexpr int kDuplicateRows = 5;
constexpr int kAdaptive = 5;

bool known_method(int method)
{
    return method == 0 || method == 1 || method == 2 || method == 3 || method == 5 || method == 9;
}

int integer(double value)
{
    return value > 1e9 ? 1000000000 : value < -1e9 ? -1000000000 : static_cast<int>(value);
}

std::uint64_t count_of(double value)
{
    return value >= 1e18 ? std::uint64_t{1000000000000000000}
           : value >= 1  ? static_cast<std::uint64_t>(value)
                         : 0;
}

std::uint8_t primary(int value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

RasterColour complemented(RasterColour c)
{
    return {static_cast<std::uint8_t>(255 - c.red), static_cast<std::uint8_t>(255 - c.green),
            static_cast<std::uint8_t>(255 - c.blue)};
}

void begin_decoding(PlaneDecoding &d, int method, std::span<std::uint8_t> row, std::size_t reach)
{
    d = {};
    d.method = method;
    d.phase = method == 0 ? kLiteral : kCommand;
    d.count = method == 0 ? kEndless : 0;
    // Methods 0 to 2 give the whole row; 3 and 9 change the seed row.
    if (method <= 2)
        std::fill(row.begin(), row.end(), std::uint8_t{0});
    else
        d.reach = reach;
}

void skip_to(PlaneDecoding &d, std::size_t size)
{
    d.at =
        d.offset < size - std::min(d.at, size) ? d.at + static_cast<std::size_t>(d.offset) : size;
    d.offset = 0;
}

// The bytes of the data after a command's offset and count.
void start_data(PlaneDecoding &d, std::size_t size)
{
    skip_to(d, size);
    d.phase = d.repeat ? kRepeat : kLiteral;
}

// Reads the bytes of one plane's row into `row`, from where `d` left off.
void decode_plane(PlaneDecoding &d, std::span<const std::uint8_t> bytes,
                  std::span<std::uint8_t> row)
{
    const std::size_t size = row.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t b = bytes[i];
        switch (d.phase) {
        case kLiteral: {
            // As many as are due at once.
            const std::size_t due =
                static_cast<std::size_t>(std::min<std::uint64_t>(d.count, bytes.size() - i));
            const std::size_t room = d.at < size ? size - d.at : 0;
            const std::size_t n = std::min(due, room);
            if (n > 0)
                std::memcpy(row.data() + d.at, bytes.data() + i, n);
            d.at += n;
            d.reach = std::max(d.reach, d.at);
            if (d.count != kEndless)
                d.count -= due;
            i += due - 1;
            if (d.count == 0)
                d.phase = kCommand;
            break;
        }
        case kRepeat: {
            const std::size_t room = d.at < size ? size - d.at : 0;
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(d.count, room));
            std::fill_n(row.data() + d.at, n, b);
            d.at += n;
            d.reach = std::max(d.reach, d.at);
            d.phase = kCommand;
            break;
        }
        case kOffsetMore:
            d.offset += b;
            if (b != 255) {
                if (d.more_count)
                    d.phase = kCountMore;
                else
                    start_data(d, size);
            }
            break;
        case kCountMore:
            d.count += b;
            if (b != 255)
                start_data(d, size);
            break;
        case kCommand:
            switch (d.method) {
            case 1:
                d.count = std::uint64_t{b} + 1;
                d.phase = kRepeat;
                break;
            case 2:
                if (b < 128) {
                    d.count = std::uint64_t{b} + 1;
                    d.phase = kLiteral;
                } else if (b > 128) {
                    d.count = 257 - std::uint64_t{b};
                    d.phase = kRepeat;
                }
                break;
            case 3:
                d.count = (b >> 5) + 1;
                d.offset = b & 0x1F;
                d.repeat = false;
                if (d.offset == 0x1F)
                    d.phase = kOffsetMore;
                else
                    start_data(d, size);
                break;
            default: // 9
                d.repeat = (b & 0x80) != 0;
                if (d.repeat) {
                    d.offset = (b >> 5) & 0x3;
                    d.count = (b & 0x1F) + 2;
                    d.more_count = d.count == 0x1F + 2;
                } else {
                    d.offset = (b >> 3) & 0xF;
                    d.count = (b & 0x7) + 1;
                    d.more_count = d.count == 0x7 + 1;
                }
                if (d.offset == (d.repeat ? 0x3u : 0xFu))
                    d.phase = kOffsetMore;
                else if (d.more_count)
                    d.phase = kCountMore;
                else
                    start_data(d, size);
                break;
            }
            break;
        default:
            break;
        }
    }
}

unsigned bit_at(const std::vector<std::uint8_t> &plane, std::size_t x)
{
    return (plane[x >> 3] >> (7 - (x & 7))) & 1u;
}

} // namespace

void RasterDecoder::reset()
{
    settings_ = RasterSettings{};
    active_ = false;
    target_ = Target::None;
    data_left_ = 0;
    seeds_.clear();
    reach_.clear();
    band_.clear();
    band_.shrink_to_fit();
}

std::size_t RasterDecoder::planes() const
{
    switch (settings_.format.encoding) {
    case PixelEncoding::IndexedByPlane:
        return static_cast<std::size_t>(settings_.format.bits_per_index);
    case PixelEncoding::DirectByPlane:
        return 3;
    default:
        return 1;
    }
}

// The bytes of a row of one plane.
std::size_t RasterDecoder::plane_bytes(std::size_t) const
{
    std::uint64_t bits = width_;
    if (settings_.format.encoding == PixelEncoding::IndexedByPixel)
        bits *= static_cast<std::uint64_t>(settings_.format.bits_per_index);
    else if (settings_.format.encoding == PixelEncoding::DirectByPixel)
        bits *= 24;
    return static_cast<std::size_t>((bits + 7) / 8);
}

void RasterDecoder::default_palette()
{
    const PixelFormat &f = settings_.format;
    const RasterColour *eight = f.cmy ? kCmyColours : kRgbColours;
    std::vector<RasterColour> &palette = settings_.palette;
    if (f.encoding == PixelEncoding::DirectByPlane || f.encoding == PixelEncoding::DirectByPixel
        || f.bits_per_index == 1) {
        palette = {kWhite, kBlack};
    } else if (f.bits_per_index == 2) {
        palette = {eight[0], eight[1], eight[2], eight[7]};
    } else {
        palette.assign(std::size_t{1} << f.bits_per_index, kBlack);
        std::copy(eight, eight + 8, palette.begin());
    }
}

// The data block of ESC *v # W: colour space, pixel encoding, bits per
// index, and bits for each of the three primaries. A combination the
// printer does not print with changes nothing.
void RasterDecoder::configure(const std::uint8_t *block)
{
    const int space = block[0];
    const int encoding = block[1];
    const int bits = block[2];
    const bool one_bit = block[3] == 1 && block[4] == 1 && block[5] == 1;
    const bool eight_bits = block[3] == 8 && block[4] == 8 && block[5] == 8;
    bool valid = space <= 1;
    switch (encoding) {
    case 0:
        valid = valid && bits >= 1 && bits <= kMaxIndexBits;
        break;
    case 1:
        valid = valid && (bits == 1 || bits == 2 || bits == 4 || bits == 8);
        break;
    case 2:
        valid = valid && one_bit;
        break;
    case 3:
        valid = valid && eight_bits;
        break;
    default:
        valid = false;
    }
    if (!valid)
        return;
    settings_.format = {space == 1, static_cast<PixelEncoding>(encoding), encoding <= 1 ? bits : 1};
    default_palette();
}

bool RasterDecoder::white_zero() const
{
    const PixelFormat &f = settings_.format;
    if (f.encoding == PixelEncoding::DirectByPlane || f.encoding == PixelEncoding::DirectByPixel)
        return f.cmy;
    return f.bits_per_index == 1 || settings_.palette[0] == kWhite;
}

void RasterDecoder::escape(const EscapeSequence &e, RasterListener &listener)
{
    // What the last sequence announced ended, whether it all came or not.
    if (data_left_ > 0 || target_ != Target::None) {
        const Target was = target_;
        target_ = Target::None;
        data_left_ = 0;
        if (was == Target::Plane)
            end_plane(listener);
    }
    const unsigned char parameter = e.parameter & 0xDF;
    const bool announces = parameter == 'W' || (e.kind == '*' && e.group == 'b' && parameter == 'V')
                           || (e.kind == '&' && e.group == 'p' && parameter == 'X');
    if (e.kind != '*') {
        data_left_ = announces ? count_of(e.value) : 0;
        return;
    }
    RasterSettings &s = settings_;
    const int value = integer(e.value);
    if (e.group == 't') {
        if (parameter == 'R' && value > 0 && !active_) {
            s.resolution = kResolutions[std::size(kResolutions) - 1];
            for (const int r : kResolutions) {
                if (r >= value) {
                    s.resolution = r;
                    break;
                }
            }
        } else if (parameter == 'H') {
            s.destination_width = std::max(0.0, e.value);
        } else if (parameter == 'V') {
            s.destination_height = std::max(0.0, e.value);
        }
    } else if (e.group == 'r' && !active_) {
        if (parameter == 'S')
            s.source_width = count_of(e.value);
        else if (parameter == 'T')
            s.source_height = count_of(e.value);
        else if (parameter == 'F' && (value == 0 || value == 3))
            s.presentation = value;
        else if (parameter == 'U' && (value == 1 || value == 3 || value == -3)) {
            s.format = {value < 0, PixelEncoding::IndexedByPlane, value == 1 ? 1 : 3};
            default_palette();
        } else if (parameter == 'U' && value == -kKcmyPlanes) {
            s.format = {true, PixelEncoding::IndexedByPlane, kKcmyPlanes};
            s.palette.assign(std::size_t{1} << kKcmyPlanes, kBlack);
            std::copy(std::begin(kKcmyColours), std::end(kKcmyColours), s.palette.begin());
        }
    } else if (e.group == 'b') {
        if (parameter == 'M' && known_method(value))
            s.compression = value;
        else if (parameter == 'Y' && active_)
            skip_rows(count_of(e.value), listener);
        else if ((parameter == 'V' || parameter == 'W') && active_)
            begin_plane(count_of(e.value), parameter == 'W', listener);
        else if (announces)
            data_left_ = count_of(e.value);
    } else if (e.group == 'v') {
        if (parameter == 'A' || parameter == 'B' || parameter == 'C') {
            s.components[parameter - 'A'] = std::clamp(value, -32768, 32767);
        } else if (parameter == 'I') {
            if (value >= 0 && static_cast<std::size_t>(value) < s.palette.size()) {
                const RasterColour c{primary(s.components[0]), primary(s.components[1]),
                                     primary(s.components[2])};
                s.palette[static_cast<std::size_t>(value)] = s.format.cmy ? complemented(c) : c;
            }
            std::fill(std::begin(s.components), std::end(s.components), 0);
        } else if (parameter == 'S') {
            if (value >= 0 && static_cast<std::size_t>(value) < s.palette.size())
                s.foreground = s.palette[static_cast<std::size_t>(value)];
        } else if (parameter == 'N' && (value == 0 || value == 1)) {
            s.opaque = value == 1;
        } else if (parameter == 'W') {
            data_left_ = count_of(e.value);
            block_size_ = 0;
            target_ = active_ ? Target::None : Target::Configuration;
        }
    } else if (announces) {
        data_left_ = count_of(e.value);
    }
}

void RasterDecoder::data(std::span<const std::uint8_t> bytes, RasterListener &listener)
{
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(data_left_, bytes.size()));
    if (n == 0)
        return;
    bytes = bytes.first(n);
    data_left_ -= n;
    if (target_ == Target::Configuration) {
        const std::size_t take = std::min(sizeof block_ - block_size_, bytes.size());
        std::memcpy(block_ + block_size_, bytes.data(), take);
        block_size_ += take;
        if (data_left_ == 0) {
            target_ = Target::None;
            if (block_size_ == sizeof block_)
                configure(block_);
        }
    } else if (target_ == Target::Plane) {
        if (settings_.compression == kAdaptive)
            feed_adaptive(bytes, listener);
        else
            feed_plane(bytes, listener);
        if (data_left_ == 0) {
            target_ = Target::None;
            end_plane(listener);
        }
    }
}

void RasterDecoder::refuse(const char *message, RasterListener &listener)
{
    if (!refused_)
        listener.refused(message);
    // The rows decoded before stand.
    if (!band_.empty())
        flush(listener);
    refused_ = true;
    seeds_.clear();
    band_.clear();
    band_.shrink_to_fit();
    band_rows_ = 0;
}

void RasterDecoder::start(std::uint64_t default_width, RasterListener &listener)
{
    end(listener);
    active_ = true;
    refused_ = false;
    row_ = 0;
    cost_ = 0;
    plane_ = 0;
    width_ = settings_.source_width > 0 ? settings_.source_width
                                        : std::min(default_width, limits_.max_width);
    if (width_ > limits_.max_width) {
        refuse("a raster image's rows are wider than zelvo-render draws (ESC *r # S above "
               "65536 pixels); the image is left out",
               listener);
        return;
    }
    const std::uint64_t row_bytes = std::max<std::uint64_t>(width_ * 3, 1);
    if (settings_.source_height > limits_.max_bytes / row_bytes) {
        refuse("a raster image's rows (ESC *r # S by # T) would take more than zelvo-render "
               "draws of one image; the image is left out",
               listener);
        return;
    }
    seeds_.assign(planes(), {});
    for (std::size_t k = 0; k < seeds_.size(); ++k)
        seeds_[k].assign(plane_bytes(k), 0);
    reach_.assign(planes(), 0);
    band_capacity_ = std::max<std::size_t>(1, kBandBytes / static_cast<std::size_t>(row_bytes));
    band_.assign(band_capacity_ * static_cast<std::size_t>(row_bytes), 0);
    band_rows_ = 0;
    band_width_ = 0;
    adaptive_ = {};
}

void RasterDecoder::end(RasterListener &listener)
{
    if (!active_)
        return;
    if (target_ == Target::Plane) {
        target_ = Target::None;
        data_left_ = 0;
        end_plane(listener);
    }
    flush(listener);
    active_ = false;
    seeds_.clear();
    band_.clear();
    band_.shrink_to_fit();
}

void RasterDecoder::begin_plane(std::uint64_t count, bool last, RasterListener &listener)
{
    last_plane_ = last;
    target_ = Target::Plane;
    data_left_ = count;
    if (settings_.compression == kAdaptive) {
        adaptive_ = {};
    } else if (!refused_ && plane_ < seeds_.size()) {
        begin_decoding(decoding_, settings_.compression, seeds_[plane_], reach_[plane_]);
    }
    if (count == 0) {
        target_ = Target::None;
        end_plane(listener);
    }
}

void RasterDecoder::feed_plane(std::span<const std::uint8_t> bytes, RasterListener &)
{
    if (refused_ || plane_ >= seeds_.size())
        return;
    decode_plane(decoding_, bytes, seeds_[plane_]);
    reach_[plane_] = decoding_.reach;
}

// Adaptive compression: one plane, rows of their own within the block.
void RasterDecoder::feed_adaptive(std::span<const std::uint8_t> bytes, RasterListener &listener)
{
    AdaptiveDecoding &a = adaptive_;
    std::size_t i = 0;
    while (i < bytes.size() && !refused_ && !seeds_.empty()) {
        if (a.header < 3) {
            const std::uint8_t b = bytes[i++];
            if (a.header == 0)
                a.command = b;
            else
                a.count = (a.count << 8) | b;
            if (++a.header < 3)
                continue;
            if (a.command < 4) {
                begin_decoding(decoding_, a.command, seeds_[0], reach_[0]);
                if (a.count > 0)
                    continue;
                emit_row(listener);
            } else if (a.command == kBlankRows) {
                skip_rows(a.count, listener);
            } else if (a.command == kDuplicateRows) {
                for (std::uint64_t k = 0; k < a.count && !refused_; ++k)
                    emit_row(listener);
            }
            a = {};
            continue;
        }
        // The bytes of a row of method 0 to 3.
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(a.count, bytes.size() - i));
        decode_plane(decoding_, bytes.subspan(i, n), seeds_[0]);
        reach_[0] = decoding_.reach;
        i += n;
        a.count -= n;
        if (a.count == 0) {
            emit_row(listener);
            a = {};
        }
    }
}

void RasterDecoder::end_plane(RasterListener &listener)
{
    if (settings_.compression == kAdaptive) {
        // A row the block cut short is the row as far as it came.
        if (adaptive_.header == 3 && adaptive_.command < 4)
            emit_row(listener);
        adaptive_ = {};
        plane_ = 0;
        return;
    }
    ++plane_;
    if (last_plane_)
        finish_row(listener);
}

void RasterDecoder::finish_row(RasterListener &listener)
{
    // The planes the row left out are blank, and so are their seeds.
    for (std::size_t k = plane_; k < seeds_.size(); ++k) {
        std::fill(seeds_[k].begin(), seeds_[k].end(), std::uint8_t{0});
        reach_[k] = 0;
    }
    plane_ = 0;
    emit_row(listener);
}

bool RasterDecoder::pay(std::size_t bytes, RasterListener &listener)
{
    cost_ += bytes;
    if (cost_ > limits_.max_bytes)
        refuse("a raster image's rows take more than zelvo-render draws of one image (2 GiB of "
               "pixels); the rest of it is left out",
               listener);
    return !refused_;
}

void RasterDecoder::emit_row(RasterListener &listener)
{
    if (settings_.source_height > 0 && row_ >= settings_.source_height)
        return;
    if (refused_ || seeds_.empty()) {
        ++row_;
        return;
    }
    const std::size_t width = static_cast<std::size_t>(width_);
    if (!pay(width * 3, listener))
        return;
    if (band_rows_ > 0 && band_first_ + band_rows_ != row_)
        flush(listener);
    if (band_rows_ == 0)
        band_first_ = row_;
    std::uint8_t *out = band_.data() + band_rows_ * width * 3;

    const PixelFormat &f = settings_.format;
    const std::vector<RasterColour> &palette = settings_.palette;
    // Past the bytes the planes hold there is only white, when blank data
    // is white.
    std::size_t pixels = width;
    if (white_zero()) {
        std::size_t reach = 0;
        for (std::size_t r : reach_)
            reach = std::max(reach, r);
        const std::size_t bits_per_pixel = f.encoding == PixelEncoding::DirectByPixel ? 24
                                           : f.encoding == PixelEncoding::IndexedByPixel
                                               ? static_cast<std::size_t>(f.bits_per_index)
                                               : 1;
        pixels = std::min(width, (reach * 8 + bits_per_pixel - 1) / bits_per_pixel);
    }
    std::fill_n(out + pixels * 3, (width - pixels) * 3, std::uint8_t{255});
    for (std::size_t x = 0; x < pixels; ++x) {
        RasterColour c;
        switch (f.encoding) {
        case PixelEncoding::IndexedByPlane: {
            unsigned index = 0;
            for (std::size_t k = 0; k < seeds_.size(); ++k)
                index |= bit_at(seeds_[k], x) << k;
            c = f.bits_per_index == 1 ? (index != 0 ? settings_.foreground : kWhite)
                                      : palette[index];
            break;
        }
        case PixelEncoding::IndexedByPixel: {
            const std::size_t bits = static_cast<std::size_t>(f.bits_per_index);
            const std::size_t at = x * bits;
            const unsigned byte = seeds_[0][at >> 3];
            const unsigned index = (byte >> (8 - bits - (at & 7))) & ((1u << bits) - 1);
            c = bits == 1 ? (index != 0 ? settings_.foreground : kWhite) : palette[index];
            break;
        }
        case PixelEncoding::DirectByPlane: {
            const auto level = [&](std::size_t k) {
                return static_cast<std::uint8_t>(bit_at(seeds_[k], x) != 0 ? 255 : 0);
            };
            c = {level(0), level(1), level(2)};
            if (f.cmy)
                c = complemented(c);
            break;
        }
        case PixelEncoding::DirectByPixel: {
            const std::uint8_t *p = seeds_[0].data() + x * 3;
            c = {p[0], p[1], p[2]};
            if (f.cmy)
                c = complemented(c);
            break;
        }
        }
        out[x * 3] = c.red;
        out[x * 3 + 1] = c.green;
        out[x * 3 + 2] = c.blue;
    }
    band_width_ = std::max(band_width_, pixels);
    ++band_rows_;
    ++row_;
    if (band_rows_ == band_capacity_)
        flush(listener);
}

void RasterDecoder::skip_rows(std::uint64_t rows, RasterListener &listener)
{
    flush(listener);
    for (std::size_t k = 0; k < seeds_.size(); ++k) {
        std::fill(seeds_[k].begin(), seeds_[k].end(), std::uint8_t{0});
        reach_[k] = 0;
    }
    row_ = rows > kEndless - row_ ? kEndless : row_ + rows;
    if (settings_.source_height > 0)
        row_ = std::min(row_, settings_.source_height);
}

void RasterDecoder::flush(RasterListener &listener)
{
    if (band_rows_ == 0)
        return;
    const std::size_t width = static_cast<std::size_t>(width_);
    // The rows packed to the band's width.
    if (band_width_ < width) {
        for (std::size_t r = 1; r < band_rows_; ++r)
            std::memmove(band_.data() + r * band_width_ * 3, band_.data() + r * width * 3,
                         band_width_ * 3);
    }
    if (band_width_ > 0)
        listener.rows({band_first_, band_rows_, band_width_,
                       std::span<std::uint8_t>(band_.data(), band_rows_ * band_width_ * 3)});
    band_rows_ = 0;
    band_width_ = 0;
}

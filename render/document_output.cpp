// SPDX-License-Identifier: MIT
#include "document_output.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// What is gathered before it goes to the file or to zlib.
constexpr std::size_t kBufferSize = 64 * 1024;
// The largest magnitude written: far beyond any page, and small enough that
// its digits and decimals fit a 64-bit integer.
constexpr double kLargestNumber = 1e9;
constexpr int kMostDecimals = 6;

} // namespace

NumberText format_decimal(Decimal number)
{
    NumberText out{};
    double value = std::isfinite(number.value) ? number.value : 0;
    value = std::fmax(-kLargestNumber, std::fmin(kLargestNumber, value));
    const int decimals = number.decimals < 0 ? 0 : std::min(number.decimals, kMostDecimals);
    long long unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    long long scaled = std::llround(value * static_cast<double>(unit));
    char *p = out.text;
    if (scaled < 0) {
        *p++ = '-';
        scaled = -scaled;
    }
    // The digits backwards, then turned round.
    char digits[24];
    int n = 0;
    long long whole = scaled / unit;
    do {
        digits[n++] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole > 0);
    while (n > 0)
        *p++ = digits[--n];
    long long fraction = scaled % unit;
    if (fraction != 0) {
        int places = decimals;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --places;
        }
        *p++ = '.';
        for (int i = places - 1; i >= 0; --i) {
            p[i] = static_cast<char>('0' + fraction % 10);
            fraction /= 10;
        }
        p += places;
    }
    *p = '\0';
    // "-0" for a value that rounds to nothing.
    if (out.text[0] == '-' && out.text[1] == '0' && out.text[2] == '\0')
        out.text[0] = '0', out.text[1] = '\0';
    return out;
}

struct DocumentOutput::Deflater {
    z_stream stream{};
    unsigned char out[kBufferSize];
};

DocumentOutput::DocumentOutput(std::FILE *file)
    : file_(file), buffer_(std::make_unique<unsigned char[]>(kBufferSize))
{
}

DocumentOutput::~DocumentOutput()
{
    if (deflater_)
        deflateEnd(&deflater_->stream);
}

void DocumentOutput::put(const char *bytes, std::size_t size)
{
    while (size > 0) {
        if (used_ == kBufferSize)
            drain();
        const std::size_t room = std::min(size, kBufferSize - used_);
        std::memcpy(buffer_.get() + used_, bytes, room);
        used_ += room;
        bytes += room;
        size -= room;
    }
}

DocumentOutput &DocumentOutput::operator<<(std::string_view text)
{
    put(text.data(), text.size());
    return *this;
}

DocumentOutput &DocumentOutput::operator<<(char c)
{
    if (used_ == kBufferSize)
        drain();
    buffer_[used_++] = static_cast<unsigned char>(c);
    return *this;
}

DocumentOutput &DocumentOutput::operator<<(Decimal number)
{
    return *this << format_decimal(number).view();
}

DocumentOutput &DocumentOutput::operator<<(std::uint64_t number)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number > 0);
    char text[24];
    for (int i = 0; i < n; ++i)
        text[i] = digits[n - 1 - i];
    put(text, static_cast<std::size_t>(n));
    return *this;
}

void DocumentOutput::write_file(const unsigned char *bytes, std::size_t size)
{
    if (size == 0)
        return;
    if (!failed_ && std::fwrite(bytes, 1, size, file_) != size)
        failed_ = true;
    offset_ += size;
}

void DocumentOutput::deflate_buffer(bool last)
{
    z_stream &z = deflater_->stream;
    z.next_in = buffer_.get();
    z.avail_in = static_cast<uInt>(used_);
    int status = Z_OK;
    do {
        z.next_out = deflater_->out;
        z.avail_out = kBufferSize;
        status = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
        if (status == Z_STREAM_ERROR) {
            failed_ = true;
            break;
        }
        const std::size_t made = kBufferSize - z.avail_out;
        write_file(deflater_->out, made);
        compressed_ += made;
    } while (z.avail_out == 0 || (last && status != Z_STREAM_END));
    used_ = 0;
}

void DocumentOutput::drain()
{
    if (deflater_) {
        deflate_buffer(false);
        return;
    }
    write_file(buffer_.get(), used_);
    used_ = 0;
}

void DocumentOutput::begin_compressed()
{
    drain();
    deflater_ = std::make_unique<Deflater>();
    compressed_ = 0;
    // zlib's fastest level: a page of lines compresses a quarter less well
    // than at its default, in a third of the time (docs/performance.md).
    if (deflateInit(&deflater_->stream, Z_BEST_SPEED) != Z_OK)
        failed_ = true;
}

std::uint64_t DocumentOutput::end_compressed()
{
    if (!deflater_)
        return 0;
    if (!failed_)
        deflate_buffer(true);
    used_ = 0;
    deflateEnd(&deflater_->stream);
    deflater_.reset();
    return compressed_;
}

bool DocumentOutput::flush()
{
    if (!deflater_)
        drain();
    return !failed_;
}

// SPDX-License-Identifier: MIT
// Random raster jobs through the decoder, read by the plot scanner as the
// interpreter reads them: no crash, no hang, and rows handed on in order,
// as wide as the image at most, their pixels as many as they say, within
// the limits that bound an image's cost (small here, so that refusing
// comes up). Byte 0 picks the chunk size and the width an image takes
// when ESC *r # S gives none.
#include "fuzz_support.h"
#include "raster.h"

#include <algorithm>

namespace {

// Small limits: an image of a few rows hits them.
constexpr RasterLimits kLimits{4096, 1 << 20};

class CheckingRows : public RasterListener {
public:
    explicit CheckingRows(const RasterDecoder &decoder) : decoder_(decoder) {}

    void rows(const RasterRows &rows) override
    {
        FUZZ_CHECK(rows.count > 0 && rows.width > 0);
        FUZZ_CHECK(rows.width <= decoder_.width() && rows.width <= kLimits.max_width);
        FUZZ_CHECK(rows.rgb.size() == rows.count * rows.width * 3);
        FUZZ_CHECK(rows.first >= next_);
        next_ = rows.first + rows.count;
        pixels_ += rows.rgb.size();
        FUZZ_CHECK(pixels_ <= kLimits.max_bytes);
    }
    void refused(const char *message) override { FUZZ_CHECK(message != nullptr); }
    // A new image counts its rows and cost from nothing.
    void start()
    {
        next_ = 0;
        pixels_ = 0;
    }

private:
    const RasterDecoder &decoder_;
    std::uint64_t next_ = 0;
    std::uint64_t pixels_ = 0;
};

// The interpreter's part: starts and ends images, hands on the rest.
class Reader : public ScanEvents {
public:
    Reader(RasterDecoder &decoder, CheckingRows &rows, std::uint64_t width)
        : decoder_(decoder), rows_(rows), width_(width)
    {
    }
    void instruction(char, char) override {}
    void parameters(const char *, std::size_t) override {}
    void text(const char *, std::size_t) override {}
    void instruction_end() override {}
    void context(bool) override {}
    void page_ejected() override { decoder_.end(rows_); }
    void escape(const EscapeSequence &e) override
    {
        const unsigned char p = e.parameter & 0xDF;
        if (e.kind == 0 && p == 'E') {
            decoder_.end(rows_);
            decoder_.reset();
        } else if (e.kind == '*' && e.group == 'r' && p == 'A') {
            start();
        } else if (e.kind == '*' && e.group == 'r' && (p == 'B' || p == 'C')) {
            decoder_.end(rows_);
        } else {
            if (e.kind == '*' && e.group == 'b' && (p == 'W' || p == 'V') && !decoder_.active())
                start();
            decoder_.escape(e, rows_);
        }
    }
    void escape_data(const char *bytes, std::size_t size) override
    {
        decoder_.data({reinterpret_cast<const std::uint8_t *>(bytes), size}, rows_);
    }

private:
    void start()
    {
        if (decoder_.active())
            return;
        rows_.start();
        decoder_.start(width_, rows_);
    }

    RasterDecoder &decoder_;
    CheckingRows &rows_;
    std::uint64_t width_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0 || size > 4 * kMaxInput)
        return 0;
    const std::uint8_t control = data[0];
    const char *job = reinterpret_cast<const char *>(data + 1);
    const std::size_t length = size - 1;
    const std::size_t chunk = 1 + (control & 15) * 16;
    const std::uint64_t width = std::uint64_t{1} << (control >> 4);

    RasterDecoder decoder(kLimits);
    CheckingRows rows(decoder);
    Reader reader(decoder, rows, width);
    PlotScanner scanner;
    scanner.in_pcl = true;
    scanner.state = ScanState::Pcl;
    for (std::size_t at = 0; at < length; at += chunk)
        scan_plot_events(scanner, job + at, std::min(chunk, length - at), reader);
    decoder.end(rows);
    FUZZ_CHECK(!decoder.active());
    return 0;
}

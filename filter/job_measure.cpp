// SPDX-License-Identifier: MIT
#include "job_measure.h"

#include "plot_scanner.h"
#include "printed_extent.h"
#include "stroke_font.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <sys/types.h>
#include <unistd.h>

namespace {

// The plot as the job sends it to the printer, as far as the drawing goes:
// the prelude, then the file's bytes with the hold text at every place the
// plot scanner finds for it. One block of the file at a time.
class HeldPlot : public PlotSource {
public:
    HeldPlot(int input, off_t offset, const char *prelude, const char *hold)
        : input_(input), offset_(offset), text_(prelude), hold_(hold)
    {
    }

    std::size_t read(char *buffer, std::size_t size) override
    {
        for (;;) {
            if (!text_.empty()) {
                const std::size_t n = std::min(size, text_.size());
                std::memcpy(buffer, text_.data(), n);
                text_.remove_prefix(n);
                return n;
            }
            if (handed_ < scanned_) {
                const std::size_t n = std::min(size, scanned_ - handed_);
                std::memcpy(buffer, block_ + handed_, n);
                handed_ += n;
                return n;
            }
            if (hold_due_) {
                hold_due_ = false;
                text_ = hold_;
                continue;
            }
            if (scanned_ < block_size_) {
                const std::size_t place =
                    scan_plot(scanner_, block_ + scanned_, block_size_ - scanned_);
                scanned_ = place == kNoHold ? block_size_ : scanned_ + place;
                hold_due_ = place != kNoHold;
                continue;
            }
            if (!refill())
                return 0;
        }
    }

    bool failed() const { return failed_; }

private:
    // The file's next block; false at its end (after the hold text the
    // plot's last IN may still be due) or on a read error.
    bool refill()
    {
        ssize_t got;
        do
            got = pread(input_, block_, sizeof block_, offset_);
        while (got < 0 && errno == EINTR);
        if (got > 0) {
            offset_ += got;
            block_size_ = static_cast<std::size_t>(got);
            scanned_ = handed_ = 0;
            return true;
        }
        failed_ = got < 0;
        if (!finished_ && !failed_) {
            finished_ = true;
            hold_due_ = finish_plot(scanner_);
            return hold_due_;
        }
        return false;
    }

    int input_;
    off_t offset_;
    std::string_view text_; // what goes out before any more of the file
    std::string_view hold_;
    PlotScanner scanner_;
    char block_[32 * 1024];
    std::size_t block_size_ = 0;
    std::size_t scanned_ = 0; // read by the scanner, up to the next place
    std::size_t handed_ = 0;  // passed on to the reader
    bool hold_due_ = false;
    bool finished_ = false;
    bool failed_ = false;
};

} // namespace

std::optional<DrawingBox> measure_job_drawing(int input, const char *prelude, const char *hold,
                                              double frame_length, double frame_width)
{
    const off_t offset = lseek(input, 0, SEEK_CUR);
    if (offset < 0)
        return std::nullopt;
    const double length = frame_length > 0 ? frame_length : kPlainPlotLength;
    const double width = frame_width > 0 ? frame_width : kPlainPlotWidth;
    // Labels count where the stroke font is found; without it the measure
    // leaves them out, as the renderer draws without them.
    const StrokeFontResult font =
        load_stroke_font(stroke_font_folder(nullptr, std::getenv("ZELVO_HERSHEY_DIR")));
    HeldPlot plot(input, offset, prelude, hold);
    const PrintedExtent measure =
        measure_printed_extent(plot, font.ok ? &font.font : nullptr, length, width);
    if (plot.failed() || !measure.drawn)
        return std::nullopt;
    return DrawingBox{measure.low.x, measure.low.y, measure.high.x, measure.high.y, length, width};
}

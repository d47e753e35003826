// SPDX-License-Identifier: MIT
// The plot scanner against the byte-at-a-time reading of its rules. Byte 0
// picks how the rest, the plot stream, is cut into chunks (low two bits) and
// seeds the chunk sizes (the other bits); the stream is read in those chunks,
// then in one, and a copy of the scanner taken halfway through goes on alone.
#include "fuzz_support.h"
#include "plot_reference.h"
#include "plot_scanner.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// xorshift32: the same sizes for the same input, so that a finding replays.
class ChunkSizes {
public:
    ChunkSizes(std::uint8_t control, std::size_t size)
        : shape_(control & 3u),
          state_(static_cast<std::uint32_t>(0x9e3779b9u ^ (control >> 2) ^ (size << 8)))
    {
    }

    std::size_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        switch (shape_) {
        case 0:
            return 1;
        case 1:
            return state_ % 8; // empty chunks too
        case 2:
            return 1 + state_ % 64;
        default:
            // Mostly large, now and then a single byte.
            return state_ % 4 == 0 ? 1 : 256 + state_ % 4096;
        }
    }

private:
    unsigned shape_;
    std::uint32_t state_;
};

// A chunk copied to storage of exactly its size, so that the address
// sanitizer sees a read past it.
std::unique_ptr<char[]> chunk_copy(const std::uint8_t *bytes, std::size_t size)
{
    std::unique_ptr<char[]> chunk(new char[size]);
    if (size > 0)
        std::memcpy(chunk.get(), bytes, size);
    return chunk;
}

// The places found so far, each kind apart, and the last one's offset.
struct Places {
    std::vector<std::size_t> holds;
    std::vector<std::size_t> breaks;
    std::vector<std::size_t> resets;
    bool any = false;
    std::size_t last = 0;

    void add(PlaceKind kind, std::size_t offset)
    {
        // Also what keeps an empty chunk from yielding the same place forever.
        FUZZ_CHECK(!any || offset > last);
        any = true;
        last = offset;
        switch (kind) {
        case PlaceKind::Hold:
            holds.push_back(offset);
            break;
        case PlaceKind::PageBreak:
            breaks.push_back(offset);
            break;
        case PlaceKind::Reset:
            resets.push_back(offset);
            break;
        }
    }
};

// Reads stream[from, to) in chunks of the sizes given (none for a single
// chunk), resuming at each place, whose offset in the stream it adds to
// `places`.
void scan_range(PlotScanner &scanner, const std::uint8_t *stream, std::size_t from, std::size_t to,
                ChunkSizes *sizes, Places &places)
{
    while (from < to) {
        const std::size_t size = sizes != nullptr ? std::min(sizes->next(), to - from) : to - from;
        const std::unique_ptr<char[]> chunk = chunk_copy(stream + from, size);
        std::size_t start = 0;
        for (;;) {
            const std::size_t found = scan_plot(scanner, chunk.get() + start, size - start);
            if (found == kNoHold)
                break;
            FUZZ_CHECK(found <= size - start);
            start += found;
            places.add(scanner.place, from + start);
        }
        from += size;
    }
}

// Ends the stream of `size` bytes and compares all that was read with the
// reference.
void finish_and_check(PlotScanner &scanner, Places places, std::size_t size,
                      const PlotReading &expected)
{
    if (finish_plot(scanner))
        places.add(PlaceKind::Hold, size);
    FUZZ_CHECK(places.holds == expected.holds);
    FUZZ_CHECK(places.breaks == expected.breaks);
    FUZZ_CHECK(places.resets == expected.resets);
    FUZZ_CHECK(scanner.in_pcl == expected.ends_in_pcl);
    FUZZ_CHECK(scanner.drawn == expected.drawn);
    FUZZ_CHECK(scanner.plot_size_found == expected.plot_size_found);
    if (expected.plot_size_found) {
        FUZZ_CHECK(scanner.plot_length == expected.plot_length);
        FUZZ_CHECK(scanner.plot_width == expected.plot_width);
    }
    FUZZ_CHECK(scanner.pages == expected.pages_before_last_reset);
    eject_last_page(scanner);
    FUZZ_CHECK(scanner.pages == expected.pages);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0 || size > kMaxInput)
        return 0;
    const std::uint8_t *stream = data + 1;
    const std::size_t length = size - 1;
    // Bit 2 of byte 0 also picks the job's reading, with page breaks and
    // resets.
    const bool job_mends = (data[0] & 4u) != 0;
    const PlotReading expected = reference_read_plot(stream, length, job_mends);

    ChunkSizes sizes(data[0], length);
    const std::size_t half = length / 2;
    PlotScanner scanner;
    scanner.job_mends = job_mends;
    Places places;
    scan_range(scanner, stream, 0, half, &sizes, places);

    // The copy runs to the end before the original goes on, so that any
    // state kept outside the record would show in the original's result.
    PlotScanner copy = scanner;
    Places copy_places = places;
    scan_range(copy, stream, half, length, nullptr, copy_places);
    finish_and_check(copy, copy_places, length, expected);

    scan_range(scanner, stream, half, length, &sizes, places);
    finish_and_check(scanner, places, length, expected);

    PlotScanner whole;
    whole.job_mends = job_mends;
    Places whole_places;
    scan_range(whole, stream, 0, length, nullptr, whole_places);
    finish_and_check(whole, whole_places, length, expected);
    return 0;
}

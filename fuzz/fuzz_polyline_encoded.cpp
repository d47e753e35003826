// SPDX-License-Identifier: MIT
// PE data decoded whole and one byte at a time: the same reports, each
// number finite, one end.
#include "fuzz_support.h"
#include "polyline_encoded.h"

#include <cmath>
#include <string>
#include <string_view>

namespace {

class Recorder : public EncodedPolylineListener {
public:
    std::string events;
    int ends = 0;

    void move(const EncodedMove &m) override
    {
        FUZZ_CHECK(std::isfinite(m.x) && std::isfinite(m.y));
        events += 'M' + std::to_string(m.x) + ',' + std::to_string(m.y) + (m.absolute ? "A" : "")
                  + (m.pen_up ? "U" : "");
    }
    void select_pen(std::int64_t pen) override { events += 'P' + std::to_string(pen); }
    void end() override { ++ends; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    Recorder whole;
    decode_polyline_encoded(bytes, whole);

    Recorder piecewise;
    EncodedPolylineDecoder decoder;
    for (std::size_t i = 0; i < size; ++i)
        decode_polyline_encoded(decoder, bytes.substr(i, 1), piecewise);
    finish_polyline_encoded(decoder, piecewise);

    FUZZ_CHECK(whole.ends == 1 && piecewise.ends == 1);
    FUZZ_CHECK(whole.events == piecewise.events);
    return 0;
}

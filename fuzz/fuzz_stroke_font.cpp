// SPDX-License-Identifier: MIT
// parse_stroke_font on any text: a font it takes has sane glyphs, takes the
// same text with CRLF line ends alike (when it has no CR of its own), and lays out a label with
// finite coordinates.
#include "fuzz_support.h"
#include "label_layout.h"
#include "stroke_font.h"

#include <cmath>
#include <string>
#include <string_view>

namespace {

// A coordinate character is '!' to '~', 'R' its zero: an offset from a
// bound or a baseline stays within twice the widest.
constexpr int kMaxCoordinate = 2 * ('~' - '!');

bool same_font(const StrokeFont &a, const StrokeFont &b)
{
    if (a.glyphs.size() != b.glyphs.size() || a.cap_height != b.cap_height
        || a.baseline != b.baseline)
        return false;
    for (std::size_t i = 0; i < a.glyphs.size(); ++i) {
        const Glyph &g = a.glyphs[i];
        const Glyph &h = b.glyphs[i];
        if (g.advance != h.advance || g.strokes.size() != h.strokes.size())
            return false;
        for (std::size_t s = 0; s < g.strokes.size(); ++s) {
            if (g.strokes[s].size() != h.strokes[s].size())
                return false;
            for (std::size_t p = 0; p < g.strokes[s].size(); ++p)
                if (g.strokes[s][p].x != h.strokes[s][p].x
                    || g.strokes[s][p].y != h.strokes[s][p].y)
                    return false;
        }
    }
    return true;
}

class FiniteStrokes : public LabelStrokeListener {
public:
    void stroke(const Point *points, std::size_t count, Point) override
    {
        FUZZ_CHECK(count > 0);
        for (std::size_t i = 0; i < count; ++i)
            FUZZ_CHECK(std::isfinite(points[i].x) && std::isfinite(points[i].y));
    }
    // The stick font's labels are strokes only.
    void fill(const Point *, std::size_t) override { FUZZ_CHECK(false); }
    void glyph(char, Point, Point, Point, double) override { FUZZ_CHECK(false); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > kMaxInput)
        return 0;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const StrokeFontResult r = parse_stroke_font(text);
    FUZZ_CHECK(r.ok == r.error.empty());
    if (!r.ok)
        return 0;
    FUZZ_CHECK(!r.font.glyphs.empty());
    FUZZ_CHECK(r.font.cap_height > 0);
    for (const Glyph &glyph : r.font.glyphs) {
        FUZZ_CHECK(glyph.advance >= 0 && glyph.advance <= kMaxCoordinate);
        for (const auto &stroke : glyph.strokes) {
            FUZZ_CHECK(!stroke.empty());
            for (const FontPoint &p : stroke)
                FUZZ_CHECK(std::abs(p.x) <= kMaxCoordinate && std::abs(p.y) <= kMaxCoordinate);
        }
    }

    if (text.find('\r') == std::string_view::npos) {
        std::string crlf;
        for (const char c : text) {
            if (c == '\n')
                crlf += '\r';
            crlf += c;
        }
        const StrokeFontResult again = parse_stroke_font(crlf);
        FUZZ_CHECK(again.ok && same_font(r.font, again.font));
    }

    LabelSettings settings;
    settings.size = absolute_character_size(0.5, 0.8);
    settings.proportional = size % 2 == 0;
    settings.origin = 5;
    FiniteStrokes strokes;
    const LabelPosition after = layout_label(r.font, settings, {}, "Zelvo 1.0\r\n\t(x)", strokes);
    FUZZ_CHECK(std::isfinite(after.pen.x) && std::isfinite(after.pen.y));
    return 0;
}

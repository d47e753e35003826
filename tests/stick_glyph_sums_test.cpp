// SPDX-License-Identifier: MIT
// The stick glyphs pinned: every glyph from '!' to '~' of Debian's simplex
// roman, laid out alone through the label layout, its stroke points rounded
// and summed, against the sums stick_glyph_sums.txt records. A row of the
// stick glyph table that moves, or any other change to where the glyphs
// are drawn, fails here with each glyph it changed named.
//
// After an intended change, rewrite the file and commit it with the change:
//   ZELVO_REWRITE_STICK_GLYPH_SUMS=1 build/tests/stick_glyph_sums_test
#include "label_layout.h"
#include "support/skip.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr const char *kSumsFile = ZELVO_STICK_GLYPH_SUMS;
constexpr const char *kRewrite = "ZELVO_REWRITE_STICK_GLYPH_SUMS";

// Points are kept to a hundredth of a plotter unit: finer than any row of
// the table moves them (a 200th of the box of H is 1.6 units at the size
// below), coarse enough that no compiler's last bits show.
constexpr double kPerUnit = 100;

class Sum : public LabelStrokeListener {
public:
    std::uint64_t value = kFnvOffset;

    void stroke(const Point *points, std::size_t count, Point) override
    {
        add(static_cast<std::int64_t>(count));
        for (std::size_t i = 0; i < count; ++i) {
            add(std::llround(points[i].x * kPerUnit));
            add(std::llround(points[i].y * kPerUnit));
        }
    }
    // The stroke font's labels have no filled glyphs.
    void glyph(char, Point, Point, Point, double) override { add(-1); }
    void fill(const Point *, std::size_t) override { add(-2); }

private:
    // FNV-1a, 64 bits, over each number's eight bytes.
    static constexpr std::uint64_t kFnvOffset = 14695981039346656037ULL;
    static constexpr std::uint64_t kFnvPrime = 1099511628211ULL;
    void add(std::int64_t n)
    {
        const auto bits = static_cast<std::uint64_t>(n);
        for (int byte = 0; byte < 8; ++byte) {
            value ^= (bits >> (8 * byte)) & 0xff;
            value *= kFnvPrime;
        }
    }
};

using Sums = std::map<char, std::uint64_t>;

// SI 1,1.5: a cell of 500 plotter units, the box of H 328 across and 581
// up, fixed pitch.
Sums sums_of(const StrokeFont &font)
{
    LabelSettings settings;
    settings.size = absolute_character_size(1, 1.5);
    Sums sums;
    for (char c = '!'; c <= '~'; ++c) {
        Sum sum;
        layout_label(font, settings, {}, std::string(1, c), sum);
        sums[c] = sum.value;
    }
    return sums;
}

// Lines "'c' SUM", the sum in hexadecimal; '#' starts a comment.
Sums read_sums(std::istream &in)
{
    Sums sums;
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() < 5 || line[0] != '\'' || line[2] != '\'')
            continue;
        sums[line[1]] = std::strtoull(line.c_str() + 4, nullptr, 16);
    }
    return sums;
}

bool write_sums(const Sums &sums)
{
    std::ofstream out(kSumsFile);
    out << "# SPDX-License-Identifier: MIT\n"
           "# The stick glyphs as the label layout draws them: each glyph of\n"
           "# rowmans.jhf alone at SI 1,1.5, its stroke points to a hundredth of a\n"
           "# plotter unit, summed (FNV-1a). stick_glyph_sums_test checks them; after\n"
           "# an intended change, rewrite this file with\n"
           "#   "
        << kRewrite << "=1 build/tests/stick_glyph_sums_test\n";
    char text[32];
    for (const auto &[c, sum] : sums) {
        std::snprintf(text, sizeof text, "'%c' %016llx\n", c, static_cast<unsigned long long>(sum));
        out << text;
    }
    return static_cast<bool>(out.flush());
}

TEST(StickGlyphSums, EveryGlyphAsRecorded)
{
    const std::string folder = stroke_font_folder(nullptr, nullptr);
    if (access((folder + "/rowmans.jhf").c_str(), R_OK) != 0)
        ZELVO_SKIP() << "hershey-fonts-data is not installed";
    const StrokeFontResult r = load_stroke_font(folder);
    ASSERT_TRUE(r.ok) << r.error;
    const Sums now = sums_of(r.font);
    ASSERT_EQ(now.size(), 94u);

    const char *rewrite = std::getenv(kRewrite);
    if (rewrite != nullptr && std::string(rewrite) == "1") {
        ASSERT_TRUE(write_sums(now)) << "cannot write " << kSumsFile;
        std::printf("rewrote %s\n", kSumsFile);
        return;
    }
    std::ifstream in(kSumsFile);
    ASSERT_TRUE(in) << "cannot read " << kSumsFile;
    const Sums recorded = read_sums(in);
    std::string changed;
    for (const auto &[c, sum] : now) {
        const auto found = recorded.find(c);
        if (found == recorded.end())
            ADD_FAILURE() << "'" << c << "' has no sum in " << kSumsFile;
        else if (found->second != sum)
            ADD_FAILURE() << "'" << c << "' is drawn otherwise than " << kSumsFile << " records";
        else
            continue;
        changed += c;
    }
    EXPECT_EQ(recorded.size(), now.size()) << kSumsFile << " has sums of characters not laid out";
    EXPECT_EQ(changed, "") << "glyphs changed: " << changed
                           << "; if that is meant, rewrite the sums: " << kRewrite
                           << "=1 build/tests/stick_glyph_sums_test";
}

} // namespace

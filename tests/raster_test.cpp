// SPDX-License-Identifier: MIT
// The raster decoder on small jobs written here: each compression method
// and each way of making pixels, against pixels worked out by hand.
#include "raster.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string esc = "\x1b";

// The rows the decoder hands on, as text: per row '#' black, '.' white,
// and for colours the first letter of red, green, blue, cyan, magenta,
// yellow, or '?' for another; white at a row's end left out.
struct Picture : RasterListener {
    std::vector<std::string> lines;
    std::vector<RasterColour> pixels; // all of them, row after row
    std::uint64_t next = 0;
    std::vector<std::string> refusals;

    void rows(const RasterRows &band) override
    {
        for (std::size_t r = 0; r < band.count; ++r) {
            // Rows skipped come as blank ones.
            for (; next < band.first + r; ++next)
                lines.emplace_back();
            std::string row;
            for (std::size_t x = 0; x < band.width; ++x) {
                const std::uint8_t *p = band.rgb.data() + (r * band.width + x) * 3;
                const RasterColour c{p[0], p[1], p[2]};
                pixels.push_back(c);
                row += letter(c);
            }
            // White past the last pixel that is not is no drawing: the
            // rows of a band are as wide as its widest.
            lines.push_back(row.substr(0, row.find_last_not_of('.') + 1));
            ++next;
        }
    }
    void refused(const char *message) override { refusals.emplace_back(message); }

    static char letter(RasterColour c)
    {
        const struct {
            RasterColour colour;
            char letter;
        } names[] = {{{0, 0, 0}, '#'},     {{255, 255, 255}, '.'}, {{255, 0, 0}, 'r'},
                     {{0, 255, 0}, 'g'},   {{0, 0, 255}, 'b'},     {{0, 255, 255}, 'c'},
                     {{255, 0, 255}, 'm'}, {{255, 255, 0}, 'y'}};
        for (const auto &name : names)
            if (name.colour == c)
                return name.letter;
        return '?';
    }
};

// Reads `job` (escape sequences and their data) as the interpreter hands it
// on: ESC *r # A starts an image of `width` pixels unless ESC *r # S says
// otherwise, ESC *r B or C ends it.
class Feeder : public ScanEvents {
public:
    Feeder(RasterDecoder &decoder, Picture &picture, std::uint64_t width)
        : decoder_(decoder), picture_(picture), width_(width)
    {
    }
    void instruction(char, char) override {}
    void parameters(const char *, std::size_t) override {}
    void text(const char *, std::size_t) override {}
    void instruction_end() override {}
    void context(bool) override {}
    void page_ejected() override {}
    void escape(const EscapeSequence &e) override
    {
        const unsigned char p = e.parameter & 0xDF;
        if (e.kind == '*' && e.group == 'r' && p == 'A')
            decoder_.start(width_, picture_);
        else if (e.kind == '*' && e.group == 'r' && (p == 'B' || p == 'C'))
            decoder_.end(picture_);
        else
            decoder_.escape(e, picture_);
    }
    void escape_data(const char *bytes, std::size_t size) override
    {
        decoder_.data({reinterpret_cast<const std::uint8_t *>(bytes), size}, picture_);
    }

private:
    RasterDecoder &decoder_;
    Picture &picture_;
    std::uint64_t width_;
};

Picture decode(const std::string &job, std::uint64_t width = 8, RasterLimits limits = {})
{
    RasterDecoder decoder(limits);
    Picture picture;
    Feeder feeder(decoder, picture, width);
    PlotScanner scanner;
    scanner.in_pcl = true;
    scanner.state = ScanState::Pcl;
    // A byte at a time: every run of data is cut everywhere it can be.
    for (const char c : job)
        scan_plot_events(scanner, &c, 1, feeder);
    decoder.end(picture);
    return picture;
}

// A row's sequence with its data bytes.
std::string row(const std::string &bytes, char parameter = 'W')
{
    return esc + "*b" + std::to_string(bytes.size()) + parameter + bytes;
}

std::string bytes(std::initializer_list<int> values)
{
    std::string s;
    for (const int v : values)
        s += static_cast<char>(v);
    return s;
}

std::string method(int m)
{
    return esc + "*b" + std::to_string(m) + "M";
}

std::string repeated(const std::string &piece, int times)
{
    std::string s;
    for (int k = 0; k < times; ++k)
        s += piece;
    return s;
}

TEST(RasterDecoder, CompressionMethods)
{
    const struct {
        const char *what;
        std::string job;
        std::vector<std::string> lines;
    } cases[] = {
        {"0: bytes as they are, a shorter row blank past them",
         esc + "*r1A" + row(bytes({0xA5})) + row(bytes({0xF0, 0x0F})) + row(bytes({0x80})),
         {"#.#..#.#", "####........####", "#"}},
        {"1: pairs of a count less one and a byte",
         esc + "*r1A" + method(1) + row(bytes({1, 0xC3})),
         {"##....####....##"}},
        {"2: a literal run, 128 that does nothing, a repeat",
         esc + "*r1A" + method(2) + row(bytes({0, 0x81, 128, 0xFF, 0xF0})),
         {"#......#####....####"}},
        {"3: a delta on the row before, and a row of no bytes repeating it",
         esc + "*r1A" + row(bytes({0xFF, 0xFF, 0xFF})) + method(3) + row(bytes({0x01, 0x00}))
             + row(""),
         {repeated("#", 24), "########........########", "########........########"}},
        {"3: an offset of 31, and more in the bytes that follow",
         esc + "*r1A" + method(3) + row(bytes({0x1F, 0x01, 0x80})),
         {repeated(".", 32 * 8) + "#"}},
        {"9: bytes as they are, at an offset of 1",
         esc + "*r1A" + method(9) + row(bytes({0x08, 0xFF})),
         {"........########"}},
        {"9: one byte twice, at an offset of 1",
         esc + "*r1A" + method(9) + row(bytes({0xA0, 0xAA})),
         {"........#.#.#.#.#.#.#.#"}},
        {"9: a repeat's count of 33 extended by the byte after it",
         esc + "*r1A" + method(9) + row(bytes({0x9F, 0x01, 0x0F})),
         {repeated("....####", 34)}},
        {"5: a row, a blank row, a row of method 2 and two copies of it",
         esc + "*r1A" + method(5)
             + row(bytes({0, 0, 1, 0xF0, 4, 0, 1, 2, 0, 3, 0x01, 0x0F, 0x00, 5, 0, 2})),
         {"####", "", "....####", "....####", "....####"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(decode(c.job, 512).lines, c.lines);
    }
}

TEST(RasterDecoder, ColourModes)
{
    // Pixel i of a row holds index i.
    const auto planes = [](int count, int pixels) {
        std::vector<int> out(static_cast<std::size_t>(count), 0);
        for (int k = 0; k < count; ++k)
            for (int i = 0; i < pixels; ++i)
                if ((i >> k) & 1)
                    out[static_cast<std::size_t>(k)] |= 0x80 >> i;
        return out;
    };
    const std::vector<int> three = planes(3, 8);
    const std::vector<int> four = planes(4, 8);
    const auto plane_rows = [](const std::vector<int> &p) {
        std::string s;
        for (std::size_t k = 0; k < p.size(); ++k)
            s += row(bytes({p[k]}), k + 1 < p.size() ? 'V' : 'W');
        return s;
    };
    const std::string cid_pixel2 = esc + "*v6W" + bytes({0, 1, 2, 8, 8, 8});
    const std::string cid_pixel8 = esc + "*v6W" + bytes({0, 1, 8, 8, 8, 8});
    const struct {
        const char *what;
        std::string job;
        std::string row;
    } cases[] = {
        {"monochrome", esc + "*r1A" + row(bytes({0x81})), "#......#"},
        {"monochrome in the foreground colour",
         esc + "*r3U" + esc + "*v2S" + esc + "*r1U" + esc + "*r1A" + row(bytes({0xC0})), "gg"},
        {"simple colour, RGB", esc + "*r3U" + esc + "*r1A" + plane_rows(three), "#rgybmc"},
        {"simple colour, CMY", esc + "*r-3U" + esc + "*r1A" + plane_rows(three), ".cmbygr#"},
        {"simple colour, KCMY as the printer prints it",
         esc + "*r-4U" + esc + "*r1A" + plane_rows(four), ".#c#m#?#"},
        {"indexed by plane, 3 bits",
         esc + "*v6W" + bytes({0, 0, 3, 8, 8, 8}) + esc + "*r1A" + plane_rows(three), "#rgybmc"},
        {"indexed by pixel, 2 bits: black, red, green, white",
         cid_pixel2 + esc + "*r1A" + row(bytes({0x1B})), "#rg.####"},
        {"indexed by pixel, 8 bits, a palette entry set",
         cid_pixel8 + esc + "*v255a255b0c9I" + esc + "*r1A" + row(bytes({7, 9, 8, 1})), ".y#r####"},
        {"direct by plane: red, red and green, green and blue, blue, none",
         esc + "*v6W" + bytes({0, 2, 1, 1, 1, 1}) + esc + "*r1A" + plane_rows({0xC0, 0x60, 0x30}),
         "rycb####"},
        {"direct by pixel, CMY",
         esc + "*v6W" + bytes({1, 3, 8, 8, 8, 8}) + esc + "*r1A"
             + row(bytes({255, 0, 0, 0, 0, 255, 0, 0, 0})),
         "cy"},
        {"a configuration the printer refuses changes nothing",
         esc + "*v6W" + bytes({0, 1, 3, 8, 8, 8}) + esc + "*r1A" + row(bytes({0x80})), "#"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Picture picture = decode(c.job, 8);
        ASSERT_EQ(picture.lines.size(), 1u);
        EXPECT_EQ(picture.lines[0], c.row);
    }
    // The palette entry's colour exactly.
    const Picture palette =
        decode(cid_pixel8 + esc + "*v10a20b30c5I" + esc + "*r1A" + row(bytes({5})), 8);
    ASSERT_FALSE(palette.pixels.empty());
    EXPECT_EQ(palette.pixels[0], (RasterColour{10, 20, 30}));
}

TEST(RasterDecoder, PlanesLeftOutAndRowsSkipped)
{
    // A row of RGB whose last plane is left out: blue's bit is 0; then
    // ESC *b 2 Y skips two rows, which are blank seeds for a delta row.
    const Picture picture = decode(esc + "*r3U" + esc + "*r1A" + row(bytes({0xFF}), 'V')
                                       + row(bytes({0xFF}), 'W') + row(bytes({0xFF}), 'V') + esc
                                       + "*b0W" + esc + "*b2Y" + method(3) + esc + "*b0W",
                                   8);
    // The third row is the delta on the blank seed: index 0, black.
    EXPECT_EQ(picture.lines,
              (std::vector<std::string>{"yyyyyyyy", "rrrrrrrr", "", "", "########"}));
}

TEST(RasterDecoder, HostileSizesAreRefusedWithAMessage)
{
    // A row wider than the limit is not allocated: the image is left out.
    const Picture wide = decode(esc + "*r100000S" + esc + "*r1A" + row(bytes({0xFF})), 8);
    EXPECT_TRUE(wide.lines.empty());
    ASSERT_EQ(wide.refusals.size(), 1u);
    EXPECT_NE(wide.refusals[0].find("wider"), std::string::npos);
    // Rows and width that would cost more than the limit, refused at the
    // start; and rows beyond it as they come, the first ones drawn.
    RasterLimits small;
    small.max_bytes = 30;
    const Picture tall = decode(esc + "*r1000000T" + esc + "*r1A" + row(bytes({0xFF})), 8, small);
    EXPECT_TRUE(tall.lines.empty());
    ASSERT_EQ(tall.refusals.size(), 1u);
    const Picture many =
        decode(esc + "*r1A" + method(5) + row(bytes({0, 0, 1, 0xFF, 5, 0xFF, 0xFF})), 8, small);
    EXPECT_EQ(many.lines.size(), 1u);
    EXPECT_EQ(many.refusals.size(), 1u);
    // Rows past ESC *r # T are dropped.
    const Picture cut = decode(
        esc + "*r2T" + esc + "*r1A" + row(bytes({1})) + row(bytes({2})) + row(bytes({4})), 8);
    EXPECT_EQ(cut.lines.size(), 2u);
}

TEST(RasterDecoder, ResolutionsTakeTheNextTheyKnow)
{
    const struct {
        const char *sequence;
        int resolution;
    } cases[] = {
        {"*t300R", 300}, {"*t180R", 200}, {"*t50R", 75}, {"*t1200R", 600}, {"*t120R", 150}};
    for (const auto &c : cases) {
        RasterDecoder decoder;
        Picture picture;
        Feeder feeder(decoder, picture, 8);
        PlotScanner scanner;
        scanner.in_pcl = true;
        scanner.state = ScanState::Pcl;
        const std::string job = esc + c.sequence;
        scan_plot_events(scanner, job.data(), job.size(), feeder);
        EXPECT_EQ(decoder.settings().resolution, c.resolution) << c.sequence;
    }
}

} // namespace

// SPDX-License-Identifier: MIT
// The PDF, PostScript and SVG writers read back: the structure that readers
// rely on (PDF's cross-reference offsets and stream lengths, PostScript's
// DSC comments and balanced graphics states, SVG that is well-formed), the
// rules the three share, and writes that fail.
#include "cairo_sink.h"
#include "document_output.h"
#include "glyph_fonts.h"
#include "mark_rules.h"
#include "pdf_sink.h"
#include "ps_sink.h"
#include "support/run_program.h"
#include "support/skip.h"
#include "svg_sink.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The fonts cairo and fontconfig keep for the whole run let go once every
// test is done, as zelvo-render lets them go at its end.
class ReleaseFonts : public ::testing::Environment {
public:
    void TearDown() override { release_cairo_fonts(); }
};
::testing::Environment *const release_fonts = ::testing::AddGlobalTestEnvironment(new ReleaseFonts);

TEST(DocumentNumbers, ShortestDecimalsAtThePlacesAsked)
{
    const struct {
        double value;
        int decimals;
        const char *text;
    } rows[] = {
        {0, 3, "0"},
        {2.5, 3, "2.5"},
        {-0.125, 3, "-0.125"},
        {1.0004, 3, "1"},
        {1.0005, 4, "1.0005"},
        {-0.0004, 3, "0"},
        {0.0996, 3, "0.1"},
        {12345.6789, 2, "12345.68"},
        {1e12, 3, "1000000000"},
        {-1e12, 0, "-1000000000"},
        {NAN, 3, "0"},
        {INFINITY, 3, "0"},
        {0.000123, 9, "0.000123"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(format_decimal({row.value, row.decimals}).view(), row.text);
    }
}

TEST(MarkRules, DashesThatADocumentCanWrite)
{
    const struct {
        std::vector<double> dashes;
        bool drawn;
    } rows[] = {
        {{}, false},
        {{1, 2}, true},
        {{0, 2}, true},
        {{0, 0}, false},
        {{0.0004, 0.0004, 0.0004}, false}, // each written as 0
        {{1, -1}, false},
        {{1, NAN}, false},
    };
    for (const auto &row : rows) {
        Pen pen;
        pen.dashes = row.dashes;
        EXPECT_EQ(drawable_dashes(pen), row.drawn) << ::testing::PrintToString(row.dashes);
    }
}

// The hatch lines of `fill` over `path` within `clip`.
std::vector<std::pair<Point, Point>> hatched(const Path &path, const Fill &fill, double angle,
                                             Box clip)
{
    std::vector<std::pair<Point, Point>> lines;
    hatch_lines(path, fill, angle, clip, [&](Point a, Point b) { lines.push_back({a, b}); });
    return lines;
}

TEST(MarkRules, HatchLinesCoverTheShapeWithinTheClip)
{
    const Path square = {{{{10, 10}, {20, 10}, {20, 20}, {10, 20}}, true}};
    Fill fill;
    fill.spacing = 1;
    const Box page{{0, 0}, {100, 100}};
    // Level lines through y = 10 to 20, each across the whole clip box.
    const auto level = hatched(square, fill, 0, page);
    ASSERT_EQ(level.size(), 11u);
    for (std::size_t i = 0; i < level.size(); ++i) {
        EXPECT_DOUBLE_EQ(level[i].first.y, 10.0 + static_cast<double>(i));
        EXPECT_LE(level[i].first.x, 0);
        EXPECT_GE(level[i].second.x, 100);
    }
    // Only the part of the square within the clip: y from 15 to 20.
    EXPECT_EQ(hatched(square, fill, 0, {{0, 15}, {100, 100}}).size(), 6u);
    // Outside the clip: nothing.
    EXPECT_TRUE(hatched(square, fill, 0, {{30, 30}, {100, 100}}).empty());
    // Far finer than the shape allows: held to the most a fill draws.
    fill.spacing = 1e-6;
    EXPECT_EQ(hatched(square, fill, M_PI / 4, page).size(),
              static_cast<std::size_t>(kMaxHatchLines) + 1);
}

TEST(DocumentOutput, AFailedWriteIsReported)
{
    std::FILE *full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    // Unbuffered, so that each write reaches the device and fails there.
    std::setvbuf(full, nullptr, _IONBF, 0);
    {
        DocumentOutput out(full);
        out << "%PDF-1.4\n";
        EXPECT_FALSE(out.flush());
        EXPECT_TRUE(out.failed());
    }
    std::fclose(full);
}

// What a sink wrote into a temporary file, read back.
std::string contents(std::FILE *file)
{
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, n);
    return text;
}

// A page's worth of every kind of mark, twice over, on three pages of
// different sizes.
template <typename Sink>
void draw_pages(Sink &sink)
{
    const double sizes[][2] = {{210, 297}, {297, 210}, {100, 50}};
    for (const auto &size : sizes) {
        sink.begin_page(size[0], size[1]);
        for (int twice = 0; twice < 2; ++twice) {
            Pen pen;
            pen.dashes = {2, 1};
            sink.stroke({{{{10, 10}, {40, 30}, {60, 10}}, false}}, pen);
            Fill fill;
            fill.spacing = 2;
            fill.crossed = true;
            sink.fill({{{{20, 20}, {50, 20}, {50, 40}}, true}}, fill);
            sink.clip({5, 5}, {90, 45});
            Fill solid;
            solid.shade = 50;
            solid.rule = FillRule::NonZero;
            sink.fill({{{{30, 30}, {35, 30}, {35, 35}}, true}}, solid);
            sink.text({"a(b)c\\", {10, 40}, {2.54, 0}, 12 * kMillimetresPerInch / 72});
            GlyphMark mark;
            mark.character = 'H';
            mark.origin = {60, 40};
            mark.across = {5, 0};
            mark.up = {0, -5};
            mark.advance = 0.7;
            sink.glyph(mark);
        }
        sink.end_page();
    }
}

// Whether every q (a saved graphics state) is followed by its Q, and no Q
// comes without one.
bool balanced(const std::string &content)
{
    int depth = 0;
    std::size_t at = 0;
    while (at < content.size()) {
        const std::size_t end = std::min(content.find_first_of(" \n", at), content.size());
        const std::string token = content.substr(at, end - at);
        depth += token == "q" ? 1 : token == "Q" ? -1 : 0;
        if (depth < 0)
            return false;
        at = end + 1;
    }
    return depth == 0;
}

std::size_t count(const std::string &text, const std::string &what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string inflated(const std::string &deflated)
{
    z_stream z{};
    EXPECT_EQ(inflateInit(&z), Z_OK);
    std::string out;
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(deflated.data()));
    z.avail_in = static_cast<uInt>(deflated.size());
    int status = Z_OK;
    while (status == Z_OK) {
        char buffer[4096];
        z.next_out = reinterpret_cast<Bytef *>(buffer);
        z.avail_out = sizeof buffer;
        status = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
    }
    EXPECT_EQ(status, Z_STREAM_END) << "the stream ends where its length says";
    EXPECT_EQ(z.avail_in, 0u);
    inflateEnd(&z);
    return out;
}

// The number after `key` at or after `from`.
long long number_after(const std::string &text, const std::string &key, std::size_t from = 0)
{
    const std::size_t at = text.find(key, from);
    return at == std::string::npos ? -1 : std::atoll(text.c_str() + at + key.size());
}

TEST(PdfSink, CrossReferencesAndStreamLengthsReadBack)
{
    std::FILE *file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    GlyphFonts fonts;
    PdfSink sink(file, fonts);
    draw_pages(sink);
    ASSERT_TRUE(sink.finish());
    const std::string pdf = contents(file);
    std::fclose(file);

    ASSERT_EQ(pdf.rfind("%PDF-1.4\n", 0), 0u);
    ASSERT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");
    const long long xref = number_after(pdf, "startxref\n", pdf.rfind("startxref"));
    ASSERT_GT(xref, 0);
    ASSERT_EQ(pdf.compare(static_cast<std::size_t>(xref), 7, "xref\n0 "), 0);
    const long long objects = number_after(pdf, "xref\n0 ", static_cast<std::size_t>(xref));
    EXPECT_EQ(number_after(pdf, "/Size ", static_cast<std::size_t>(xref)), objects);
    // Every entry is 20 bytes and gives where its object starts.
    const std::size_t entries = pdf.find('\n', static_cast<std::size_t>(xref) + 5) + 1;
    std::vector<std::size_t> offsets(static_cast<std::size_t>(objects));
    for (long long n = 1; n < objects; ++n) {
        const std::string entry = pdf.substr(entries + 20 * static_cast<std::size_t>(n), 20);
        ASSERT_EQ(entry.substr(10), " 00000 n \n") << entry;
        offsets[n] = std::stoull(entry.substr(0, 10));
        const std::string head = std::to_string(n) + " 0 obj\n";
        EXPECT_EQ(pdf.compare(offsets[n], head.size(), head), 0) << "object " << n;
    }
    const auto object = [&](long long n) {
        const std::size_t start = offsets[static_cast<std::size_t>(n)];
        return pdf.substr(start, pdf.find("endobj", start) - start);
    };

    const long long root = number_after(pdf, "/Root ", static_cast<std::size_t>(xref));
    const long long pages = number_after(object(root), "/Pages ");
    EXPECT_EQ(number_after(object(pages), "/Count "), 3);
    const std::string kids = object(pages);
    const char *next = kids.c_str() + kids.find("/Kids [") + 7;
    const char *const boxes[] = {"/MediaBox [ 0 0 595.28 841.89 ]",
                                 "/MediaBox [ 0 0 841.89 595.28 ]",
                                 "/MediaBox [ 0 0 283.46 141.73 ]"};
    for (const char *box : boxes) {
        SCOPED_TRACE(box);
        char *end = nullptr;
        const long long page = std::strtoll(next, &end, 10);
        ASSERT_EQ(std::string(end, 5), " 0 R ");
        next = end + 5;
        const std::string dictionary = object(page);
        EXPECT_NE(dictionary.find(box), std::string::npos) << dictionary;
        const long long stream = number_after(dictionary, "/Contents [ ");
        const std::string head = object(stream);
        const long long length =
            std::stoll(object(number_after(head, "/Length ")).substr(head.find(" 0 obj\n") + 7));
        const std::size_t data =
            offsets[static_cast<std::size_t>(stream)] + head.find("stream\n") + 7;
        ASSERT_EQ(pdf.compare(data + static_cast<std::size_t>(length), 11, "\nendstream\n"), 0);
        const std::string content = inflated(pdf.substr(data, static_cast<std::size_t>(length)));
        EXPECT_EQ(count(content, "(a\\(b\\)c\\\\) Tj"), 2u) << "PCL text as one string";
        EXPECT_EQ(count(content, "/F2 1 Tf"), 2u) << "the outline-font glyph as text";
        EXPECT_EQ(count(content, "re W n"), 2u);
        EXPECT_TRUE(balanced(content)) << content;
    }
    EXPECT_NE(pdf.find("/BaseFont /Courier /Encoding /WinAnsiEncoding"), std::string::npos);
    EXPECT_NE(pdf.find("/BaseFont /Helvetica /Encoding /WinAnsiEncoding"), std::string::npos);
}

TEST(PsSink, DscCommentsAndBalancedStates)
{
    std::FILE *file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    GlyphFonts fonts;
    PsSink sink(file, fonts);
    draw_pages(sink);
    ASSERT_TRUE(sink.finish());
    const std::string ps = contents(file);
    std::fclose(file);

    ASSERT_EQ(ps.rfind("%!PS-Adobe-3.0\n", 0), 0u);
    const std::size_t comments = ps.find("%%EndComments\n");
    ASSERT_NE(comments, std::string::npos);
    EXPECT_NE(ps.substr(0, comments).find("%%Pages: (atend)\n"), std::string::npos);
    EXPECT_LT(ps.find("%%EndProlog\n"), ps.find("%%Page: 1 1\n"));
    const std::size_t trailer = ps.find("%%Trailer\n");
    ASSERT_NE(trailer, std::string::npos);
    EXPECT_EQ(ps.substr(trailer), "%%Trailer\n%%Pages: 3\n%%BoundingBox: 0 0 842 842\n%%EOF\n");
    const char *const sizes[] = {"[ 595.28 841.89 ]", "[ 841.89 595.28 ]", "[ 283.46 141.73 ]"};
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        const std::string mark = "%%Page: " + std::to_string(page) + ' ' + std::to_string(page);
        const std::size_t start = ps.find(mark + '\n');
        ASSERT_NE(start, std::string::npos);
        const std::size_t end = ps.find("%%PageTrailer\n", start);
        ASSERT_NE(end, std::string::npos);
        const std::string body = ps.substr(start, end - start);
        EXPECT_NE(body.find(std::string("<< /PageSize ") + sizes[page - 1] + " >> setpagedevice"),
                  std::string::npos);
        EXPECT_TRUE(balanced(body)) << body;
        // Each glyph defined once on its page, where a restore drops it.
        EXPECT_EQ(count(body, "/c97 {"), 1u);
        EXPECT_EQ(count(body, "/c97 G"), 2u);
    }
}

class TestPages final : public PageFiles {
public:
    std::FILE *open_page(std::uint64_t) override
    {
        files.push_back(std::tmpfile());
        return files.back();
    }
    bool close_page(std::FILE *) override { return true; }
    std::vector<std::FILE *> files;
};

TEST(SvgSink, EachPageWellFormedWithGlyphsDefinedOnce)
{
    GlyphFonts fonts;
    TestPages files;
    SvgSink sink(files, 2, fonts);
    draw_pages(sink);
    ASSERT_TRUE(sink.finish());
    EXPECT_EQ(sink.pages(), 3u);
    ASSERT_EQ(files.files.size(), 2u) << "the third page only counted";
    TempDir dir;
    for (std::size_t i = 0; i < files.files.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string svg = contents(files.files[i]);
        std::fclose(files.files[i]);
        EXPECT_EQ(count(svg, "<path id=\"c97\""), 1u);
        EXPECT_EQ(count(svg, "xlink:href=\"#c97\""), 2u);
        EXPECT_EQ(count(svg, "<clipPath id=\"clip"), 2u);
        if (!std::filesystem::exists("/usr/bin/xmllint"))
            ZELVO_SKIP() << "xmllint is not installed (Debian: libxml2-utils)";
        RunOptions options;
        options.args = {"--noout", dir.write("page.svg", svg).string()};
        const RunResult result = run_program("/usr/bin/xmllint", options);
        EXPECT_EQ(result.exit_status, 0) << result.err;
    }
}

} // namespace

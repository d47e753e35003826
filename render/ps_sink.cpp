// SPDX-License-Identifier: MIT
#include "ps_sink.h"

#include "mark_rules.h"

#include <algorithm>
#include <cmath>

namespace {

// PDF's operators in PostScript, with G: a glyph's procedure filled under a
// matrix (a b c d e f /name G).
constexpr const char *kProlog = "%%BeginProlog\n"
                                "/q { gsave } bind def\n"
                                "/Q { grestore } bind def\n"
                                "/cm { 6 array astore concat } bind def\n"
                                "/w { setlinewidth } bind def\n"
                                "/J { setlinecap } bind def\n"
                                "/j { setlinejoin } bind def\n"
                                "/M { setmiterlimit } bind def\n"
                                "/d { setdash } bind def\n"
                                "/m { moveto } bind def\n"
                                "/l { lineto } bind def\n"
                                "/c { curveto } bind def\n"
                                "/h { closepath } bind def\n"
                                "/re { 4 2 roll moveto 1 index 0 rlineto 0 exch rlineto neg 0 "
                                "rlineto closepath } bind def\n"
                                "/S { stroke } bind def\n"
                                "/f { fill } bind def\n"
                                "/f* { eofill } bind def\n"
                                "/n { newpath } bind def\n"
                                "/W { clip } bind def\n"
                                "/W* { eoclip } bind def\n"
                                "/RG { setrgbcolor } bind def\n"
                                "/rg { setrgbcolor } bind def\n"
                                "/G { load 7 1 roll 6 array astore gsave concat exec fill grestore "
                                "} bind def\n"
                                "%%EndProlog\n";

// The procedure's name of a glyph: c for Courier, s for Sans, then the
// character's code.
void glyph_name(DocumentOutput &out, Typeface face, char c)
{
    out << (face == Typeface::Courier ? "/c" : "/s") << static_cast<std::uint64_t>(c);
}

} // namespace

PsSink::PsSink(std::FILE *document, GlyphFonts &fonts)
    : out_(document), fonts_(fonts), content_(out_, true)
{
}

void PsSink::begin_document()
{
    begun_ = true;
    out_ << "%!PS-Adobe-3.0\n"
            "%%Creator: zelvo-render\n"
            "%%Pages: (atend)\n"
            "%%BoundingBox: (atend)\n"
            "%%DocumentData: Clean7Bit\n"
            "%%LanguageLevel: 3\n"
            "%%EndComments\n"
         << kProlog << "%%BeginSetup\n%%EndSetup\n";
}

void PsSink::begin_page(double width, double height)
{
    if (!begun_)
        begin_document();
    ++pages_;
    in_page_ = true;
    const double w = width * kPointsPerMm;
    const double h = height * kPointsPerMm;
    widest_ = std::max(widest_, w);
    tallest_ = std::max(tallest_, h);
    out_ << "%%Page: " << pages_ << ' ' << pages_ << "\n%%PageBoundingBox: 0 0 "
         << Decimal{std::ceil(w), 0} << ' ' << Decimal{std::ceil(h), 0}
         << "\n%%BeginPageSetup\n<< /PageSize [ " << Decimal{w, 2} << ' ' << Decimal{h, 2}
         << " ] >> setpagedevice\n%%EndPageSetup\n/zelvo_page save def\n";
    defined_[0].reset();
    defined_[1].reset();
    content_.begin_page(width, height);
}

void PsSink::stroke(const Path &path, const Pen &pen)
{
    if (in_page_)
        content_.stroke(path, pen);
}

void PsSink::fill(const Path &path, const Fill &fill)
{
    if (in_page_)
        content_.fill(path, fill);
}

void PsSink::clip(Point low, Point high)
{
    if (in_page_)
        content_.clip(low, high);
}

void PsSink::draw_glyph(Typeface face, char c, const Affine &place)
{
    const GlyphOutline *outline = fonts_.outline(face, c);
    if (outline == nullptr)
        return;
    auto &defined = defined_[static_cast<int>(face)];
    if (!defined[c - '!']) {
        glyph_name(out_, face, c);
        out_ << " {\n";
        content_.outline(*outline);
        out_ << "} def\n";
        defined[c - '!'] = true;
    }
    content_.matrix(place);
    out_ << ' ';
    glyph_name(out_, face, c);
    out_ << " G\n";
}

void PsSink::text(const TextRun &run)
{
    if (!in_page_)
        return;
    content_.fill_colour({0, 0, 0});
    for (std::size_t i = 0; i < run.characters.size(); ++i) {
        const char c = run.characters[i];
        if (c > ' ' && c <= '~')
            draw_glyph(Typeface::Courier, c, text_character_place(run, i));
    }
}

void PsSink::glyph(const GlyphMark &mark)
{
    if (!in_page_)
        return;
    const std::optional<Affine> place = fonts_.placement(mark);
    if (!place)
        return;
    content_.fill_colour(mark.colour);
    draw_glyph(Typeface::Sans, mark.character, *place);
}

void PsSink::image(const ImageBand &band)
{
    const std::size_t bytes = band.width * band.rows * 3;
    if (!in_page_ || band.width == 0 || band.rows == 0 || band.rgb.size() < bytes)
        return;
    const std::uint64_t w = band.width;
    const std::uint64_t h = band.rows;
    out_ << "q ";
    content_.matrix(image_square_place(band));
    out_ << " cm /DeviceRGB setcolorspace\n<< /ImageType "
         << std::uint64_t{band.white_transparent ? 4u : 1u} << " /Width " << w << " /Height " << h
         << " /BitsPerComponent 8 /Decode [ 0 1 0 1 0 1 ] /ImageMatrix [ " << w << " 0 0 -" << h
         << " 0 " << h << " ]";
    if (band.white_transparent)
        out_ << " /MaskColor [ 255 255 255 ]";
    out_ << " /DataSource currentfile /ASCIIHexDecode filter >> image\n";
    static constexpr char kHex[] = "0123456789abcdef";
    char line[129];
    std::size_t used = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        line[used++] = kHex[band.rgb[i] >> 4];
        line[used++] = kHex[band.rgb[i] & 15];
        if (used == 128 || i + 1 == bytes) {
            line[used++] = '\n';
            out_ << std::string_view(line, used);
            used = 0;
        }
    }
    out_ << ">\nQ\n";
}

void PsSink::end_page()
{
    if (!in_page_)
        return;
    in_page_ = false;
    content_.end_page();
    out_ << "zelvo_page restore\nshowpage\n%%PageTrailer\n";
}

bool PsSink::finish()
{
    end_page();
    if (!begun_)
        begin_document();
    out_ << "%%Trailer\n%%Pages: " << pages_ << "\n%%BoundingBox: 0 0 "
         << Decimal{std::ceil(widest_), 0} << ' ' << Decimal{std::ceil(tallest_), 0} << "\n%%EOF\n";
    return out_.flush();
}

// SPDX-License-Identifier: MIT
#include "pdf_sink.h"

#include "mark_rules.h"

#include <cmath>
#include <string>
#include <utility>

namespace {

// The objects every document has, by their numbers; each page then takes
// three: its content stream, the stream's length and the page.
enum : std::uint64_t {
    kCatalog = 1,
    kPages,
    kResources,
    kCourier,
    kHelvetica,
    kInfo,
    kFirstPageObject
};
// The fonts' names in the page resources.
constexpr const char *kTextFont = "/F1";
constexpr const char *kGlyphFont = "/F2";
// Courier's advance, per em, in every one of its glyphs.
constexpr double kCourierAdvance = 0.6;

// `characters` as a PDF string's inside: the delimiters and the backslash
// escaped, and anything but ' ' to '~' a space, which draws nothing.
std::string escaped(std::string_view characters)
{
    std::string text;
    for (const char c : characters) {
        if (c == '(' || c == ')' || c == '\\')
            text += '\\';
        text += c >= ' ' && c <= '~' ? c : ' ';
    }
    return text;
}

} // namespace

PdfSink::PdfSink(std::FILE *document, GlyphFonts &fonts)
    : out_(document), fonts_(fonts), content_(out_, false), offsets_(kFirstPageObject, 0)
{
}

std::uint64_t PdfSink::begin_object(std::uint64_t number)
{
    if (offsets_.size() <= number)
        offsets_.resize(number + 1, 0);
    offsets_[number] = out_.offset();
    out_ << number << " 0 obj\n";
    return number;
}

void PdfSink::begin_document()
{
    begun_ = true;
    // The second line's bytes above 127 tell programs that the file is
    // binary.
    out_ << "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    begin_object(kCatalog);
    out_ << "<< /Type /Catalog /Pages " << std::uint64_t{kPages} << " 0 R >>\nendobj\n";
    begin_object(kResources);
    out_ << "<< /ProcSet [ /PDF /Text ] /Font << " << kTextFont << ' ' << std::uint64_t{kCourier}
         << " 0 R " << kGlyphFont << ' ' << std::uint64_t{kHelvetica} << " 0 R >> >>\nendobj\n";
    for (const auto &[number, name] :
         {std::pair{kCourier, "Courier"}, std::pair{kHelvetica, "Helvetica"}}) {
        begin_object(number);
        out_ << "<< /Type /Font /Subtype /Type1 /BaseFont /" << name
             << " /Encoding /WinAnsiEncoding >>\nendobj\n";
    }
    begin_object(kInfo);
    out_ << "<< /Producer (zelvo-render) >>\nendobj\n";
}

void PdfSink::begin_page(double width, double height)
{
    if (!begun_)
        begin_document();
    ++pages_;
    in_page_ = true;
    width_ = width;
    height_ = height;
    contents_.clear();
    images_.clear();
    begin_content();
    content_.begin_page(width, height);
}

// A content stream of the open page, its length the object after it.
void PdfSink::begin_content()
{
    const std::uint64_t contents = begin_object(offsets_.size());
    contents_.push_back(contents);
    out_ << "<< /Length " << contents + 1 << " 0 R /Filter /FlateDecode >>\nstream\n";
    out_.begin_compressed();
}

void PdfSink::end_content()
{
    const std::uint64_t length = out_.end_compressed();
    out_ << "\nendstream\nendobj\n";
    begin_object(contents_.back() + 1);
    out_ << length << "\nendobj\n";
}

void PdfSink::stroke(const Path &path, const Pen &pen)
{
    if (in_page_)
        content_.stroke(path, pen);
}

void PdfSink::fill(const Path &path, const Fill &fill)
{
    if (in_page_)
        content_.fill(path, fill);
}

void PdfSink::clip(Point low, Point high)
{
    if (in_page_)
        content_.clip(low, high);
}

void PdfSink::show(const char *font, const Affine &place, std::string_view characters,
                   double spacing)
{
    out_ << "BT " << font << " 1 Tf " << Decimal{spacing, kMatrixDecimals} << " Tc ";
    content_.matrix(place);
    out_ << " Tm (" << escaped(characters) << ") Tj ET\n";
}

void PdfSink::text(const TextRun &run)
{
    if (!in_page_ || run.characters.empty() || !(run.em > 0))
        return;
    content_.fill_colour({0, 0, 0});
    // Each character at its own place, the printer's pitch, whatever
    // Courier's: the spacing makes up the difference, in ems.
    const double step = std::hypot(run.advance.x, run.advance.y);
    show(kTextFont, text_character_place(run, 0), run.characters, step / run.em - kCourierAdvance);
}

void PdfSink::hidden_text(const HiddenText &text)
{
    if (!in_page_)
        return;
    // Courier's cell over the stroke font's cell, its capitals as high.
    constexpr double kCourierCap = 0.57;
    out_ << "3 Tr\n";
    for (std::size_t i = 0; i < text.characters.size() && i < text.origins.size(); ++i) {
        Affine place;
        place.xx = text.across.x / kCourierAdvance;
        place.yx = text.across.y / kCourierAdvance;
        place.xy = text.up.x / kCourierCap;
        place.yy = text.up.y / kCourierCap;
        place.dx = text.origins[i].x;
        place.dy = text.origins[i].y;
        show(kTextFont, place, std::string_view(&text.characters[i], 1), 0);
    }
    out_ << "0 Tr\n";
}

void PdfSink::glyph(const GlyphMark &mark)
{
    if (!in_page_)
        return;
    const std::optional<Affine> place = fonts_.placement(mark);
    if (!place)
        return;
    content_.fill_colour(mark.colour);
    show(kGlyphFont, *place, std::string_view(&mark.character, 1), 0);
}

void PdfSink::image(const ImageBand &band)
{
    const std::size_t bytes = band.width * band.rows * 3;
    if (!in_page_ || band.width == 0 || band.rows == 0 || band.rgb.size() < bytes)
        return;
    end_content();
    const std::uint64_t image = begin_object(offsets_.size());
    out_ << "<< /Type /XObject /Subtype /Image /Width " << std::uint64_t{band.width} << " /Height "
         << std::uint64_t{band.rows}
         << " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Interpolate false";
    if (band.white_transparent)
        out_ << " /Mask [ 255 255 255 255 255 255 ]";
    out_ << " /Length " << image + 1 << " 0 R /Filter /FlateDecode >>\nstream\n";
    out_.begin_compressed();
    out_ << std::string_view(reinterpret_cast<const char *>(band.rgb.data()), bytes);
    const std::uint64_t length = out_.end_compressed();
    out_ << "\nendstream\nendobj\n";
    begin_object(image + 1);
    out_ << length << "\nendobj\n";
    images_.push_back(image);
    begin_content();
    const Affine place = image_square_place(band);
    out_ << "q ";
    content_.matrix(place);
    out_ << " cm /Im" << std::uint64_t{images_.size() - 1} << " Do Q\n";
}

void PdfSink::end_page()
{
    if (!in_page_)
        return;
    in_page_ = false;
    content_.end_page();
    end_content();
    const std::uint64_t page = begin_object(offsets_.size());
    out_ << "<< /Type /Page /Parent " << std::uint64_t{kPages} << " 0 R /MediaBox [ 0 0 "
         << Decimal{width_ * kPointsPerMm, 2} << ' ' << Decimal{height_ * kPointsPerMm, 2}
         << " ] /Contents [";
    for (const std::uint64_t contents : contents_)
        out_ << ' ' << contents << " 0 R";
    out_ << " ] /Resources ";
    if (images_.empty()) {
        out_ << std::uint64_t{kResources} << " 0 R";
    } else {
        // The shared resources and this page's images.
        out_ << "<< /ProcSet [ /PDF /Text /ImageC ] /Font << " << kTextFont << ' '
             << std::uint64_t{kCourier} << " 0 R " << kGlyphFont << ' ' << std::uint64_t{kHelvetica}
             << " 0 R >> /XObject <<";
        for (std::size_t i = 0; i < images_.size(); ++i)
            out_ << " /Im" << std::uint64_t{i} << ' ' << images_[i] << " 0 R";
        out_ << " >> >>";
    }
    out_ << " >>\nendobj\n";
    page_objects_.push_back(page);
}

bool PdfSink::finish()
{
    end_page();
    if (!begun_)
        begin_document();
    begin_object(kPages);
    out_ << "<< /Type /Pages /Kids [";
    for (const std::uint64_t page : page_objects_)
        out_ << ' ' << page << " 0 R";
    out_ << " ] /Count " << static_cast<std::uint64_t>(page_objects_.size()) << " >>\nendobj\n";
    const std::uint64_t xref = out_.offset();
    out_ << "xref\n0 " << static_cast<std::uint64_t>(offsets_.size()) << "\n0000000000 65535 f \n";
    for (std::size_t number = 1; number < offsets_.size(); ++number) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010llu 00000 n \n",
                      static_cast<unsigned long long>(offsets_[number]));
        out_ << std::string_view(entry);
    }
    out_ << "trailer\n<< /Size " << static_cast<std::uint64_t>(offsets_.size()) << " /Root "
         << std::uint64_t{kCatalog} << " 0 R /Info " << std::uint64_t{kInfo}
         << " 0 R >>\nstartxref\n"
         << xref << "\n%%EOF\n";
    return out_.flush();
}

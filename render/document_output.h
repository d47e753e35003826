// SPDX-License-Identifier: MIT
// The bytes of a PDF, PostScript or SVG document as they are made: numbers
// written as short decimals, gathered in a buffer of fixed size and written
// to the file whenever it fills, each write checked, and for PDF's page
// streams compressed with zlib on the way.
#ifndef ZELVO_DOCUMENT_OUTPUT_H
#define ZELVO_DOCUMENT_OUTPUT_H

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

// The places a document writes: lengths to a micrometre, colours to a
// thousandth, and a ten-thousandth of an em in a glyph's outline and of a
// millimetre in a matrix's terms.
constexpr int kLengthDecimals = 3;
constexpr int kColourDecimals = 3;
constexpr int kMatrixDecimals = 4;

// A number as a document writes it: at most `decimals` places, without
// trailing zeros ("2.5", "-0.125", "3").
struct Decimal {
    double value = 0;
    int decimals = kLengthDecimals;
};

// Up to 31 characters of a number: its text is only good until the next
// call on the same record.
struct NumberText {
    char text[32];
    std::string_view view() const { return text; }
};

// `number` as text. Values beyond a billion are held there, and what is not
// a number is 0: no document reader takes either.
NumberText format_decimal(Decimal number);

class DocumentOutput {
public:
    explicit DocumentOutput(std::FILE *file);
    ~DocumentOutput();
    DocumentOutput(const DocumentOutput &) = delete;
    DocumentOutput &operator=(const DocumentOutput &) = delete;

    DocumentOutput &operator<<(std::string_view text);
    DocumentOutput &operator<<(char c);
    DocumentOutput &operator<<(Decimal number);
    DocumentOutput &operator<<(std::uint64_t number);

    // From here to end_compressed(), what is written goes into the file
    // deflated, as a FlateDecode stream; end_compressed() returns the
    // stream's length in the file.
    void begin_compressed();
    std::uint64_t end_compressed();

    // Bytes that have gone into the file, and that are on their way there.
    std::uint64_t offset() const { return offset_ + (deflater_ ? 0 : used_); }
    // Writes what the buffer holds; false when any write so far failed.
    bool flush();
    bool failed() const { return failed_; }

private:
    void put(const char *bytes, std::size_t size);
    void drain();
    void write_file(const unsigned char *bytes, std::size_t size);
    void deflate_buffer(bool last);

    struct Deflater;
    std::FILE *file_;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t used_ = 0;
    std::uint64_t offset_ = 0;
    bool failed_ = false;
    std::unique_ptr<Deflater> deflater_; // set between begin and end_compressed
    std::uint64_t compressed_ = 0;
};

#endif

// SPDX-License-Identifier: MIT
// The sinks that write zelvo-render's output: a PDF or PostScript document
// of many pages, or a PNG image or SVG document for each page; and where
// the files of the one-page formats go.
#ifndef ZELVO_OUTPUT_SINK_H
#define ZELVO_OUTPUT_SINK_H

#include "page_sink.h"

#include <cstdint>
#include <cstdio>
#include <string>

enum class OutputFormat { Pdf, Svg, Ps, Png };

// Where the files of one-page formats go: a stream for page `number`
// (from 1), or null when it cannot be opened; each is closed by
// close_page, whose false result means it could not be written.
class PageFiles {
public:
    virtual std::FILE *open_page(std::uint64_t number) = 0;
    virtual bool close_page(std::FILE *file) = 0;

protected:
    ~PageFiles() = default;
};

class OutputSink : public PageSink {
public:
    // Ends the output; false when anything could not be drawn or written:
    // what was written is then no document to keep.
    virtual bool finish() = 0;
    // The pages begun, written or not.
    std::uint64_t pages() const { return pages_; }
    // Why a page could not be drawn, when that is why finish failed; empty
    // when the output could not be written.
    const std::string &error() const { return error_; }

protected:
    std::uint64_t pages_ = 0;
    std::string error_;
};

#endif

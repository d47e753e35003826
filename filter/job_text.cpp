// SPDX-License-Identifier: MIT
// The job's bytes, written into buffers of fixed size.
#include "job_text.h"

#include "pen_width.h"

#include <cstdio>

namespace {

const char *rotation_line(std::int32_t rotation)
{
    switch (rotation) {
    case 90:
        return "RO90;\n";
    case 180:
        return "RO180;\n";
    case 270:
        return "RO270;\n";
    default:
        return "";
    }
}

const char *lj_line(const JobSettings &settings)
{
    return settings.wrapper_mode == ModeLj ? "RO90;\n" : "";
}

// The largest count a PCL escape sequence takes.
constexpr std::uint64_t kLargestCount = 32767;

} // namespace

int total_rotation(const JobSettings &settings)
{
    if (rotation_line(settings.rotation)[0] != '\0')
        return settings.rotation;
    return settings.wrapper_mode == ModeLj ? 90 : 0;
}

void hold_text(const JobSettings &settings, const char *points, char (&text)[kHoldText])
{
    char width[kPenWidthText] = "";
    if (settings.pen_width)
        format_pen_width(*settings.pen_width, width);
    std::snprintf(text, sizeof text, "%s%s%s%s%s%s", settings.pen_width ? "PW" : "", width,
                  settings.pen_width ? ";\n" : "", lj_line(settings),
                  rotation_line(settings.rotation), points);
}

void page_text(const JobSettings &settings, const char *frame, char (&text)[kPageText])
{
    char copies[16] = "";
    if (settings.copies > 1)
        std::snprintf(copies, sizeof copies, "\033&l%dX", static_cast<int>(settings.copies));
    char paper[16] = "";
    if (settings.paper != nullptr)
        std::snprintf(paper, sizeof paper, "\033&l%dA", settings.paper->pcl_code);
    std::snprintf(text, sizeof text, "%s%s%s%s", copies, settings.printer_setup.commands, paper,
                  frame);
}

void hpgl_text(const JobSettings &settings, const char *points, char (&text)[kHpglText])
{
    char width[kPenWidthText];
    format_pen_width(settings.pen_width.value_or(kDefaultPenWidth), width);
    std::snprintf(text, sizeof text, "IN;SP1;PA;PW%s;\n%s%s%s", width, lj_line(settings),
                  rotation_line(settings.rotation), points);
}

void header_text(const char *page, const char *hpgl, char (&text)[kHeaderText])
{
    std::snprintf(text, sizeof text, "\033E%s\033%%1B\033&l1O\n%s", page, hpgl);
}

std::size_t trailer_text(bool reading, const PlotScanner &scanner, bool drawn_on,
                         char (&text)[kTrailerText])
{
    // The byte that closes what the plot left open, if any.
    char close = 0;
    bool closes = false;
    bool hpgl_line = !reading || !scanner.in_pcl;
    if (reading) {
        switch (scanner.state) {
        case ScanState::Between:
        case ScanState::Parameters:
        case ScanState::PlotSize:
            break;
        case ScanState::Label:
            closes = true;
            close = static_cast<char>(scanner.terminator);
            break;
        case ScanState::Quoted:
            closes = true;
            close = '"';
            break;
        case ScanState::Mnemonic:
        case ScanState::Terminator:
        case ScanState::Symbol:
        case ScanState::Encoded:
        case ScanState::CommentStart:
        case ScanState::CommentText:
            closes = true;
            close = ';';
            break;
        default: // PCL context, or inside an escape sequence, which ESC ends
            hpgl_line = false;
            break;
        }
    }
    std::size_t size = 0;
    if (closes)
        text[size++] = close;
    const int rest = std::snprintf(text + size, sizeof text - size, "%s\033%%0A%s\033E",
                                   hpgl_line ? "SP;PG;\n" : "", drawn_on ? "\f" : "");
    return size + static_cast<std::size_t>(rest);
}

std::size_t data_to_finish(const PlotScanner &scanner)
{
    if (scanner.state != ScanState::EscapeData || scanner.data_left > kLargestCount)
        return 0;
    return static_cast<std::size_t>(scanner.data_left);
}

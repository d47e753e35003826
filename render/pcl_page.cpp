// SPDX-License-Identifier: MIT
#include "pcl_page.h"

#include "paper_size.h"
#include "units.h"

#include <algorithm>
#include <cmath>

namespace {

// The logical page of a portrait page starts 1/4 inch in on inch papers and
// 71/300 inch on metric ones (whose landscape offset is 59/300).
constexpr int kInchPortraitOffset = 75;
constexpr int kMetricPortraitOffset = 71;
constexpr int kMetricLandscapeOffset = 59;

const Paper &paper_of(int code)
{
    const Paper *paper = find_paper_by_code(code);
    return paper != nullptr ? *paper : *find_paper("letter");
}

// The printer knows its papers in whole dots of 1/300 inch, a metric size
// cut short to the dot: A4's 297 millimetres are 3507 dots, 0.07 mm short,
// and its logical page sits that much higher on a landscape sheet.
double printer_inches(double millimetres)
{
    return std::floor(millimetres / kMillimetresPerInch * kPclUnitsPerInch + 1e-6)
           / kPclUnitsPerInch;
}

void default_frame(PclPage &page)
{
    page.frame_width = 0;
    page.frame_height = 0;
    page.anchor_set = false;
    page.plot_width = 0;
    page.plot_height = 0;
}

// How far in from the sheet's edge the logical page starts, inches.
double logical_page_offset(const PclPage &page, const Paper &paper)
{
    const bool metric = paper.landscape_offset == kMetricLandscapeOffset;
    return (page.landscape ? paper.landscape_offset
                           : (metric ? kMetricPortraitOffset : kInchPortraitOffset))
           / kPclUnitsPerInch;
}

// The logical page on the sheet, inches, y down; a landscape one runs up
// the sheet. The registration offsets move it on the sheet held portrait.
Affine logical_to_sheet_inches(const PclPage &page, const Paper &paper)
{
    const double offset = logical_page_offset(page, paper);
    Affine logical_to_sheet = translation(offset, 0);
    if (page.landscape) {
        logical_to_sheet.xx = 0;
        logical_to_sheet.yx = -1;
        logical_to_sheet.xy = 1;
        logical_to_sheet.yy = 0;
        logical_to_sheet.dx = 0;
        logical_to_sheet.dy = printer_inches(paper.portrait.height) - offset;
    }
    return compose(translation(page.left_offset, page.top_offset), logical_to_sheet);
}

// ESC &l: the page. A page size or orientation the page already has
// changes nothing; a new one resets the top margin and the frame.
bool page_escape(PclPage &page, unsigned char parameter, double value)
{
    switch (parameter) {
    case 'A': {
        const int code = value >= 0 && value < 1000 ? static_cast<int>(value) : -1;
        if (find_paper_by_code(code) == nullptr || page.paper_code == code)
            return false;
        page.paper_code = code;
        break;
    }
    case 'O':
        if ((value != 0 && value != 1) || page.landscape == (value == 1))
            return false;
        page.landscape = value == 1;
        break;
    case 'E':
        page.top_margin = std::max(0.0, value) * page.line_spacing;
        return false;
    case 'D':
        if (value > 0)
            page.line_spacing = 1 / value;
        return false;
    case 'C':
        page.line_spacing = std::max(0.0, value) / 48;
        return false;
    case 'U':
        page.left_offset = value / kDecipointsPerInch;
        return true;
    case 'Z':
        page.top_offset = value / kDecipointsPerInch;
        return true;
    default:
        return false;
    }
    page.top_margin = 0.5;
    default_frame(page);
    return true;
}

// ESC *c: the picture frame, the plot size, and the anchor at the cursor.
bool frame_escape(PclPage &page, unsigned char parameter, double value, PclCursor at)
{
    switch (parameter) {
    case 'X':
        page.frame_width = std::max(0.0, value) / kDecipointsPerInch;
        page.plot_width = 0;
        page.plot_height = 0;
        return true;
    case 'Y':
        page.frame_height = std::max(0.0, value) / kDecipointsPerInch;
        page.plot_width = 0;
        page.plot_height = 0;
        return true;
    case 'K':
        page.plot_width = std::max(0.0, value);
        return true;
    case 'L':
        page.plot_height = std::max(0.0, value);
        return true;
    case 'T':
        if (value != 0)
            return false;
        page.anchor_set = true;
        page.anchor_x = at.x;
        page.anchor_y = at.y;
        return true;
    default:
        return false;
    }
}

} // namespace

bool apply_pcl_escape(PclPage &page, const EscapeSequence &e, PclCursor at)
{
    const unsigned char parameter = e.parameter & 0xDF;
    if (e.kind == 0) {
        if (parameter != 'E')
            return false;
        page = PclPage{};
        return true;
    }
    if (e.kind == '&' && e.group == 'l')
        return page_escape(page, parameter, e.value);
    if (e.kind == '*' && e.group == 'c')
        return frame_escape(page, parameter, e.value, at);
    return false;
}

Affine logical_page_to_sheet(const PclPage &page)
{
    return compose(scaling(kMillimetresPerInch, kMillimetresPerInch),
                   logical_to_sheet_inches(page, paper_of(page.paper_code)));
}

PlotPlacement place_plot(const PclPage &page)
{
    const Paper &paper = paper_of(page.paper_code);
    const double sheet_width = printer_inches(paper.portrait.width);
    const double sheet_height = printer_inches(paper.portrait.height);
    const double offset = logical_page_offset(page, paper);
    const double logical_width = (page.landscape ? sheet_height : sheet_width) - 2 * offset;
    const double logical_length = page.landscape ? sheet_width : sheet_height;

    const double frame_width = page.frame_width > 0 ? page.frame_width : logical_width;
    const double frame_height = page.frame_height > 0 ? page.frame_height : logical_length - 1;
    const double anchor_x = page.anchor_set ? page.anchor_x : 0;
    const double anchor_y = page.anchor_set ? page.anchor_y : 0.5;
    const double plot_width = page.plot_width > 0 ? page.plot_width : frame_width;
    const double plot_height = page.plot_height > 0 ? page.plot_height : frame_height;

    // Plot to the logical page, in inches, y down from its top edge.
    const Affine plot_to_logical =
        compose(translation(anchor_x, anchor_y + frame_height),
                scaling(frame_width / plot_width / kPlotterUnitsPerInch,
                        -frame_height / plot_height / kPlotterUnitsPerInch));
    const Affine logical_to_sheet = logical_to_sheet_inches(page, paper);
    const Affine inches_to_mm = scaling(kMillimetresPerInch, kMillimetresPerInch);

    PlotPlacement placement;
    placement.sheet_width = paper.portrait.width;
    placement.sheet_height = paper.portrait.height;
    placement.plot_length = plot_width * kPlotterUnitsPerInch;
    placement.plot_width = plot_height * kPlotterUnitsPerInch;
    placement.plot_to_sheet = compose(inches_to_mm, compose(logical_to_sheet, plot_to_logical));
    placement.pen_scale = std::sqrt(frame_width / plot_width * (frame_height / plot_height));
    const Affine logical_mm = compose(inches_to_mm, logical_to_sheet);
    const Point a = logical_mm.apply({anchor_x, anchor_y});
    const Point b = logical_mm.apply({anchor_x + frame_width, anchor_y + frame_height});
    placement.frame_low = {std::min(a.x, b.x), std::min(a.y, b.y)};
    placement.frame_high = {std::max(a.x, b.x), std::max(a.y, b.y)};
    placement.logical_origin = logical_mm.apply({0, 0});
    placement.anchor = {anchor_x, anchor_y};
    placement.frame_width = frame_width;
    placement.frame_height = frame_height;
    return placement;
}

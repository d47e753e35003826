// SPDX-License-Identifier: MIT
#include "pcl_text.h"

#include "units.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTabStop = 8 * kPclCharacterStep;

bool printing(unsigned char c)
{
    return c >= ' ' && c <= '~';
}

} // namespace

PclCursor pcl_home(const PclPage &page)
{
    return {0, page.top_margin + 0.75 * page.line_spacing, true};
}

PclCursor pcl_cursor_after(PclCursor at, const EscapeSequence &e, const PclPage &page)
{
    const unsigned char parameter = e.parameter & 0xDF;
    if (e.kind == 0)
        return parameter == 'E' ? pcl_home(page) : at;
    if (e.kind == '&' && e.group == 'l') {
        if (parameter == 'A' || parameter == 'O')
            return pcl_home(page);
        if (at.home && (parameter == 'E' || parameter == 'D' || parameter == 'C'))
            return {at.x, pcl_home(page).y, true};
        return at;
    }
    if (e.kind != '&' || e.group != 'a')
        return at;
    // A signed value moves the cursor from where it is, up to the page's
    // edge; another puts it at that distance from its origin.
    const auto place = [&](double from, double origin, double length) {
        return e.relative ? std::max(0.0, from + e.value * length)
                          : origin + std::max(0.0, e.value) * length;
    };
    switch (parameter) {
    case 'H':
        at.x = place(at.x, 0, 1 / kDecipointsPerInch);
        break;
    case 'V':
        at.y = place(at.y, page.top_margin, 1 / kDecipointsPerInch);
        at.home = false;
        break;
    case 'C':
        at.x = place(at.x, 0, kPclCharacterStep);
        break;
    case 'R':
        at.y = place(at.y, pcl_home(page).y, page.line_spacing);
        at.home = false;
        break;
    default:
        break;
    }
    return at;
}

PclCursor print_pcl_text(PclCursor at, std::string_view bytes, double line_spacing,
                         PclTextListener &listener)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (printing(c)) {
            const std::size_t start = i;
            while (i < bytes.size() && printing(static_cast<unsigned char>(bytes[i])))
                ++i;
            listener.characters(at, bytes.substr(start, i - start));
            at.x += static_cast<double>(i - start) * kPclCharacterStep;
            continue;
        }
        if (c > '~')
            at.x += kPclCharacterStep;
        else if (c == '\r')
            at.x = 0;
        else if (c == '\n') {
            at.y += line_spacing;
            at.home = false;
        } else if (c == '\b')
            at.x = std::max(0.0, at.x - kPclCharacterStep);
        else if (c == '\t')
            at.x = (std::floor(at.x / kTabStop + 1e-9) + 1) * kTabStop;
        ++i;
    }
    return at;
}

// SPDX-License-Identifier: MIT
// The paper table, the plot sizes, and the system's default paper.
#include "paper_size.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

#ifdef ZELVO_HAVE_LIBPAPER
#include <paper.h>
#endif

namespace {

constexpr double kMillimetresPerPoint = kMillimetresPerInch / kPointsPerInch;

// The logical page of a landscape page starts 0.2 inch along the long side on
// inch papers and 59/300 inch on metric ones.
constexpr int kInchOffset = 60;
constexpr int kMetricOffset = 59;

constexpr PlotExtent inches(double width, double height)
{
    return {width * kMillimetresPerInch, height * kMillimetresPerInch};
}

const Paper kPapers[] = {
    {"letter", 2, inches(8.5, 11), kInchOffset},
    {"legal", 3, inches(8.5, 14), kInchOffset},
    {"executive", 1, inches(7.25, 10.5), kInchOffset},
    {"ledger", 6, inches(11, 17), kInchOffset},
    {"tabloid", 6, inches(11, 17), kInchOffset},
    {"A5", 25, {148, 210}, kMetricOffset},
    {"A4", 26, {210, 297}, kMetricOffset},
    {"A3", 27, {297, 420}, kMetricOffset},
    {"B5", 45, {182, 257}, kMetricOffset},
    {"B4", 46, {257, 364}, kMetricOffset},
};

const Paper &letter = kPapers[0];

struct NamedSize {
    const char *name;
    PlotExtent size;
};

// Landscape: the longer side along X.
const NamedSize kPlotSizes[] = {
    {"A0", {1189, 841}},        {"A1", {841, 594}},         {"A2", {594, 420}},
    {"A3", {420, 297}},         {"A4", {297, 210}},         {"ANSI-A", inches(11, 8.5)},
    {"ANSI-B", inches(17, 11)}, {"ANSI-C", inches(22, 17)}, {"ANSI-D", inches(34, 22)},
    {"ANSI-E", inches(44, 34)}, {"ARCH-A", inches(12, 9)},  {"ARCH-B", inches(18, 12)},
    {"ARCH-C", inches(24, 18)}, {"ARCH-D", inches(36, 24)}, {"ARCH-E", inches(48, 36)},
};

// "ANSI-A" is also "ANSIA".
bool same_size_name(const char *given, const char *name)
{
    if (strcasecmp(given, name) == 0)
        return true;
    const char *hyphen = std::strchr(name, '-');
    if (hyphen == nullptr)
        return false;
    const std::size_t prefix = static_cast<std::size_t>(hyphen - name);
    return strncasecmp(given, name, prefix) == 0 && strcasecmp(given + prefix, hyphen + 1) == 0;
}

// A millimetre count: digits with at most one decimal point, above 0 and
// below a kilometre; `end` is set after it.
bool read_millimetres(const char *text, double &value, const char *&end)
{
    value = 0;
    double scale = 0; // 0 before the point, then the weight of the next digit
    bool digits = false;
    const char *p = text;
    for (; (*p >= '0' && *p <= '9') || (*p == '.' && scale == 0); ++p) {
        if (*p == '.') {
            scale = 0.1;
        } else if (scale == 0) {
            value = value * 10 + (*p - '0');
            digits = true;
        } else {
            value += (*p - '0') * scale;
            scale /= 10;
            digits = true;
        }
    }
    end = p;
    return digits && value > 0 && value < 1e6;
}

} // namespace

const Paper *find_paper(const char *name)
{
    for (const Paper &paper : kPapers)
        if (strcasecmp(name, paper.name) == 0)
            return &paper;
    return nullptr;
}

const Paper *find_paper_by_code(int code)
{
    for (const Paper &paper : kPapers)
        if (paper.pcl_code == code)
            return &paper;
    return nullptr;
}

Paper system_paper()
{
#ifdef ZELVO_HAVE_LIBPAPER
    paperinit();
    char *name = systempapername();
    Paper paper = letter;
    // libpaper's b4 and b5 are the ISO sizes; the table's are the JIS ones.
    const Paper *known = name != nullptr && (name[0] | 0x20) != 'b' ? find_paper(name) : nullptr;
    if (known != nullptr) {
        paper = *known;
    } else if (const struct paper *info = name != nullptr ? paperinfo(name) : nullptr) {
        paper = {
            "system",
            0,
            {paperpswidth(info) * kMillimetresPerPoint, paperpsheight(info) * kMillimetresPerPoint},
            kInchOffset};
    }
    std::free(name);
    paperdone();
    return paper;
#else
    return letter;
#endif
}

bool plot_size_named(const char *name, PlotExtent &size)
{
    for (const NamedSize &named : kPlotSizes) {
        if (same_size_name(name, named.name)) {
            size = named.size;
            return true;
        }
    }
    const char *x = nullptr;
    double width = 0;
    double height = 0;
    if (!read_millimetres(name, width, x) || (*x != 'x' && *x != 'X'))
        return false;
    const char *end = nullptr;
    if (!read_millimetres(x + 1, height, end) || *end != '\0')
        return false;
    size = {width, height};
    return true;
}

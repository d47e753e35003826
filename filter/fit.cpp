// The picture frame: its size and anchor in decipoints (1/720 inch), and the
// HP-GL/2 plot size in inches, which the printer scales to the frame.
#include "fit.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr double kMargin = kMillimetresPerInch / 4;

long decipoints(double millimetres)
{
    return static_cast<long>(millimetres / kMillimetresPerInch * 720 + 0.5);
}

} // namespace

void fit_commands(char (&commands)[kFitCommands], const Paper &paper, PlotExtent plot, int rotation)
{
    const double page_width = std::max(paper.portrait.width, paper.portrait.height);
    const double page_height = std::min(paper.portrait.width, paper.portrait.height);
    const bool turned = rotation % 180 != 0;
    const double along_x = turned ? plot.height : plot.width;
    const double along_y = turned ? plot.width : plot.height;
    const double scale =
        std::min((page_width - 2 * kMargin) / along_x, (page_height - 2 * kMargin) / along_y);
    const double frame_x = along_x * scale;
    const double frame_y = along_y * scale;
    // Cursor positions count from the logical page, which starts a little
    // way into the sheet; the top margin is set to 0 so that vertical ones
    // count from the top of the page.
    const double logical_left = paper.landscape_offset * kMillimetresPerInch / 300;
    const double left = (page_width - frame_x) / 2 - logical_left;
    const double top = (page_height - frame_y) / 2;

    std::snprintf(commands, sizeof commands,
                  "\033&l1O\033&l0E\033*c%ldx%ldY\033&a%ldh%ldV\033*c0T\033*c%.3fk%.3fL",
                  decipoints(frame_x), decipoints(frame_y), decipoints(left), decipoints(top),
                  along_x / kMillimetresPerInch, along_y / kMillimetresPerInch);
}

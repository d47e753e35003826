// SPDX-License-Identifier: MIT
// The command line of zelvo-render for zelvo-topdf: a plot made into a PDF
// that the queue's own chain (pdftopdf first) prints.
#ifndef ZELVO_RENDER_COMMAND_H
#define ZELVO_RENDER_COMMAND_H

#include "job_settings.h"

#include <string>
#include <vector>

// The program run, found on the PATH that CUPS gives its filters.
constexpr const char *kRenderProgram = "zelvo-render";

// What the PDF route asks of the renderer beyond the job's settings.
struct PdfPlacement {
    // The job names an orientation: the sheet is held as it says, not
    // turned to the drawing's shape.
    bool orientation_asked = false;
};

// The arguments after the program's name: PDF on standard output, on the
// job's paper when it has one, fitted and with the pen width when the
// settings ask for them, from `file` (standard input when null).
//
// The plot is drawn upright on the page; pdftopdf places that page on the
// queue's media and turns it as orientation-requested says, as it turns
// any PDF page: 3 leaves a portrait page as it is, 6 turns it by 180
// degrees, 4 and 5 turn a landscape page onto the portrait sheet (the
// plot's top at the sheet's left for 4, at its right for 5). So for 3 and
// 6 the renderer holds the sheet portrait, for 4 and 5 landscape. Without
// an orientation it turns the sheet to the drawing's shape, and pdftopdf
// turns a landscape page onto the sheet as the queue's PPD says
// (*LandscapeOrientation), as it turns every landscape page there. A turn
// here as well would be a second one.
std::vector<std::string> render_arguments(const JobSettings &settings,
                                          const PdfPlacement &placement, const char *file);

#endif

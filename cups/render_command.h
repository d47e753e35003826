// The command line of zelvo-render for zelvo-topdf: a plot made into a PDF
// that the queue's own chain (pdftopdf first) prints.
#ifndef ZELVO_RENDER_COMMAND_H
#define ZELVO_RENDER_COMMAND_H

#include "job_settings.h"

#include <string>
#include <vector>

// The program run, found on the PATH that CUPS gives its filters.
constexpr const char *kRenderProgram = "zelvo-render";

// The arguments after the program's name: PDF on standard output, on the
// job's paper when it has one, fitted and with the pen width when the
// settings ask for them, from `file` (standard input when null).
//
// The sheet is never turned: zelvo-render draws a plain plot upright on a
// landscape sheet, as a plotter does, and pdftopdf places that page on the
// queue's media and turns it for orientation-requested 4 and 5 itself (a
// landscape page on a portrait sheet: the plot's top at the sheet's left
// for 4, at its right for 5); a turn here would be a second one.
std::vector<std::string> render_arguments(const JobSettings &settings, const char *file);

#endif

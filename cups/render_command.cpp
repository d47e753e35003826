// SPDX-License-Identifier: MIT
// Building zelvo-render's command line from the job's settings.
#include "render_command.h"

#include <cstdio>

std::vector<std::string> render_arguments(const JobSettings &settings,
                                          const PdfPlacement &placement, const char *file)
{
    std::vector<std::string> arguments = {"--format", "pdf", "-o", "-"};
    if (settings.paper != nullptr) {
        arguments.emplace_back("--paper");
        arguments.emplace_back(settings.paper->name);
    }
    if (settings.fit)
        arguments.emplace_back(settings.fit->only_if_larger ? "--fit-if-larger" : "--fit");
    if (placement.orientation_asked) {
        // Rotations 90 and 270 are the portraits (orientation-requested 6
        // and 3), 0 and 180 the landscapes (4 and 5).
        const bool portrait = settings.rotation == 90 || settings.rotation == 270;
        arguments.emplace_back("--sheet");
        arguments.emplace_back(portrait ? "portrait" : "landscape");
    }
    if (settings.pen_width) {
        char width[32];
        std::snprintf(width, sizeof width, "%g", static_cast<double>(*settings.pen_width));
        arguments.emplace_back("--pen-width");
        arguments.emplace_back(width);
    }
    if (file != nullptr) {
        // A name that begins with "-" is a file, not an option.
        arguments.emplace_back(file[0] == '-' ? std::string("./") + file : std::string(file));
    }
    return arguments;
}

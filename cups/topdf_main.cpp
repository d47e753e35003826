// SPDX-License-Identifier: MIT
// zelvo-topdf: the CUPS filter that makes HP-GL/2 plots into PDF for every
// queue whose printer does not take HP-GL/2.
//
// Called by CUPS as  zelvo-topdf job-id user title copies options [file];
// runs zelvo-render on the file, or on standard input without one, for a
// PDF on standard output. From there the queue's own chain prints it as it
// prints text and images: pdftopdf first, which applies the copies, page
// ranges, number-up, duplex and the page's placement on the media, then the
// queue's driver, and which turns the page for the orientation. zelvo-topdf
// asks the renderer for the queue's paper, held as the orientation needs
// it, the plot fitted when the job or the queue asks for it (or, for
// print-scaling auto and auto-fit, when it does not fit as drawn), and the
// pen width.
#include "cups_options.h"
#include "message_text.h"
#include "queue_ppd.h"
#include "render_command.h"

#include <cups/cups.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char **argv)
{
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr, "Usage: %s job-id user title copies options [file]\n",
                     argc > 0 ? printable(argv[0]).c_str() : "zelvo-topdf");
        return 1;
    }
    cups_option_t *parsed = nullptr;
    const int count = cupsParseOptions(argv[5], 0, &parsed);
    const QueueChoices queue = read_queue_choices(std::getenv("PPD"), count, parsed, stderr);
    std::vector<CupsOption> options;
    for (int i = 0; i < count; ++i)
        options.push_back({parsed[i].name, parsed[i].value});
    // The copies are pdftopdf's to make.
    const JobSettings settings = cups_job_settings("1", count, options.data(), stderr, queue);
    const PdfPlacement placement{orientation_asked(settings, count, options.data())};
    const std::vector<std::string> arguments =
        render_arguments(settings, placement, argc == 7 ? argv[6] : nullptr);
    cupsFreeOptions(count, parsed);

    std::vector<char *> command;
    std::string shown = kRenderProgram;
    command.push_back(const_cast<char *>(kRenderProgram));
    for (const std::string &argument : arguments) {
        command.push_back(const_cast<char *>(argument.c_str()));
        shown += ' ' + argument;
    }
    command.push_back(nullptr);
    std::fprintf(stderr, "DEBUG: zelvo-topdf: %s\n", printable(shown).c_str());
    std::fflush(stderr);
    execvp(kRenderProgram, command.data());
    std::fprintf(stderr, "ERROR: Unable to run %s: %s\n", kRenderProgram, std::strerror(errno));
    return 1;
}

// SPDX-License-Identifier: MIT
// Job settings for the CUPS filter, from its copies argument and its options.
#ifndef ZELVO_CUPS_OPTIONS_H
#define ZELVO_CUPS_OPTIONS_H

#include "job.h"
#include "queue_choices.h"

#include <cstdio>

// One parsed option, as cupsParseOptions gives it: "noportrait" arrives as
// portrait=false and a bare "landscape" as landscape=true.
struct CupsOption {
    const char *name;
    const char *value;
};

// The settings of one CUPS job: zelvo's defaults with the settings held
// across the plot's own IN and BP, then the `queue`'s choices (its page
// size, zelvo's options of its PPD, the PCL for its tray and duplex), then
// the "zelvo" parameter list, then "orientation-requested" (as IPP numbers
// them: 3 portrait upright, 4 landscape, 5 reverse landscape, 6 reverse
// portrait, 180 degrees from 3), then "landscape" and "portrait", then
// "penwidth" (micrometres), then "fitplot", "fit-to-page" and
// "print-scaling" (scale the plot to the page), then "PageSize" and "media"
// (the page size, by CUPS's or the PWG's name). A fitted plot may be turned
// upright onto a portrait page where it prints larger so, unless the job
// asks for an orientation. `copies` is the filter's
// fourth argument, held between 1 and 999. Options of other names are left
// to other filters. A value that cannot be used changes nothing and is
// reported on `log` as one "DEBUG: " line that names it.
JobSettings cups_job_settings(const char *copies, int count, const CupsOption *options,
                              std::FILE *log, const QueueChoices &queue = {});

// Whether the job names an orientation: "orientation-requested",
// "landscape" or "portrait" among `options`, or a turn that `settings` got
// otherwise (zelvo's own parameters).
bool orientation_asked(const JobSettings &settings, int count, const CupsOption *options);

// How a CUPS job runs: messages carry CUPS's "ERROR: " prefix and warnings
// "WARNING: "; the whole plot is read, so that its pages are counted; and a
// job that `cancel` stops still ends with the trailer, so that the printer
// is left reset.
JobConduct cups_job_conduct(CancelFlag cancel);

#endif

// Job settings for the CUPS filter, from its copies argument and its options.
#ifndef ZELVO_CUPS_OPTIONS_H
#define ZELVO_CUPS_OPTIONS_H

#include "job.h"

#include <cstdio>

// One parsed option, as cupsParseOptions gives it: "noportrait" arrives as
// portrait=false and a bare "landscape" as landscape=true.
struct CupsOption {
    const char *name;
    const char *value;
};

// The settings of one CUPS job: zelvo's defaults with the settings held
// across the plot's own IN and BP, then the "zelvo" parameter list, then
// "orientation-requested" (3 portrait, 4 landscape, 5 reverse landscape,
// 6 reverse portrait), then "landscape" and "portrait", then "penwidth"
// (micrometres), then "fitplot" and "fit-to-page" (scale the plot to the
// page), then "PageSize" and "media" (the page size, by CUPS's or the PWG's
// name). `copies` is the filter's fourth argument, held between 1 and 999.
// Options of other names are left to other filters. A value that cannot be
// used changes nothing and is reported on `log` as a "DEBUG: " line.
JobSettings cups_job_settings(const char *copies, int count, const CupsOption *options,
                              std::FILE *log);

// How a CUPS job runs: messages carry CUPS's "ERROR: " prefix and warnings
// "WARNING: "; the whole plot is read, so that its pages are counted; and a
// job that `cancel` stops still ends with the trailer, so that the printer
// is left reset.
JobConduct cups_job_conduct(CancelFlag cancel);

#endif

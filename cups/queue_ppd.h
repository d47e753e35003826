// SPDX-License-Identifier: MIT
// The queue's PPD, read with libcups as CUPS's own filters read it: the
// defaults that the administrator chose, with the job's options marked on
// them.
#ifndef ZELVO_QUEUE_PPD_H
#define ZELVO_QUEUE_PPD_H

#include "queue_choices.h"

#include <cups/cups.h>
#include <cups/ppd.h>

#include <cstdio>

// The largest PPD read. The largest that Debian's driver packages install
// are a few hundred kilobytes; libcups bounds each line itself.
constexpr long long kMaxPpdBytes = 16LL * 1024 * 1024;

// Opens the PPD at `path` (the PPD variable that CUPS sets; null or empty
// for none). A PPD that does not exist, is not a regular file, is larger
// than kMaxPpdBytes or that libcups cannot read is ignored with a "DEBUG: "
// line on `log`, as is the queue's choice then: the result is null.
ppd_file_t *open_queue_ppd(const char *path, std::FILE *log);

// What the marked choices of `ppd`, its defaults with the job's `options`
// marked on them, ask of a plot.
QueueChoices queue_choices(ppd_file_t *ppd, int count, cups_option_t *options);

// The queue's choices for a job with `options`, from the PPD at `path`;
// none when there is no PPD or it is ignored.
QueueChoices read_queue_choices(const char *path, int count, cups_option_t *options,
                                std::FILE *log);

#endif

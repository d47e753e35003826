// SPDX-License-Identifier: MIT
// Resolving the job settings from defaults, the environment and the options.
#ifndef ZELVO_SETTINGS_H
#define ZELVO_SETTINGS_H

#include "destination.h"
#include "job_settings.h"
#include "strutil.hpp"

// The words of a parameter list, split at its commas by parse_string; no
// words for a null, empty or unsplittable list.
using ParameterList = strutil::ParsedArray;

ParameterList split_parameter_list(const char *list);

// Values given that no setting can take, pointing at them where they were
// given; null for none. The last value given for a setting decides: a later
// good one clears an earlier refused one.
struct RefusedValues {
    const char *pen_width = nullptr;
    const char *paper = nullptr;
    const char *plot_size = nullptr;
};

// Applies the words of a parameter list in order; words that match none are
// ignored. A value no setting can take leaves that setting as it was and is
// noted in `refused`.
void apply_parameter_list(JobSettings &settings, const ParameterList &list, RefusedValues &refused);

enum class Resolution {
    RunJob,          // settings resolved; inputs start at first_input
    ShowUsage,       // "-h..." was given: print the usage text, exit 0
    NameTooLong,     // the destination would not fit its 79 characters
    InvalidPenWidth, // `refused` holds the value given
    UnknownPaper,    // `refused` holds the name given
    UnknownPlotSize, // `refused` holds the size given
};

struct ResolvedSettings {
    JobSettings settings;
    OutputDestination destination;
    int first_input; // index in argv of the first input name (argc when none)
    Resolution outcome;
    const char *refused; // the value refused, in argv or in the list's words
};

// Defaults, then `list` (the words of zelvo_param), then the options in
// argv[1..argc-1], then the destination: the "-out" value, else `out_name`
// (the value of zelvo_out, or null), else "-".
ResolvedSettings resolve_settings(int argc, const char *const *argv, const ParameterList &list,
                                  const char *out_name);

#endif

// Resolving the job settings from defaults, the environment and the options.
#ifndef ZELVO_SETTINGS_H
#define ZELVO_SETTINGS_H

#include "job.h"

enum class Resolution {
    RunJob,      // settings resolved; inputs start at first_input
    ShowUsage,   // "-h..." was given: print the usage text, exit 0
    NameTooLong, // the destination would not fit its 79 characters
};

struct ResolvedSettings {
    JobSettings settings;
    int first_input; // index in argv of the first input name (argc when none)
    Resolution outcome;
};

// Applies one parameter-list token ("pcl", "lj", "port", "land",
// "lwidth=W", "rot=R"); tokens that match no rule change nothing.
void apply_parameter_token(JobSettings &settings, const char *token);

// Splits a comma-separated parameter list and applies its tokens in order.
// A null, empty or unsplittable list changes nothing.
void apply_parameter_list(JobSettings &settings, const char *list);

// Defaults, then `param_list` (the value of zelvo_param, or null when
// unset), then the options in argv[1..argc-1], then the destination: the
// "-out" value, else `out_name` (the value of zelvo_out, or null), else "-".
ResolvedSettings resolve_settings(int argc, const char *const *argv, const char *param_list,
                                  const char *out_name);

#endif

// Refusing a job whose output file is one of its inputs, which would copy
// the file into itself without end.
#ifndef ZELVO_SAME_FILE_H
#define ZELVO_SAME_FILE_H

#include "destination.h"
#include "inputs.h"

// The first of `inputs` (standard input when there are none, named "-"
// then) that is the regular file the destination writes to, hard and
// symbolic links included; null when there is none. Looks at the destination
// with stat before anything opens it; inputs and destinations that are not
// regular files are never the same file.
const char *input_that_is_output(const OutputDestination &destination, const JobInputs &inputs);

// Whether the open descriptors `input` and `output` are the same regular
// file: the check that the one above cannot make for an output that did not
// exist before the job opened it, or that an input reaches through a
// descriptor's name (/dev/fd/N).
bool same_regular_file(int input, int output);

#endif

// SPDX-License-Identifier: MIT
// Descriptors 0, 1 and 2 closed when a program starts.
#ifndef ZELVO_STANDARD_DESCRIPTORS_H
#define ZELVO_STANDARD_DESCRIPTORS_H

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, as
// careful tools do before they open anything else: a file opened later would
// take the lowest free number and become standard input, output or error
// (a message written into the job file, the job file read as a plot).
// Opened against the grain, standard input for writing and the others for
// reading, so that using them fails and is reported as a failed input or
// output rather than passing for an empty one. False when one of them could
// not be had.
bool fill_closed_standard_descriptors();

#endif

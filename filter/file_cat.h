// SPDX-License-Identifier: MIT
// The job stream: a pair of streams and file_cat, which copies between them.
// The entry for callers that hold streams; the job itself copies between
// descriptors it is given (copy.h), and only file_cat reads the pair.
#ifndef ZELVO_FILE_CAT_H
#define ZELVO_FILE_CAT_H

#include <cstdio>

struct JobStream {
    std::FILE *input;
    std::FILE *output;
};

extern JobStream job_stream;

// Copies job_stream.input, from where its descriptor stands to its end, behind
// what job_stream.output holds (its buffer is flushed first), with copy_input.
// The input stream must not hold buffered bytes of its own. Errors end the
// copy silently; the result is always 0.
int file_cat();

#endif

// SPDX-License-Identifier: MIT
// Whether two names or descriptors are the same regular file: a job whose
// output is one of its inputs would copy the file into itself without end.
#ifndef ZELVO_SAME_FILE_H
#define ZELVO_SAME_FILE_H

#include <optional>
#include <sys/types.h>

// A regular file as the system knows it, whatever name reaches it.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
};

// The regular file that `name` (symbolic links followed) or the open
// descriptor `fd` is; nothing for any other kind of file or a name that
// cannot be looked at.
std::optional<FileIdentity> regular_file_named(const char *name);
std::optional<FileIdentity> regular_file_open(int fd);

bool same_file(const FileIdentity &a, const FileIdentity &b);

// Whether the open descriptors `input` and `output` are the same regular
// file: the check that input_that_is_output cannot make for an output that
// did not exist before the job opened it, or that an input reaches through
// a descriptor's name (/dev/fd/N).
bool same_regular_file(int input, int output);

#endif

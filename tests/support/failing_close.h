// SPDX-License-Identifier: MIT
// Closing a descriptor that fails on demand, for tests of a lost last write.
//
// The test program is linked with -Wl,--wrap=close, so every close in the
// program goes through the wrapper. Once armed with a file, the wrapper
// closes a descriptor of that file as usual and then reports -1 with EIO,
// as a close whose delayed write failed reports it.
#ifndef ZELVO_TEST_FAILING_CLOSE_H
#define ZELVO_TEST_FAILING_CLOSE_H

namespace failing_close {

// From now on, closing a descriptor of the file `path` fails; null disarms.
void arm(const char *path);

// How many closes failed since the last arm().
int failures();

} // namespace failing_close

#endif

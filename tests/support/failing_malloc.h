// SPDX-License-Identifier: MIT
// Heap allocations that fail on demand, for tests of out-of-memory paths.
//
// The test program is linked with -Wl,--wrap for malloc, calloc, realloc and
// free, so every call to them in the program (the library's included) goes
// through these wrappers, which forward to the real allocator. That works
// the same with and without the address sanitizer, whose allocator then stays
// the real one and still checks for leaks; replacing malloc itself does not
// combine with the sanitizer.
#ifndef ZELVO_TEST_FAILING_MALLOC_H
#define ZELVO_TEST_FAILING_MALLOC_H

#include <cstddef>

namespace failing_malloc {

constexpr int kMaxRecorded = 16;

struct Report {
    long attempts = 0; // allocation calls since start()
    long injected = 0; // of them, how many were made to fail
    long live = 0;     // blocks handed out since start() and not yet freed
    int recorded = 0;  // sizes[0 .. recorded) are the successful requests
    std::size_t sizes[kMaxRecorded] = {};
};

// From now on, allocation number `fail_at` (counted from 1) fails, and with
// `keep_failing` every one after it too.
void start(long fail_at, bool keep_failing);

// Ends the failing and the counting, and reports what happened since start().
Report stop();

} // namespace failing_malloc

#endif

// SPDX-License-Identifier: MIT
// The allocation wrappers behind failing_malloc.h. Built without sanitizers:
// it only counts and forwards, and must not itself allocate.
#include "support/failing_malloc.h"

#include <cerrno>
#include <cstddef>

extern "C" {
void *__real_malloc(std::size_t size);
void *__real_calloc(std::size_t count, std::size_t size);
void *__real_realloc(void *block, std::size_t size);
void __real_free(void *block);
}

namespace {

constexpr int kMaxLive = 64;

struct State {
    bool active = false;
    long fail_at = 0;
    bool keep_failing = false;
    failing_malloc::Report report;
    void *live[kMaxLive] = {};
};

// One test thread drives this; nothing else allocates while it is active.
State state;

// Counts an attempt; true when this one is to fail.
bool fails_now()
{
    if (!state.active)
        return false;
    const long n = ++state.report.attempts;
    if (n == state.fail_at || (state.keep_failing && n > state.fail_at)) {
        ++state.report.injected;
        errno = ENOMEM;
        return true;
    }
    return false;
}

void track(void *block, std::size_t size)
{
    if (!state.active || block == nullptr)
        return;
    failing_malloc::Report &r = state.report;
    if (r.recorded < failing_malloc::kMaxRecorded)
        r.sizes[r.recorded++] = size;
    for (void *&slot : state.live) {
        if (slot == nullptr) {
            slot = block;
            ++r.live;
            return;
        }
    }
}

void untrack(void *block)
{
    if (!state.active || block == nullptr)
        return;
    for (void *&slot : state.live) {
        if (slot == block) {
            slot = nullptr;
            --state.report.live;
            return;
        }
    }
}

} // namespace

extern "C" void *__wrap_malloc(std::size_t size)
{
    if (fails_now())
        return nullptr;
    void *block = __real_malloc(size);
    track(block, size);
    return block;
}

extern "C" void *__wrap_calloc(std::size_t count, std::size_t size)
{
    if (fails_now())
        return nullptr;
    void *block = __real_calloc(count, size);
    track(block, count * size);
    return block;
}

extern "C" void *__wrap_realloc(void *block, std::size_t size)
{
    if (fails_now())
        return nullptr; // the old block stays the caller's
    void *moved = __real_realloc(block, size);
    if (moved != nullptr) {
        untrack(block);
        track(moved, size);
    }
    return moved;
}

extern "C" void __wrap_free(void *block)
{
    untrack(block);
    __real_free(block);
}

namespace failing_malloc {

void start(long fail_at, bool keep_failing)
{
    state = State{};
    state.fail_at = fail_at;
    state.keep_failing = keep_failing;
    state.active = true;
}

Report stop()
{
    state.active = false;
    return state.report;
}

} // namespace failing_malloc

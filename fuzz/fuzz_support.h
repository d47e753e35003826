// SPDX-License-Identifier: MIT
// Shared by the fuzz targets: the check that stops a run on a broken
// promise, and the cutting of one input into several texts.
#ifndef ZELVO_FUZZ_SUPPORT_H
#define ZELVO_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Unlike assert, stays on in release builds, and aborts so that libFuzzer
// keeps the input and the replay run fails.
#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : fuzz_failed(#condition, __FILE__, __LINE__))

[[noreturn]] inline void fuzz_failed(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, what);
    std::abort();
}

// The targets that compare with a quadratic reference skip longer inputs;
// libFuzzer's own default limit is 4096 bytes.
constexpr std::size_t kMaxInput = 4096;

// The input cut at its NUL bytes: "a\0b" gives "a" and "b". Always at least
// one text, and at most `limit`; the last one keeps any further NULs cut off.
inline std::vector<std::string> texts_of(const std::uint8_t *data, std::size_t size,
                                         std::size_t limit)
{
    std::vector<std::string> texts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && texts.size() < limit)
            texts.emplace_back();
        else if (data[i] != 0)
            texts.back().push_back(static_cast<char>(data[i]));
    }
    return texts;
}

#endif

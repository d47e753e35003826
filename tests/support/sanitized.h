// SPDX-License-Identifier: MIT
// Whether the address sanitizer is built in (g++ says so with a macro,
// clang with __has_feature): its runtime reads /proc and takes memory of
// its own, which some checks must allow for.
#ifndef ZELVO_TESTS_SANITIZED_H
#define ZELVO_TESTS_SANITIZED_H

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
constexpr bool sanitized = __has_feature(address_sanitizer);
#else
constexpr bool sanitized = false;
#endif

#endif

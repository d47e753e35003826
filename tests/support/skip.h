// SPDX-License-Identifier: MIT
// Skipping a test whose tool is missing.
#ifndef ZELVO_TESTS_SKIP_H
#define ZELVO_TESTS_SKIP_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

// A skip where ZELVO_REQUIRE_ALL is unset; a failure where it is 1, as it is
// in CI, which installs every tool the tests need.
inline ::testing::TestPartResult::Type missing_tool_result()
{
    const char *all = std::getenv("ZELVO_REQUIRE_ALL");
    return all != nullptr && std::strcmp(all, "1") == 0 ? ::testing::TestPartResult::kFatalFailure
                                                        : ::testing::TestPartResult::kSkip;
}

// Ends the test as GTEST_SKIP() does, or as a failure (above), with "SKIP: "
// and the reason streamed after it: ZELVO_SKIP() << "no mandoc";
#define ZELVO_SKIP() \
    return ::testing::internal::AssertHelper(missing_tool_result(), __FILE__, __LINE__, "") = \
               ::testing::Message() << "SKIP: "

#endif

// SPDX-License-Identifier: MIT
// Every heap allocation of the allocating functions made to fail in turn:
// the failure is reported exactly as documented and nothing is left behind.
#include "support/failing_malloc.h"

#include "strutil.h"
#include "strutil.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace {

enum class Mode { Once, FromThenOn };
constexpr Mode modes[] = {Mode::Once, Mode::FromThenOn};

const char *mode_name(Mode mode)
{
    return mode == Mode::Once ? "only the Nth fails" : "the Nth and all after it fail";
}

// What one call left behind. `run` makes the call and, when it succeeded,
// releases the result, so that the report's live count covers both.
struct Call {
    int result = 0;
    int count = 0;
    char **array = nullptr;
    std::vector<std::size_t> expected_sizes; // of a successful call
};

// Makes allocation N fail for N = 1, 2, ... until a call completes without
// reaching its Nth allocation. `failed(n, call)` checks a failed call, where
// n is the allocation that failed. Returns the number of failure points.
int exercise(Mode mode, const std::function<Call()> &run,
             const std::function<void(long, const Call &)> &failed)
{
    for (long n = 1; n <= 8; ++n) {
        SCOPED_TRACE("failing allocation " + std::to_string(n));
        failing_malloc::start(n, mode == Mode::FromThenOn);
        const Call call = run();
        const failing_malloc::Report report = failing_malloc::stop();
        EXPECT_EQ(report.live, 0);
        if (report.injected == 0) {
            // Completed: exactly the documented allocations, at their sizes.
            EXPECT_EQ(report.attempts, n - 1);
            EXPECT_EQ(std::vector<std::size_t>(report.sizes, report.sizes + report.recorded),
                      call.expected_sizes);
            return static_cast<int>(n - 1);
        }
        // The first failure ends the call: nothing is retried.
        EXPECT_EQ(report.attempts, n);
        EXPECT_EQ(report.injected, 1);
        failed(n, call);
    }
    ADD_FAILURE() << "the call never completed";
    return -1;
}

char *sentinel[1];

} // namespace

TEST(AllocationFailure, ParseString)
{
    for (const char *text : {"pcl,port,lwidth=0.3", ",,,", "a"}) {
        for (const Mode mode : modes) {
            SCOPED_TRACE(std::string(text) + ", " + mode_name(mode));
            const auto run = [text] {
                Call c;
                c.array = sentinel;
                c.count = -5;
                c.result = parse_string(text, ',', &c.count, &c.array);
                if (c.result == 0) {
                    c.expected_sizes = {std::strlen(text) + 1,
                                        static_cast<std::size_t>(c.count) * sizeof(char *)};
                    free_parsed_array(c.count, c.array);
                }
                return c;
            };
            // Both failures clear both out-parameters.
            const int points = exercise(mode, run, [](long, const Call &c) {
                EXPECT_EQ(c.result, -1);
                EXPECT_EQ(c.count, 0);
                EXPECT_EQ(c.array, nullptr);
            });
            EXPECT_EQ(points, 2);
        }
    }
}

namespace {

// The tokenizers leave the array pointer alone when the buffer cannot be
// had, and set it to null when the array cannot.
void tokenizer_failed(long n, const Call &c)
{
    EXPECT_EQ(c.result, -1);
    EXPECT_EQ(c.count, 0);
    EXPECT_EQ(c.array, n == 1 ? sentinel : nullptr);
}

Call tokenized(int result, int count, char **array, std::size_t buffer_size)
{
    Call c;
    c.result = result;
    c.count = count;
    c.array = array;
    if (result == 0) {
        c.expected_sizes = {buffer_size, static_cast<std::size_t>(count + 1) * sizeof(char *)};
        free_parsed_array(count, array);
    }
    return c;
}

} // namespace

TEST(AllocationFailure, ParseCommand)
{
    for (const char *command : {"cp \"my file\" x", "   ", "  a b", "x \"ab\"cd"}) {
        for (const Mode mode : modes) {
            SCOPED_TRACE(std::string(command) + ", " + mode_name(mode));
            const auto run = [command] {
                int count = -5;
                char **array = sentinel;
                const int result = parse_command(command, &count, &array);
                return tokenized(result, count, array, std::strlen(command) + 1);
            };
            EXPECT_EQ(exercise(mode, run, tokenizer_failed), 2);
        }
    }
}

TEST(AllocationFailure, ParseCommandLine)
{
    const struct {
        const char *first;
        const char *second;
    } rows[] = {{"prog", "a b"}, {"", "a b"}, {"prog", ""}, {"my prog", "\"x y\" z"}};
    for (const auto &row : rows) {
        for (const Mode mode : modes) {
            SCOPED_TRACE(std::string(row.first) + "|" + row.second + ", " + mode_name(mode));
            const auto run = [&row] {
                int count = -5;
                char **array = sentinel;
                const int result = parse_command_line(row.first, row.second, &count, &array);
                return tokenized(result, count, array,
                                 std::strlen(row.first) + std::strlen(row.second) + 2);
            };
            EXPECT_EQ(exercise(mode, run, tokenizer_failed), 2);
        }
    }
}

TEST(AllocationFailure, CreateString)
{
    for (const char *text : {"abc", ""}) {
        for (const Mode mode : modes) {
            SCOPED_TRACE(std::string(text) + ", " + mode_name(mode));
            const auto run = [text] {
                Call c;
                char *made = create_string(text);
                c.result = made == nullptr ? -1 : 0;
                if (made != nullptr) {
                    EXPECT_STREQ(made, text);
                    c.expected_sizes = {std::strlen(text) + 1};
                    std::free(made);
                }
                return c;
            };
            EXPECT_EQ(exercise(mode, run, [](long, const Call &c) { EXPECT_EQ(c.result, -1); }), 1);
        }
    }
}

TEST(AllocationFailure, CreateStrcat)
{
    const struct {
        const char *first;
        const char *second;
        const char *third;
    } rows[] = {{"ab", "cde", "f"}, {"", "", ""}, {"", "x", ""}};
    for (const auto &row : rows) {
        for (const Mode mode : modes) {
            const std::string joined = std::string(row.first) + row.second + row.third;
            SCOPED_TRACE(joined + ", " + mode_name(mode));
            const auto run = [&row, &joined] {
                Call c;
                char *made = create_strcat(row.first, row.second, row.third);
                c.result = made == nullptr ? -1 : 0;
                if (made != nullptr) {
                    EXPECT_EQ(joined, made);
                    c.expected_sizes = {joined.size() + 1};
                    std::free(made);
                }
                return c;
            };
            EXPECT_EQ(exercise(mode, run, [](long, const Call &c) { EXPECT_EQ(c.result, -1); }), 1);
        }
    }
}

// An owner made from views: a copy that cannot be made reaches the C
// function as a NULL text, so every failure gives an empty owner and leaves
// nothing behind.
TEST(AllocationFailure, OwnerFromViews)
{
    const std::string_view first = "lp -d", second = "\"a queue\"";
    for (const Mode mode : modes) {
        SCOPED_TRACE(mode_name(mode));
        long completed_at = 0; // after the two copies and the C function's two
        for (long n = 1; n <= 8 && completed_at == 0; ++n) {
            failing_malloc::start(n, mode == Mode::FromThenOn);
            const bool made = strutil::parse_command_line(first, second).size() == 3;
            const failing_malloc::Report report = failing_malloc::stop();
            EXPECT_EQ(report.live, 0) << "failing allocation " << n;
            EXPECT_EQ(made, report.injected == 0) << "failing allocation " << n;
            if (report.injected == 0)
                completed_at = n;
        }
        EXPECT_EQ(completed_at, 5);
    }
}

TEST(AllocationFailure, RefusedInputAllocatesNothing)
{
    // Refusals come before any allocation, so there is nothing to fail.
    int count = -5;
    char **array = sentinel;
    failing_malloc::start(1, true);
    const int split = parse_string("", ',', &count, &array);
    const int split_count = count;
    char **const split_array = array;
    const int command = parse_command(nullptr, &count, &array);
    const int line = parse_command_line("", "", &count, &array);
    const char *copy = create_string(nullptr);
    const char *joined = create_strcat("a", nullptr, "b");
    const failing_malloc::Report report = failing_malloc::stop();
    EXPECT_EQ(report.attempts, 0);
    EXPECT_EQ(split, -1);
    EXPECT_EQ(split_count, 0);
    EXPECT_EQ(split_array, nullptr);
    EXPECT_EQ(command, -1);
    EXPECT_EQ(line, -1);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(array, nullptr); // parse_string cleared it; the tokenizers left it
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(joined, nullptr);
}

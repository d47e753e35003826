// SPDX-License-Identifier: MIT
// The twelve in-place editors. Byte 0 picks the editor, bytes 1 to 4 its
// arguments, the rest is the string. Each editor runs on a copy with a guard
// area after the terminator and is compared with its step-by-step version.
#include "fuzz_support.h"
#include "reference.h"
#include "strutil.h"

#include <cstring>

namespace {

struct Editor {
    int (*edit)(char *, int, int);
    int (*reference)(char *, int, int);
    int results; // bit mask of the allowed results: 1 for 0, 2 for 1
};

// The editors take one of three shapes; these adapters give them one.
template <int (*F)(char *)>
int no_args(char *s, int, int)
{
    return F(s);
}
template <int (*F)(char *, int)>
int one_arg(char *s, int a, int)
{
    return F(s, a);
}

const Editor editors[] = {
    {fill_string, reference_fill_string, 1},
    {one_arg<strip_string>, one_arg<reference_strip_string>, 1},
    {no_args<wsstrip_string>, no_args<reference_wsstrip_string>, 2},
    {no_args<wstrim_string>, no_args<reference_wstrim_string>, 2},
    {no_args<trim_string>, no_args<reference_trim_string>, 1},
    {no_args<trim_cr_string>, no_args<reference_trim_cr_string>, 1},
    {no_args<strip_spaces>, no_args<reference_strip_spaces>, 1},
    {no_args<strip_escape>, no_args<reference_strip_escape>, 1},
    {one_arg<shift_string>, one_arg<reference_shift_string>, 1},
    {no_args<up_string>, no_args<reference_up_string>, 3},
    {no_args<low_string>, no_args<reference_low_string>, 3},
    {no_args<clean_line>, no_args<reference_clean_line>, 3},
};

constexpr std::size_t kGuard = 16;
constexpr char kGuardByte = '\x5a';

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 5 || size > kMaxInput)
        return 0;
    const Editor &editor = editors[data[0] % 12];
    // Whole ints: only the low byte of a character argument may count, and
    // shift_string sees every count, INT_MIN included.
    int a;
    std::memcpy(&a, data + 1, sizeof a);
    const int b = static_cast<int>(data[3]) << 8 | data[4];

    // The string is the raw tail, NULs included: the bytes behind the first
    // NUL must survive every editor.
    const std::size_t length = size - 5;
    std::vector<char> mine(length + 1 + kGuard, kGuardByte);
    std::memcpy(mine.data(), data + 5, length);
    mine[length] = '\0';
    std::vector<char> theirs = mine;
    const std::size_t before = std::strlen(mine.data());

    const int result = editor.edit(mine.data(), a, b);
    const int expected = editor.reference(theirs.data(), a, b);
    FUZZ_CHECK(result == expected);
    FUZZ_CHECK((editor.results >> result & 1) == 1);
    FUZZ_CHECK(std::strlen(mine.data()) <= before);
    // Nothing past the first terminator changes, and everything before it
    // matches the procedure byte for byte.
    FUZZ_CHECK(mine == theirs);
    for (std::size_t i = before + 1; i < length; ++i)
        FUZZ_CHECK(mine[i] == static_cast<char>(data[5 + i]));
    for (std::size_t i = length + 1; i < mine.size(); ++i)
        FUZZ_CHECK(mine[i] == kGuardByte);
    return 0;
}

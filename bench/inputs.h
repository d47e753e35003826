// SPDX-License-Identifier: MIT
// Inputs shared by the string benchmarks: each maker returns a text of
// exactly the requested length, built the same way for strutil and GLib so
// that both sides always work on identical bytes.
#ifndef ZELVO_BENCH_INPUTS_H
#define ZELVO_BENCH_INPUTS_H

#include <cstddef>
#include <string>

namespace bench_input {

// Repeats `unit` up to `length` bytes, then overwrites the last bytes with
// `tail`, which must be shorter than `length`.
inline std::string repeated(const std::string &unit, std::size_t length,
                            const std::string &tail = "")
{
    std::string text;
    text.reserve(length);
    while (text.size() < length)
        text.append(unit, 0, length - text.size());
    text.replace(length - tail.size(), tail.size(), tail);
    return text;
}

// A comma-separated list of 7-byte fields, one token per 8 bytes, without a
// separator at the end.
inline std::string list(std::size_t length)
{
    return repeated("field7,", length, "x");
}

// A command line of plain and quoted words: "cp "my file" x " repeated, which
// both tokenizers split the same way. It ends on a plain word, never inside a
// quote.
inline std::string command(std::size_t length)
{
    const std::string unit = "cp \"my file\" x ";
    std::string text;
    text.reserve(length);
    while (text.size() + unit.size() < length)
        text += unit;
    text.append(length - text.size(), 'a');
    return text;
}

// Letters of both cases with digits and punctuation.
inline std::string mixed_case(std::size_t length)
{
    return repeated("The Quick Brown Fox, 0123! ", length, "x");
}

// Words between runs of one to four blanks; no leading blank, and
// `trailing_blanks` blanks at the end.
inline std::string blank_runs(std::size_t length, std::size_t trailing_blanks)
{
    return repeated("word two  three   four    ", length, std::string(trailing_blanks, ' '));
}

// Pseudo-random lower-case letters (a fixed linear congruential sequence).
inline std::string letters(std::size_t length)
{
    std::string text(length, 'a');
    unsigned state = 12345;
    for (char &c : text) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>('a' + (state >> 16) % 26);
    }
    return text;
}

} // namespace bench_input

#endif

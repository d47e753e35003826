// SPDX-License-Identifier: MIT
// Plain step-by-step versions of the library functions that are written for
// speed. They follow the documented procedures literally, quadratic where the
// procedure is, and serve only as the fuzz targets' oracle.
#ifndef ZELVO_FUZZ_REFERENCE_H
#define ZELVO_FUZZ_REFERENCE_H

#include <cstddef>
#include <vector>

struct ReferenceTokens {
    std::vector<char> buffer;        // the token buffer with its terminator
    std::vector<std::size_t> starts; // each word's offset in it, element 0 first
};

// The command tokenizer on an already joined text: trailing blanks cut, then
// the filling pass position by position.
ReferenceTokens reference_tokenize(const char *text);

const char *reference_strlstr(const char *text, const char *pattern);

int reference_fill_string(char *s, int find, int replacement);
int reference_strip_string(char *s, int c);
int reference_wsstrip_string(char *s);
int reference_wstrim_string(char *s);
int reference_trim_string(char *s);
int reference_trim_cr_string(char *s);
int reference_strip_spaces(char *s);
int reference_strip_escape(char *s);
int reference_shift_string(char *s, int count);
int reference_up_string(char *s);
int reference_low_string(char *s);
int reference_clean_line(char *s);

#endif

/*
 * strutil: string utilities on NUL-terminated byte strings.
 *
 * Token arrays, in-place editing, classification and lookup, building and
 * number formatting. Plain C interface; every function is safe to call from
 * any number of threads on different arguments, and none keeps state.
 *
 * Memory handed to the caller comes from malloc: a created string is released
 * with free(), a token array with free_parsed_array().
 */
#ifndef STRUTIL_H
#define STRUTIL_H

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Splitting ---------------------------------------------------------
 *
 * A token array ("parsed array") is an array of char pointers whose element 0
 * is the start of one heap buffer holding every token; elements 1 to count-1
 * point into that same buffer. Release it with free_parsed_array(), never
 * token by token.
 */

/*
 * parse_string: splits `text` at every occurrence of one separator byte.
 *
 * `separator` is an int of which only the low 8 bits are used. Trailing
 * separators (any number) are dropped first; every remaining separator ends
 * a token, so a leading separator gives an empty first token and two adjacent
 * separators an empty token between them. Tokens are not trimmed. A NUL
 * separator gives the whole text as the single token.
 *
 * `*count` and `*array` are set to 0 and NULL before anything else, so both
 * pointers must be valid. On success `*array` holds exactly `*count` (>= 1)
 * elements, with no terminating NULL element, and the result is 0.
 * `text` is never modified.
 *
 * Returns -1 with `*count` 0 and `*array` NULL when `text` is NULL or empty,
 * or when memory runs out; nothing is left allocated then.
 */
int parse_string(const char *text, int separator, int *count, char ***array);

/*
 * free_parsed_array: releases a token array from parse_string (or from the
 * command tokenizers): first element 0's buffer, then the array itself.
 * Does nothing when `count` is 0 or `array` is NULL. Always returns 0.
 */
int free_parsed_array(int count, char **array);

/* ---- Command tokenizing ------------------------------------------------
 * Words at blanks, with double quotes grouping, as a NULL-ended token array.
 */

/* ---- In-place editing ---------------------------------------------------
 * Editors that change a caller's writable string where it lies; none of them
 * allocates or lengthens the string.
 */

/* ---- Classification and lookup ------------------------------------------
 * Read-only predicates and lookups; none allocates or writes.
 */

/*
 * The predicates below return 1 or 0, never another value, and accept a NULL
 * text, which they treat like an empty one. Letters and digits are the
 * isalpha and isdigit classes of the current locale (in the POSIX locale
 * exactly A-Z, a-z and 0-9; no byte from 128 up).
 */

/*
 * string_is_float: 1 when `s` holds a '.' or an upper-case 'E' anywhere;
 * nothing else is examined ("abc.def" gives 1, "1e5" gives 0).
 * NULL or empty: 0.
 */
int string_is_float(const char *s);

/* string_is_alpha: 1 when every byte of `s` is a letter. NULL or empty: 0. */
int string_is_alpha(const char *s);

/*
 * string_is_num: 1 when every byte of `s` after at most one leading '-' is a
 * digit. No '+', blank, point or exponent; any number of digits; a lone "-"
 * gives 1. NULL or empty: 0.
 */
int string_is_num(const char *s);

/*
 * string_is_num_len: 1 when the first `n` bytes of `s` are all digits, or
 * when `n` is 0 or less; bytes after them are not examined. A text shorter
 * than `n` gives 0 and is not read past its end. No sign is accepted.
 * NULL or empty: 0 whatever `n` is.
 */
int string_is_num_len(const char *s, int n);

/*
 * string_is_blank: 1 when every byte of `s`, read as a signed char, is at
 * most 32: the control characters, the space and every byte from 128 up
 * (DEL, 127, is not blank). NULL or empty: 1.
 */
int string_is_blank(const char *s);

/*
 * searchstr: 1 when one of `list[0]` to `list[count-1]` equals `text` as a
 * whole, ignoring letter case (strcasecmp); else 0. A `count` of 0 or less
 * gives 0 without reading `list` or `text`; otherwise all of those entries
 * and `text` must be valid strings.
 */
int searchstr(const char *const *list, int count, const char *text);

/*
 * strlstr: the start of the last (rightmost) occurrence of `pattern` in
 * `text`, case significant, overlapping occurrences counted ("aa" in "aaa"
 * is found at offset 1). The result points into `text` itself; NULL when
 * there is no occurrence, and always when `text` is empty. The empty pattern
 * gives the last character of a non-empty `text`. Neither argument may be
 * NULL. Time is linear in the lengths of both, for any pattern.
 */
char *strlstr(const char *text, const char *pattern);

/*
 * chk_arg: what the argument word `arg` names within a list of keywords:
 * the position (0 to count-1) of the first keyword equal to `arg` ignoring
 * letter case; else the number `arg` holds when it lies from 1 to `count`,
 * returned as it is; else -9999. The number is read like "%d" reads it:
 * leading white space and a sign are allowed and anything after the digits is
 * ignored (" 2" and "2x" give 2, "3.9" gives 3); a numeral too large for an
 * int is out of range. A `count` of 0 or less always gives -9999. `arg` and
 * list entries 0 to count-1 must be valid strings.
 */
int chk_arg(const char *arg, const char *const *list, int count);

/* ---- Building and number formatting -------------------------------------
 * New heap strings (released with free()) and writes into caller buffers.
 */

#ifdef __cplusplus
}
#endif

#endif /* STRUTIL_H */

// SPDX-License-Identifier: MIT
/*
 * strutil: string utilities on NUL-terminated byte strings.
 *
 * Token arrays, in-place editing, classification and lookup, building and
 * number formatting. Plain C interface; every function is safe to call from
 * any number of threads on different arguments, and none keeps state.
 *
 * Memory handed to the caller comes from malloc: a created string is released
 * with free(), a token array with free_parsed_array().
 *
 * Kept on purpose, because existing callers link against these functions and
 * rely on what they do:
 *  - the historical names without a prefix (parse_string, set_num, chk_arg
 *    and the rest), although strlstr, strntcpy and strmcat lie among the
 *    str... names C reserves for <string.h>;
 *  - results that never vary: free_parsed_array always 0, strntcpy always 1,
 *    fill_string, strip_string, trim_string, trim_cr_string, strip_spaces,
 *    strip_escape and shift_string always 0, wsstrip_string and
 *    wstrim_string always 1;
 *  - the quirks: parse_string drops trailing separators and refuses an empty
 *    text rather than giving no tokens; the command tokenizers keep leading
 *    blanks in element 0; chk_arg answers -9999 when nothing matches, and
 *    counts keyword positions from 0 but numbers from 1; string_is_float
 *    looks only for a '.' or an 'E'; set_num takes the power of ten before
 *    rounding, so 9.999 with three digits prints 10.00.
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
 *
 * Only the space (code 32) separates words; tabs, line ends and every other
 * byte are word characters, and there is no escape character. Trailing
 * blanks are dropped first. Element 0 is always the start of the buffer, so
 * leading blanks stay in it: "  a b" gives "  a", "a", "b". Every further
 * word starts at a non-blank after a blank, or right after a closing quote;
 * a run of blanks of any length separates two words. A further word that
 * starts with '"' runs to the next '"' (or to the end of the text), blanks
 * included, without its quotes: 'cp "my file" x' gives "cp", "my file",
 * "x"; '""' is an empty word; 'x "ab"cd' gives "x", "ab", "cd". A quote
 * anywhere else, the first byte of the text included, is an ordinary
 * character.
 *
 * On success the result is 0, `*count` (>= 1) is the number of words and
 * `*array` holds them, followed by a NULL element; the caller releases both
 * with free_parsed_array(*count, *array). The input is never modified.
 * `*count` is set to 0 before anything else. On failure the result is -1
 * and `*count` is 0; `*array` is NULL when memory for the array ran out and
 * is left as the caller had it on every other failure, so decide by the
 * result, not by `*array`. Nothing is left allocated on failure.
 */

/*
 * parse_command: tokenizes `command`. A NULL or empty command is refused.
 */
int parse_command(const char *command, int *count, char ***array);

/*
 * parse_command_line: tokenizes `first`, one blank and `second` as one text,
 * exactly as parse_command would: ("prog", "a b") gives "prog", "a", "b".
 * Either text may be empty, but not both; an empty `first` leaves the
 * joining blank at the front of element 0. A NULL text is refused.
 */
int parse_command_line(const char *first, const char *second, int *count, char ***array);

/* ---- In-place editing ---------------------------------------------------
 * Editors that change a caller's writable string where it lies; none of them
 * allocates or lengthens the string.
 *
 * Each takes a writable NUL-terminated string `s`, runs in one pass, and
 * reports no failure through its result. A NULL `s` changes nothing; the
 * result is then the one given below (0 for up_string, low_string and
 * clean_line).
 * Bytes are compared by their unsigned value and no locale is consulted.
 * Characters "cut" off the end get a NUL written over each one; characters
 * "removed" close up the string, and the bytes this frees up to the old
 * terminator become NUL.
 */

/*
 * fill_string: replaces each `find` byte by `replacement`, from the start.
 * Only the low 8 bits of both are used. A NUL replacement ends the string at
 * the first occurrence; the bytes after it, later occurrences included, are
 * left as they were. A NUL `find` changes nothing. Returns 0.
 */
int fill_string(char *s, int find, int replacement);

/*
 * strip_string: removes every byte equal to the low 8 bits of `c`, wherever
 * it stands. A NUL `c` changes nothing. Returns 0.
 */
int strip_string(char *s, int c);

/*
 * wsstrip_string: removes every LF (10) and CR (13), wherever they stand;
 * all other bytes stay. Returns 1.
 */
int wsstrip_string(char *s);

/*
 * wstrim_string: removes every LF and CR as wsstrip_string does, then cuts
 * the blanks that end the result, as trim_string does. Returns 1.
 */
int wstrim_string(char *s);

/*
 * trim_string: cuts every blank (32) off the end; any other byte at the end,
 * a tab, CR or LF, stops it. Returns 0.
 */
int trim_string(char *s);

/*
 * trim_cr_string: cuts every CR (13) off the end; any other byte at the end
 * stops it, so CR LF stays. Returns 0.
 */
int trim_cr_string(char *s);

/*
 * strip_spaces: cuts the trailing blanks as trim_string does, then shrinks
 * every run of blanks (32 only) to one blank; a leading run leaves one
 * leading blank. Returns 0.
 */
int strip_spaces(char *s);

/*
 * strip_escape: removes each backslash (92) and keeps the byte after it as it
 * is, so a doubled backslash gives one; a final backslash is removed. No
 * escape is translated: a backslash before n gives n. Returns 0.
 */
int strip_escape(char *s);

/*
 * shift_string: drops `count` characters from the end when `count` >= 0, by
 * writing one NUL at the new end (the dropped bytes stay behind it); drops
 * -`count` characters from the start when `count` < 0, moving the rest to
 * the front. A count at least the length (either sign) empties the string.
 * Returns 0.
 */
int shift_string(char *s, int count);

/*
 * up_string: turns the ASCII letters a to z into A to Z; every other byte
 * stays. Returns 0 for a NULL or empty string, else 1.
 */
int up_string(char *s);

/*
 * low_string: turns the ASCII letters A to Z into a to z; every other byte
 * stays. Returns 0 for a NULL or empty string, else 1.
 */
int low_string(char *s);

/*
 * clean_line: cuts the control bytes (1 to 31, any mix) that end the line,
 * then turns every remaining byte below 32 or above 127 into a blank; DEL
 * (127) and trailing blanks stay. Returns 0 for a NULL or empty string, else
 * 1 (also when the whole string was cut).
 */
int clean_line(char *s);

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
 * whole, ignoring letter case as strcasecmp does, by the LC_CTYPE category
 * of the current locale (in the POSIX locale the ASCII letters only); else 0.
 * A `count` of 0 or less gives 0 without reading `list` or `text`; otherwise
 * all of those entries and `text` must be valid strings.
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
 * letter case as searchstr does; else the number `arg` holds when it lies
 * from 1 to `count`, returned as it is; else -9999. The number is read like
 * "%d" reads it: leading white space and a sign are allowed and anything
 * after the digits is ignored (" 2" and "2x" give 2, "3.9" gives 3); a
 * numeral too large for an int is out of range. A `count` of 0 or less always
 * gives -9999. `arg` and list entries 0 to count-1 must be valid strings.
 */
int chk_arg(const char *arg, const char *const *list, int count);

/* ---- Building and number formatting -------------------------------------
 * New heap strings (released with free()) and writes into caller buffers.
 */

/*
 * create_string: returns a new heap copy of `text` (length + 1 bytes, with
 * its terminator), to be released with free().
 *
 * Returns NULL, allocating nothing, when `text` is NULL or memory runs out.
 * An empty text gives a new 1-byte empty string.
 */
char *create_string(const char *text);

/*
 * create_strcat: returns a new heap string holding `first`, `second` and
 * `third` one after another (the sum of their lengths + 1 bytes), to be
 * released with free(). Empty texts are allowed; three of them give a new
 * 1-byte empty string.
 *
 * Returns NULL, allocating nothing, when any of the three is NULL or memory
 * runs out.
 */
char *create_strcat(const char *first, const char *second, const char *third);

/*
 * strntcpy: copies exactly the first `n` bytes of `src` to `dest`, a NUL
 * among them included, then writes a NUL at `dest[n]`. The bytes are copied
 * one by one from the first, so `src` may lie further on in `dest`'s buffer.
 *
 * `dest` must have room for n + 1 bytes and `src` n readable bytes; neither
 * is checked for NULL. When `n` is 0 or less only `dest[0]` is set to NUL and
 * `src` is not read. Always returns 1.
 */
int strntcpy(char *dest, const char *src, int n);

/*
 * strmcat: appends `src` to the string in `dest`, cut so that the length of
 * `dest` never exceeds `max` (not counting the terminator); `dest` must have
 * room for max + 1 bytes.
 *
 * Returns 1 when it appended, whole or cut (also for an empty `src`, as long
 * as `dest` is shorter than `max`). Returns 0 and leaves `dest` unchanged
 * when `dest` or `src` is NULL or the length of `dest` is already `max` or
 * more, which always holds for a `max` of 0 or less.
 */
int strmcat(char *dest, const char *src, int max);

/*
 * set_num: prints `value` into `out` with a number of significant digits,
 * a least number of decimals and a least field width, and returns `out`.
 *
 * `spec` is "W.S.M", read like "%d.%d.%d": W the least width (0 or less means
 * S + 1; above 9 it becomes 9), S the significant digits, M the least
 * decimals. Numbers missing from the text count as 0. With e the power of
 * ten of the value's leading digit, the value gets S - e - 1 decimals, but
 * at least M, at least 0 and at most 999, and the width is raised to the
 * number of decimals. A magnitude below 1e-05 prints as zero without a sign,
 * with e taken as 2; not-a-number and the infinities take e as 0 and print
 * as the C library prints them. The value is rounded as printf rounds it in
 * the current rounding mode, so 9.999 with three digits prints 10.00.
 *
 * `out` must have room for the whole text and its terminator: the width is a
 * least width and integer digits are never cut. `spec` must not be NULL.
 */
char *set_num(char *out, const char *spec, float value);

#ifdef __cplusplus
}
#endif

#endif /* STRUTIL_H */

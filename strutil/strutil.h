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
 * as the C library prints them. The value is rounded as printf rounds, so
 * 9.999 with three digits prints 10.00.
 *
 * `out` must have room for the whole text and its terminator: the width is a
 * least width and integer digits are never cut. `spec` must not be NULL.
 */
char *set_num(char *out, const char *spec, float value);

#ifdef __cplusplus
}
#endif

#endif /* STRUTIL_H */

// SPDX-License-Identifier: MIT
/*
 * A C99 program built against an installed strutil through pkg-config.
 * Calls functions of every group and exits 1 on the first wrong result.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strutil.h>

static int failures = 0;

static void check(int ok, const char *what)
{
    if (!ok) {
        fprintf(stderr, "consumer.c: wrong result: %s\n", what);
        failures++;
    }
}

static void check_str(const char *got, const char *want, const char *what)
{
    check(got != NULL && strcmp(got, want) == 0, what);
}

static void splitting(void)
{
    int count = -1;
    char **array = NULL;
    check(parse_string("lj,,rot=90,,", ',', &count, &array) == 0, "parse_string result");
    check(count == 3, "parse_string count");
    if (count == 3) {
        check_str(array[0], "lj", "parse_string token 0");
        check_str(array[1], "", "parse_string token 1");
        check_str(array[2], "rot=90", "parse_string token 2");
    }
    check(free_parsed_array(count, array) == 0, "free_parsed_array");
    check(parse_string("", ',', &count, &array) == -1 && count == 0 && array == NULL,
          "parse_string of an empty text");
}

static void tokenizing(void)
{
    int count = 0;
    char **array = NULL;
    check(parse_command_line("lp", "-d \"my queue\" job.pcl", &count, &array) == 0,
          "parse_command_line result");
    check(count == 4, "parse_command_line count");
    if (count == 4) {
        check_str(array[2], "my queue", "parse_command_line quoted word");
        check(array[4] == NULL, "parse_command_line NULL element");
    }
    free_parsed_array(count, array);
    check(parse_command(NULL, &count, &array) == -1 && count == 0, "parse_command of NULL");
}

static void editing(void)
{
    char line[] = "  a\tb  c \r\n";
    check(clean_line(line) == 1, "clean_line result");
    check_str(line, "  a b  c ", "clean_line");
    check(strip_spaces(line) == 0, "strip_spaces result");
    check_str(line, " a b c", "strip_spaces");
    check(up_string(line) == 1, "up_string result");
    check_str(line, " A B C", "up_string");
    shift_string(line, -1);
    check_str(line, "A B C", "shift_string");
    strip_string(line, ' ');
    check_str(line, "ABC", "strip_string");
    {
        char escaped[] = "a\\\\b\\n";
        strip_escape(escaped);
        check_str(escaped, "a\\bn", "strip_escape");
    }
}

static void classifying(void)
{
    static const char *const keys[] = {"pcl", "lj", "port", "land"};
    const char *text = "a.b.a.b";
    check(string_is_num("-123") == 1 && string_is_num("1.5") == 0, "string_is_num");
    check(string_is_float("1E5") == 1 && string_is_float("1e5") == 0, "string_is_float");
    check(string_is_blank(NULL) == 1 && string_is_blank(" x") == 0, "string_is_blank");
    check(searchstr(keys, 4, "LAND") == 1 && searchstr(keys, 4, "lan") == 0, "searchstr");
    check(chk_arg("PORT", keys, 4) == 2 && chk_arg("3", keys, 4) == 3
              && chk_arg("5", keys, 4) == -9999,
          "chk_arg");
    check(strlstr(text, "a.b") == text + 4, "strlstr");
}

static void building(void)
{
    char buffer[16] = "ab";
    char out[32];
    char *joined = create_strcat("zelvo", "-", "strutil");
    char *copy = create_string("");
    check_str(joined, "zelvo-strutil", "create_strcat");
    check_str(copy, "", "create_string");
    free(joined);
    free(copy);
    check(create_string(NULL) == NULL, "create_string of NULL");

    check(strmcat(buffer, "cdef", 4) == 1, "strmcat result");
    check_str(buffer, "abcd", "strmcat");
    check(strmcat(buffer, "x", 4) == 0, "strmcat at max");
    strntcpy(buffer, "wxyz", 2);
    check_str(buffer, "wx", "strntcpy");

    check(set_num(out, "6.3.0", 3.14159f) == out, "set_num result");
    check_str(out, "  3.14", "set_num");
    check_str(set_num(out, "0.3.0", 9.999f), "10.00", "set_num rounding");
}

int main(void)
{
    splitting();
    tokenizing();
    editing();
    classifying();
    building();
    if (failures == 0)
        printf("consumer.c: all results as expected\n");
    return failures == 0 ? 0 : 1;
}

// SPDX-License-Identifier: MIT
/* Compiled as C99: the public header must be plain C. */
#include "strutil.h"

#include <stddef.h>

int header_c99_split(const char *text)
{
    int count = 0;
    char **array = NULL;
    if (parse_string(text, ',', &count, &array) != 0)
        return -1;
    free_parsed_array(count, array);
    return count;
}

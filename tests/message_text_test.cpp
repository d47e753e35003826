// SPDX-License-Identifier: MIT
#include "message_text.h"

#include <gtest/gtest.h>

#include <string>

TEST(Printable, ControlCharactersBecomeQuestionMarks)
{
    struct Row {
        std::string text;
        std::string expected;
    };
    const Row rows[] = {
        {"plot.plt", "plot.plt"},
        {"a\nSTATE: +media-empty-error", "a?STATE: +media-empty-error"},
        {"x\r\nPAGE: 42 42", "x??PAGE: 42 42"},
        {std::string("nul\0byte", 8), "nul?byte"},
        {"\x1b"
         "E\x7f\t",
         "?E??"},
        {"caf\xc3\xa9", "caf\xc3\xa9"}, // UTF-8 stays
        {"", ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(printable(row.text), row.expected);
    }
}

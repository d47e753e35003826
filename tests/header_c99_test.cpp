// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

extern "C" int header_c99_split(const char *text);

TEST(Header, CallableFromC)
{
    EXPECT_EQ(header_c99_split("a,b,c"), 3);
    EXPECT_EQ(header_c99_split(""), -1);
}

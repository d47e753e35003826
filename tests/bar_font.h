// SPDX-License-Identifier: MIT
// A stroke font whose labels can be worked out by hand: every character
// from '!' on is the same glyph, a bar up the middle of bounds -3 to 3, from
// the baseline to the cap height 21; ' ' has no strokes.
#ifndef ZELVO_TESTS_BAR_FONT_H
#define ZELVO_TESTS_BAR_FONT_H

#include "stroke_font.h"

#include <gtest/gtest.h>

#include <string>

inline StrokeFont bar_font()
{
    std::string text = "    1  1OU\n";
    for (int i = 0; i < 95; ++i)
        text += "    2  3OUR[RF\n";
    StrokeFontResult r = parse_stroke_font(text);
    EXPECT_TRUE(r.ok) << r.error;
    return r.font;
}

#endif

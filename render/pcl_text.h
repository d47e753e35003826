// SPDX-License-Identifier: MIT
// Text that a PCL job prints in PCL context, placed as the printer places
// it with its default font: 10 characters to the inch, lines as far apart
// as the page sets them (6 to the inch unless ESC &l # D or # C says
// otherwise), the first line's baseline 3/4 of a line under the top margin,
// at the left edge of the logical page. CR goes back to that edge, LF a line down (and
// not back), BS back a character, HT on to the next of the tab stops every
// 8 characters; a form feed keeps the cursor's place across the line on
// the next page. Other control bytes move nothing. The font itself is the
// sink's (TextRun).
#ifndef ZELVO_RENDER_PCL_TEXT_H
#define ZELVO_RENDER_PCL_TEXT_H

#include "pcl_page.h"

#include <string_view>

// The font's size and its character step, inches.
constexpr double kPclTextEm = 12.0 / kPointsPerInch;
constexpr double kPclCharacterStep = 0.1;

// Where the cursor is after a reset, and on a new page: the first line.
PclCursor pcl_home(const PclPage &page);

// The cursor after an escape sequence: ESC E, a page size or an orientation
// send it home; a new top margin or line spacing moves a home cursor to the
// new first line; ESC &a # H and # V (decipoints) and # C and # R (columns
// and lines) put it in place, or with a sign move it that far. `page` is the page after the
// sequence.
PclCursor pcl_cursor_after(PclCursor at, const EscapeSequence &sequence, const PclPage &page);

class PclTextListener {
public:
    // Printing characters from ' ' to '~', from `at` on; bytes above '~'
    // take a character's place and print nothing here.
    virtual void characters(PclCursor at, std::string_view run) = 0;

protected:
    ~PclTextListener() = default;
};

// Prints `bytes` (PCL context's, without ESC or form feed) from `at`, with
// lines `line_spacing` inches apart; returns where the cursor ends.
PclCursor print_pcl_text(PclCursor at, std::string_view bytes, double line_spacing,
                         PclTextListener &listener);

#endif

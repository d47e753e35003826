// SPDX-License-Identifier: MIT
// The PCL and HP-GL/2 bytes that the job puts around and into the plot.
#ifndef ZELVO_JOB_TEXT_H
#define ZELVO_JOB_TEXT_H

#include "fit.h"
#include "held_points.h"
#include "job_settings.h"
#include "plot_scanner.h"

#include <cstddef>

// Room for the hold text with its NUL: "PW100.0;", RO90 and RO270, each
// with its LF, and the line of P1 and P2.
constexpr std::size_t kHoldText = 24 + kPointsText;

// The text after every IN and BP of the plot: the pen width when one was
// given, then the rotation lines of the header, then `points`, the line
// that puts P1 and P2 where the job prints the plot (held_points.h), so
// that a plot scaled to them (SC) stays whole and keeps its proportions. A
// plot's own IP comes later and wins.
void hold_text(const JobSettings &settings, const char *points, char (&text)[kHoldText]);

// The degrees the printer turns the plot by: RO sets the rotation, it does
// not add to it, so the last rotation line decides.
int total_rotation(const JobSettings &settings);

// Room for the PCL settings with their NUL: copies, the printer setup,
// paper and the frame.
constexpr std::size_t kPageText = kFitCommands + PrinterSetup::capacity + 32;

// ESC &l<n>X (more than one copy only) sets the number of copies, the
// printer setup follows, and ESC &l<n>A sets the page size; the picture
// `frame` of -fit (or "") follows. The
// header has them after its ESC E, and a job that reads the plot has them
// again after every ESC E of the plot's own, which resets them.
void page_text(const JobSettings &settings, const char *frame, char (&text)[kPageText]);

// Room for the header's HP-GL/2 lines with their NUL.
constexpr std::size_t kHpglText = kHoldText + 32;

// Initialise, pen 1, absolute plotting, the pen width and the rotations,
// then `points`: the hold text's line where the job reads the plot, else "".
void hpgl_text(const JobSettings &settings, const char *points, char (&text)[kHpglText]);

// Room for the header with its NUL.
constexpr std::size_t kHeaderText = kPageText + kHpglText + 16;

// ESC E resets the printer; the page text; ESC %1B enters HP-GL/2, ESC &l1O
// picks landscape; then the HP-GL/2 lines.
void header_text(const char *page, const char *hpgl, char (&text)[kHeaderText]);

// Where a job that reads the plot ends a page at a PG that more drawing
// follows: back to PCL, a form feed, and HP-GL/2 again with the pen where it
// was. The HP-GL/2 settings carry over. The printer takes a page for blank,
// and ejects nothing at ESC E or ESC &l0H, unless the HP-GL/2 pen stands on
// it whenever a drawing is put down, the last time as the job leaves
// HP-GL/2: a plot that leaves its pen off the sheet (a fitted frame's origin
// often is) would lose the page. A form feed prints the page whatever it
// holds, and the scanner puts a break only where something is on the page.
constexpr const char *kPageBreak = "\033%0A\f\033%0B";

// Room for the trailer with its NUL.
constexpr std::size_t kTrailerText = 48;

// Deselect the pen and eject the page, back to PCL, reset. Where the job
// reads the plot, the trailer first closes what the plot leaves open (label
// text, a quoted string, a comment, PE data), so that none of it prints as
// text, and leaves out the HP-GL/2 line where the plot ends in PCL context
// or inside an escape sequence. Returns its length: a label terminator may
// be any byte, NUL too. With `drawn_on` (the scanner found something on the
// last page), a form feed ejects that page before the reset, as at
// kPageBreak.
std::size_t trailer_text(bool reading, const PlotScanner &scanner, bool drawn_on,
                         char (&text)[kTrailerText]);

// Data bytes an escape sequence still announces at the plot's end, which the
// printer would take the trailer for; they are written as zeros first. More
// than a PCL count can announce are left as they are.
std::size_t data_to_finish(const PlotScanner &scanner);

#endif

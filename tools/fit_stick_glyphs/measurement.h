// SPDX-License-Identifier: MIT
// Measuring one character's stick glyph against the printer's: a PCL job of
// rows of five of it, 2 to 14 mm high, along the page and up it, rendered
// at 100 dpi on the PCL interpreter and with zelvo's own renderer, and the
// agreement of their ink (tests/render/ink.h).
#ifndef ZELVO_TOOLS_MEASUREMENT_H
#define ZELVO_TOOLS_MEASUREMENT_H

#include "ink.h"
#include "stroke_font.h"

#include <string>

// The resolution the glyphs are fitted at: the agreement check's.
constexpr double kFitDpi = 100;

// The job that labels `c`, '!' to '~'.
std::string measurement_job(unsigned char c);

// The ink of the job's page as the interpreter prints it: `interpreter` is
// run as `INTERPRETER -r 100 JOB.pcl OUT.png` (render-pcl's form), on files
// in `folder` named after `name`. False, with `error`, where no page came.
bool printer_ink(const std::string &interpreter, const std::string &job, const std::string &folder,
                 const std::string &name, InkMask &ink, std::string &error);

// The ink of the job's page as zelvo-render draws it as PNG, its labels in
// `font` (with its stick_moves, the candidate table), written to and read
// back from `png_path`. False, with `error`, where the page is not the
// size of `printer`, the interpreter's page of the same job.
bool zelvo_ink(const std::string &job, const StrokeFont &font, const std::string &png_path,
               const InkMask &printer, InkMask &ink, std::string &error);

// How far the ink of two pages of one size agrees: 1 where they are alike.
double agreement(const InkMask &printer, const InkMask &zelvo);

#endif

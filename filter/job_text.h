// The PCL and HP-GL/2 bytes that the job puts around and into the plot.
#ifndef ZELVO_JOB_TEXT_H
#define ZELVO_JOB_TEXT_H

#include "fit.h"
#include "job_settings.h"

#include <cstddef>

// Room for the hold text with its NUL: "PW100.0;", RO90 and RO270, each with
// its LF.
constexpr std::size_t kHoldText = 32;

// The text after every IN and BP of the plot: the pen width when one was
// given, then the rotation lines of the header.
void hold_text(const JobSettings &settings, char (&text)[kHoldText]);

// The degrees the header's rotation lines turn the plot by, together.
int total_rotation(const JobSettings &settings);

// Room for the header with its NUL, the picture frame included.
constexpr std::size_t kHeaderText = kFitCommands + 96;

// ESC E resets the printer, ESC &l<n>X (more than one copy only) sets the
// number of copies and ESC &l<n>A the page size; the picture `frame` of -fit
// (or "") follows. ESC %1B enters HP-GL/2, ESC &l1O picks landscape; then
// initialise, pen 1, absolute plotting, the pen width and the rotations.
void header_text(const JobSettings &settings, const char *frame, char (&text)[kHeaderText]);

// Deselect the pen and eject the page (an HP-GL/2 line, left out where the
// plot leaves the printer in PCL context, which would print it as text),
// back to PCL, reset.
const char *trailer_text(bool in_pcl);

#endif

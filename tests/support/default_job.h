// SPDX-License-Identifier: MIT
// The bytes that zelvo's default job puts around a plot, as the tests
// expect them: the PCL reset; then, after any paper or picture-frame
// commands, HP-GL/2 mode and landscape ending the first line; the HP-GL/2
// setup (pen 1, absolute coordinates, 0.2 mm pens); the plot; and the
// trailer, which puts the pen away, ends the page, leaves HP-GL/2 and resets
// the printer.
#ifndef ZELVO_TESTS_DEFAULT_JOB_H
#define ZELVO_TESTS_DEFAULT_JOB_H

#include <string>

inline const std::string job_reset = "\x1b"
                                     "E";
inline const std::string job_hpgl_mode = "\x1b%1B\x1b&l1O\n";
inline const std::string job_first_line = job_reset + job_hpgl_mode;
inline const std::string job_setup = "IN;SP1;PA;PW0.2;\n";
inline const std::string job_header = job_first_line + job_setup;
inline const std::string job_trailer = "SP;PG;\n\x1b%0A\x1b"
                                       "E";

#endif

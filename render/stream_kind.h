// SPDX-License-Identifier: MIT
// Whether a stream is a PCL job or a plot, from its first bytes, as a
// printer takes it.
//
// A stream is a PCL job when it starts with ESC E, with a PCL escape
// sequence other than a plotter's device-control sequence (ESC .) and the
// one that enters HP-GL/2 (ESC % # B), or with a universal exit
// language (ESC %-12345X) whose PJL lines enter PCL. PJL's ENTER
// LANGUAGE=HPGL2 starts a plot, as a DesignJet takes it; PJL that enters no
// language leaves the bytes after it to tell. Anything else is a plot.
#ifndef ZELVO_STREAM_KIND_H
#define ZELVO_STREAM_KIND_H

#include <cstddef>
#include <string_view>

// The bytes of a stream that stream_is_pcl_job looks at, at the most.
constexpr std::size_t kStreamHead = 4096;

bool stream_is_pcl_job(std::string_view head);

#endif

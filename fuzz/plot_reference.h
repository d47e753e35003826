// SPDX-License-Identifier: MIT
// The plot stream read as a PCL 5 printer reads it, the whole stream at once
// and one byte after another, in the words of the rules at the top of
// plot_scanner.h: the oracle of the plot scanner's fuzz target, written for
// clarity and not for speed.
#ifndef ZELVO_FUZZ_PLOT_REFERENCE_H
#define ZELVO_FUZZ_PLOT_REFERENCE_H

#include <cstddef>
#include <cstdint>
#include <vector>

struct PlotReading {
    std::vector<std::size_t> holds; // offsets in the stream, its end included
    // Where the job mends the plot: the page breaks and the resets.
    std::vector<std::size_t> breaks;
    std::vector<std::size_t> resets;
    std::uint64_t pages_before_last_reset = 0;
    std::uint64_t pages = 0; // after the job's last reset
    bool ends_in_pcl = false;
    bool drawn = false;
    bool plot_size_found = false;
    std::uint64_t plot_length = 0;
    std::uint64_t plot_width = 0;
};

PlotReading reference_read_plot(const unsigned char *bytes, std::size_t size, bool job_mends);

#endif

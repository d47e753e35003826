// The settings of the printed job: what the printer is sent, and nothing of
// where the job goes or of how the program that runs it behaves.
#ifndef ZELVO_JOB_SETTINGS_H
#define ZELVO_JOB_SETTINGS_H

#include "paper_size.h"

#include <cstdint>
#include <optional>

// How the plot is wrapped. There is no third value: every way of setting the
// mode yields one of these two, so the PCL wrapper is always written.
enum WrapperMode : std::int32_t {
    ModePcl = 1, // PCL 5 wrapper around HP-GL/2
    ModeLj = 2,  // the same wrapper plus an extra 90-degree rotation
};

// The pen width the header sets when none is given, in millimetres.
constexpr float kDefaultPenWidth = 0.2f;

// Scaling the plot to the page.
struct FitToPage {
    // The size the plot is drawn for (millimetres, width along X); without
    // one, the size its first PS gives.
    std::optional<PlotExtent> plot_size;
};

struct JobSettings {
    WrapperMode wrapper_mode = ModePcl;
    std::int32_t rotation = 0; // only 90, 180 and 270 write a rotation line
    // Millimetres. The header sets kDefaultPenWidth without one; the hold
    // text sets only one that was given.
    std::optional<float> pen_width;
    // The pen width and rotations again after every IN and BP of the plot.
    bool hold = false;
    // The page size command, or null for none.
    const Paper *paper = nullptr;
    // Scale the plot to the page. Implies hold.
    std::optional<FitToPage> fit;
    // Above 1, the PCL number-of-copies command follows the first reset; the
    // printer then repeats the page itself. 1 leaves the header as it is.
    std::int32_t copies = 1;
};

#endif

// SPDX-License-Identifier: MIT
// The settings of the printed job: what the printer is sent, and nothing of
// where the job goes or of how the program that runs it behaves.
#ifndef ZELVO_JOB_SETTINGS_H
#define ZELVO_JOB_SETTINGS_H

#include "paper_size.h"

#include <cstddef>
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
    // Turn a plot of rotation 0 upright onto a portrait page (rotation 270)
    // when it prints larger so: a CUPS job that asks for no orientation.
    bool turn_to_fill = false;
    // Fit only a drawing that the page cannot hold as drawn; one that fits
    // prints at its own size (CUPS's print-scaling=auto-fit).
    bool only_if_larger = false;
};

// PCL commands for the printer's tray, duplex and the like, as a CUPS
// queue's PPD asks for them; "" for none.
struct PrinterSetup {
    static constexpr std::size_t capacity = 128; // 127 bytes and a NUL
    char commands[capacity] = "";
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
    // Written after the first reset and the copies command.
    PrinterSetup printer_setup{};
};

#endif

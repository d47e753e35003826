// SPDX-License-Identifier: MIT
// What a queue's PPD asks of a plot's job, and how it sets the job's
// settings. Kept apart from libcups, so that the mapping is tested without it.
#ifndef ZELVO_QUEUE_CHOICES_H
#define ZELVO_QUEUE_CHOICES_H

#include <optional>
#include <string>

struct QueueChoices {
    // The marked PageSize choice: the job's media, else the queue's default.
    std::string page_size;
    // zelvo's own options, from the PPD of zelvo's driver: ZelvoPenWidth in
    // micrometres (None: as the plot sets it), ZelvoHold and ZelvoFit as
    // True or False; "" where the PPD has no such option.
    std::string pen_width;
    std::string hold;
    std::string fit;
    // The PCL commands for the marked tray, duplex and the like, in the PPD's
    // order, for the job's header.
    std::string pcl_setup;
};

#endif

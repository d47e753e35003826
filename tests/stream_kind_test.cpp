// SPDX-License-Identifier: MIT
// Which streams are PCL jobs, as a printer takes them.
#include "stream_kind.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StreamKind, PclJobsAndPlotsByTheirFirstBytes)
{
    const std::string esc = "\x1b";
    const std::string uel = esc + "%-12345X";
    const struct {
        std::string head;
        bool pcl_job;
    } rows[] = {
        {"IN;SP1;PA0,0;", false},
        {esc + "E" + esc + "%1BIN;", true},
        {esc + "&l1O" + esc + "%1BIN;", true},
        {esc + "%0A" + "text", true},
        // A plotter's device control, and entering HP-GL/2, start plots.
        {esc + ".Y\n" + esc + ".I81;;17:IN;", false},
        {esc + ".(;" + esc + ".I81;;17:", false},
        {esc + "%1BIN;", false},
        {esc + "%-1BIN;", false},
        {esc + "%0BIN;", false},
        // PJL: the language it enters decides, else the bytes after it.
        {uel + "@PJL JOB NAME=\"a\"\r\n@PJL ENTER LANGUAGE=HPGL2\r\nIN;", false},
        {uel + "@PJL ENTER LANGUAGE = hpgl2\nIN;", false},
        {uel + "@PJL SET COPIES=2\n@PJL ENTER LANGUAGE=PCL\n" + esc + "E", true},
        {uel + "@PJL SET PAPER=A4\n" + esc + "E" + esc + "%1B", true},
        {uel + "@PJL COMMENT x\nIN;PD;", false},
        {uel + uel + "@PJL ENTER LANGUAGE=PCL\n", true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.head);
        EXPECT_EQ(stream_is_pcl_job(row.head), row.pcl_job);
    }
}

} // namespace

// SPDX-License-Identifier: MIT
#include "queue_ppd.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Read {
    QueueChoices choices;
    std::string log;
};

// The choices of the PPD at `path` for a job with `options`
// ("name=value name=value", as CUPS gives them).
Read read_choices(const std::string &path, const char *options)
{
    cups_option_t *parsed = nullptr;
    const int count = cupsParseOptions(options, 0, &parsed);
    char *text = nullptr;
    std::size_t size = 0;
    std::FILE *log = open_memstream(&text, &size);
    Read read{read_queue_choices(path.c_str(), count, parsed, log), ""};
    std::fclose(log);
    read.log.assign(text, size);
    std::free(text);
    cupsFreeOptions(count, parsed);
    return read;
}

const std::string kZelvoPpd = ZELVO_SOURCE_DIR "/cups/zelvo-pcl5.ppd";
const std::string kPclCodesPpd = ZELVO_SOURCE_DIR "/tests/cups/pcl_codes.ppd";

} // namespace

// zelvo's driver: the queue's defaults, the job's options over them, and the
// tray and duplex as rastertohp writes them from the PostScript code.
TEST(ReadQueueChoices, ZelvoDriver)
{
    struct Row {
        const char *options;
        const char *page_size;
        const char *pen_width;
        const char *hold;
        const char *fit;
        std::string pcl_setup;
    };
    const Row rows[] = {
        {"", "Letter", "None", "True", "False", ""},
        {"media=A4", "A4", "None", "True", "False", ""},
        {"media=iso_a3_297x420mm", "A3", "None", "True", "False", ""},
        {"PageSize=B0", "Letter", "None", "True", "False", ""},
        {"ZelvoPenWidth=350 ZelvoHold=False ZelvoFit=True", "Letter", "350", "False", "True", ""},
        {"InputSlot=Tray2", "Letter", "None", "True", "False", "\033&l1H"},
        {"InputSlot=Manual Duplex=DuplexNoTumble", "Letter", "None", "True", "False",
         "\033&l2H\033&l1S"},
        {"Duplex=DuplexTumble", "Letter", "None", "True", "False", "\033&l2S"},
        {"sides=two-sided-long-edge", "Letter", "None", "True", "False", "\033&l1S"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.options);
        const Read read = read_choices(kZelvoPpd, row.options);
        EXPECT_EQ(read.choices.page_size, row.page_size);
        EXPECT_EQ(read.choices.pen_width, row.pen_width);
        EXPECT_EQ(read.choices.hold, row.hold);
        EXPECT_EQ(read.choices.fit, row.fit);
        EXPECT_EQ(read.choices.pcl_setup, row.pcl_setup);
        EXPECT_EQ(read.log, "");
    }
}

// A PPD whose code is PCL: every marked choice's code but the page size's,
// in the PPD's order; PostScript code is left out.
TEST(ReadQueueChoices, PclCodeInPpdOrder)
{
    const Read defaults = read_choices(kPclCodesPpd, "");
    EXPECT_EQ(defaults.choices.page_size, "A3");
    EXPECT_EQ(defaults.choices.pcl_setup, "\033&l1H\033&l0S");
    const Read marked =
        read_choices(kPclCodesPpd, "Duplex=DuplexNoTumble InputSlot=Lower Economode=True media=A4");
    EXPECT_EQ(marked.choices.page_size, "A4");
    EXPECT_EQ(marked.choices.pcl_setup, "\033&l4H\033&l1S");
    EXPECT_EQ(marked.choices.pen_width, "");
}

TEST(ReadQueueChoices, UnusablePpdIsIgnoredWithItsReason)
{
    struct Row {
        std::string path;
        std::string log;
    };
    const Row rows[] = {
        {"", ""},
        {"/nonexistent/x.ppd",
         "DEBUG: Ignoring the PPD \"/nonexistent/x.ppd\": No such file or directory\n"},
        {"/dev/zero", "DEBUG: Ignoring the PPD \"/dev/zero\": not a regular file\n"},
        {"/dev/null", "DEBUG: Ignoring the PPD \"/dev/null\": not a regular file\n"},
        {ZELVO_SOURCE_DIR "/cups",
         "DEBUG: Ignoring the PPD \"" ZELVO_SOURCE_DIR "/cups\": not a regular file\n"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.path);
        const Read read = read_choices(row.path, "media=A4");
        EXPECT_EQ(read.choices.page_size, "");
        EXPECT_EQ(read.choices.pcl_setup, "");
        EXPECT_EQ(read.log, row.log);
    }
    // Not a PPD at all: libcups's own reason and line.
    const Read text = read_choices(ZELVO_SOURCE_DIR "/examples/plot.plt", "");
    EXPECT_EQ(text.choices.page_size, "");
    EXPECT_EQ(text.log.rfind("DEBUG: Ignoring the PPD \"", 0), 0u) << text.log;
}

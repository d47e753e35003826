// SPDX-License-Identifier: MIT
#include "cups_options.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Mapped {
    JobSettings settings;
    std::string log;
};

Mapped map(const char *copies, const std::vector<CupsOption> &options,
           const QueueChoices &queue = {})
{
    char *text = nullptr;
    std::size_t size = 0;
    std::FILE *log = open_memstream(&text, &size);
    Mapped result{
        cups_job_settings(copies, static_cast<int>(options.size()), options.data(), log, queue),
        ""};
    std::fclose(log);
    result.log.assign(text, size);
    std::free(text);
    return result;
}

struct Row {
    const char *name;
    std::vector<CupsOption> options;
    int mode;
    int rotation;
    float width;
    bool reported; // a "DEBUG:" line about an ignored value
};

} // namespace

TEST(CupsJobSettings, Defaults)
{
    const Mapped m = map("1", {{"job-uuid", "urn:uuid:1"}, {"PageSize", "Letter"}});
    EXPECT_EQ(m.settings.wrapper_mode, ModePcl);
    EXPECT_EQ(m.settings.rotation, 0);
    EXPECT_FALSE(m.settings.pen_width);
    EXPECT_EQ(m.settings.copies, 1);
    EXPECT_EQ(m.log, "");
}

TEST(CupsJobConduct, CupsPrefixesPagesAndTrailer)
{
    const volatile std::sig_atomic_t flag = 0;
    const JobConduct conduct = cups_job_conduct(&flag);
    EXPECT_EQ(conduct.cancel, &flag);
    EXPECT_STREQ(conduct.message_prefix, "ERROR: ");
    EXPECT_STREQ(conduct.warning_prefix, "WARNING: ");
    EXPECT_TRUE(conduct.finish_when_cancelled);
    EXPECT_TRUE(conduct.count_pages);
}

TEST(CupsJobSettings, OptionsAndPrecedence)
{
    const Row rows[] = {
        {"portrait code", {{"orientation-requested", "3"}}, ModePcl, 270, 0.2f, false},
        {"landscape code",
         {{"zelvo", "port"}, {"orientation-requested", "4"}},
         ModePcl,
         0,
         0.2f,
         false},
        {"reverse landscape", {{"orientation-requested", "5"}}, ModePcl, 180, 0.2f, false},
        {"reverse portrait", {{"orientation-requested", "6"}}, ModePcl, 90, 0.2f, false},
        {"bare portrait", {{"portrait", "true"}}, ModePcl, 270, 0.2f, false},
        {"noportrait", {{"zelvo", "port"}, {"portrait", "false"}}, ModePcl, 0, 0.2f, false},
        {"bare landscape", {{"zelvo", "port"}, {"landscape", "true"}}, ModePcl, 0, 0.2f, false},
        {"nolandscape", {{"landscape", "no"}}, ModePcl, 270, 0.2f, false},
        {"names ignore case",
         {{"PORTRAIT", "Yes"}, {"PenWidth", "1000"}},
         ModePcl,
         270,
         1.0f,
         false},
        {"pen width", {{"penwidth", "350"}}, ModePcl, 0, static_cast<float>(0.35), false},
        {"thinnest pen", {{"penwidth", "0"}}, ModePcl, 0, 0.0f, false},
        {"parameter list", {{"zelvo", "lj,port,lwidth=0.5"}}, ModeLj, 90, 0.5f, false},
        // The list comes first wherever it stands, so the options beat it.
        {"options beat list",
         {{"orientation-requested", "6"}, {"penwidth", "300"}, {"zelvo", "lj,rot=180,lwidth=0.9"}},
         ModeLj,
         90,
         0.3f,
         false},
        {"bare word beats code",
         {{"orientation-requested", "5"}, {"portrait", "on"}},
         ModePcl,
         270,
         0.2f,
         false},
        {"last of a name wins",
         {{"penwidth", "100"}, {"penwidth", "700"}},
         ModePcl,
         0,
         0.7f,
         false},
        {"code out of range",
         {{"zelvo", "port"}, {"orientation-requested", "9"}},
         ModePcl,
         90,
         0.2f,
         true},
        {"code not a number", {{"orientation-requested", "landscape"}}, ModePcl, 0, 0.2f, true},
        {"code with trailing text", {{"orientation-requested", "3x"}}, ModePcl, 0, 0.2f, true},
        {"switch not boolean", {{"portrait", "maybe"}}, ModePcl, 0, 0.2f, true},
        {"width not a number",
         {{"zelvo", "lwidth=0.5"}, {"penwidth", "abc"}},
         ModePcl,
         0,
         0.5f,
         true},
        {"width negative", {{"penwidth", "-350"}}, ModePcl, 0, 0.2f, true},
        {"width with decimals", {{"penwidth", "0.35"}}, ModePcl, 0, 0.2f, true},
        {"width empty", {{"penwidth", ""}}, ModePcl, 0, 0.2f, true},
        {"width too large", {{"penwidth", "99999999999999999999999"}}, ModePcl, 0, 0.2f, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const Mapped m = map("1", row.options);
        EXPECT_EQ(m.settings.wrapper_mode, row.mode);
        EXPECT_EQ(m.settings.rotation, row.rotation);
        EXPECT_EQ(m.settings.pen_width.value_or(kDefaultPenWidth), row.width);
        EXPECT_EQ(m.log.rfind("DEBUG: ", 0) == 0 && m.log.back() == '\n', row.reported) << m.log;
    }
}

TEST(CupsJobSettings, Copies)
{
    const struct {
        const char *copies;
        int expected;
        bool reported;
    } rows[] = {
        {"1", 1, false},
        {"2", 2, false},
        {"999", 999, false},
        {"1000", 999, true},
        {"0", 1, true},
        {"-2", 1, true},
        {"two", 1, true},
        {"", 1, true},
        {"2 ", 1, true},
        {nullptr, 1, true},
        {"2147483648", 999, true},
        // Beyond a long: as many as the printer takes, as for any large count.
        {"99999999999999999999", 999, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.copies != nullptr ? row.copies : "(null)");
        const Mapped m = map(row.copies, {});
        EXPECT_EQ(m.settings.copies, row.expected);
        EXPECT_EQ(m.log.rfind("DEBUG: ", 0) == 0, row.reported) << m.log;
    }
}

TEST(CupsJobSettings, HoldFitAndMedia)
{
    // Every CUPS job holds its settings, with or without options.
    const Mapped plain = map("1", {});
    EXPECT_TRUE(plain.settings.hold);
    EXPECT_FALSE(plain.settings.pen_width);

    const struct {
        const char *name;
        std::vector<CupsOption> options;
        int paper; // the page size command's code, 0 for none
        bool fit;
        bool reported;
    } rows[] = {
        {"CUPS name", {{"media", "A4"}}, 26, false, false},
        {"PWG name", {{"media", "na_legal_8.5x14in"}}, 3, false, false},
        {"JIS B5", {{"PageSize", "jis_b5_182x257mm"}}, 45, false, false},
        {"media list", {{"media", "Tray1,iso_a3_297x420mm"}}, 27, false, false},
        {"media beats PageSize", {{"PageSize", "Letter"}, {"media", "A5"}}, 25, false, false},
        {"unknown media", {{"media", "Postcard"}}, 0, false, true},
        {"fit-to-page", {{"fit-to-page", "true"}}, 0, true, false},
        {"fitplot", {{"fitplot", "yes"}, {"zelvo", "paper=A3"}}, 27, true, false},
        {"fit turned off", {{"zelvo", "fit=A1"}, {"fit-to-page", "false"}}, 0, false, false},
        {"fit not boolean", {{"fit-to-page", "maybe"}}, 0, false, true},
        {"list words", {{"zelvo", "paper=ledger,fit"}}, 6, true, false},
        {"list refused paper", {{"zelvo", "paper=A9"}}, 0, false, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const Mapped m = map("1", row.options);
        EXPECT_EQ(m.settings.paper != nullptr ? m.settings.paper->pcl_code : 0, row.paper);
        EXPECT_EQ(m.settings.fit.has_value(), row.fit);
        // CUPS names no plot size: the plot's own PS gives it.
        EXPECT_FALSE(m.settings.fit && m.settings.fit->plot_size);
        EXPECT_EQ(m.log.rfind("DEBUG: ", 0) == 0, row.reported) << m.log;
    }
}

TEST(CupsJobSettings, UnusablePenWidthsAreIgnored)
{
    for (const std::vector<CupsOption> &options : std::vector<std::vector<CupsOption>>{
             {{"penwidth", "100001"}}, {{"zelvo", "lwidth=nan"}}, {{"zelvo", "lwidth=-1"}}}) {
        const Mapped m = map("1", options);
        EXPECT_FALSE(m.settings.pen_width);
        EXPECT_EQ(m.log.rfind("DEBUG: Ignoring ", 0), 0u) << m.log;
    }
    EXPECT_EQ(map("1", {{"penwidth", "100000"}}).settings.pen_width, 100.0f);
}

// The queue's PPD comes first: the job's options override it.
TEST(CupsJobSettings, QueueChoicesUnderTheJobsOptions)
{
    struct Row {
        const char *name;
        QueueChoices queue;
        std::vector<CupsOption> options;
        int paper; // the page size command's code, 0 for none
        float width;
        bool hold;
        bool fit;
        const char *setup;
        const char *log;
    };
    const Row rows[] = {
        {"nothing", {}, {}, 0, 0.2f, true, false, "", ""},
        {"pen width as the plot sets it",
         {"", "None", "", "", ""},
         {},
         0,
         0.2f,
         true,
         false,
         "",
         ""},
        {"queue's paper", {"A3", "", "", "", ""}, {}, 27, 0.2f, true, false, "", ""},
        {"job's media over it",
         {"A3", "", "", "", ""},
         {{"media", "A4"}},
         26,
         0.2f,
         true,
         false,
         "",
         ""},
        {"unknown queue paper",
         {"Huge", "", "", "", ""},
         {},
         0,
         0.2f,
         true,
         false,
         "",
         "DEBUG: Ignoring the queue's PageSize=Huge: not a paper size zelvo knows\n"},
        {"zelvo's options",
         {"Letter", "350", "False", "True", ""},
         {},
         2,
         0.35f,
         false,
         true,
         "",
         ""},
        {"job's pen width over the queue's",
         {"", "350", "", "", ""},
         {{"penwidth", "500"}},
         0,
         0.5f,
         true,
         false,
         "",
         ""},
        {"job turns fit off",
         {"", "", "", "True", ""},
         {{"fit-to-page", "false"}},
         0,
         0.2f,
         true,
         false,
         "",
         ""},
        {"tray and duplex",
         {"", "", "", "", "\033&l1H\033&l1S"},
         {},
         0,
         0.2f,
         true,
         false,
         "\033&l1H\033&l1S",
         ""},
        {"setup too long",
         {"", "", "", "", std::string(200, 'x')},
         {},
         0,
         0.2f,
         true,
         false,
         "",
         "DEBUG: Ignoring the queue's PCL setup: more than 127 bytes\n"},
        {"unusable pen width choice",
         {"", "abc\nPAGE: 1 1", "", "", ""},
         {},
         0,
         0.2f,
         true,
         false,
         "",
         "DEBUG: Ignoring the queue's ZelvoPenWidth=abc?PAGE: 1 1: not a whole number of "
         "micrometres\n"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const Mapped m = map("1", row.options, row.queue);
        EXPECT_EQ(m.settings.paper != nullptr ? m.settings.paper->pcl_code : 0, row.paper);
        EXPECT_EQ(m.settings.pen_width.value_or(kDefaultPenWidth), row.width);
        EXPECT_EQ(m.settings.hold, row.hold);
        EXPECT_EQ(m.settings.fit.has_value(), row.fit);
        EXPECT_STREQ(m.settings.printer_setup.commands, row.setup);
        EXPECT_EQ(m.log, row.log);
    }
}

TEST(CupsJobSettings, PrintScaling)
{
    // auto and auto-fit fit only a plot that does not fit as drawn, which
    // each route measures.
    const struct {
        const char *value;
        bool fit;
        bool fits_larger;
        bool reported;
    } rows[] = {
        {"fit", true, false, false},       {"FIT", true, false, false},
        {"auto", true, true, false},       {"Auto-Fit", true, true, false},
        {"fill", false, false, false},     {"none", false, false, false},
        {"largest", false, false, true},   {"", false, false, true},
        {"auto-fill", false, false, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.value);
        const std::vector<CupsOption> options = {{"print-scaling", row.value}};
        const Mapped m = map("1", options);
        EXPECT_EQ(m.settings.fit.has_value(), row.fit);
        EXPECT_EQ(m.settings.fit && m.settings.fit->only_if_larger, row.fits_larger);
        EXPECT_EQ(m.log.rfind("DEBUG: Ignoring print-scaling=", 0) == 0, row.reported) << m.log;
    }
    // A fit asked for by name is not narrowed by auto.
    const Mapped both = map("1", {{"fit-to-page", "true"}, {"print-scaling", "auto"}});
    ASSERT_TRUE(both.settings.fit.has_value());
    EXPECT_FALSE(both.settings.fit->only_if_larger);
}

// A fitted plot may be turned to print largest only when the job asks for
// no orientation.
TEST(CupsJobSettings, FitTurnsOnlyWithoutAnOrientation)
{
    const struct {
        const char *name;
        std::vector<CupsOption> options;
        bool turn;
    } rows[] = {
        {"fit-to-page", {{"fit-to-page", "true"}}, true},
        {"print-scaling", {{"print-scaling", "fit"}}, true},
        {"landscape asked", {{"fit-to-page", "true"}, {"landscape", "true"}}, false},
        {"portrait asked", {{"fitplot", "true"}, {"portrait", "true"}}, false},
        {"orientation code", {{"fitplot", "true"}, {"orientation-requested", "4"}}, false},
        {"bad orientation code", {{"fitplot", "true"}, {"orientation-requested", "9"}}, false},
        {"list rotation", {{"fitplot", "true"}, {"zelvo", "rot=180"}}, false},
        {"list lj", {{"fitplot", "true"}, {"zelvo", "lj"}}, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const Mapped m = map("1", row.options);
        ASSERT_TRUE(m.settings.fit);
        EXPECT_EQ(m.settings.fit->turn_to_fill, row.turn);
    }
}

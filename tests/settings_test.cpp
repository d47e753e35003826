// SPDX-License-Identifier: MIT
#include "settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Row {
    const char *name;
    std::vector<const char *> args; // after the program name
    const char *param;              // zelvo_param, or null when unset
    const char *out;                // zelvo_out, or null when unset
    int mode;
    int rotation;
    float width;
    const char *destination;
    int first_input;
};

// What resolve_settings gives, with the refused value copied out of the
// parameter list's words before they are released.
struct Resolved {
    JobSettings settings;
    OutputDestination destination;
    int first_input;
    Resolution outcome;
    std::string refused;
};

Resolved resolve(const std::vector<const char *> &args, const char *param, const char *out)
{
    std::vector<const char *> argv{"zelvo"};
    argv.insert(argv.end(), args.begin(), args.end());
    const ParameterList list = split_parameter_list(param);
    const ResolvedSettings r =
        resolve_settings(static_cast<int>(argv.size()), argv.data(), list, out);
    return {r.settings, r.destination, r.first_input, r.outcome,
            r.refused != nullptr ? r.refused : ""};
}

} // namespace

TEST(ResolveSettings, SourcesInOrder)
{
    const Row rows[] = {
        {"defaults", {}, nullptr, nullptr, ModePcl, 0, 0.2f, "-", 1},
        {"list", {}, "LJ,port,lwidth=0.5", nullptr, ModeLj, 90, 0.5f, "-", 1},
        {"later token wins", {}, "lj,pcl,port,land", nullptr, ModePcl, 0, 0.2f, "-", 1},
        {"option beats list", {"-land"}, "port", nullptr, ModePcl, 0, 0.2f, "-", 2},
        {"values",
         {"-rot", "180", "-lwidth", "0.7", "-out", "plot.prn", "a.plt", "b.plt"},
         nullptr,
         nullptr,
         ModePcl,
         180,
         0.7f,
         "plot.prn",
         7},
        {"output prefix",
         {"-output", "|lp", "a.plt"},
         nullptr,
         nullptr,
         ModePcl,
         0,
         0.2f,
         "|lp",
         3},
        {"short out prefix", {"-OU", "x"}, nullptr, nullptr, ModePcl, 0, 0.2f, "x", 3},
        {"too short for out", {"-o", "x"}, nullptr, nullptr, ModePcl, 0, 0.2f, "-", 1},
        {"options ignore case",
         {"-LJ", "-PoRt", "-LWIDTH", "1"},
         nullptr,
         nullptr,
         ModeLj,
         90,
         1.0f,
         "-",
         5},
        {"scan stops at input", {"a.plt", "-port"}, nullptr, nullptr, ModePcl, 0, 0.2f, "-", 1},
        {"value option last", {"-lwidth"}, nullptr, nullptr, ModePcl, 0, 0.2f, "-", 1},
        {"out option last", {"-port", "-out"}, nullptr, nullptr, ModePcl, 90, 0.2f, "-", 2},
        {"unparsable numbers",
         {"-rot", "x", "-lwidth", "abc"},
         "rot=90",
         nullptr,
         ModePcl,
         0,
         0.0f,
         "-",
         5},
        {"unknown option ends scan", {"-eps", "-port"}, nullptr, nullptr, ModePcl, 0, 0.2f, "-", 1},
        {"environment destination", {}, nullptr, "|lp -d x", ModePcl, 0, 0.2f, "|lp -d x", 1},
        {"option beats environment", {"-out", "f"}, nullptr, "g", ModePcl, 0, 0.2f, "f", 3},
        {"empty out is none", {"-out", ""}, nullptr, "g", ModePcl, 0, 0.2f, "g", 3},
        {"last out wins", {"-out", "f", "-out", ""}, nullptr, nullptr, ModePcl, 0, 0.2f, "-", 5},
        {"empty environment", {}, nullptr, "", ModePcl, 0, 0.2f, "", 1},
        {"list tokens", {}, "rotate", nullptr, ModePcl, 0, 0.2f, "-", 1},
        {"prefix value", {}, "lwidthX2,rot=270", nullptr, ModePcl, 270, 2.0f, "-", 1},
        {"blanks not trimmed", {}, " port,lj ", nullptr, ModePcl, 0, 0.2f, "-", 1},
        {"empty list", {}, "", nullptr, ModePcl, 0, 0.2f, "-", 1},
        {"only separators", {}, ",,,", nullptr, ModePcl, 0, 0.2f, "-", 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const Resolved r = resolve(row.args, row.param, row.out);
        EXPECT_EQ(r.outcome, Resolution::RunJob);
        EXPECT_EQ(r.settings.wrapper_mode, row.mode);
        EXPECT_EQ(r.settings.rotation, row.rotation);
        EXPECT_EQ(r.settings.pen_width.value_or(kDefaultPenWidth), row.width);
        EXPECT_STREQ(r.destination.name, row.destination);
        EXPECT_EQ(r.first_input, row.first_input);
    }
}

TEST(ResolveSettings, KeywordWithoutValueReadsZero)
{
    // The value is never taken from the next token of the list.
    for (const char *list : {"lwidth,0.5", "lwidthX,0.5", "LWIDTH", "rot,90", "rotX,90", "ROT"}) {
        SCOPED_TRACE(list);
        const Resolved r = resolve({}, (std::string("rot=90,lwidth=1,") + list).c_str(), nullptr);
        const bool width_token = list[0] == 'l' || list[0] == 'L';
        EXPECT_EQ(r.settings.pen_width.value_or(kDefaultPenWidth), width_token ? 0.0f : 1.0f);
        EXPECT_EQ(r.settings.rotation, width_token ? 90 : 0);
    }
}

TEST(ResolveSettings, RefusedValues)
{
    const struct {
        std::vector<const char *> args;
        const char *param;
        Resolution outcome;
        const char *refused;
    } rows[] = {
        {{"-lwidth", "nan"}, nullptr, Resolution::InvalidPenWidth, "nan"},
        {{"-lwidth", "inf"}, nullptr, Resolution::InvalidPenWidth, "inf"},
        {{"-lwidth", "1e40"}, nullptr, Resolution::InvalidPenWidth, "1e40"},
        {{"-lwidth", "1e38"}, nullptr, Resolution::InvalidPenWidth, "1e38"},
        {{"-lwidth", "-1"}, nullptr, Resolution::InvalidPenWidth, "-1"},
        {{"-lwidth", "100.01"}, nullptr, Resolution::InvalidPenWidth, "100.01"},
        {{}, "lwidth=-0.5", Resolution::InvalidPenWidth, "-0.5"},
        {{"-lwidth", "-2"}, "lwidth=0.3", Resolution::InvalidPenWidth, "-2"},
        {{"-paper", "A6"}, nullptr, Resolution::UnknownPaper, "A6"},
        {{}, "paper=", Resolution::UnknownPaper, ""},
        {{}, "fit=A9", Resolution::UnknownPlotSize, "A9"},
        {{"-fit", "0x594"}, nullptr, Resolution::UnknownPlotSize, "0x594"},
        // The last value given decides.
        {{"-lwidth", "100"}, "lwidth=nan", Resolution::RunJob, ""},
        {{"-paper", "a4"}, "paper=a6", Resolution::RunJob, ""},
        {{"-lwidth", "abc"}, nullptr, Resolution::RunJob, ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.refused);
        const Resolved r = resolve(row.args, row.param, nullptr);
        EXPECT_EQ(r.outcome, row.outcome);
        EXPECT_EQ(r.refused, row.refused);
    }
}

TEST(ResolveSettings, RotationOutsideIntIsNone)
{
    for (const char *value : {"4294967386", "2147483648", "-2147483649", "99999999999999999999"}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(resolve({"-rot", value}, nullptr, nullptr).settings.rotation, 0);
        EXPECT_EQ(resolve({}, (std::string("rot=") + value).c_str(), nullptr).settings.rotation, 0);
    }
    EXPECT_EQ(resolve({"-rot", "-2147483648"}, nullptr, nullptr).settings.rotation, INT32_MIN);
    EXPECT_EQ(resolve({"-rot", "90x"}, nullptr, nullptr).settings.rotation, 90);
}

TEST(ResolveSettings, HoldPaperAndFit)
{
    const Resolved list = resolve({}, "hold,paper=Tabloid,fit=ansi-d", nullptr);
    EXPECT_TRUE(list.settings.hold);
    ASSERT_NE(list.settings.paper, nullptr);
    EXPECT_EQ(list.settings.paper->pcl_code, 6);
    ASSERT_TRUE(list.settings.fit);
    ASSERT_TRUE(list.settings.fit->plot_size);
    EXPECT_NEAR(list.settings.fit->plot_size->width, 34 * 25.4, 1e-9);
    EXPECT_NEAR(list.settings.fit->plot_size->height, 22 * 25.4, 1e-9);

    // "-hold" is an option before "-h..." asks for the usage text; "-pa" is
    // -paper as "-ou" is -out; -fit takes the next argument only when it is
    // a plot size.
    const Resolved options =
        resolve({"-HOLD", "-PAP", "a3", "-fit", "841x594", "-fit", "a.plt"}, nullptr, nullptr);
    EXPECT_EQ(options.outcome, Resolution::RunJob);
    EXPECT_TRUE(options.settings.hold);
    EXPECT_EQ(options.settings.paper->pcl_code, 27);
    ASSERT_TRUE(options.settings.fit);
    EXPECT_FALSE(options.settings.fit->plot_size); // the last -fit names no size
    EXPECT_EQ(options.first_input, 7);
    const Resolved a1 = resolve({"-fit", "A1"}, nullptr, nullptr);
    ASSERT_TRUE(a1.settings.fit && a1.settings.fit->plot_size);
    EXPECT_EQ(a1.settings.fit->plot_size->width, 841.0);
    // A size with no area is no plot size: refused, it leaves the fit as it
    // was, so that where it is only reported (zelvo-cups) it changes nothing.
    const Resolved flat = resolve({"-fit", "0x594", "a.plt"}, nullptr, nullptr);
    EXPECT_EQ(flat.outcome, Resolution::UnknownPlotSize);
    EXPECT_EQ(flat.refused, "0x594");
    EXPECT_FALSE(flat.settings.fit);
    const Resolved kept = resolve({"-fit", "-fit", "0x1", "a.plt"}, nullptr, nullptr);
    ASSERT_TRUE(kept.settings.fit);
    EXPECT_FALSE(kept.settings.fit->plot_size);
    EXPECT_EQ(resolve({"-holdx"}, nullptr, nullptr).outcome, Resolution::ShowUsage);
    EXPECT_FALSE(resolve({}, "holdx,fitness", nullptr).settings.hold);
    EXPECT_FALSE(resolve({}, "fitness", nullptr).settings.fit);
}

TEST(ResolveSettings, HelpStopsTheScan)
{
    for (const std::vector<const char *> &args :
         std::vector<std::vector<const char *>>{{"-h"}, {"-help"}, {"-port", "-hx", "a"}}) {
        EXPECT_EQ(resolve(args, nullptr, nullptr).outcome, Resolution::ShowUsage);
    }
    const Resolved upper = resolve({"-H"}, nullptr, nullptr);
    EXPECT_EQ(upper.outcome, Resolution::RunJob);
    EXPECT_EQ(upper.first_input, 1);
}

TEST(ResolveSettings, DestinationLengthLimit)
{
    const std::string longest(79, 'x');
    const std::string too_long(80, 'x');
    EXPECT_STREQ(resolve({"-out", longest.c_str()}, nullptr, nullptr).destination.name,
                 longest.c_str());
    EXPECT_EQ(resolve({"-out", too_long.c_str()}, nullptr, nullptr).outcome,
              Resolution::NameTooLong);
    EXPECT_EQ(resolve({}, nullptr, too_long.c_str()).outcome, Resolution::NameTooLong);
    // An unused long environment value does no harm.
    EXPECT_EQ(resolve({"-out", "f"}, nullptr, too_long.c_str()).outcome, Resolution::RunJob);
}

TEST(DestinationKind, FirstCharacterDecides)
{
    const struct {
        const char *name;
        DestinationKind kind;
    } rows[] = {
        {"|lp", DestinationKind::Command},
        {"-", DestinationKind::StandardOutput},
        {"-x", DestinationKind::StandardOutput},
        {"plot.prn", DestinationKind::File},
        {"", DestinationKind::File},
        {"a|b", DestinationKind::File},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        OutputDestination d{};
        std::snprintf(d.name, sizeof d.name, "%s", row.name);
        EXPECT_EQ(destination_kind(d), row.kind);
    }
}

TEST(ResolveSettings, MegabyteValues)
{
    std::string list;
    for (int i = 0; i < (1 << 20) / 8; ++i)
        list += "lj,port,";
    const std::string separators(1 << 20, ',');
    const std::string name(1 << 20, 'o');
    const Resolved r = resolve({}, list.c_str(), nullptr);
    EXPECT_EQ(r.settings.wrapper_mode, ModeLj);
    EXPECT_EQ(r.settings.rotation, 90);
    EXPECT_EQ(resolve({}, separators.c_str(), nullptr).settings.wrapper_mode, ModePcl);
    EXPECT_EQ(resolve({}, nullptr, name.c_str()).outcome, Resolution::NameTooLong);
}

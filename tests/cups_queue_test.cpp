#include "cups_queue.h"

#include "support/run_program.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// The head of a PPD as CUPS's ppdc writes it, with `lines` in the middle.
std::string ppd(const std::string &lines)
{
    return "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*NickName: \"Test\"\n" + lines
           + "*cupsVersion: 2.4\n";
}

struct Decision {
    bool goes_on;
    std::string log;
};

Decision decide(const char *ppd_path)
{
    char *text = nullptr;
    std::size_t size = 0;
    std::FILE *log = open_memstream(&text, &size);
    const bool goes_on = queue_takes_pcl5(ppd_path, log);
    std::fclose(log);
    Decision d{goes_on, std::string(text, size)};
    std::free(text);
    return d;
}

} // namespace

TEST(CupsQueue, CommandSetsOfTheDeviceId)
{
    const struct {
        const char *name;
        std::string ppd;
        const char *sets; // null: none found
    } rows[] = {
        {"LaserJet driver", ppd("*1284DeviceID: \"MFG:HP;MDL:HP LaserJet;CMD:PCL;\"\n"), "PCL"},
        {"PostScript driver", ppd("*1284DeviceID: \"CMD:PS;\"\n"), "PS"},
        {"long key, blanks",
         ppd("*1284DeviceID:  \"MANUFACTURER:HP; COMMAND SET: PJL,PCL,POSTSCRIPT ;\"\n"),
         "PJL,PCL,POSTSCRIPT"},
        {"key in lower case, no last semicolon", ppd("*1284DeviceID: \"mfg:HP;cmd:pcl\"\n"), "pcl"},
        {"value over two lines, CRLF",
         ppd("*1284DeviceID: \"MFG:HP;MDL:LaserJet 4;\r\nCMD:PJL,PCL;\"\r\n"), "PJL,PCL"},
        {"after a value that runs over lines",
         ppd("*JCLBegin: \"<1B>%-12345X@PJL<0A>\n*inside the value\"\n*End\n"
             "*1284DeviceID: \"CMD:PCL;\"\n"),
         "PCL"},
        {"only inside another keyword's value",
         ppd("*Setup: \"code\n*1284DeviceID: CMD:PCL;\nmore code\"\n"), nullptr},
        {"no CMD field", ppd("*1284DeviceID: \"MFG:HP;MDL:LaserJet;\"\n"), nullptr},
        {"no device ID", ppd(""), nullptr},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<std::string> sets = ppd_command_sets(row.ppd);
        if (row.sets == nullptr) {
            EXPECT_FALSE(sets.has_value()) << *sets;
        } else {
            ASSERT_TRUE(sets.has_value());
            EXPECT_EQ(*sets, row.sets);
        }
    }
}

TEST(CupsQueue, WhichCommandSetsArePcl5)
{
    const struct {
        const char *sets;
        bool pcl5;
    } rows[] = {
        {"PCL", true},          {"PJL,PCL,PCLXL,POSTSCRIPT", true},
        {"PJL, pcl5e", true},   {"PCL 5C", true},
        {"PCL5", true},         {"PCL3GUI,PJL", false},
        {"PCL3", false},        {"PCLXL", false},
        {"PS", false},          {"", false},
        {"POSTSCRIPT,", false}, {"EPCL", false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sets);
        EXPECT_EQ(lists_pcl5(row.sets), row.pcl5);
    }
}

TEST(CupsQueue, DecisionFromThePpdFile)
{
    TempDir dir;
    const std::string laserjet =
        dir.write("laserjet.ppd", ppd("*1284DeviceID: \"MFG:HP;CMD:PJL,PCL;\"\n")).string();
    const std::string postscript =
        dir.write("generic.ppd", ppd("*1284DeviceID: \"CMD:PS;\"\n")).string();
    const std::string silent = dir.write("silent.ppd", ppd("")).string();
    const std::string missing = (dir.path() / "missing.ppd").string();
    const std::string folder = dir.path().string();
    const struct {
        const char *path;
        bool goes_on;
        const char *log; // the whole log
    } rows[] = {
        {nullptr, true, "DEBUG: No PPD: writing the PCL job\n"},
        {"", true, "DEBUG: No PPD: writing the PCL job\n"},
        {missing.c_str(), true, nullptr},
        {laserjet.c_str(), true, "DEBUG: The printer takes PJL,PCL: writing the PCL job\n"},
        {postscript.c_str(), false,
         "ERROR: The printer takes PS, not PCL 5; HP-GL/2 plots print only on PCL 5 printers\n"},
        {silent.c_str(), false,
         "ERROR: The printer's PPD does not say that it takes PCL (no CMD: in its "
         "*1284DeviceID); HP-GL/2 plots print only on PCL 5 printers\n"},
        {folder.c_str(), false, nullptr},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.path != nullptr ? row.path : "(null)");
        const Decision d = decide(row.path);
        EXPECT_EQ(d.goes_on, row.goes_on);
        if (row.log != nullptr) {
            EXPECT_EQ(d.log, row.log);
        } else {
            EXPECT_EQ(d.log.rfind(row.goes_on ? "DEBUG: " : "ERROR: ", 0), 0u) << d.log;
        }
    }
}

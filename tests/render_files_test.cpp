// SPDX-License-Identifier: MIT
// zelvo-render's files: the inputs spooled to be read twice, and outputs
// that reach their names only when committed.
#include "input_spool.h"
#include "output_files.h"
#include "support/run_program.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string read_all(InputSpool &spool)
{
    std::string bytes;
    char buffer[7]; // smaller than any input: every read is a part
    for (std::size_t n; (n = spool.read(buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    return bytes;
}

TEST(InputSpool, ReadsTheInputsInOrderTwice)
{
    TempDir dir;
    const std::string a = dir.write("a.plt", "IN;PU0,0;PD100,0;").string();
    const std::string b = dir.write("b.plt", "PD100,100;PU;").string();
    const struct {
        std::vector<std::string> inputs;
        std::string bytes;
    } rows[] = {
        {{a}, "IN;PU0,0;PD100,0;"},
        {{a, b}, "IN;PU0,0;PD100,0;PD100,100;PU;"},
        {{b, a, b}, "PD100,100;PU;IN;PU0,0;PD100,0;PD100,100;PU;"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.bytes);
        InputSpool spool(row.inputs, "/tmp", 1 << 20);
        ASSERT_TRUE(spool.ok()) << spool.error();
        for (int reading = 0; reading < 2; ++reading) {
            spool.rewind();
            EXPECT_EQ(read_all(spool), row.bytes);
        }
        EXPECT_FALSE(spool.read_failed());
    }
}

TEST(InputSpool, SaysWhichInputFailed)
{
    TempDir dir;
    const std::string a = dir.write("a.plt", "IN;").string();
    const std::string missing = (dir.path() / "missing.plt").string();
    const std::string folder = dir.path().string();
    const struct {
        std::vector<std::string> inputs;
        std::string error;
    } rows[] = {
        {{missing}, "cannot open '" + missing + "': No such file or directory"},
        {{a, missing}, "cannot open '" + missing + "': No such file or directory"},
        {{folder}, "cannot read '" + folder + "'"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.error);
        const InputSpool spool(row.inputs, "/tmp", 1 << 20);
        EXPECT_FALSE(spool.ok());
        EXPECT_EQ(spool.error(), row.error);
    }
}

TEST(OutputFiles, PagesReachTheirNamesOnlyAtCommit)
{
    TempDir dir;
    std::vector<std::string> errors;
    const auto report = [&](const std::string &message) { errors.push_back(message); };
    const std::string pattern = (dir.path() / "page-%d.svg").string();
    {
        OutputFiles files(pattern, report, {});
        for (std::uint64_t page : {1, 2}) {
            std::FILE *file = files.open_page(page);
            ASSERT_NE(file, nullptr);
            std::fputs(("page " + std::to_string(page)).c_str(), file);
            EXPECT_TRUE(files.close_page(file));
        }
        // Written, but under temporary names.
        const std::vector<std::string> written = names_in(dir.path());
        ASSERT_EQ(written.size(), 2u);
        for (const std::string &name : written)
            EXPECT_EQ(name.rfind(".zelvo-render.", 0), 0u) << name;
        EXPECT_TRUE(files.commit());
    }
    EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"page-1.svg", "page-2.svg"}));
    EXPECT_EQ(read_file(dir.path() / "page-2.svg"), "page 2");
    // The mode of any new file: mkstemp's 0600 is not kept.
    const mode_t mask = umask(0);
    umask(mask);
    struct stat st {};
    ASSERT_EQ(stat((dir.path() / "page-1.svg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
    EXPECT_TRUE(errors.empty());
}

TEST(OutputFiles, WhatIsNotCommittedIsRemoved)
{
    TempDir dir;
    std::vector<std::string> errors;
    const auto report = [&](const std::string &message) { errors.push_back(message); };
    dir.write("out.pdf", "old");
    {
        OutputFiles files((dir.path() / "out.pdf").string(), report, {});
        std::FILE *file = files.open((dir.path() / "out.pdf").string());
        ASSERT_NE(file, nullptr);
        std::fputs("new", file);
        EXPECT_TRUE(files.close_page(file));
    }
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"out.pdf"});
    EXPECT_EQ(read_file(dir.path() / "out.pdf"), "old");

    OutputFiles files("unused", report, {});
    const std::string nowhere = (dir.path() / "nowhere" / "out.pdf").string();
    EXPECT_EQ(files.open(nowhere), nullptr);
    EXPECT_EQ(errors, std::vector<std::string>{"cannot write '" + nowhere
                                               + "': No such file or directory"});
    EXPECT_TRUE(files.commit()); // nothing to rename
}

TEST(OutputFiles, PageNames)
{
    const auto report = [](const std::string &) {};
    const struct {
        const char *pattern;
        std::uint64_t page;
        const char *name;
    } rows[] = {
        {"plot.svg", 3, "plot.svg"},
        {"page-%d.png", 12, "page-12.png"},
        {"%d", 1, "1"},
        {"a%d-%d.png", 2, "a2-%d.png"}, // only the first %d
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.pattern);
        EXPECT_EQ(OutputFiles(row.pattern, report, {}).page_name(row.page), row.name);
    }
}

} // namespace

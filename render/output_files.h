// SPDX-License-Identifier: MIT
// Where zelvo-render's files go, all or none.
//
// OutputFiles writes each file under a temporary name in the folder it is
// to be in (".zelvo-render.XXXXXX", with the mode a new file gets: 0666
// less the umask) and renames them all into place at commit(), once
// everything is written: a run that fails half-way leaves every file asked
// for as it was. What is not committed is removed by discard() and by the
// destructor. A page's name is the pattern with its first %d replaced by
// the page's number, or the pattern itself where it has none.
//
// Each failure is reported, as the program words it, to the function given
// at construction: "cannot write 'NAME': REASON".
//
// StandardOutputPage is standard output as the one page of a one-page
// format.
#ifndef ZELVO_OUTPUT_FILES_H
#define ZELVO_OUTPUT_FILES_H

#include "cairo_sink.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class OutputFiles final : public PageFiles {
public:
    using ErrorReport = std::function<void(const std::string &message)>;

    OutputFiles(std::string pattern, ErrorReport report_error);
    ~OutputFiles();
    OutputFiles(const OutputFiles &) = delete;
    OutputFiles &operator=(const OutputFiles &) = delete;

    // A stream for the file `name`, written under its temporary name until
    // commit(); null when it cannot be made.
    std::FILE *open(const std::string &name);
    std::FILE *open_page(std::uint64_t number) override;
    // Flushes and closes a stream of open() or open_page(); false when
    // what was written did not all reach the file.
    bool close_page(std::FILE *file) override;
    std::string page_name(std::uint64_t number) const;

    // Renames every file opened into place, in the order opened; false at
    // the first that cannot be, whose temporary file and those after it are
    // then left to discard().
    bool commit();
    // Removes the files not committed.
    void discard();

private:
    std::string pattern_;
    ErrorReport report_error_;
    // Each file's temporary name and the name it is renamed to.
    std::vector<std::pair<std::string, std::string>> files_;
};

class StandardOutputPage final : public PageFiles {
public:
    std::FILE *open_page(std::uint64_t) override { return stdout; }
    bool close_page(std::FILE *file) override { return std::fflush(file) == 0; }
};

#endif

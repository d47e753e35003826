// SPDX-License-Identifier: MIT
// Where zelvo-render's files go, all or none, and never over what they must
// not replace.
//
// OutputFiles writes each file under a temporary name in the folder it is
// to be in (".zelvo-render.XXXXXX") and renames them all into place at
// commit(), once everything is written: a run that fails half-way leaves
// every file asked for as it was. What is not committed is removed by
// discard() and by the destructor, and, on a signal that ends the program,
// by remove_temporaries_now(), which the program's signal handler calls.
// A page's name is the pattern with its first %d replaced by the page's
// number, or the pattern itself where it has none.
//
// A name is resolved as the file it names: a symbolic link is followed to
// its target, which is written (the link stays a link); a file that is no
// regular file (a device such as /dev/null, a FIFO) is written directly,
// without a temporary; a regular file keeps its mode, and its owner where
// the program may give it. A name that is one of the inputs is refused.
//
// Each failure is reported, as the program words it, to the function given
// at construction: "cannot write 'NAME': REASON", "Input file is output
// file: NAME".
//
// StandardOutputPage is standard output as the one page of a one-page
// format.
#ifndef ZELVO_OUTPUT_FILES_H
#define ZELVO_OUTPUT_FILES_H

#include "output_sink.h"

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// A file as the system knows it, whatever name reaches it.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
};

class OutputFiles final : public PageFiles {
public:
    using ErrorReport = std::function<void(const std::string &message)>;

    // `inputs` are the files the run reads, which no output may be.
    OutputFiles(std::string pattern, ErrorReport report_error, std::vector<FileIdentity> inputs);
    ~OutputFiles();
    OutputFiles(const OutputFiles &) = delete;
    OutputFiles &operator=(const OutputFiles &) = delete;

    // A stream for the file `name`, written under its temporary name until
    // commit() (or directly, where it is no regular file); null when it
    // cannot be made or must not be written.
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
    // The same, from a signal handler: only unlink(), on names that the
    // termination signals could not have found half-changed.
    void remove_temporaries_now() const;

private:
    struct Pending {
        std::string temporary; // empty for a file written directly
        std::string target;
    };
    std::string pattern_;
    ErrorReport report_error_;
    std::vector<FileIdentity> inputs_;
    std::vector<Pending> files_;
};

// The regular file that `name` is, following symbolic links; false when it
// is none or cannot be looked at.
bool regular_file_identity(const std::string &name, FileIdentity &identity);

class StandardOutputPage final : public PageFiles {
public:
    std::FILE *open_page(std::uint64_t) override { return stdout; }
    bool close_page(std::FILE *file) override { return std::fflush(file) == 0; }
};

#endif

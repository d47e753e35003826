// SPDX-License-Identifier: MIT
// zelvo-render's inputs as one stream that can be read twice: once to
// measure the plot, once to draw it.
//
// One regular file is read where it lies. Anything else (several inputs,
// standard input, a pipe or a device) is copied, in the order given, into
// a spool file in the folder TMPDIR names (else /tmp), unlinked as soon as
// it is made, so that nothing is left behind however the program ends: a
// pipe cannot be read a second time. Standard input ("-") is read once,
// where it is first named. The spool takes at most `limit` bytes: an
// endless input ends there, with an error, rather than filling the disk.
//
// A spool that cannot be made says why in error(), in the words that the
// program prints after its name:
//   cannot open 'NAME': REASON
//   cannot read 'NAME'
//   cannot make a spool file in DIR: REASON
//   cannot write the spool file in DIR: REASON
//   the input is longer than the spool takes (LIMIT bytes, --spool-limit)
#ifndef ZELVO_INPUT_SPOOL_H
#define ZELVO_INPUT_SPOOL_H

#include "render.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class InputSpool final : public PlotSource {
public:
    // The spool of `inputs`, one name or more ("-" for standard input),
    // made in `folder` and holding at most `limit` bytes.
    InputSpool(const std::vector<std::string> &inputs, const std::string &folder,
               std::uint64_t limit);
    ~InputSpool();
    InputSpool(const InputSpool &) = delete;
    InputSpool &operator=(const InputSpool &) = delete;

    // False when the spool could not be made; error() says why.
    bool ok() const { return file_ != nullptr; }
    const std::string &error() const { return error_; }

    std::size_t read(char *buffer, std::size_t size) override;
    // Back to the first byte, for the next reading; a spool starts there.
    void rewind();
    // Whether any read of the spool failed, in any reading: the plot was
    // then read short, and what was drawn from it is not to be trusted.
    bool read_failed() const { return read_failed_; }

private:
    std::FILE *file_ = nullptr;
    std::string error_;
    bool read_failed_ = false;
};

#endif

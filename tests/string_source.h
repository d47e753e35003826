// SPDX-License-Identifier: MIT
// A plot held in memory, read as the renderer reads a file.
#ifndef ZELVO_TESTS_STRING_SOURCE_H
#define ZELVO_TESTS_STRING_SOURCE_H

#include "render.h"

#include <algorithm>
#include <string>
#include <utility>

class StringSource : public PlotSource {
public:
    explicit StringSource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t read(char *buffer, std::size_t size) override
    {
        const std::size_t n = std::min(size, bytes_.size() - at_);
        bytes_.copy(buffer, n, at_);
        at_ += n;
        return n;
    }

private:
    std::string bytes_;
    std::size_t at_ = 0;
};

#endif

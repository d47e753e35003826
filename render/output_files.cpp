// SPDX-License-Identifier: MIT
#include "output_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

OutputFiles::OutputFiles(std::string pattern, ErrorReport report_error)
    : pattern_(std::move(pattern)), report_error_(std::move(report_error))
{
}

OutputFiles::~OutputFiles()
{
    discard();
}

std::FILE *OutputFiles::open(const std::string &name)
{
    const std::size_t slash = name.rfind('/');
    std::string temp = (slash == std::string::npos ? std::string() : name.substr(0, slash + 1))
                       + ".zelvo-render.XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        report_error_("cannot write '" + name + "': " + std::strerror(errno));
        return nullptr;
    }
    // mkstemp makes the file 0600; the file asked for gets the mode that
    // any new file of this user gets.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    std::FILE *file = fdopen(fd, "wb");
    files_.push_back({temp, name});
    return file;
}

std::FILE *OutputFiles::open_page(std::uint64_t number)
{
    return open(page_name(number));
}

bool OutputFiles::close_page(std::FILE *file)
{
    const bool ok = std::fflush(file) == 0 && std::ferror(file) == 0;
    return std::fclose(file) == 0 && ok;
}

std::string OutputFiles::page_name(std::uint64_t number) const
{
    const std::size_t at = pattern_.find("%d");
    if (at == std::string::npos)
        return pattern_;
    return pattern_.substr(0, at) + std::to_string(number) + pattern_.substr(at + 2);
}

bool OutputFiles::commit()
{
    for (const auto &[temp, name] : files_) {
        if (std::rename(temp.c_str(), name.c_str()) != 0) {
            report_error_("cannot write '" + name + "': " + std::strerror(errno));
            return false;
        }
    }
    files_.clear();
    return true;
}

void OutputFiles::discard()
{
    for (const auto &file : files_)
        std::remove(file.first.c_str());
    files_.clear();
}

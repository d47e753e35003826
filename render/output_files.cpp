// SPDX-License-Identifier: MIT
#include "output_files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// Changes of the list of temporary files are made with the signals that
// end the program held back, so that a handler never reads it half-changed.
class TerminationSignalsHeld {
public:
    TerminationSignalsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal_number :
             {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ, SIGXCPU})
            sigaddset(&held, signal_number);
        sigprocmask(SIG_BLOCK, &held, &before_);
    }
    ~TerminationSignalsHeld() { sigprocmask(SIG_SETMASK, &before_, nullptr); }
    TerminationSignalsHeld(const TerminationSignalsHeld &) = delete;
    TerminationSignalsHeld &operator=(const TerminationSignalsHeld &) = delete;

private:
    sigset_t before_;
};

std::string folder_of(const std::string &name)
{
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

// The file a name writes to: a symbolic link's target (a dangling one's
// too), else the name itself.
std::string resolved(const std::string &name)
{
    struct stat link {};
    if (lstat(name.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return name;
    if (char *real = realpath(name.c_str(), nullptr)) {
        std::string target = real;
        std::free(real);
        return target;
    }
    char target[PATH_MAX];
    const ssize_t length = readlink(name.c_str(), target, sizeof target - 1);
    if (length <= 0)
        return name;
    target[length] = '\0';
    return target[0] == '/' ? std::string(target) : folder_of(name) + target;
}

bool same(const FileIdentity &a, const struct stat &b)
{
    return a.device == b.st_dev && a.inode == b.st_ino;
}

} // namespace

bool regular_file_identity(const std::string &name, FileIdentity &identity)
{
    struct stat info {};
    if (stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    identity = {info.st_dev, info.st_ino};
    return true;
}

OutputFiles::OutputFiles(std::string pattern, ErrorReport report_error,
                         std::vector<FileIdentity> inputs)
    : pattern_(std::move(pattern)), report_error_(std::move(report_error)),
      inputs_(std::move(inputs))
{
}

OutputFiles::~OutputFiles()
{
    discard();
}

std::FILE *OutputFiles::open(const std::string &name)
{
    const std::string target = resolved(name);
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    for (const FileIdentity &input : inputs_) {
        if (exists && same(input, existing)) {
            report_error_("Input file is output file: " + name);
            return nullptr;
        }
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        // A device or a FIFO takes the output as it comes.
        std::FILE *file = std::fopen(target.c_str(), "wb");
        if (file == nullptr)
            report_error_("cannot write '" + name + "': " + std::strerror(errno));
        else
            files_.push_back({std::string(), target});
        return file;
    }
    std::string temp = folder_of(target) + ".zelvo-render.XXXXXX";
    int fd;
    {
        const TerminationSignalsHeld held;
        fd = mkstemp(temp.data());
        if (fd >= 0)
            files_.push_back({temp, target});
    }
    if (fd < 0) {
        report_error_("cannot write '" + name + "': " + std::strerror(errno));
        return nullptr;
    }
    if (exists) {
        // The file keeps its mode, and its owner where that may be given.
        fchmod(fd, existing.st_mode & 07777);
        if (fchown(fd, existing.st_uid, existing.st_gid) != 0)
            fchmod(fd, existing.st_mode & 0777);
    } else {
        // mkstemp makes the file 0600; a new file gets the mode that any
        // new file of this user gets.
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    std::FILE *file = fdopen(fd, "wb");
    if (file == nullptr) {
        report_error_("cannot write '" + name + "': " + std::strerror(errno));
        close(fd);
    }
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
    const TerminationSignalsHeld held;
    for (std::size_t done = 0; done < files_.size(); ++done) {
        const Pending &file = files_[done];
        if (!file.temporary.empty()
            && std::rename(file.temporary.c_str(), file.target.c_str()) != 0) {
            report_error_("cannot write '" + file.target + "': " + std::strerror(errno));
            files_.erase(files_.begin(), files_.begin() + static_cast<std::ptrdiff_t>(done));
            return false;
        }
    }
    files_.clear();
    return true;
}

void OutputFiles::discard()
{
    const TerminationSignalsHeld held;
    remove_temporaries_now();
    files_.clear();
}

void OutputFiles::remove_temporaries_now() const
{
    for (const Pending &file : files_)
        if (!file.temporary.empty())
            unlink(file.temporary.c_str());
}

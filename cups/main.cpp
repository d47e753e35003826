// SPDX-License-Identifier: MIT
// zelvo-cups: the CUPS filter that turns HP-GL/2 plot files into PCL jobs,
// for the queues of zelvo's driver, whose printers take HP-GL/2.
//
// Called by CUPS as  zelvo-cups job-id user title copies options [file];
// reads the file, or standard input without one, and writes the job to
// standard output. Messages carry CUPS's "ERROR: " and "DEBUG: " prefixes.
#include "cups_options.h"
#include "job.h"
#include "job_measure.h"
#include "message_text.h"
#include "queue_ppd.h"
#include "standard_descriptors.h"

#include <cups/cups.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Set when CUPS cancels the job with SIGTERM; the job is given it as its
// cancel flag: the copy stops, and the trailer still goes out so the printer
// is left reset.
volatile std::sig_atomic_t cancel_requested = 0;

// The time the trailer is given after a cancel. CUPS follows SIGTERM with
// SIGKILL; a backend that reads nothing must not keep the filter blocked
// until then.
constexpr unsigned kTrailerSeconds = 1;

extern "C" void request_stop(int)
{
    cancel_requested = 1;
    alarm(kTrailerSeconds);
}

// The trailer's time is up: a write blocked now returns EINTR, and every
// write after it fails at once where it would block.
extern "C" void give_up_output(int)
{
    const int flags = fcntl(STDOUT_FILENO, F_GETFL);
    if (flags >= 0)
        fcntl(STDOUT_FILENO, F_SETFL, flags | O_NONBLOCK);
}

// Installed without SA_RESTART, so that a read or write blocked at the
// moment of the signal returns EINTR and the copy sees the stop request.
// SIGPIPE is ignored: a backend that goes away is a write failure to report,
// not a silent death.
bool install_signal_handlers()
{
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    action.sa_handler = request_stop;
    if (sigaction(SIGTERM, &action, nullptr) != 0)
        return false;
    action.sa_handler = give_up_output;
    if (sigaction(SIGALRM, &action, nullptr) != 0)
        return false;
    action.sa_handler = SIG_IGN;
    return sigaction(SIGPIPE, &action, nullptr) == 0;
}

// Opens the print file once and puts it on standard input, which the job
// then reads: a FIFO gives its bytes once, and nothing is written when the
// file cannot be opened or is a folder.
bool open_print_file(const char *name)
{
    const int fd = open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "ERROR: Unable to open print file \"%s\": %s\n",
                     printable(name).c_str(), std::strerror(errno));
        return false;
    }
    struct stat status {};
    int error = 0;
    if (fstat(fd, &status) != 0)
        error = errno;
    else if (S_ISDIR(status.st_mode))
        error = EISDIR;
    else if (fd != STDIN_FILENO && dup2(fd, STDIN_FILENO) < 0)
        error = errno;
    if (fd != STDIN_FILENO)
        close(fd);
    if (error != 0) {
        std::fprintf(stderr, "ERROR: Unable to read print file \"%s\": %s\n",
                     printable(name).c_str(), std::strerror(error));
        return false;
    }
    return true;
}

JobSettings settings_from_arguments(const char *copies, const char *option_text)
{
    cups_option_t *parsed = nullptr;
    const int count = cupsParseOptions(option_text, 0, &parsed);
    const QueueChoices queue = read_queue_choices(std::getenv("PPD"), count, parsed, stderr);
    std::vector<CupsOption> options;
    options.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        options.push_back({parsed[i].name, parsed[i].value});
    const JobSettings settings = cups_job_settings(copies, count, options.data(), stderr, queue);
    cupsFreeOptions(count, parsed);
    return settings;
}

// What the job asks of the fit, for the log.
const char *fit_wanted(const JobSettings &settings)
{
    if (!settings.fit)
        return "no fit";
    if (settings.fit->only_if_larger)
        return settings.fit->turn_to_fill ? "fit if larger, turned where it prints larger"
                                          : "fit if larger";
    return settings.fit->turn_to_fill ? "fit, turned where it prints larger" : "fit";
}

} // namespace

int main(int argc, char **argv)
{
    // Before the PPD, the print file or the job opens anything.
    if (!fill_closed_standard_descriptors())
        return 1;
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr, "Usage: %s job-id user title copies options [file]\n",
                     argc > 0 ? printable(argv[0]).c_str() : "zelvo-cups");
        return 1;
    }
    if (!install_signal_handlers()) {
        std::fprintf(stderr, "ERROR: Unable to install signal handlers: %s\n",
                     std::strerror(errno));
        return 1;
    }
    if (argc == 7 && !open_print_file(argv[6]))
        return 1;

    const JobSettings settings = settings_from_arguments(argv[4], argv[5]);
    std::fprintf(stderr,
                 "DEBUG: zelvo-cups: %d cop%s, rotation %d, pen width %.2f mm, %s wrapper, "
                 "paper %s, %s\n",
                 static_cast<int>(settings.copies), settings.copies == 1 ? "y" : "ies",
                 static_cast<int>(settings.rotation),
                 static_cast<double>(settings.pen_width.value_or(kDefaultPenWidth)),
                 settings.wrapper_mode == ModeLj ? "lj" : "pcl",
                 settings.paper != nullptr ? settings.paper->name : "the printer's",
                 fit_wanted(settings));

    // The job reads standard input: the print file, or what CUPS pipes in.
    // It goes to standard output.
    const JobInputs inputs{0, nullptr, nullptr};
    OutputDestination destination{};
    std::strcpy(destination.name, "-");
    JobConduct conduct = cups_job_conduct(&cancel_requested);
    conduct.measure_drawing = measure_job_drawing;
    JobReport report;
    const int status = run_job(settings, destination, inputs, conduct, &report);
    // What the fit made of the plot: it may turn it and scale it, or print
    // it unscaled.
    if (settings.fit) {
        if (report.fit_scale > 0)
            std::fprintf(stderr, "DEBUG: zelvo-cups: fitted at %.1f %%, rotation %d\n",
                         report.fit_scale * 100, report.rotation);
        else
            std::fprintf(stderr, "DEBUG: zelvo-cups: printed unscaled, rotation %d\n",
                         report.rotation);
    }
    if (report.stopped)
        std::fputs(status == 0 ? "DEBUG: Job cancelled; the trailer was written\n"
                               : "DEBUG: Job cancelled; the printer did not take the trailer\n",
                   stderr);
    // For page_log and quotas: each page the printer ejects, with the copies
    // it makes of it.
    for (std::uint64_t page = 1; page <= report.pages; ++page)
        std::fprintf(stderr, "PAGE: %llu %d\n", static_cast<unsigned long long>(page),
                     static_cast<int>(settings.copies));
    return status;
}

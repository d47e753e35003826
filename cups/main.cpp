// zelvo-cups: the CUPS filter that turns HP-GL/2 plot files into PCL jobs.
//
// Called by CUPS as  zelvo-cups job-id user title copies options [file];
// reads the file, or standard input without one, and writes the job to
// standard output. Messages carry CUPS's "ERROR: " and "DEBUG: " prefixes.
#include "cups_options.h"
#include "cups_queue.h"
#include "job.h"
#include "job_measure.h"
#include "standard_descriptors.h"

#include <cups/cups.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

// Set when CUPS cancels the job with SIGTERM; the job is given it as its
// cancel flag: the copy stops, and the trailer still goes out so the printer
// is left reset.
volatile std::sig_atomic_t cancel_requested = 0;

extern "C" void request_stop(int)
{
    cancel_requested = 1;
}

// Installed without SA_RESTART, so that a read or write blocked at the
// moment of the signal returns EINTR and the copy sees the stop request.
// SIGPIPE is ignored: a backend that goes away is a write failure to report,
// not a silent death.
bool install_signal_handlers()
{
    struct sigaction action {};
    action.sa_handler = request_stop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    if (sigaction(SIGTERM, &action, nullptr) != 0)
        return false;
    action.sa_handler = SIG_IGN;
    return sigaction(SIGPIPE, &action, nullptr) == 0;
}

// Opens the print file once before the job starts, so that nothing is
// written when it cannot be opened.
bool check_opens(const char *name)
{
    const int fd = open(name, O_RDONLY);
    if (fd < 0) {
        std::fprintf(stderr, "ERROR: Unable to open print file \"%s\": %s\n", name,
                     std::strerror(errno));
        return false;
    }
    close(fd);
    return true;
}

JobSettings settings_from_arguments(const char *copies, const char *option_text)
{
    cups_option_t *parsed = nullptr;
    const int count = cupsParseOptions(option_text, 0, &parsed);
    std::vector<CupsOption> options;
    options.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        options.push_back({parsed[i].name, parsed[i].value});
    const JobSettings settings = cups_job_settings(copies, count, options.data(), stderr);
    cupsFreeOptions(count, parsed);
    return settings;
}

} // namespace

int main(int argc, char **argv)
{
    // Before the PPD, the print file or the job opens anything.
    if (!fill_closed_standard_descriptors())
        return 1;
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr, "Usage: %s job-id user title copies options [file]\n",
                     argc > 0 ? argv[0] : "zelvo-cups");
        return 1;
    }
    if (!install_signal_handlers()) {
        std::fprintf(stderr, "ERROR: Unable to install signal handlers: %s\n",
                     std::strerror(errno));
        return 1;
    }
    if (!queue_takes_pcl5(std::getenv("PPD"), stderr))
        return 1;
    if (argc == 7 && !check_opens(argv[6]))
        return 1;

    const JobSettings settings = settings_from_arguments(argv[4], argv[5]);
    std::fprintf(stderr,
                 "DEBUG: zelvo-cups: %d cop%s, rotation %d, pen width %.2f mm, %s wrapper\n",
                 static_cast<int>(settings.copies), settings.copies == 1 ? "y" : "ies",
                 static_cast<int>(settings.rotation),
                 static_cast<double>(settings.pen_width.value_or(kDefaultPenWidth)),
                 settings.wrapper_mode == ModeLj ? "lj" : "pcl");

    // The print file is named as CUPS names it; without one, standard input.
    // The job goes to standard output.
    const JobInputs inputs{argc == 7 ? 1 : 0, argv + 6, nullptr};
    OutputDestination destination{};
    std::strcpy(destination.name, "-");
    JobConduct conduct = cups_job_conduct(&cancel_requested);
    conduct.measure_drawing = measure_job_drawing;
    JobReport report;
    const int status = run_job(settings, destination, inputs, conduct, &report);
    if (report.stopped)
        std::fputs("DEBUG: Job cancelled; the trailer was written\n", stderr);
    // For page_log and quotas: each page the printer ejects, with the copies
    // it makes of it.
    for (std::uint64_t page = 1; page <= report.pages; ++page)
        std::fprintf(stderr, "PAGE: %llu %d\n", static_cast<unsigned long long>(page),
                     static_cast<int>(settings.copies));
    return status;
}

// SPDX-License-Identifier: MIT
// zelvo: wraps HP-GL/2 plot files in a PCL 5 job for a laser printer.
#include "job.h"
#include "job_measure.h"
#include "settings.h"
#include "standard_descriptors.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

// The program's historical usage text, printed unchanged. Of the options it
// names only -port and -output act as it says.
constexpr const char *kUsageLines[] = {
    "drelk: This program sets up postscript files for printing",
    "drelk syntax (version:2.0)",
    "   drelk [options...] files...",
    " -port       Specifies portrait mode",
    " -eps        Specifies to create encapsulated postscript files (EPS)",
    " -title title  Specifies title line of output file (handy for EPS files)",
    " -output device  Specifies output printer device",
};

int print_usage()
{
    for (const char *line : kUsageLines)
        std::printf("%s\n", line);
    if (std::fflush(stdout) == 0)
        return 0;
    std::fputs("Unable to write output file\n", stderr);
    return 1;
}

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

// The number of the signal that interrupted the job, or 0. The job is given
// it as its cancel flag; only the handler below writes it.
volatile std::sig_atomic_t interrupted_by = 0;

extern "C" void request_stop(int signal_number)
{
    interrupted_by = signal_number;
}

// An interrupt stops the copy where it is. Installed without SA_RESTART, so
// that a read or write blocked at that moment returns EINTR. A signal the
// filter was started with ignored (nohup, a background job) stays ignored.
void catch_interrupts()
{
    for (const int signal_number : kInterrupts) {
        struct sigaction previous {};
        if (sigaction(signal_number, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = request_stop;
        sigemptyset(&action.sa_mask);
        sigaction(signal_number, &action, nullptr);
    }
}

// Ends the process by the signal that interrupted the job, so that its
// caller sees that signal (a shell reports 128 + its number). A signal that
// came once the destination had the whole job stopped nothing, and is not
// said to have.
[[noreturn]] void end_by_interrupt(bool delivered)
{
    const int signal_number = interrupted_by;
    std::fputs(delivered ? "Interrupted after the job was delivered\n" : "Interrupted\n", stderr);
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
    std::_Exit(128 + signal_number);
}

int refuse(const char *what, const char *value)
{
    std::fprintf(stderr, "%s: %s\n", what, value);
    return 1;
}

// zelvo's rule: a name that begins with "-" is standard input.
bool dash_means_standard_input(const char *name)
{
    return name[0] == '-';
}

int run(int argc, char **argv, const ParameterList &list)
{
    const ResolvedSettings resolved = resolve_settings(argc, argv, list, std::getenv("zelvo_out"));
    switch (resolved.outcome) {
    case Resolution::ShowUsage:
        return print_usage();
    case Resolution::NameTooLong:
        std::fputs("Output name too long\n", stderr);
        return 1;
    case Resolution::InvalidPenWidth:
        return refuse("Invalid pen width", resolved.refused);
    case Resolution::UnknownPaper:
        return refuse("Unknown paper", resolved.refused);
    case Resolution::UnknownPlotSize:
        return refuse("Unknown plot size", resolved.refused);
    case Resolution::RunJob:
        break;
    }
    catch_interrupts();
    // A command that goes away is a failed write to report, not a silent
    // death; the command itself gets the default action back.
    if (destination_kind(resolved.destination) == DestinationKind::Command)
        std::signal(SIGPIPE, SIG_IGN);
    const JobInputs inputs{argc - resolved.first_input, argv + resolved.first_input,
                           dash_means_standard_input};
    JobConduct conduct;
    conduct.cancel = &interrupted_by;
    conduct.measure_drawing = measure_job_drawing;
    JobReport report;
    const int status = run_job(resolved.settings, resolved.destination, inputs, conduct, &report);
    if (interrupted_by != 0)
        end_by_interrupt(report.delivered);
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    if (!fill_closed_standard_descriptors())
        return 1;
    // The parameter list's words live as long as the job, which may name
    // one of them in a refusal.
    const ParameterList list = split_parameter_list(std::getenv("zelvo_param"));
    return run(argc, argv, list);
}

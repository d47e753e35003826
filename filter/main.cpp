// zelvo: wraps HP-GL/2 plot files in a PCL 5 job for a laser printer.
#include "job.h"
#include "settings.h"

#include <cstdio>
#include <cstdlib>

namespace {

// The program's historical usage text, printed unchanged. Of the options it
// names only -port and -output act as it says.
constexpr const char *usage_lines[] = {
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
    for (const char *line : usage_lines)
        std::printf("%s\n", line);
    if (std::fflush(stdout) == 0)
        return 0;
    std::fputs("Unable to write output file\n", stderr);
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    const ResolvedSettings resolved =
        resolve_settings(argc, argv, std::getenv("zelvo_param"), std::getenv("zelvo_out"));
    switch (resolved.outcome) {
    case Resolution::ShowUsage:
        return print_usage();
    case Resolution::NameTooLong:
        std::fputs("Output name too long\n", stderr);
        return 1;
    case Resolution::RunJob:
        break;
    }
    return run_job(resolved.settings, argc - resolved.first_input, argv + resolved.first_input);
}

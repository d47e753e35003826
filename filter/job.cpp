// The print job: check the inputs against the output, open the destination,
// write the header, copy the inputs, write the trailer, close the
// destination.
#include "job.h"

#include "copy.h"
#include "fit.h"
#include "output_command.h"
#include "pen_width.h"
#include "plot_scanner.h"
#include "same_file.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

DestinationKind destination_kind(const OutputDestination &destination)
{
    switch (destination.name[0]) {
    case '|':
        return DestinationKind::Command;
    case '-':
        return DestinationKind::StandardOutput;
    default:
        return DestinationKind::File;
    }
}

namespace {

// The plot's first 64 KiB are read ahead to find its size for -fit.
constexpr std::size_t kReadAhead = 64 * 1024;

struct Destination {
    DestinationKind kind;
    std::FILE *stream = nullptr;
    OutputCommand command;
};

bool open_destination(const OutputDestination &name, Destination &destination)
{
    destination.kind = destination_kind(name);
    switch (destination.kind) {
    case DestinationKind::Command:
        // A command that goes away is a failed write to report, not a silent
        // death; the command itself gets the default action back.
        std::signal(SIGPIPE, SIG_IGN);
        if (start_command(name.name + 1, destination.command))
            destination.stream = destination.command.stream;
        break;
    case DestinationKind::StandardOutput:
        destination.stream = stdout;
        break;
    case DestinationKind::File:
        destination.stream = std::fopen(name.name, "w");
        break;
    }
    return destination.stream != nullptr;
}

bool put(std::FILE *out, const char *bytes)
{
    const std::size_t length = std::strlen(bytes);
    return std::fwrite(bytes, 1, length, out) == length;
}

const char *rotation_line(std::int32_t rotation)
{
    switch (rotation) {
    case 90:
        return "RO90;\n";
    case 180:
        return "RO180;\n";
    case 270:
        return "RO270;\n";
    default:
        return "";
    }
}

const char *lj_line(const JobSettings &settings)
{
    return settings.wrapper_mode == ModeLj ? "RO90;\n" : "";
}

// The degrees those lines turn the plot by, together.
int total_rotation(const JobSettings &settings)
{
    const char *line = rotation_line(settings.rotation);
    return (settings.wrapper_mode == ModeLj ? 90 : 0) + (line[0] != '\0' ? settings.rotation : 0);
}

// Room for the hold text: "PW100.0;", RO90 and RO270, each with its LF.
constexpr std::size_t kHoldText = 32;

// The pen width when one was given, then the rotation lines of the header.
void hold_text(const JobSettings &settings, char (&text)[kHoldText])
{
    char width[kPenWidthText] = "";
    if (settings.pen_width_given)
        format_pen_width(settings.pen_width, width);
    std::snprintf(text, sizeof text, "%s%s%s%s%s", settings.pen_width_given ? "PW" : "", width,
                  settings.pen_width_given ? ";\n" : "", lj_line(settings),
                  rotation_line(settings.rotation));
}

// ESC E resets the printer, ESC &l<n>X (more than one copy only) sets the
// number of copies and ESC &l<n>A the page size; the picture frame of -fit
// follows. ESC %1B enters HP-GL/2, ESC &l1O picks landscape; then initialise,
// pen 1, absolute plotting, the pen width and the rotations.
bool write_header(std::FILE *out, const JobSettings &settings, const char *frame)
{
    if (!put(out, "\033E"))
        return false;
    if (settings.copies > 1
        && std::fprintf(out, "\033&l%dX", static_cast<int>(settings.copies)) < 0)
        return false;
    if (settings.paper != nullptr && std::fprintf(out, "\033&l%dA", settings.paper->pcl_code) < 0)
        return false;
    if (!put(out, frame))
        return false;
    char width[kPenWidthText];
    format_pen_width(settings.pen_width, width);
    if (std::fprintf(out, "\033%%1B\033&l1O\nIN;SP1;PA;PW%s;\n", width) < 0)
        return false;
    return put(out, lj_line(settings)) && put(out, rotation_line(settings.rotation));
}

// Deselect the pen and eject the page (an HP-GL/2 line, left out where the
// plot leaves the printer in PCL context, which would print it as text),
// back to PCL, reset.
bool write_trailer(std::FILE *out, bool in_pcl)
{
    return (in_pcl || put(out, "SP;PG;\n")) && std::fprintf(out, "\033%%0A\033E") >= 0;
}

// One run of the job.
struct Run {
    Run(const JobSettings &job, int input_count, const char *const *input_names)
        : settings(job), count(input_count), names(input_names), prefix(job.message_prefix)
    {
    }

    const JobSettings &settings;
    int count;
    const char *const *names;
    const char *prefix;
    bool reading = false;      // every byte goes through the scanner
    char hold[kHoldText] = ""; // the text after every IN and BP, when held
    PlotScanner scanner;
    int next = 0;              // the next name to open
    bool stdin_closed = false; // standard input is closed after its copy
    const char *current = "-"; // the name of the open input
    bool input_failed = false;
};

bool stopped()
{
    return copy_stop_requested != 0;
}

// Opens the next input, reporting those that cannot be opened; null after
// the last.
std::FILE *open_next(Run &run)
{
    if (run.count == 0) {
        if (run.next++ > 0)
            return nullptr;
        run.current = "-";
        return stdin;
    }
    while (run.next < run.count && !stopped()) {
        const char *name = run.names[run.next++];
        if (name[0] == '-') {
            if (run.stdin_closed)
                continue;
            run.stdin_closed = true;
            run.current = name;
            return stdin;
        }
        if (std::FILE *input = std::fopen(name, "r")) {
            run.current = name;
            return input;
        }
        std::fprintf(stderr, "%sUnable to open: %s\n", run.prefix, name);
        run.input_failed = true;
    }
    return nullptr;
}

// Reports an input that ended on a read error; the job goes on after it.
void note_status(Run &run, CopyStatus status)
{
    if (status == CopyStatus::ReadFailed) {
        std::fprintf(stderr, "%sUnable to read: %s\n", run.prefix, run.current);
        run.input_failed = true;
    }
}

void close_input(std::FILE *input)
{
    // Standard input is closed too: a later "-" copies nothing.
    std::fclose(input);
    job_stream.input = nullptr;
}

// Whether the job goes on after an input ended this way.
bool goes_on(CopyStatus status)
{
    return status != CopyStatus::WriteFailed && status != CopyStatus::Stopped;
}

CopyStatus copy_current(Run &run)
{
    return run.reading ? file_cat_scanned(run.scanner, run.hold) : file_cat();
}

// The plot's first bytes, read ahead of the header.
struct Lookahead {
    char bytes[kReadAhead];
    std::size_t size = 0;
    CopyStatus status = CopyStatus::Done;
    bool ended = false; // the input ended within them: it is not read again
};

// Reads the first input's first bytes until they give the plot size, a
// drawing instruction, or their end; the size, when found, lands in `size`.
bool find_plot_size(Run &run, Lookahead &ahead, PlotExtent &size)
{
    PlotScanner probe = run.scanner;
    const int in = fileno(job_stream.input);
    while (ahead.size < kReadAhead && !probe.plot_size_found && !probe.drawn) {
        std::size_t got = 0;
        ahead.status = read_some(in, ahead.bytes + ahead.size, kReadAhead - ahead.size, got);
        if (ahead.status != CopyStatus::Done || got == 0) {
            ahead.ended = ahead.status == CopyStatus::Done;
            finish_plot(probe);
            break;
        }
        for (std::size_t done = 0; done < got;) {
            const std::size_t place = scan_plot(probe, ahead.bytes + ahead.size + done, got - done);
            done = place == kNoHold ? got : done + place;
        }
        ahead.size += got;
    }
    if (!probe.plot_size_found)
        return false;
    // Plotter units of 0.025 mm.
    size = {static_cast<double>(probe.plot_length) / 40,
            static_cast<double>(probe.plot_width) / 40};
    return true;
}

// The picture frame of -fit, with the first input opened and read ahead;
// empty without -fit or a plot size.
void frame_for(Run &run, Lookahead &ahead, char (&frame)[kFitCommands])
{
    frame[0] = '\0';
    if (!run.settings.fit)
        return;
    PlotExtent size = run.settings.fit_size;
    if ((size.width <= 0 || size.height <= 0)
        && !(job_stream.input != nullptr && find_plot_size(run, ahead, size))) {
        std::fprintf(stderr, "%sNo plot size found; printing unscaled\n",
                     run.settings.warning_prefix);
        return;
    }
    const Paper paper = run.settings.paper != nullptr ? *run.settings.paper : system_paper();
    fit_commands(frame, paper, size, total_rotation(run.settings));
}

// Writes what was read ahead, then the rest of that input and the others.
CopyStatus copy_inputs(Run &run, const Lookahead &ahead)
{
    CopyStatus status = CopyStatus::Done;
    if (ahead.size > 0) {
        if (run.reading) {
            status = write_scanned(run.scanner, run.hold, ahead.bytes, ahead.size);
        } else {
            status = std::fflush(job_stream.output) == 0
                         ? write_all(fileno(job_stream.output), ahead.bytes, ahead.size)
                         : CopyStatus::WriteFailed;
        }
    }
    if (job_stream.input != nullptr) {
        if (goes_on(status) && ahead.status == CopyStatus::Done && !ahead.ended)
            status = copy_current(run);
        else if (goes_on(status))
            status = ahead.status;
        note_status(run, status);
        close_input(job_stream.input);
    }
    while (goes_on(status) && (job_stream.input = open_next(run)) != nullptr) {
        status = copy_current(run);
        note_status(run, status);
        close_input(job_stream.input);
    }
    if (stopped())
        return CopyStatus::Stopped;
    return goes_on(status) ? CopyStatus::Done : status;
}

// Ends the plot stream: the hold text where an IN or BP was left open at its
// very end, then the trailer.
bool finish_stream(Run &run)
{
    bool written = true;
    if (run.reading) {
        if (finish_plot(run.scanner))
            written = put(job_stream.output, run.hold);
        eject_last_page(run.scanner);
    }
    return written && write_trailer(job_stream.output, run.reading && run.scanner.in_pcl);
}

enum class CloseOutcome { Closed, WriteFailed, CommandFailed };

// Closes the output and tells whether everything reached it. A command
// counts as failed unless it exits normally with status 0; one that exits
// 0 without reading the whole job counts as a failed write.
CloseOutcome close_destination(Destination &destination, bool written)
{
    if (std::fflush(destination.stream) != 0)
        written = false;
    if (destination.kind == DestinationKind::Command) {
        const CommandEnd end = finish_command(destination.command);
        if (!end.succeeded)
            return CloseOutcome::CommandFailed;
        return written && end.closed && !end.left_unread ? CloseOutcome::Closed
                                                         : CloseOutcome::WriteFailed;
    }
    if (std::fclose(destination.stream) != 0)
        written = false;
    return written ? CloseOutcome::Closed : CloseOutcome::WriteFailed;
}

// An interrupted job: the copy stops where it is and the destination is
// closed without the trailer; a command is terminated first, so that it
// does not take what it got for a whole job.
void abandon(Destination &destination)
{
    if (destination.kind == DestinationKind::Command)
        abandon_command(destination.command);
    else
        std::fclose(destination.stream);
}

} // namespace

int run_job(const JobSettings &settings, int count, const char *const *names, JobReport *report)
{
    const char *prefix = settings.message_prefix;
    if (const char *same = input_that_is_output(settings.destination, count, names)) {
        std::fprintf(stderr, "%sInput file is output file: %s\n", prefix, same);
        return 1;
    }

    Destination destination;
    if (!open_destination(settings.destination, destination)) {
        std::fprintf(stderr, "%sUnable to open output file\n", prefix);
        return 1;
    }
    job_stream.output = destination.stream;

    Run run(settings, count, names);
    if (settings.hold || settings.fit)
        hold_text(settings, run.hold);
    run.reading = settings.read_plot || settings.fit || run.hold[0] != '\0';

    // The picture frame depends on the plot's own size, so the first input
    // is opened, and read ahead, before the header goes out.
    Lookahead ahead;
    if (settings.fit)
        job_stream.input = open_next(run);
    char frame[kFitCommands];
    frame_for(run, ahead, frame);

    CopyStatus copied = CopyStatus::WriteFailed;
    if (write_header(job_stream.output, settings, frame))
        copied = copy_inputs(run, ahead);
    if (report != nullptr) {
        report->input_failed = run.input_failed;
        report->stopped = copied == CopyStatus::Stopped;
    }

    if (stopped() && !settings.finish_when_stopped) {
        abandon(destination);
        job_stream.output = nullptr;
        return 1;
    }
    const bool written = copied != CopyStatus::WriteFailed && finish_stream(run);
    if (report != nullptr)
        report->pages = run.scanner.pages;

    const CloseOutcome outcome = close_destination(destination, written);
    job_stream.output = nullptr;
    switch (outcome) {
    case CloseOutcome::Closed:
        return run.input_failed ? 1 : 0;
    case CloseOutcome::WriteFailed:
        std::fprintf(stderr, "%sUnable to write output file\n", prefix);
        return 1;
    case CloseOutcome::CommandFailed:
        std::fprintf(stderr, "%sOutput command failed\n", prefix);
        return 1;
    }
    return 1;
}

// SPDX-License-Identifier: MIT
// The print job: check the inputs against the output, open the destination,
// write the header, copy the inputs, write the trailer, close the
// destination.
#include "job.h"

#include "job_text.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace {

// The job's own bytes wait here until the plot's bytes follow them (or the
// output is closed), so that the first failed write shows where the copy
// starts, after the inputs before it were opened.
struct PendingText {
    char bytes[kHeaderText + kHoldText + kTrailerText];
    std::size_t size = 0;
};

bool append(PendingText &pending, const char *text, std::size_t length)
{
    if (length > sizeof pending.bytes - pending.size)
        return false;
    std::memcpy(pending.bytes + pending.size, text, length);
    pending.size += length;
    return true;
}

bool append(PendingText &pending, const char *text)
{
    return append(pending, text, std::strlen(text));
}

// Writes what waits. Only `cancel` cuts it short, which the caller gives
// where an abandoned destination keeps nothing (a command): elsewhere the
// job's own bytes go out as they would without a cancel request.
bool write_pending(int output, PendingText &pending, CancelFlag cancel = nullptr)
{
    const std::size_t size = pending.size;
    pending.size = 0;
    return write_all(output, pending.bytes, size, cancel) == CopyStatus::Done;
}

// One run of the job.
struct Run {
    Run(const JobSettings &job, const JobInputs &names, const JobConduct &how)
        : settings(job), inputs(names), conduct(how), log{how.log, how.message_prefix}
    {
    }

    const JobSettings &settings;
    const JobInputs &inputs;
    const JobConduct &conduct;
    int output = -1; // once the destination is open
    InputLog log;
    bool reading = false;      // every byte goes through the scanner
    char hold[kHoldText] = ""; // the text after every IN and BP, when held
    // The line of P1 and P2 in the hold text and the header, when reading.
    char points[kPointsText] = "";
    Paper paper{};             // the paper of -paper, else the system's, when reading
    char page[kPageText] = ""; // the PCL settings, again after the plot's ESC E
    Insertions insert;
    PlotScanner scanner;
    InputWalk walk;
    PendingText pending;
    int input = -1; // the open input
};

bool stopped(const Run &run)
{
    return cancelled(run.conduct.cancel);
}

// Whether the job goes on after an input ended this way.
bool goes_on(CopyStatus status)
{
    return status != CopyStatus::WriteFailed && status != CopyStatus::Stopped;
}

// Writes what waits, then copies the open input.
CopyStatus copy_current(Run &run)
{
    if (!write_pending(run.output, run.pending))
        return CopyStatus::WriteFailed;
    const CopyEnds ends{run.input, run.output, run.conduct.cancel};
    return run.reading ? copy_input_inserting(ends, run.scanner, run.insert) : copy_input(ends);
}

// Writes what waits, then the bytes read ahead.
CopyStatus write_read_ahead(Run &run, const ReadAhead &ahead)
{
    if (!write_pending(run.output, run.pending))
        return CopyStatus::WriteFailed;
    if (run.reading)
        return write_inserting(run.output, run.conduct.cancel, run.scanner, run.insert, ahead.bytes,
                               ahead.size);
    return write_all(run.output, ahead.bytes, ahead.size, run.conduct.cancel);
}

void finish_input(Run &run, CopyStatus status)
{
    note_copy_status(run.walk, run.log, status);
    close_input(run.input);
    run.input = -1;
}

// The drawing -fit scales, and whether it is the file's drawing as
// measured, which the job can measure again.
struct FoundDrawing {
    DrawingBox box;
    bool measured = false;
};

// The drawing of the first input, when it is a regular file that the
// program can measure. Where P1 and P2 sit, and where a turned plot's
// origin lies, depend on the frame: a drawing that leaves it is measured
// again in a frame grown to hold it, twice at most (a drawing scaled to P1
// and P2 grows with the frame).
std::optional<DrawingBox> measured_drawing(const Run &run, const char *hpgl)
{
    const int rotation = total_rotation(run.settings);
    const bool turned = rotation != 0;
    const MeasureDrawing measure = run.conduct.measure_drawing;
    struct stat file;
    if (measure == nullptr || run.input < 0 || fstat(run.input, &file) != 0
        || !S_ISREG(file.st_mode))
        return std::nullopt;
    const FrameSize frame = measure_frame(rotation);
    std::optional<DrawingBox> box = measure(run.input, hpgl, run.hold, frame.length, frame.width);
    for (int again = 0; box && again < 2 && frame_can_grow(*box, turned); ++again) {
        const DrawingBox grown = grown_frame(*box, turned);
        box = measure(run.input, hpgl, run.hold, grown.frame_length, grown.frame_width);
    }
    return box;
}

// What -fit scales for the settings as they stand: the size given, else the
// drawing measured, else the plot size read ahead (read once, kept in
// `read_size`).
std::optional<FoundDrawing> drawing_for(Run &run, const char *hpgl, ReadAhead &ahead,
                                        std::optional<PlotExtent> &read_size)
{
    const int rotation = total_rotation(run.settings);
    if (run.settings.fit->plot_size)
        return FoundDrawing{sheet_box(*run.settings.fit->plot_size, rotation)};
    if (std::optional<DrawingBox> box = measured_drawing(run, hpgl))
        return FoundDrawing{*box, true};
    if (!read_size && run.input >= 0 && ahead.size == 0)
        read_size = read_ahead_plot_size(run.input, run.scanner, ahead, run.conduct.cancel);
    if (read_size)
        return FoundDrawing{sheet_box(*read_size, rotation)};
    return std::nullopt;
}

// The hold text and the header's HP-GL/2 lines for the settings as they
// stand.
void settings_text(Run &run, char (&hpgl)[kHpglText])
{
    run.hold[0] = '\0';
    if (run.settings.hold || run.settings.fit)
        hold_text(run.settings, run.points, run.hold);
    hpgl_text(run.settings, run.points, hpgl);
}

// P1 and P2 for the plot as the job reads and turns it: in the frame of
// -fit, which turns with the plot (`own_frame`), else in the printer's; then
// the texts that hold them.
void hold_points(Run &run, bool own_frame, char (&hpgl)[kHpglText])
{
    const int rotation = total_rotation(run.settings);
    if (own_frame)
        turned_frame_points(rotation, run.points);
    else
        printer_frame_points(rotation, run.paper, run.points);
    settings_text(run, hpgl);
}

// -fit found nothing it could fit.
void warn_unscaled(const Run &run)
{
    std::fprintf(run.conduct.log, "%sNo plot size found; printing unscaled\n",
                 run.conduct.warning_prefix);
}

// A fit as the job writes it.
struct Fit {
    FitNumbers numbers;
    double scale; // millimetres on the page per millimetre of the plot
};

// The fit of `found` with every number within PCL's ranges: in the frame it
// was found in, else, for a drawing measured, in a frame of its own where
// the hold text keeps P1 and P2: one that reaches the plot's origin, else
// one that the hold text moves the drawing into. There it must measure the
// same: a plot that sets its own P1 and P2 from the frame, or turns its
// scaling off, is not where the move puts it. Nothing where none of these
// places it, or where the frame shows nothing of it.
std::optional<Fit> placed_fit(Run &run, char (&hpgl)[kHpglText], const FoundDrawing &found)
{
    if (!frame_shows_drawing(found.box))
        return std::nullopt;
    const FitNumbers numbers = fit_numbers(run.paper, found.box);
    if (within_pcl_ranges(numbers))
        return Fit{numbers, fit_scale(run.paper, found.box)};
    if (!found.measured)
        return std::nullopt;
    const int rotation = total_rotation(run.settings);
    for (const bool keep_origin : {true, false}) {
        const DrawingBox own = drawing_in_own_frame(run.paper, found.box, rotation, keep_origin);
        if (!within_pcl_ranges(fit_numbers(run.paper, own))
            || !moved_points(rotation, found.box, own, run.points))
            continue;
        settings_text(run, hpgl);
        const std::optional<DrawingBox> there = run.conduct.measure_drawing(
            run.input, hpgl, run.hold, own.frame_length, own.frame_width);
        if (!there || !same_drawing(*there, own))
            continue;
        const FitNumbers placed = fit_numbers(run.paper, *there);
        if (within_pcl_ranges(placed))
            return Fit{placed, fit_scale(run.paper, *there)};
    }
    return std::nullopt;
}

// The fit of -fit, with the first input opened: to the size given, else to
// the drawing measured, else to the plot size read ahead; nothing without
// any of these, for a fit only if larger of a drawing that the page holds as
// drawn, and where no frame places the drawing within PCL's ranges. A fit
// that may turn the plot turns `printed` (the settings the run holds) to
// rotation 270, with its texts, where the plot prints larger so.
std::optional<Fit> fit_for(Run &run, char (&hpgl)[kHpglText], ReadAhead &ahead,
                           JobSettings &printed)
{
    std::optional<PlotExtent> read_size;
    std::optional<FoundDrawing> found = drawing_for(run, hpgl, ahead, read_size);
    if (!found) {
        // An interrupted read-ahead tells nothing about the plot.
        if (!stopped(run))
            warn_unscaled(run);
        return std::nullopt;
    }
    if (run.settings.fit->only_if_larger && fit_scale(run.paper, found->box) >= 1)
        return std::nullopt;
    if (run.settings.fit->turn_to_fill && run.settings.rotation == 0) {
        const JobSettings upright = printed;
        printed.rotation = 270;
        hold_points(run, true, hpgl);
        const std::optional<FoundDrawing> turned = drawing_for(run, hpgl, ahead, read_size);
        if (turned && fit_scale(run.paper, turned->box) > fit_scale(run.paper, found->box)) {
            found = turned;
        } else {
            printed = upright;
            hold_points(run, true, hpgl);
        }
    }
    std::optional<Fit> fit = placed_fit(run, hpgl, *found);
    if (!fit)
        warn_unscaled(run);
    return fit;
}

// The picture frame of -fit, with the first input opened (see fit_for),
// and its scale; "" and 0 where the job prints the plot unscaled, whose
// P1 and P2 then go where the printer's frame has them.
double frame_for(Run &run, char (&hpgl)[kHpglText], ReadAhead &ahead, char (&frame)[kFitCommands],
                 JobSettings &printed)
{
    frame[0] = '\0';
    if (!run.settings.fit)
        return 0;
    const std::optional<Fit> fit = fit_for(run, hpgl, ahead, printed);
    if (!fit) {
        hold_points(run, false, hpgl);
        return 0;
    }
    fit_commands(frame, fit->numbers);
    return fit->scale;
}

// Writes what was read ahead, then the rest of that input and the others.
CopyStatus copy_inputs(Run &run, const ReadAhead &ahead)
{
    CopyStatus status = CopyStatus::Done;
    if (ahead.size > 0)
        status = write_read_ahead(run, ahead);
    if (run.input >= 0) {
        if (goes_on(status) && ahead.status == CopyStatus::Done && !ahead.ended)
            status = copy_current(run);
        else if (goes_on(status))
            status = ahead.status;
        finish_input(run, status);
    }
    while (goes_on(status)
           && (run.input = open_next_input(run.inputs, run.walk, run.log, run.conduct.cancel))
                  >= 0) {
        status = copy_current(run);
        finish_input(run, status);
    }
    if (stopped(run))
        return CopyStatus::Stopped;
    return goes_on(status) ? CopyStatus::Done : status;
}

// Ends the plot stream: the hold text where an IN or BP was left open at its
// very end, then the trailer; they wait with the rest until the output is
// closed.
bool finish_stream(Run &run)
{
    bool written = true;
    // Whether the plot leaves drawing on a page that the trailer ejects.
    bool drawn_on = false;
    if (run.reading) {
        if (finish_plot(run.scanner))
            written = append(run.pending, run.hold);
        // Data the plot announced and left out would swallow the trailer.
        static constexpr char kZeros[512] = {};
        for (std::size_t left = data_to_finish(run.scanner); written && left > 0;) {
            const std::size_t size = std::min(left, sizeof kZeros);
            written = write_pending(run.output, run.pending)
                      && write_all(run.output, kZeros, size, nullptr) == CopyStatus::Done;
            left -= size;
        }
        drawn_on = run.scanner.page_marked;
        eject_last_page(run.scanner);
    }
    char trailer[kTrailerText];
    const std::size_t length = trailer_text(run.reading, run.scanner, drawn_on, trailer);
    return written && append(run.pending, trailer, length);
}

} // namespace

int run_job(const JobSettings &settings, const OutputDestination &destination,
            const JobInputs &inputs, const JobConduct &conduct, JobReport *report)
{
    std::FILE *log = conduct.log;
    const char *prefix = conduct.message_prefix;
    if (const char *same = input_that_is_output(destination, inputs)) {
        std::fprintf(log, "%sInput file is output file: %s\n", prefix, same);
        return 1;
    }

    // The settings as printed: a fit may turn the plot.
    JobSettings printed = settings;
    Run run(printed, inputs, conduct);
    // -hold reads the plot to print it right, whatever it has to add.
    run.reading = conduct.count_pages || settings.hold || settings.fit;
    run.scanner.job_mends = run.reading;
    char hpgl[kHpglText];
    if (run.reading) {
        run.paper = settings.paper != nullptr ? *settings.paper : system_paper();
        hold_points(run, settings.fit.has_value(), hpgl);
    } else {
        settings_text(run, hpgl);
    }

    // The picture frame depends on the plot's own size, so the first input
    // is opened, and measured or read ahead, before the header goes out;
    // before the destination too, so that an input the output would create
    // is missing, and an interrupt there leaves nothing started or created.
    ReadAhead ahead;
    if (settings.fit)
        run.input = open_next_input(inputs, run.walk, run.log, conduct.cancel);
    char frame[kFitCommands];
    const double scale = frame_for(run, hpgl, ahead, frame, printed);
    if (report != nullptr) {
        report->rotation = total_rotation(printed);
        report->fit_scale = scale;
    }
    if (settings.fit && stopped(run) && !conduct.finish_when_cancelled) {
        if (run.input >= 0)
            close_input(run.input);
        if (report != nullptr)
            report->stopped = true;
        return 1;
    }
    page_text(printed, frame, run.page);
    run.insert = {run.hold, kPageBreak, run.page};

    Destination open;
    if (!open_destination(destination, open)) {
        // An open that a cancel request broke off (a FIFO without a reader)
        // is no unusable output.
        if (!stopped(run))
            std::fprintf(log, "%sUnable to open output file\n", prefix);
        if (run.input >= 0)
            close_input(run.input);
        return 1;
    }
    run.output = open.output;
    run.walk.output = open.output;

    char header[kHeaderText];
    header_text(run.page, hpgl, header);
    CopyStatus copied = CopyStatus::WriteFailed;
    if (append(run.pending, header))
        copied = copy_inputs(run, ahead);
    if (report != nullptr) {
        report->input_failed = run.walk.failed;
        report->stopped = copied == CopyStatus::Stopped;
    }

    if (stopped(run) && !conduct.finish_when_cancelled) {
        // What waits still reaches a file or standard output; a command is
        // terminated before it could read it.
        if (open.kind != DestinationKind::Command)
            write_pending(open.output, run.pending);
        abandon_destination(open);
        return 1;
    }
    bool written = copied != CopyStatus::WriteFailed && finish_stream(run);
    if (report != nullptr)
        report->pages = run.scanner.pages;
    // Until a command has the whole job and the end of its input, a cancel
    // request abandons it, wherever it comes: while the trailer waits on a
    // full pipe too.
    const CancelFlag abandon_on = conduct.finish_when_cancelled ? nullptr : conduct.cancel;
    written = write_pending(open.output, run.pending,
                            open.kind == DestinationKind::Command ? abandon_on : nullptr)
              && written;

    const CloseOutcome outcome = close_destination(open, written, abandon_on);
    if (report != nullptr)
        report->delivered = outcome == CloseOutcome::Closed || outcome == CloseOutcome::Unchecked;
    switch (outcome) {
    case CloseOutcome::Closed:
        return run.walk.failed ? 1 : 0;
    case CloseOutcome::Unchecked:
        std::fprintf(log, "%sUnable to check that the output command read the whole job\n",
                     conduct.warning_prefix);
        return run.walk.failed ? 1 : 0;
    case CloseOutcome::WriteFailed:
        std::fprintf(log, "%sUnable to write output file\n", prefix);
        return 1;
    case CloseOutcome::CommandFailed:
        std::fprintf(log, "%sOutput command failed\n", prefix);
        return 1;
    case CloseOutcome::Abandoned:
        return 1;
    }
    return 1;
}

// The print job: open the destination, write the header, copy the inputs,
// write the trailer, close the destination.
#include "job.h"

#include <cstring>
#include <sys/wait.h>

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

std::FILE *open_destination(const OutputDestination &destination)
{
    switch (destination_kind(destination)) {
    case DestinationKind::Command:
        return popen(destination.name + 1, "w");
    case DestinationKind::StandardOutput:
        return stdout;
    case DestinationKind::File:
        break;
    }
    return std::fopen(destination.name, "w");
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

// ESC E resets the printer, ESC %1B enters HP-GL/2, ESC &l1O picks landscape;
// then initialise, pen 1, absolute plotting, the pen width and the rotations.
bool write_header(std::FILE *out, const JobSettings &settings)
{
    if (std::fprintf(out, "\033E\033%%1B\033&l1O\n") < 0)
        return false;
    if (std::fprintf(out, "IN;SP1;PA;PW%.1f;\n", static_cast<double>(settings.pen_width)) < 0)
        return false;
    if (settings.wrapper_mode == ModeLj && !put(out, "RO90;\n"))
        return false;
    return put(out, rotation_line(settings.rotation));
}

// Deselect the pen, eject the page, back to PCL, reset.
bool write_trailer(std::FILE *out)
{
    return put(out, "SP;PG;\n") && std::fprintf(out, "\033%%0A\033E") >= 0;
}

// Reports an input that ended on a read error; the job goes on.
void copy_one(const char *name, bool &write_failed)
{
    const int status = file_cat();
    if (status == CopyWriteFailed)
        write_failed = true;
    else if (status == CopyReadFailed)
        std::fprintf(stderr, "Unable to read: %s\n", name);
}

// Copies every input in order; false once a write to the output failed.
bool copy_inputs(int count, const char *const *names)
{
    bool write_failed = false;
    if (count == 0) {
        job_stream.input = stdin;
        copy_one("-", write_failed);
        return !write_failed;
    }

    // Standard input is closed after its copy; a later "-" copies nothing.
    bool stdin_closed = false;
    for (int i = 0; i < count && !write_failed; ++i) {
        const char *name = names[i];
        if (name[0] == '-') {
            if (stdin_closed)
                continue;
            job_stream.input = stdin;
            stdin_closed = true;
        } else {
            job_stream.input = std::fopen(name, "r");
            if (job_stream.input == nullptr) {
                std::fprintf(stderr, "Unable to open: %s\n", name);
                continue;
            }
        }
        copy_one(name, write_failed);
        std::fclose(job_stream.input);
        job_stream.input = nullptr;
    }
    return !write_failed;
}

// Closes the output and tells whether everything reached it. A command
// counts as failed unless it exits normally with status 0.
enum class CloseOutcome { Closed, WriteFailed, CommandFailed };

CloseOutcome close_destination(std::FILE *out, DestinationKind kind, bool written)
{
    if (std::fflush(out) != 0)
        written = false;
    if (kind == DestinationKind::Command) {
        const int status = pclose(out);
        if (!written)
            return CloseOutcome::WriteFailed;
        if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return CloseOutcome::CommandFailed;
        return CloseOutcome::Closed;
    }
    if (std::fclose(out) != 0)
        written = false;
    return written ? CloseOutcome::Closed : CloseOutcome::WriteFailed;
}

} // namespace

int run_job(const JobSettings &settings, int count, const char *const *names)
{
    const DestinationKind kind = destination_kind(settings.destination);
    job_stream.output = open_destination(settings.destination);
    if (job_stream.output == nullptr) {
        std::fputs("Unable to open output file\n", stderr);
        return 1;
    }

    const bool written = write_header(job_stream.output, settings)
                         && copy_inputs(count, names)
                         && write_trailer(job_stream.output);

    const CloseOutcome outcome = close_destination(job_stream.output, kind, written);
    job_stream.output = nullptr;
    switch (outcome) {
    case CloseOutcome::Closed:
        return 0;
    case CloseOutcome::WriteFailed:
        std::fputs("Unable to write output file\n", stderr);
        return 1;
    case CloseOutcome::CommandFailed:
        std::fputs("Output command failed\n", stderr);
        return 1;
    }
    return 1;
}

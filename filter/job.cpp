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

// ESC E resets the printer, ESC &l<n>X (more than one copy only) sets the
// number of copies, ESC %1B enters HP-GL/2, ESC &l1O picks landscape; then
// initialise, pen 1, absolute plotting, the pen width and the rotations.
bool write_header(std::FILE *out, const JobSettings &settings)
{
    if (!put(out, "\033E"))
        return false;
    if (settings.copies > 1
        && std::fprintf(out, "\033&l%dX", static_cast<int>(settings.copies)) < 0)
        return false;
    if (std::fprintf(out, "\033%%1B\033&l1O\n") < 0)
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

// Copies the current input and reports one that ended on a read error; the
// job goes on after it.
int copy_one(const char *prefix, const char *name, bool &input_failed)
{
    const int status = file_cat();
    if (status == CopyReadFailed) {
        std::fprintf(stderr, "%sUnable to read: %s\n", prefix, name);
        input_failed = true;
    }
    return status;
}

// Copies every input in order until a write to the output fails or a stop
// is requested; false once a write failed. `input_failed` tells whether an
// input could not be opened or read to its end.
bool copy_inputs(const char *prefix, int count, const char *const *names, bool &input_failed)
{
    if (count == 0) {
        job_stream.input = stdin;
        return copy_one(prefix, "-", input_failed) != CopyWriteFailed;
    }

    // Standard input is closed after its copy; a later "-" copies nothing.
    bool stdin_closed = false;
    int status = CopyDone;
    for (int i = 0; i < count && status != CopyWriteFailed && status != CopyStopped; ++i) {
        const char *name = names[i];
        if (name[0] == '-') {
            if (stdin_closed)
                continue;
            job_stream.input = stdin;
            stdin_closed = true;
        } else {
            job_stream.input = std::fopen(name, "r");
            if (job_stream.input == nullptr) {
                std::fprintf(stderr, "%sUnable to open: %s\n", prefix, name);
                input_failed = true;
                continue;
            }
        }
        status = copy_one(prefix, name, input_failed);
        std::fclose(job_stream.input);
        job_stream.input = nullptr;
    }
    return status != CopyWriteFailed;
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

int run_job(const JobSettings &settings, int count, const char *const *names, bool *input_failed)
{
    const char *prefix = settings.message_prefix;
    const DestinationKind kind = destination_kind(settings.destination);
    job_stream.output = open_destination(settings.destination);
    if (job_stream.output == nullptr) {
        std::fprintf(stderr, "%sUnable to open output file\n", prefix);
        return 1;
    }

    bool some_input_failed = false;
    const bool written = write_header(job_stream.output, settings)
                         && copy_inputs(prefix, count, names, some_input_failed)
                         && write_trailer(job_stream.output);
    if (input_failed != nullptr)
        *input_failed = some_input_failed;

    const CloseOutcome outcome = close_destination(job_stream.output, kind, written);
    job_stream.output = nullptr;
    switch (outcome) {
    case CloseOutcome::Closed:
        return 0;
    case CloseOutcome::WriteFailed:
        std::fprintf(stderr, "%sUnable to write output file\n", prefix);
        return 1;
    case CloseOutcome::CommandFailed:
        std::fprintf(stderr, "%sOutput command failed\n", prefix);
        return 1;
    }
    return 1;
}

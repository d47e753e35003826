// SPDX-License-Identifier: MIT
// Mapping the CUPS job's copies and options onto the job settings.
#include "cups_options.h"

#include "message_text.h"

#include "pen_width.h"
#include "settings.h"
#include "strutil.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

namespace {

// The range of the PCL number-of-copies command.
constexpr long kMaxCopies = 999;

// A whole decimal number with no sign, blank or trailing text; one too
// large for a long is held at the largest, which is more than any count
// here takes.
bool read_count(const char *text, long &value)
{
    if (text == nullptr || text[0] < '0' || text[0] > '9')
        return false;
    char *end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return *end == '\0' && (errno == 0 || (errno == ERANGE && value == LONG_MAX));
}

// CUPS's spellings of a boolean option's value; false when it is neither.
bool read_switch(const char *value, bool &on)
{
    struct Spelling {
        const char *word;
        bool on;
    };
    static constexpr Spelling kSpellings[] = {
        {"true", true},   {"yes", true}, {"on", true},
        {"false", false}, {"no", false}, {"off", false},
    };
    for (const Spelling &spelling : kSpellings) {
        if (strcasecmp(value, spelling.word) == 0) {
            on = spelling.on;
            return true;
        }
    }
    return false;
}

// The value of the last option called `name` (names ignore case), or null.
const char *find_option(const char *name, int count, const CupsOption *options)
{
    const char *value = nullptr;
    for (int i = 0; i < count; ++i)
        if (strcasecmp(options[i].name, name) == 0)
            value = options[i].value != nullptr ? options[i].value : "";
    return value;
}

std::int32_t read_copies(const char *text, std::FILE *log)
{
    long copies = 0;
    if (!read_count(text, copies) || copies < 1) {
        std::fprintf(log, "DEBUG: Ignoring copies \"%s\": not a number from 1 up\n",
                     printable(text != nullptr ? text : "").c_str());
        return 1;
    }
    if (copies > kMaxCopies) {
        std::fprintf(log, "DEBUG: Printing %ld copies as %ld, the most the printer takes\n", copies,
                     kMaxCopies);
        return static_cast<std::int32_t>(kMaxCopies);
    }
    return static_cast<std::int32_t>(copies);
}

void apply_orientation_requested(JobSettings &settings, const char *value, std::FILE *log)
{
    long code = 0;
    if (read_count(value, code)) {
        switch (code) {
        case 3: // portrait: the plot upright on a portrait page
            settings.rotation = 270;
            return;
        case 4: // landscape
            settings.rotation = 0;
            return;
        case 5: // reverse landscape
            settings.rotation = 180;
            return;
        case 6: // reverse portrait: portrait turned by 180 degrees
            settings.rotation = 90;
            return;
        default:
            break;
        }
    }
    std::fprintf(log, "DEBUG: Ignoring orientation-requested=%s: not 3, 4, 5 or 6\n",
                 printable(value).c_str());
}

// "landscape" and "portrait" as switches: the one turned off means the other.
void apply_orientation_switch(JobSettings &settings, const char *name, bool portrait_when_on,
                              const char *value, std::FILE *log)
{
    bool on = false;
    if (!read_switch(value, on)) {
        std::fprintf(log, "DEBUG: Ignoring %s=%s: not true or false\n", name,
                     printable(value).c_str());
        return;
    }
    settings.rotation = on == portrait_when_on ? 270 : 0;
}

// "penwidth", or the queue's "ZelvoPenWidth": a whole number of micrometres.
void apply_pen_width(JobSettings &settings, const char *name, const char *value, std::FILE *log)
{
    long micrometres = 0;
    if (!read_count(value, micrometres)) {
        std::fprintf(log, "DEBUG: Ignoring %s=%s: not a whole number of micrometres\n", name,
                     printable(value).c_str());
        return;
    }
    // Held in single precision, as zelvo holds "-lwidth 0.35".
    const auto width = static_cast<float>(static_cast<double>(micrometres) / 1000.0);
    if (pen_width_refused(width)) {
        std::fprintf(log, "DEBUG: Ignoring %s=%s: more than 100 mm\n", name,
                     printable(value).c_str());
        return;
    }
    settings.pen_width = width;
}

// print-scaling, as CUPS 2.4's dialogs send it: "fit" scales the plot to
// the page; "auto-fit" only a plot that the page cannot hold as drawn, and
// "auto" as "auto-fit" (it fills only borderless pages, and a plot keeps
// its margin); "fill" and "none" leave it as it is drawn.
void apply_print_scaling(JobSettings &settings, const char *value, std::FILE *log)
{
    static constexpr const char *kKept[] = {"fill", "none"};
    if (strcasecmp(value, "fit") == 0) {
        settings.fit = FitToPage{};
        return;
    }
    if (strcasecmp(value, "auto") == 0 || strcasecmp(value, "auto-fit") == 0) {
        // A fit asked for by name stands.
        if (!settings.fit) {
            settings.fit = FitToPage{};
            settings.fit->only_if_larger = true;
        }
        return;
    }
    for (const char *kept : kKept)
        if (strcasecmp(value, kept) == 0)
            return;
    std::fprintf(log, "DEBUG: Ignoring print-scaling=%s: not auto, auto-fit, fill, fit or none\n",
                 printable(value).c_str());
}

void apply_fit(JobSettings &settings, const char *name, const char *value, std::FILE *log)
{
    bool on = false;
    if (!read_switch(value, on)) {
        std::fprintf(log, "DEBUG: Ignoring %s=%s: not true or false\n", name,
                     printable(value).c_str());
        return;
    }
    // The plot's own size, from its first PS.
    settings.fit.reset();
    if (on)
        settings.fit = FitToPage{};
}

// CUPS's media names and the PWG's self-describing ones, for the papers
// zelvo knows by other names.
struct MediaName {
    const char *media;
    const char *paper;
};

constexpr MediaName kMediaNames[] = {
    {"na_letter_8.5x11in", "letter"},
    {"na_legal_8.5x14in", "legal"},
    {"na_executive_7.25x10.5in", "executive"},
    {"na_ledger_11x17in", "ledger"},
    {"iso_a5_148x210mm", "A5"},
    {"iso_a4_210x297mm", "A4"},
    {"iso_a3_297x420mm", "A3"},
    {"jis_b5_182x257mm", "B5"},
    {"jis_b4_257x364mm", "B4"},
};

const Paper *find_media(const char *name)
{
    for (const MediaName &media : kMediaNames)
        if (strcasecmp(name, media.media) == 0)
            return find_paper(media.paper);
    return find_paper(name);
}

// "media" may list a size among a source and a type ("A4,Tray1"): the
// first word that names a paper counts.
void apply_media(JobSettings &settings, const char *name, const char *value, std::FILE *log)
{
    const std::string words = value;
    for (std::size_t start = 0; start <= words.size();) {
        std::size_t end = words.find(',', start);
        if (end == std::string::npos)
            end = words.size();
        if (const Paper *paper = find_media(words.substr(start, end - start).c_str())) {
            settings.paper = paper;
            return;
        }
        start = end + 1;
    }
    std::fprintf(log, "DEBUG: Ignoring %s=%s: not a paper size zelvo knows\n", name,
                 printable(value).c_str());
}

// What the queue's PPD chose, under everything the job asks for.
void apply_queue_choices(JobSettings &settings, const QueueChoices &queue, std::FILE *log)
{
    if (!queue.page_size.empty()) {
        if (const Paper *paper = find_media(queue.page_size.c_str()))
            settings.paper = paper;
        else
            std::fprintf(log,
                         "DEBUG: Ignoring the queue's PageSize=%s: not a paper size zelvo knows\n",
                         printable(queue.page_size).c_str());
    }
    // "None": the header's pen width, and the plot's own after its IN.
    if (!queue.pen_width.empty() && strcasecmp(queue.pen_width.c_str(), "None") != 0)
        apply_pen_width(settings, "the queue's ZelvoPenWidth", queue.pen_width.c_str(), log);
    if (!queue.hold.empty())
        settings.hold = strcasecmp(queue.hold.c_str(), "False") != 0;
    if (strcasecmp(queue.fit.c_str(), "True") == 0)
        settings.fit = FitToPage{};
    if (queue.pcl_setup.size() < PrinterSetup::capacity)
        std::strcpy(settings.printer_setup.commands, queue.pcl_setup.c_str());
    else
        std::fprintf(log, "DEBUG: Ignoring the queue's PCL setup: more than %zu bytes\n",
                     PrinterSetup::capacity - 1);
}

void report_refused(const RefusedValues &refused, std::FILE *log)
{
    if (refused.pen_width != nullptr)
        std::fprintf(log, "DEBUG: Ignoring lwidth=%s in zelvo: not a usable pen width\n",
                     printable(refused.pen_width).c_str());
    if (refused.paper != nullptr)
        std::fprintf(log, "DEBUG: Ignoring paper=%s in zelvo: not a paper size zelvo knows\n",
                     printable(refused.paper).c_str());
    if (refused.plot_size != nullptr)
        std::fprintf(log, "DEBUG: Ignoring fit=%s in zelvo: not a plot size zelvo knows\n",
                     printable(refused.plot_size).c_str());
}

} // namespace

JobSettings cups_job_settings(const char *copies, int count, const CupsOption *options,
                              std::FILE *log, const QueueChoices &queue)
{
    JobSettings settings;
    settings.copies = read_copies(copies, log);
    // The settings hold across the plot's own IN.
    settings.hold = true;
    apply_queue_choices(settings, queue, log);

    if (const char *text = find_option("zelvo", count, options)) {
        const ParameterList list = split_parameter_list(text);
        RefusedValues refused;
        apply_parameter_list(settings, list, refused);
        report_refused(refused, log);
    }
    if (const char *value = find_option("orientation-requested", count, options))
        apply_orientation_requested(settings, value, log);
    if (const char *value = find_option("landscape", count, options))
        apply_orientation_switch(settings, "landscape", false, value, log);
    if (const char *value = find_option("portrait", count, options))
        apply_orientation_switch(settings, "portrait", true, value, log);
    if (const char *value = find_option("penwidth", count, options))
        apply_pen_width(settings, "penwidth", value, log);
    for (const char *name : {"fitplot", "fit-to-page"})
        if (const char *value = find_option(name, count, options))
            apply_fit(settings, name, value, log);
    if (const char *value = find_option("print-scaling", count, options))
        apply_print_scaling(settings, value, log);
    for (const char *name : {"PageSize", "media"})
        if (const char *value = find_option(name, count, options))
            apply_media(settings, name, value, log);
    // A fitted plot is turned to print largest, unless an orientation was
    // asked for.
    if (settings.fit && !orientation_asked(settings, count, options))
        settings.fit->turn_to_fill = true;
    return settings;
}

bool orientation_asked(const JobSettings &settings, int count, const CupsOption *options)
{
    bool asked = settings.rotation != 0 || settings.wrapper_mode == ModeLj;
    for (const char *name : {"orientation-requested", "landscape", "portrait"})
        asked = asked || find_option(name, count, options) != nullptr;
    return asked;
}

JobConduct cups_job_conduct(CancelFlag cancel)
{
    JobConduct conduct;
    conduct.cancel = cancel;
    conduct.message_prefix = "ERROR: ";
    conduct.warning_prefix = "WARNING: ";
    conduct.finish_when_cancelled = true;
    conduct.count_pages = true;
    return conduct;
}

// Mapping the CUPS job's copies and options onto the job settings.
#include "cups_options.h"

#include "settings.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

// The range of the PCL number-of-copies command.
constexpr long max_copies = 999;

// A whole decimal number with no sign, blank or trailing text.
bool read_count(const char *text, long &value)
{
    if (text == nullptr || text[0] < '0' || text[0] > '9')
        return false;
    char *end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return *end == '\0' && errno == 0;
}

// CUPS's spellings of a boolean option's value; false when it is neither.
bool read_switch(const char *value, bool &on)
{
    struct Spelling {
        const char *word;
        bool on;
    };
    static constexpr Spelling spellings[] = {
        {"true", true},   {"yes", true}, {"on", true},
        {"false", false}, {"no", false}, {"off", false},
    };
    for (const Spelling &spelling : spellings) {
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
                     text != nullptr ? text : "");
        return 1;
    }
    if (copies > max_copies) {
        std::fprintf(log, "DEBUG: Printing %ld copies as %ld, the most the printer takes\n", copies,
                     max_copies);
        return static_cast<std::int32_t>(max_copies);
    }
    return static_cast<std::int32_t>(copies);
}

void apply_orientation_requested(JobSettings &settings, const char *value, std::FILE *log)
{
    long code = 0;
    if (read_count(value, code)) {
        switch (code) {
        case 3: // portrait
            settings.rotation = 90;
            return;
        case 4: // landscape
            settings.rotation = 0;
            return;
        case 5: // reverse landscape
            settings.rotation = 180;
            return;
        case 6: // reverse portrait
            settings.rotation = 270;
            return;
        default:
            break;
        }
    }
    std::fprintf(log, "DEBUG: Ignoring orientation-requested=%s: not 3, 4, 5 or 6\n", value);
}

// "landscape" and "portrait" as switches: the one turned off means the other.
void apply_orientation_switch(JobSettings &settings, const char *name, bool portrait_when_on,
                              const char *value, std::FILE *log)
{
    bool on = false;
    if (!read_switch(value, on)) {
        std::fprintf(log, "DEBUG: Ignoring %s=%s: not true or false\n", name, value);
        return;
    }
    settings.rotation = on == portrait_when_on ? 90 : 0;
}

void apply_pen_width(JobSettings &settings, const char *value, std::FILE *log)
{
    long micrometres = 0;
    if (!read_count(value, micrometres)) {
        std::fprintf(log, "DEBUG: Ignoring penwidth=%s: not a whole number of micrometres\n",
                     value);
        return;
    }
    // Held in single precision, as zelvo holds "-lwidth 0.35".
    settings.pen_width = static_cast<float>(static_cast<double>(micrometres) / 1000.0);
}

} // namespace

JobSettings cups_job_settings(const char *copies, int count, const CupsOption *options,
                              std::FILE *log)
{
    JobSettings settings;
    std::strcpy(settings.destination.name, "-");
    settings.message_prefix = "ERROR: ";
    settings.copies = read_copies(copies, log);

    if (const char *list = find_option("zelvo", count, options))
        apply_parameter_list(settings, list);
    if (const char *value = find_option("orientation-requested", count, options))
        apply_orientation_requested(settings, value, log);
    if (const char *value = find_option("landscape", count, options))
        apply_orientation_switch(settings, "landscape", false, value, log);
    if (const char *value = find_option("portrait", count, options))
        apply_orientation_switch(settings, "portrait", true, value, log);
    if (const char *value = find_option("penwidth", count, options))
        apply_pen_width(settings, value, log);
    return settings;
}

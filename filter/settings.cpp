// SPDX-License-Identifier: MIT
// Settings resolution: defaults, then the parameter list, then the options,
// then the destination, all driven by one table of words.
#include "settings.h"

#include "pen_width.h"
#include "settings_words.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

constexpr SettingsWord kWords[] = {
    {"pcl", Setting::ModePcl, Takes::Nothing, 0, ListForm::Word},
    {"lj", Setting::ModeLj, Takes::Nothing, 0, ListForm::Word},
    {"port", Setting::Portrait, Takes::Nothing, 0, ListForm::Word},
    {"land", Setting::Landscape, Takes::Nothing, 0, ListForm::Word},
    {"hold", Setting::Hold, Takes::Nothing, 0, ListForm::Word},
    {"lwidth", Setting::PenWidth, Takes::Value, 0, ListForm::Historical},
    {"rot", Setting::Rotation, Takes::Value, 0, ListForm::Historical},
    {"out", Setting::Destination, Takes::Value, 3, ListForm::None},
    {"paper", Setting::Paper, Takes::Value, 3, ListForm::Word},
    {"fit", Setting::Fit, Takes::OptionalValue, 0, ListForm::Word},
};

// Pen widths are held in single precision. A value beyond its range becomes
// an infinity, as the hardware conversion gives it, without undefined
// behaviour.
float to_single(double value)
{
    if (value > FLT_MAX)
        return HUGE_VALF;
    if (value < -FLT_MAX)
        return -HUGE_VALF;
    return static_cast<float>(value);
}

// As atoi reads it, but a value outside the int range is no rotation.
std::int32_t read_rotation(const char *text)
{
    errno = 0;
    const long value = std::strtol(text, nullptr, 10);
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return 0;
    return static_cast<std::int32_t>(value);
}

// Looks like a plot size rather than an input name: a size's name, or
// digits and points around an 'x'.
bool looks_like_size(const char *text)
{
    PlotExtent size;
    if (plot_size_named(text, size))
        return true;
    const std::size_t width = std::strspn(text, "0123456789.");
    return width > 0 && (text[width] == 'x' || text[width] == 'X')
           && std::strspn(text + width + 1, "0123456789.") == std::strlen(text + width + 1)
           && text[width + 1] != '\0';
}

// Sets what `word` sets, with `value` when it takes one (null when an
// optional value is absent). A value no setting can take is noted instead.
void apply(JobSettings &settings, const SettingsWord &word, const char *value,
           RefusedValues &refused)
{
    switch (word.setting) {
    case Setting::ModePcl:
        settings.wrapper_mode = ModePcl;
        break;
    case Setting::ModeLj:
        settings.wrapper_mode = ModeLj;
        break;
    case Setting::Portrait:
        settings.rotation = 90;
        break;
    case Setting::Landscape:
        settings.rotation = 0;
        break;
    case Setting::Hold:
        settings.hold = true;
        break;
    case Setting::PenWidth: {
        const float width = to_single(std::atof(value));
        if (pen_width_refused(width)) {
            refused.pen_width = value;
        } else {
            settings.pen_width = width;
            refused.pen_width = nullptr;
        }
        break;
    }
    case Setting::Rotation:
        settings.rotation = read_rotation(value);
        break;
    case Setting::Destination:
        break; // settled after the options, from the last one given
    case Setting::Paper:
        if (const Paper *paper = find_paper(value)) {
            settings.paper = paper;
            refused.paper = nullptr;
        } else {
            refused.paper = value;
        }
        break;
    case Setting::Fit: {
        PlotExtent size;
        if (value != nullptr && !plot_size_named(value, size)) {
            // The fit stays as it was: a refused value changes nothing.
            refused.plot_size = value;
            break;
        }
        settings.fit = FitToPage{};
        refused.plot_size = nullptr;
        if (value != nullptr && size.width > 0 && size.height > 0)
            settings.fit->plot_size = size;
        break;
    }
    }
}

// Applies one parameter-list token; tokens that match no word change
// nothing. The historical prefix words come last, so that they take only
// what no whole word names: "rotate" sets the rotation from "te", that is 0.
void apply_token(JobSettings &settings, const char *token, RefusedValues &refused)
{
    for (const SettingsWord &word : kWords) {
        const std::size_t length = std::strlen(word.word);
        if (word.list != ListForm::Word)
            continue;
        if (strcasecmp(token, word.word) == 0 && word.takes != Takes::Value) {
            apply(settings, word, nullptr, refused);
            return;
        }
        if (strncasecmp(token, word.word, length) == 0 && token[length] == '='
            && word.takes != Takes::Nothing) {
            apply(settings, word, token + length + 1, refused);
            return;
        }
    }
    for (const SettingsWord &word : kWords) {
        const std::size_t length = std::strlen(word.word);
        if (word.list == ListForm::Historical && strncasecmp(token, word.word, length) == 0) {
            // A token that ends before the value has the value 0.
            apply(settings, word, token[length] != '\0' ? token + length + 1 : "", refused);
            return;
        }
    }
}

} // namespace

const SettingsWord *option_word(const char *arg, const char *next)
{
    if (arg[0] != '-')
        return nullptr;
    for (const SettingsWord &word : kWords) {
        // "-word", or its first option_prefix characters.
        const bool named = word.option_prefix > 0
                               ? strncasecmp(arg + 1, word.word, word.option_prefix - 1) == 0
                               : strcasecmp(arg + 1, word.word) == 0;
        if (named && (word.takes != Takes::Value || next != nullptr))
            return &word;
    }
    return nullptr;
}

bool takes_argument(const SettingsWord &word, const char *next)
{
    switch (word.takes) {
    case Takes::Nothing:
        return false;
    case Takes::Value:
        return true;
    case Takes::OptionalValue:
        return next != nullptr && looks_like_size(next);
    }
    return false;
}

ParameterList split_parameter_list(const char *list)
{
    return strutil::parse_string(list, ',');
}

void apply_parameter_list(JobSettings &settings, const ParameterList &list, RefusedValues &refused)
{
    for (const char *word : list)
        apply_token(settings, word, refused);
}

ResolvedSettings resolve_settings(int argc, const char *const *argv, const ParameterList &list,
                                  const char *out_name)
{
    ResolvedSettings result{JobSettings{}, OutputDestination{}, 1, Resolution::RunJob, nullptr};
    JobSettings &settings = result.settings;
    RefusedValues refused;
    apply_parameter_list(settings, list, refused);

    // The last "-out" value wins; an empty one counts as none.
    const char *destination = nullptr;
    int i = 1;
    while (i < argc) {
        const char *arg = argv[i];
        const char *next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (const SettingsWord *word = option_word(arg, next)) {
            const bool valued = takes_argument(*word, next);
            if (word->setting == Setting::Destination)
                destination = next;
            else
                apply(settings, *word, valued ? next : nullptr, refused);
            i += valued ? 2 : 1;
        } else if (std::strncmp(arg, "-h", 2) == 0) {
            result.first_input = i;
            result.outcome = Resolution::ShowUsage;
            return result;
        } else {
            break;
        }
    }
    result.first_input = i;

    const struct {
        const char *value;
        Resolution outcome;
    } refusals[] = {
        {refused.pen_width, Resolution::InvalidPenWidth},
        {refused.paper, Resolution::UnknownPaper},
        {refused.plot_size, Resolution::UnknownPlotSize},
    };
    for (const auto &refusal : refusals) {
        if (refusal.value != nullptr) {
            result.outcome = refusal.outcome;
            result.refused = refusal.value;
            return result;
        }
    }

    if (destination == nullptr || destination[0] == '\0')
        destination = out_name != nullptr ? out_name : "-";
    if (std::strlen(destination) >= OutputDestination::capacity) {
        result.outcome = Resolution::NameTooLong;
        return result;
    }
    std::strcpy(result.destination.name, destination);
    return result;
}

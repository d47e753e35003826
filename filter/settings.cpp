// Settings resolution: defaults, then the parameter list, then the options,
// then the destination.
#include "settings.h"

#include "strutil.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

bool same_word(const char *a, const char *b)
{
    return strcasecmp(a, b) == 0;
}

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

float read_width(const char *text)
{
    return to_single(std::atof(text));
}

// Applies a value-less option; false when `arg` is none of them.
bool apply_flag(JobSettings &settings, const char *arg)
{
    if (same_word(arg, "-pcl"))
        settings.wrapper_mode = ModePcl;
    else if (same_word(arg, "-lj"))
        settings.wrapper_mode = ModeLj;
    else if (same_word(arg, "-port"))
        settings.rotation = 90;
    else if (same_word(arg, "-land"))
        settings.rotation = 0;
    else
        return false;
    return true;
}

} // namespace

void apply_parameter_token(JobSettings &settings, const char *token)
{
    if (same_word(token, "pcl")) {
        settings.wrapper_mode = ModePcl;
    } else if (same_word(token, "lj")) {
        settings.wrapper_mode = ModeLj;
    } else if (same_word(token, "port")) {
        settings.rotation = 90;
    } else if (same_word(token, "land")) {
        settings.rotation = 0;
    } else if (strncasecmp(token, "lwidth", 6) == 0) {
        // The value starts one character after the keyword ('lwidth=0.35');
        // a token that ends before it has the value 0.
        settings.pen_width = token[6] != '\0' && token[7] != '\0' ? read_width(token + 7) : 0.0f;
    } else if (strncasecmp(token, "rot", 3) == 0) {
        settings.rotation = token[3] != '\0' && token[4] != '\0' ? std::atoi(token + 4) : 0;
    }
}

void apply_parameter_list(JobSettings &settings, const char *list)
{
    int count = 0;
    char **tokens = nullptr;
    if (parse_string(list, ',', &count, &tokens) != 0)
        return;
    for (int i = 0; i < count; ++i)
        apply_parameter_token(settings, tokens[i]);
    free_parsed_array(count, tokens);
}

ResolvedSettings resolve_settings(int argc, const char *const *argv, const char *param_list,
                                  const char *out_name)
{
    ResolvedSettings result{JobSettings{}, 1, Resolution::RunJob};
    JobSettings &settings = result.settings;

    if (param_list != nullptr)
        apply_parameter_list(settings, param_list);

    // The last "-out" value wins; an empty one counts as none.
    const char *destination = nullptr;
    int i = 1;
    while (i < argc) {
        const char *arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (apply_flag(settings, arg)) {
            i += 1;
        } else if (has_value && same_word(arg, "-lwidth")) {
            settings.pen_width = read_width(argv[i + 1]);
            i += 2;
        } else if (has_value && same_word(arg, "-rot")) {
            settings.rotation = std::atoi(argv[i + 1]);
            i += 2;
        } else if (has_value && strncasecmp(arg, "-out", 3) == 0) {
            destination = argv[i + 1];
            i += 2;
        } else if (std::strncmp(arg, "-h", 2) == 0) {
            result.first_input = i;
            result.outcome = Resolution::ShowUsage;
            return result;
        } else {
            break;
        }
    }
    result.first_input = i;

    if (destination == nullptr || destination[0] == '\0')
        destination = out_name != nullptr ? out_name : "-";
    if (std::strlen(destination) >= OutputDestination::capacity) {
        result.outcome = Resolution::NameTooLong;
        return result;
    }
    std::strcpy(settings.destination.name, destination);
    return result;
}

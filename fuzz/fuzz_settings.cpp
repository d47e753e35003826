// SPDX-License-Identifier: MIT
// resolve_settings. Byte 0 says which environment values are set; the rest,
// cut at NUL bytes, is zelvo_param, zelvo_out, then the arguments.
#include "fuzz_support.h"
#include "pen_width.h"
#include "settings.h"
#include "settings_words.h"

#include <cfloat>
#include <cstdlib>
#include <cstring>

namespace {

// Whether an option scan over argv[1..argc-1] may stop at `stop`: the
// argument there is none that the scan takes (a value option counts only
// with its value after it).
bool stops_scan(int argc, const char *const *argv, int stop)
{
    if (stop == argc)
        return true;
    const char *next = stop + 1 < argc ? argv[stop + 1] : nullptr;
    return option_word(argv[stop], next) == nullptr && std::strncmp(argv[stop], "-h", 2) != 0;
}

// Whether the scan may have passed the arguments before `stop`: each is a
// word, or the value the word before it takes.
bool scanned(int stop, const char *const *argv)
{
    int i = 1;
    while (i < stop) {
        const char *next = argv[i + 1];
        const SettingsWord *word = option_word(argv[i], next);
        if (word == nullptr)
            return false;
        i += takes_argument(*word, next) ? 2 : 1;
    }
    return i == stop;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0 || size > kMaxInput)
        return 0;
    const std::vector<std::string> texts = texts_of(data + 1, size - 1, 256);
    const std::string param = texts[0];
    const std::string out = texts.size() > 1 ? texts[1] : std::string();
    const char *param_value = (data[0] & 1) != 0 ? param.c_str() : nullptr;
    const char *out_value = (data[0] & 2) != 0 ? out.c_str() : nullptr;

    std::vector<const char *> argv{"zelvo"};
    for (std::size_t i = 2; i < texts.size(); ++i)
        argv.push_back(texts[i].c_str());
    const int argc = static_cast<int>(argv.size());
    argv.push_back(nullptr);
    const std::vector<std::string> before = texts;

    const ParameterList list = split_parameter_list(param_value);
    const ResolvedSettings r = resolve_settings(argc, argv.data(), list, out_value);
    FUZZ_CHECK(texts == before);
    FUZZ_CHECK(r.settings.wrapper_mode == ModePcl || r.settings.wrapper_mode == ModeLj);
    FUZZ_CHECK(r.first_input >= 1 && r.first_input <= argc);
    FUZZ_CHECK(scanned(r.first_input, argv.data()));

    const char *name = r.destination.name;
    switch (r.outcome) {
    case Resolution::ShowUsage:
        FUZZ_CHECK(std::strncmp(argv[static_cast<std::size_t>(r.first_input)], "-h", 2) == 0);
        break;
    case Resolution::NameTooLong: {
        FUZZ_CHECK(stops_scan(argc, argv.data(), r.first_input));
        bool too_long = out_value != nullptr && out.size() >= OutputDestination::capacity;
        for (int i = 2; i < r.first_input; ++i)
            too_long =
                too_long
                || std::strlen(argv[static_cast<std::size_t>(i)]) >= OutputDestination::capacity;
        FUZZ_CHECK(too_long);
        break;
    }
    case Resolution::InvalidPenWidth: {
        FUZZ_CHECK(stops_scan(argc, argv.data(), r.first_input));
        const double width = std::atof(r.refused);
        FUZZ_CHECK(!(width >= 0 && width <= FLT_MAX)
                   || pen_width_refused(static_cast<float>(width)));
        break;
    }
    case Resolution::UnknownPaper:
        FUZZ_CHECK(stops_scan(argc, argv.data(), r.first_input));
        FUZZ_CHECK(find_paper(r.refused) == nullptr);
        break;
    case Resolution::UnknownPlotSize: {
        FUZZ_CHECK(stops_scan(argc, argv.data(), r.first_input));
        PlotExtent size;
        FUZZ_CHECK(!plot_size_named(r.refused, size));
        break;
    }
    case Resolution::RunJob: {
        FUZZ_CHECK(stops_scan(argc, argv.data(), r.first_input));
        FUZZ_CHECK(!pen_width_refused(r.settings.pen_width.value_or(kDefaultPenWidth)));
        FUZZ_CHECK(std::memchr(name, '\0', OutputDestination::capacity) != nullptr);
        // The destination is an argument (the value of an -out), the
        // environment's name, or standard output.
        bool known = std::strcmp(name, "-") == 0 || (out_value != nullptr && out == name);
        for (int i = 2; i < r.first_input; ++i)
            known =
                known
                || (name[0] != '\0' && std::strcmp(argv[static_cast<std::size_t>(i)], name) == 0);
        FUZZ_CHECK(known);
        FUZZ_CHECK(name[0] != '\0' || (out_value != nullptr && out.empty()));
        break;
    }
    default:
        FUZZ_CHECK(!"an outcome outside the six");
    }
    return 0;
}

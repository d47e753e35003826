// SPDX-License-Identifier: MIT
// The string module against its closest GLib counterparts, on identical
// inputs. Every benchmark is named FUNCTION/SIDE/BYTES, SIDE being "strutil"
// or the GLib function, so bench/ratios.py can pair them up.
//
// Fairness: both sides of a pair do the same work per iteration, including
// whatever it takes to hand the next iteration the same input.
//  - Builders and splitters free their result inside the loop, each with its
//    own release function.
//  - fill_string / g_strdelimit change ',' to ';' and back on alternate
//    iterations, so every iteration replaces the same number of bytes.
//  - trim_string / g_strchomp cut 16 trailing blanks; a memset puts them back.
//  - strmcat / g_strlcat append to the same prefix; one NUL restores it.
//  - strip_spaces and its GLib equivalent destroy their input, so both time a
//    memcpy of the original plus the edit; "memcpy/copy" times the copy alone.
//  - g_ascii_strup/strdown return a new string, so the strutil side is
//    create_string + up_string/low_string + free: a new converted copy each.
#include "inputs.h"

#include <benchmark/benchmark.h>
#include <strutil.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef ZELVO_HAVE_GLIB
#include <glib.h>
#endif

namespace {

// 64 B, 4 KiB and 1 MiB are the sizes compared; the others show that the time
// per byte stays flat up to 16 MiB.
const std::vector<std::int64_t> kSizes = {64, 4 << 10, 64 << 10, 1 << 20, 4 << 20, 16 << 20};

using Body = void (*)(benchmark::State &);

void add(const std::string &function, const std::string &side, Body body)
{
    auto *b = benchmark::RegisterBenchmark((function + "/" + side).c_str(), body);
    for (const std::int64_t size : kSizes)
        b->Arg(size);
}

std::size_t size_of(const benchmark::State &state)
{
    return static_cast<std::size_t>(state.range(0));
}

void count_bytes(benchmark::State &state)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

// ---- Baseline ------------------------------------------------------------

void memcpy_copy(benchmark::State &state)
{
    const std::string text = bench_input::blank_runs(size_of(state), 8);
    std::string work = text;
    for (auto _ : state) {
        std::memcpy(work.data(), text.c_str(), text.size() + 1);
        benchmark::DoNotOptimize(work.data());
        benchmark::ClobberMemory();
    }
    count_bytes(state);
}

// The length alone: trim_string, strlstr and create_string cannot avoid it,
// so it is the floor their times are read against.
void strlen_scan(benchmark::State &state)
{
    const std::string text = bench_input::blank_runs(size_of(state), 8);
    for (auto _ : state)
        benchmark::DoNotOptimize(std::strlen(text.c_str()));
    count_bytes(state);
}

// ---- Splitters -----------------------------------------------------------

void parse_string_strutil(benchmark::State &state)
{
    const std::string text = bench_input::list(size_of(state));
    for (auto _ : state) {
        int count = 0;
        char **array = nullptr;
        parse_string(text.c_str(), ',', &count, &array);
        benchmark::DoNotOptimize(array);
        free_parsed_array(count, array);
    }
    count_bytes(state);
}

void parse_command_strutil(benchmark::State &state)
{
    const std::string text = bench_input::command(size_of(state));
    for (auto _ : state) {
        int count = 0;
        char **array = nullptr;
        parse_command(text.c_str(), &count, &array);
        benchmark::DoNotOptimize(array);
        free_parsed_array(count, array);
    }
    count_bytes(state);
}

// ---- Editors -------------------------------------------------------------

void fill_string_strutil(benchmark::State &state)
{
    std::string work = bench_input::list(size_of(state));
    bool forth = true;
    for (auto _ : state) {
        fill_string(work.data(), forth ? ',' : ';', forth ? ';' : ',');
        forth = !forth;
        benchmark::ClobberMemory();
    }
    count_bytes(state);
}

void trim_string_strutil(benchmark::State &state)
{
    std::string work = bench_input::blank_runs(size_of(state), 16);
    for (auto _ : state) {
        trim_string(work.data());
        benchmark::ClobberMemory();
        std::memset(work.data() + work.size() - 16, ' ', 16);
    }
    count_bytes(state);
}

void strip_spaces_strutil(benchmark::State &state)
{
    const std::string text = bench_input::blank_runs(size_of(state), 8);
    std::string work = text;
    for (auto _ : state) {
        std::memcpy(work.data(), text.c_str(), text.size() + 1);
        strip_spaces(work.data());
        benchmark::ClobberMemory();
    }
    count_bytes(state);
}

template <int (*Convert)(char *)>
void convert_case_strutil(benchmark::State &state)
{
    const std::string text = bench_input::mixed_case(size_of(state));
    for (auto _ : state) {
        char *copy = create_string(text.c_str());
        Convert(copy);
        benchmark::DoNotOptimize(copy);
        std::free(copy);
    }
    count_bytes(state);
}

// ---- Lookup --------------------------------------------------------------

// Where the only occurrence of the pattern lies in pseudo-random letters.
enum class Place { Absent, Start, End, Periodic };

struct SearchInput {
    std::string text;
    std::string pattern;
};

SearchInput search_input(std::size_t size, Place place)
{
    if (place == Place::Periodic) {
        // Every position matches all but the pattern's last byte.
        return {std::string(size, 'a'), std::string(31, 'a') + "b"};
    }
    SearchInput input{bench_input::letters(size), "needle"};
    if (place == Place::Start)
        input.text.replace(0, 6, "needle");
    else if (place == Place::End)
        input.text.replace(size - 6, 6, "needle");
    return input;
}

template <Place place>
void strlstr_strutil(benchmark::State &state)
{
    const SearchInput input = search_input(size_of(state), place);
    for (auto _ : state)
        benchmark::DoNotOptimize(strlstr(input.text.c_str(), input.pattern.c_str()));
    count_bytes(state);
}

// ---- Builders ------------------------------------------------------------

void create_string_strutil(benchmark::State &state)
{
    const std::string text = bench_input::letters(size_of(state));
    for (auto _ : state) {
        char *copy = create_string(text.c_str());
        benchmark::DoNotOptimize(copy);
        std::free(copy);
    }
    count_bytes(state);
}

// Three parts of about a third each, adding up to the size.
struct ThreeParts {
    std::string first, second, third;
};

ThreeParts three_parts(std::size_t size)
{
    const std::string text = bench_input::letters(size);
    const std::size_t third = size / 3;
    return {text.substr(0, third), text.substr(third, third), text.substr(2 * third)};
}

void create_strcat_strutil(benchmark::State &state)
{
    const ThreeParts parts = three_parts(size_of(state));
    for (auto _ : state) {
        char *joined =
            create_strcat(parts.first.c_str(), parts.second.c_str(), parts.third.c_str());
        benchmark::DoNotOptimize(joined);
        std::free(joined);
    }
    count_bytes(state);
}

// A destination holding half the size, a source of half the size, and a
// limit 16 bytes short of both, so the append is cut.
struct AppendInput {
    std::vector<char> dest;
    std::size_t used;
    std::string src;
    int max;
};

AppendInput append_input(std::size_t size)
{
    AppendInput input;
    input.used = size / 2;
    input.dest.assign(size + 1, '\0');
    const std::string text = bench_input::letters(size);
    std::memcpy(input.dest.data(), text.data(), input.used);
    input.src = text.substr(input.used);
    input.max = static_cast<int>(size - 16);
    return input;
}

void strmcat_strutil(benchmark::State &state)
{
    AppendInput input = append_input(size_of(state));
    for (auto _ : state) {
        benchmark::DoNotOptimize(strmcat(input.dest.data(), input.src.c_str(), input.max));
        input.dest[input.used] = '\0';
    }
    count_bytes(state);
}

// set_num takes one number, whatever the size: three values whose specs give
// "%8.3f", "%7.2f" and "%6.6f".
struct NumberCase {
    const char *spec;
    float value;
    const char *format;
};

const NumberCase kNumbers[] = {
    {"8.4.0", 3.14159f, "%8.3f"},
    {"0.6.2", 12345.678f, "%7.2f"},
    {"0.3.0", 0.000123f, "%6.6f"},
};

void set_num_strutil(benchmark::State &state)
{
    char out[64];
    for (auto _ : state)
        for (const NumberCase &number : kNumbers)
            benchmark::DoNotOptimize(set_num(out, number.spec, number.value));
}

#ifdef ZELVO_HAVE_GLIB

void g_strsplit_glib(benchmark::State &state)
{
    const std::string text = bench_input::list(size_of(state));
    for (auto _ : state) {
        gchar **tokens = g_strsplit(text.c_str(), ",", -1);
        benchmark::DoNotOptimize(tokens);
        g_strfreev(tokens);
    }
    count_bytes(state);
}

void g_shell_parse_argv_glib(benchmark::State &state)
{
    const std::string text = bench_input::command(size_of(state));
    int ours = 0;
    char **array = nullptr;
    parse_command(text.c_str(), &ours, &array);
    free_parsed_array(ours, array);
    for (auto _ : state) {
        int count = 0;
        gchar **argv = nullptr;
        if (!g_shell_parse_argv(text.c_str(), &count, &argv, nullptr) || count != ours) {
            state.SkipWithError("the two tokenizers disagree on this input");
            break;
        }
        g_strfreev(argv);
    }
    count_bytes(state);
}

void g_strdelimit_glib(benchmark::State &state)
{
    std::string work = bench_input::list(size_of(state));
    bool forth = true;
    for (auto _ : state) {
        g_strdelimit(work.data(), forth ? "," : ";", forth ? ';' : ',');
        forth = !forth;
        benchmark::ClobberMemory();
    }
    count_bytes(state);
}

void g_strchomp_glib(benchmark::State &state)
{
    std::string work = bench_input::blank_runs(size_of(state), 16);
    for (auto _ : state) {
        g_strchomp(work.data());
        benchmark::ClobberMemory();
        std::memset(work.data() + work.size() - 16, ' ', 16);
    }
    count_bytes(state);
}

// strip_spaces done with GLib: g_strstrip for the ends (the input has no
// leading blank, so only the trailing ones go), then the runs of blanks
// shrunk to one by the compaction loop a GLib user would write.
void g_strstrip_glib(benchmark::State &state)
{
    const std::string text = bench_input::blank_runs(size_of(state), 8);
    std::string work = text;
    for (auto _ : state) {
        std::memcpy(work.data(), text.c_str(), text.size() + 1);
        gchar *s = g_strstrip(work.data());
        gchar *kept = s;
        for (const gchar *p = s; *p != '\0'; ++p)
            if (*p != ' ' || kept == s || kept[-1] != ' ')
                *kept++ = *p;
        *kept = '\0';
        benchmark::ClobberMemory();
    }
    count_bytes(state);
}

template <gchar *(*Convert)(const gchar *, gssize)>
void convert_case_glib(benchmark::State &state)
{
    const std::string text = bench_input::mixed_case(size_of(state));
    for (auto _ : state) {
        gchar *copy = Convert(text.c_str(), -1);
        benchmark::DoNotOptimize(copy);
        g_free(copy);
    }
    count_bytes(state);
}

template <Place place>
void g_strrstr_glib(benchmark::State &state)
{
    const SearchInput input = search_input(size_of(state), place);
    if (g_strrstr(input.text.c_str(), input.pattern.c_str())
        != strlstr(input.text.c_str(), input.pattern.c_str()))
        state.SkipWithError("the two searches disagree on this input");
    for (auto _ : state)
        benchmark::DoNotOptimize(g_strrstr(input.text.c_str(), input.pattern.c_str()));
    count_bytes(state);
}

void g_strdup_glib(benchmark::State &state)
{
    const std::string text = bench_input::letters(size_of(state));
    for (auto _ : state) {
        gchar *copy = g_strdup(text.c_str());
        benchmark::DoNotOptimize(copy);
        g_free(copy);
    }
    count_bytes(state);
}

void g_strconcat_glib(benchmark::State &state)
{
    const ThreeParts parts = three_parts(size_of(state));
    for (auto _ : state) {
        gchar *joined =
            g_strconcat(parts.first.c_str(), parts.second.c_str(), parts.third.c_str(), nullptr);
        benchmark::DoNotOptimize(joined);
        g_free(joined);
    }
    count_bytes(state);
}

void g_strlcat_glib(benchmark::State &state)
{
    AppendInput input = append_input(size_of(state));
    for (auto _ : state) {
        benchmark::DoNotOptimize(g_strlcat(input.dest.data(), input.src.c_str(), input.max + 1));
        input.dest[input.used] = '\0';
    }
    count_bytes(state);
}

void g_snprintf_glib(benchmark::State &state)
{
    char out[64];
    char ours[64];
    for (const NumberCase &number : kNumbers) {
        g_snprintf(out, sizeof out, number.format, static_cast<double>(number.value));
        if (std::strcmp(out, set_num(ours, number.spec, number.value)) != 0)
            state.SkipWithError("the format does not match set_num's");
    }
    for (auto _ : state)
        for (const NumberCase &number : kNumbers)
            benchmark::DoNotOptimize(
                g_snprintf(out, sizeof out, number.format, static_cast<double>(number.value)));
}

#endif

void register_all()
{
    add("memcpy", "copy", memcpy_copy);
    add("strlen", "scan", strlen_scan);
    add("parse_string", "strutil", parse_string_strutil);
    add("parse_command", "strutil", parse_command_strutil);
    add("fill_string", "strutil", fill_string_strutil);
    add("trim_string", "strutil", trim_string_strutil);
    add("strip_spaces", "strutil", strip_spaces_strutil);
    add("up_string", "strutil", convert_case_strutil<up_string>);
    add("low_string", "strutil", convert_case_strutil<low_string>);
    add("strlstr_absent", "strutil", strlstr_strutil<Place::Absent>);
    add("strlstr_start", "strutil", strlstr_strutil<Place::Start>);
    add("strlstr_end", "strutil", strlstr_strutil<Place::End>);
    add("strlstr_periodic", "strutil", strlstr_strutil<Place::Periodic>);
    add("create_string", "strutil", create_string_strutil);
    add("create_strcat", "strutil", create_strcat_strutil);
    add("strmcat", "strutil", strmcat_strutil);
    benchmark::RegisterBenchmark("set_num/strutil", set_num_strutil);
#ifdef ZELVO_HAVE_GLIB
    add("parse_string", "g_strsplit", g_strsplit_glib);
    add("parse_command", "g_shell_parse_argv", g_shell_parse_argv_glib);
    add("fill_string", "g_strdelimit", g_strdelimit_glib);
    add("trim_string", "g_strchomp", g_strchomp_glib);
    add("strip_spaces", "g_strstrip", g_strstrip_glib);
    add("up_string", "g_ascii_strup", convert_case_glib<g_ascii_strup>);
    add("low_string", "g_ascii_strdown", convert_case_glib<g_ascii_strdown>);
    add("strlstr_absent", "g_strrstr", g_strrstr_glib<Place::Absent>);
    add("strlstr_start", "g_strrstr", g_strrstr_glib<Place::Start>);
    add("strlstr_end", "g_strrstr", g_strrstr_glib<Place::End>);
    add("strlstr_periodic", "g_strrstr", g_strrstr_glib<Place::Periodic>);
    add("create_string", "g_strdup", g_strdup_glib);
    add("create_strcat", "g_strconcat", g_strconcat_glib);
    add("strmcat", "g_strlcat", g_strlcat_glib);
    benchmark::RegisterBenchmark("set_num/g_snprintf", g_snprintf_glib);
#endif
}

} // namespace

int main(int argc, char **argv)
{
#ifdef ZELVO_HAVE_GLIB
    benchmark::AddCustomContext("glib", std::to_string(glib_major_version) + "."
                                            + std::to_string(glib_minor_version) + "."
                                            + std::to_string(glib_micro_version));
#else
    std::fputs("GLib was not found when this was built: only the strutil side runs.\n", stderr);
    benchmark::AddCustomContext("glib", "absent");
#endif
    register_all();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

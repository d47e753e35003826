// SPDX-License-Identifier: MIT
// zelvo-render: draws HP-GL/2 plots and PCL 5 jobs with HP-GL/2 in them as
// PDF, SVG, PostScript or PNG. Here are the options and the run; the inputs
// are spooled by input_spool.h, the files written by output_files.h, the
// rendering is the library's, and the pages are written by a sink of each
// format.
#include "cairo_sink.h"
#include "glyph_fonts.h"
#include "input_spool.h"
#include "output_files.h"
#include "pdf_sink.h"
#include "ps_sink.h"
#include "render.h"
#include "svg_sink.h"
#include "units.h"

#include <getopt.h>
#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char *kProgram = "zelvo-render";
// An input that is no regular file is spooled up to this many bytes: an
// endless one (/dev/zero) then ends with an error rather than a full disk.
constexpr std::uint64_t kDefaultSpoolLimit = std::uint64_t{2} << 30;

const char kUsage[] =
    "usage: zelvo-render [-o OUT] [--format pdf|svg|ps|png] [--paper NAME] [--fit]\n"
    "                    [--fit-if-larger] [--sheet portrait|landscape]\n"
    "                    [--rotate 0|90|180|270] [--upright] [--pen-width MM] [--dpi N]\n"
    "                    [PLOT...]\n"
    "Draws HP-GL/2 plots, or PCL 5 jobs with HP-GL/2 in them, as the printer prints\n"
    "them. The inputs (standard input when none or '-') are read as one stream.\n"
    "  -o, --output OUT    the file to write (standard output when none or '-');\n"
    "                      PNG and SVG: a %d in OUT gives one file per page\n"
    "  -f, --format FMT    pdf, svg, ps or png (default: from OUT's extension, else pdf)\n"
    "      --paper NAME    a plain plot's paper (letter, A4, ...), the plot in its middle\n"
    "      --fit           scale a plain plot to fill the paper (the system's by default)\n"
    "      --fit-if-larger as --fit, only for a plot that does not fit as drawn\n"
    "      --sheet SHAPE   hold the paper portrait or landscape, not as the plot is shaped\n"
    "      --rotate DEG    turn the pages clockwise by 0, 90, 180 or 270 degrees\n"
    "      --upright       turn a PCL job's landscape pages to read upright\n"
    "      --pen-width MM  every pen's width until the plot sets one (default 0.35)\n"
    "      --dpi N         PNG resolution (default 100)\n"
    "      --antialias     PNG smoothed for a screen, not inked as the printer inks it\n"
    "      --spool-limit N the most bytes of input that is no regular file (default 2G)\n"
    "  -h, --help          show this help\n";

struct Settings {
    std::string output = "-";
    bool format_given = false;
    OutputFormat format = OutputFormat::Pdf;
    RenderOptions render;
    double dpi = 100;
    bool antialias = false; // PNG for a screen rather than as the printer inks it
    std::uint64_t spool_limit = kDefaultSpoolLimit;
    std::vector<std::string> inputs;
};

void error(const std::string &message)
{
    std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
}

bool parse_format(const std::string &name, OutputFormat &format)
{
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower == "pdf")
        format = OutputFormat::Pdf;
    else if (lower == "svg")
        format = OutputFormat::Svg;
    else if (lower == "ps")
        format = OutputFormat::Ps;
    else if (lower == "png")
        format = OutputFormat::Png;
    else
        return false;
    return true;
}

bool parse_number(const char *text, double low, double high, double &value)
{
    char *end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && errno == 0 && std::isfinite(value) && value >= low
           && value <= high;
}

// A count of bytes: digits, then k, M or G for 1024 of them, 1024^2 or
// 1024^3.
bool parse_size(const char *text, std::uint64_t &bytes)
{
    if (text[0] < '0' || text[0] > '9')
        return false;
    char *end = nullptr;
    errno = 0;
    const unsigned long long count = std::strtoull(text, &end, 10);
    int shift = 0;
    if (*end == 'k' || *end == 'K')
        shift = 10;
    else if (*end == 'M')
        shift = 20;
    else if (*end == 'G')
        shift = 30;
    if (shift != 0)
        ++end;
    if (errno != 0 || *end != '\0' || count == 0 || count > (UINT64_MAX >> shift))
        return false;
    bytes = static_cast<std::uint64_t>(count) << shift;
    return true;
}

// What an option does with its value; the message of a value it cannot
// use, empty when it can.
using OptionAction = std::string (*)(Settings &settings, const char *value);

struct OptionRule {
    option long_option; // its `val` is the key of the rule
    OptionAction apply;
};

std::string refused(const std::string &what, const char *value)
{
    return what + ", not '" + value + "'";
}

// Every option but --help, by its getopt key.
const OptionRule kOptionRules[] = {
    {{"output", required_argument, nullptr, 'o'},
     [](Settings &s, const char *v) {
         s.output = v;
         return std::string();
     }},
    {{"format", required_argument, nullptr, 'f'},
     [](Settings &s, const char *v) {
         s.format_given = true;
         return parse_format(v, s.format)
                    ? std::string()
                    : std::string("unknown format '") + v + "' (pdf, svg, ps or png)";
     }},
    {{"paper", required_argument, nullptr, 256},
     [](Settings &s, const char *v) {
         s.render.paper = find_paper(v);
         return s.render.paper != nullptr ? std::string()
                                          : std::string("unknown paper '") + v + "'";
     }},
    {{"fit", no_argument, nullptr, 257},
     [](Settings &s, const char *) {
         s.render.fit = true;
         return std::string();
     }},
    {{"fit-if-larger", no_argument, nullptr, 258},
     [](Settings &s, const char *) {
         s.render.fit_if_larger = true;
         return std::string();
     }},
    {{"sheet", required_argument, nullptr, 259},
     [](Settings &s, const char *v) {
         const bool portrait = strcasecmp(v, "portrait") == 0;
         if (!portrait && strcasecmp(v, "landscape") != 0)
             return refused("--sheet takes portrait or landscape", v);
         s.render.sheet = portrait ? SheetShape::Portrait : SheetShape::Landscape;
         return std::string();
     }},
    {{"rotate", required_argument, nullptr, 260},
     [](Settings &s, const char *v) {
         double degrees = 0;
         if (!parse_number(v, 0, 270, degrees) || std::fmod(degrees, 90) != 0)
             return refused("--rotate takes 0, 90, 180 or 270", v);
         s.render.rotate = static_cast<int>(degrees);
         return std::string();
     }},
    {{"upright", no_argument, nullptr, 261},
     [](Settings &s, const char *) {
         s.render.upright = true;
         return std::string();
     }},
    {{"pen-width", required_argument, nullptr, 262},
     [](Settings &s, const char *v) {
         return parse_number(v, 0, 100, s.render.pen_width)
                    ? std::string()
                    : refused("--pen-width takes millimetres from 0 to 100", v);
     }},
    {{"dpi", required_argument, nullptr, 263},
     [](Settings &s, const char *v) {
         return parse_number(v, 1, 2400, s.dpi) ? std::string()
                                                : refused("--dpi takes 1 to 2400", v);
     }},
    {{"antialias", no_argument, nullptr, 264},
     [](Settings &s, const char *) {
         s.antialias = true;
         return std::string();
     }},
    {{"spool-limit", required_argument, nullptr, 265},
     [](Settings &s, const char *v) {
         return parse_size(v, s.spool_limit)
                    ? std::string()
                    : refused("--spool-limit takes a count of bytes (k, M, G for 1024s)", v);
     }},
};

// The format of an output named without --format, from its extension;
// false, said, when the extension names none.
bool format_from_name(Settings &settings)
{
    if (settings.format_given || settings.output == "-")
        return true;
    const std::size_t dot = settings.output.rfind('.');
    const std::size_t slash = settings.output.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)
        || parse_format(settings.output.substr(dot + 1), settings.format))
        return true;
    error("cannot tell the format from '" + settings.output + "': give --format");
    return false;
}

// Returns false (after saying why) when the arguments cannot be used; exits
// for --help.
bool parse_arguments(int argc, char **argv, Settings &settings)
{
    std::vector<option> options;
    for (const OptionRule &rule : kOptionRules)
        options.push_back(rule.long_option);
    options.push_back({"help", no_argument, nullptr, 'h'});
    options.push_back({nullptr, 0, nullptr, 0});
    opterr = 0;
    for (int c; (c = getopt_long(argc, argv, ":o:f:h", options.data(), nullptr)) != -1;) {
        if (c == 'h') {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (c == ':') {
            error(std::string("option '") + argv[optind - 1] + "' needs a value");
            return false;
        }
        const auto rule = std::find_if(std::begin(kOptionRules), std::end(kOptionRules),
                                       [c](const OptionRule &r) { return r.long_option.val == c; });
        if (rule == std::end(kOptionRules)) {
            error(std::string("unknown option '") + argv[optind - 1] + "' (see --help)");
            return false;
        }
        const std::string message = rule->apply(settings, optarg);
        if (!message.empty()) {
            error(message);
            return false;
        }
    }
    for (int i = optind; i < argc; ++i)
        settings.inputs.emplace_back(argv[i]);
    if (settings.inputs.empty())
        settings.inputs.emplace_back("-");
    return format_from_name(settings);
}

// The longest side of a PDF, PostScript or SVG page: PDF's 14,400 units of
// a point, which viewers hold pages to.
constexpr double kLargestDocumentPage = 14400 / kPointsPerInch * kMillimetresPerInch;

// What the renderer cannot draw as the plot asks, said on standard error.
class StandardErrorWarnings : public InterpreterWarnings {
public:
    void warn(const char *message) override
    {
        std::fprintf(stderr, "%s: warning: %s\n", kProgram, message);
    }
};

// The outputs being written, whose temporary files a signal that ends the
// program removes: the handler can reach them only so.
OutputFiles *outputs_to_remove = nullptr;

extern "C" void remove_outputs_and_end(int signal_number)
{
    if (outputs_to_remove != nullptr)
        outputs_to_remove->remove_temporaries_now();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

// Every signal that ends the program by default removes the files it has
// not finished; one the program was started with ignored stays ignored.
void remove_outputs_on_signals()
{
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ, SIGXCPU}) {
        struct sigaction previous {};
        if (sigaction(signal_number, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = remove_outputs_and_end;
        sigemptyset(&action.sa_mask);
        sigaction(signal_number, &action, nullptr);
    }
}

// The regular files the inputs are, which no output may replace.
std::vector<FileIdentity> input_files(const std::vector<std::string> &inputs)
{
    std::vector<FileIdentity> files;
    for (const std::string &name : inputs) {
        FileIdentity identity;
        if (regular_file_identity(name == "-" ? "/dev/stdin" : name, identity))
            files.push_back(identity);
    }
    return files;
}

// Where the spool goes: TMPDIR's folder, else /tmp.
std::string spool_folder()
{
    const char *folder = std::getenv("TMPDIR");
    return folder != nullptr && folder[0] != '\0' ? folder : "/tmp";
}

// The sink of `settings`' format: PDF and PostScript into `document`, PNG
// and SVG pages through `pages`, up to `max_pages` of them.
std::unique_ptr<OutputSink> make_sink(const Settings &settings, std::FILE *document,
                                      PageFiles &pages, std::uint64_t max_pages, GlyphFonts &fonts)
{
    switch (settings.format) {
    case OutputFormat::Pdf:
        return std::make_unique<PdfSink>(document, fonts);
    case OutputFormat::Ps:
        return std::make_unique<PsSink>(document, fonts);
    case OutputFormat::Svg:
        return std::make_unique<SvgSink>(pages, max_pages, fonts);
    case OutputFormat::Png:
        break;
    }
    return std::make_unique<CairoSink>(pages, max_pages, settings.dpi, fonts, settings.antialias);
}

int run(const Settings &settings)
{
    InputSpool source(settings.inputs, spool_folder(), settings.spool_limit);
    if (!source.ok()) {
        error(source.error());
        return 1;
    }
    // Without the font the plot is still drawn, its labels left out.
    const StrokeFontResult font =
        load_stroke_font(stroke_font_folder(nullptr, std::getenv("ZELVO_HERSHEY_DIR")));
    if (!font.ok)
        std::fprintf(stderr, "%s: warning: %s; labels are left out\n", kProgram,
                     font.error.c_str());
    RenderOptions options = settings.render;
    options.font = font.ok ? &font.font : nullptr;
    options.outline_glyphs = true;
    // The printer's raster rules, but for a page smoothed for a screen.
    if (settings.format == OutputFormat::Png && !settings.antialias)
        options.raster_pixel = kMillimetresPerInch / settings.dpi;
    else
        options.largest_sheet = kLargestDocumentPage;
    StandardErrorWarnings warnings;
    options.warnings = &warnings;
    const PlotMeasure measure = measure_plot(source, options.font);
    source.rewind();

    const bool to_stdout = settings.output == "-";
    const bool one_page =
        settings.format == OutputFormat::Png || settings.format == OutputFormat::Svg;
    const bool numbered = one_page && !to_stdout && settings.output.find("%d") != std::string::npos;
    OutputFiles outputs(settings.output, error, input_files(settings.inputs));
    outputs_to_remove = &outputs;
    StandardOutputPage standard_output;
    std::FILE *document = nullptr;
    if (!one_page)
        document = to_stdout ? stdout : outputs.open(settings.output);
    if (!one_page && document == nullptr) {
        outputs_to_remove = nullptr;
        return 1;
    }
    PageFiles *pages = to_stdout ? static_cast<PageFiles *>(&standard_output) : &outputs;
    GlyphFonts fonts;
    const std::unique_ptr<OutputSink> sink =
        make_sink(settings, document, *pages, numbered ? UINT64_MAX : 1, fonts);
    render_plot(source, measure, options, *sink);
    bool ok = sink->finish() && !source.read_failed();
    if (document != nullptr && document != stdout)
        ok = outputs.close_page(document) && ok;
    else if (document == stdout)
        ok = std::fflush(stdout) == 0 && ok;
    const bool committed = ok && outputs.commit();
    outputs_to_remove = nullptr;
    if (!ok)
        error(!sink->error().empty() ? sink->error() : "cannot write '" + settings.output + "'");
    if (!committed)
        return 1;
    if (one_page && !numbered && sink->pages() > 1)
        std::fprintf(stderr,
                     "%s: warning: only the first of %llu pages written (%s holds no %%d)\n",
                     kProgram, static_cast<unsigned long long>(sink->pages()),
                     to_stdout ? "standard output" : settings.output.c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Settings settings;
    if (!parse_arguments(argc, argv, settings))
        return 1;
    remove_outputs_on_signals();
    const int status = run(settings);
    release_cairo_fonts();
    return status;
}

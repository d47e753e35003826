// SPDX-License-Identifier: MIT
// zelvo-render: draws HP-GL/2 plots and PCL 5 jobs with HP-GL/2 in them as
// PDF, SVG, PostScript or PNG. The options and the files are this program's;
// the rendering is the library's.
#include "cairo_sink.h"
#include "render.h"
#include "units.h"

#include <getopt.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char *kProgram = "zelvo-render";

const char kUsage[] =
    "usage: zelvo-render [-o OUT] [--format pdf|svg|ps|png] [--paper NAME] [--fit]\n"
    "                    [--fit-if-larger] [--sheet portrait|landscape]\n"
    "                    [--rotate 0|90|180|270] [--pen-width MM] [--dpi N] [PLOT...]\n"
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
    "      --pen-width MM  every pen's width until the plot sets one (default 0.35)\n"
    "      --dpi N         PNG resolution (default 100)\n"
    "  -h, --help          show this help\n";

struct Settings {
    std::string output = "-";
    bool format_given = false;
    OutputFormat format = OutputFormat::Pdf;
    RenderOptions render;
    double dpi = 100;
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

// Returns false (after saying why) when the arguments cannot be used; exits
// for --help.
bool parse_arguments(int argc, char **argv, Settings &settings)
{
    enum { kPaper = 256, kFit, kFitIfLarger, kSheet, kRotate, kPenWidth, kDpi };
    static const option kOptions[] = {
        {"output", required_argument, nullptr, 'o'},
        {"format", required_argument, nullptr, 'f'},
        {"paper", required_argument, nullptr, kPaper},
        {"fit", no_argument, nullptr, kFit},
        {"fit-if-larger", no_argument, nullptr, kFitIfLarger},
        {"sheet", required_argument, nullptr, kSheet},
        {"rotate", required_argument, nullptr, kRotate},
        {"pen-width", required_argument, nullptr, kPenWidth},
        {"dpi", required_argument, nullptr, kDpi},
        {"help", no_argument, nullptr, 'h'},
        {nullptr, 0, nullptr, 0},
    };
    opterr = 0;
    for (int c; (c = getopt_long(argc, argv, ":o:f:h", kOptions, nullptr)) != -1;) {
        double number = 0;
        switch (c) {
        case 'o':
            settings.output = optarg;
            break;
        case 'f':
            if (!parse_format(optarg, settings.format)) {
                error(std::string("unknown format '") + optarg + "' (pdf, svg, ps or png)");
                return false;
            }
            settings.format_given = true;
            break;
        case kPaper:
            settings.render.paper = find_paper(optarg);
            if (settings.render.paper == nullptr) {
                error(std::string("unknown paper '") + optarg + "'");
                return false;
            }
            break;
        case kFit:
            settings.render.fit = true;
            break;
        case kFitIfLarger:
            settings.render.fit_if_larger = true;
            break;
        case kSheet:
            if (strcasecmp(optarg, "portrait") == 0) {
                settings.render.sheet = SheetShape::Portrait;
            } else if (strcasecmp(optarg, "landscape") == 0) {
                settings.render.sheet = SheetShape::Landscape;
            } else {
                error(std::string("--sheet takes portrait or landscape, not '") + optarg + "'");
                return false;
            }
            break;
        case kRotate:
            if (!parse_number(optarg, 0, 270, number) || std::fmod(number, 90) != 0) {
                error(std::string("--rotate takes 0, 90, 180 or 270, not '") + optarg + "'");
                return false;
            }
            settings.render.rotate = static_cast<int>(number);
            break;
        case kPenWidth:
            if (!parse_number(optarg, 0, 100, number)) {
                error(std::string("--pen-width takes millimetres from 0 to 100, not '") + optarg
                      + "'");
                return false;
            }
            settings.render.pen_width = number;
            break;
        case kDpi:
            if (!parse_number(optarg, 1, 2400, number)) {
                error(std::string("--dpi takes 1 to 2400, not '") + optarg + "'");
                return false;
            }
            settings.dpi = number;
            break;
        case 'h':
            std::fputs(kUsage, stdout);
            std::exit(0);
        case ':':
            error(std::string("option '") + argv[optind - 1] + "' needs a value");
            return false;
        default:
            error(std::string("unknown option '") + argv[optind - 1] + "' (see --help)");
            return false;
        }
    }
    for (int i = optind; i < argc; ++i)
        settings.inputs.emplace_back(argv[i]);
    if (settings.inputs.empty())
        settings.inputs.emplace_back("-");
    if (!settings.format_given && settings.output != "-") {
        const std::size_t dot = settings.output.rfind('.');
        const std::size_t slash = settings.output.rfind('/');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash)
            && !parse_format(settings.output.substr(dot + 1), settings.format)) {
            error("cannot tell the format from '" + settings.output + "': give --format");
            return false;
        }
    }
    return true;
}

// The inputs as one stream, read from a file holding them all: the inputs
// themselves when there is one regular file, else a copy in a temporary
// file, so that the stream can be read twice.
class StreamFile : public PlotSource {
public:
    explicit StreamFile(std::FILE *file) : file_(file) {}
    std::size_t read(char *buffer, std::size_t size) override
    {
        const std::size_t n = std::fread(buffer, 1, size, file_);
        if (n == 0 && std::ferror(file_))
            failed = true;
        return n;
    }
    bool failed = false;

private:
    std::FILE *file_;
};

std::FILE *open_stream(const std::vector<std::string> &inputs, bool &owned)
{
    owned = false;
    if (inputs.size() == 1 && inputs[0] != "-") {
        struct stat st {};
        if (stat(inputs[0].c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            std::FILE *file = std::fopen(inputs[0].c_str(), "rb");
            if (file == nullptr)
                error("cannot open '" + inputs[0] + "': " + std::strerror(errno));
            owned = file != nullptr;
            return file;
        }
    }
    std::FILE *copy = std::tmpfile();
    if (copy == nullptr) {
        error(std::string("cannot make a temporary file: ") + std::strerror(errno));
        return nullptr;
    }
    bool stdin_read = false;
    for (const std::string &name : inputs) {
        const bool is_stdin = name == "-";
        if (is_stdin && stdin_read)
            continue;
        std::FILE *in = is_stdin ? stdin : std::fopen(name.c_str(), "rb");
        if (in == nullptr) {
            error("cannot open '" + name + "': " + std::strerror(errno));
            std::fclose(copy);
            return nullptr;
        }
        char buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
            std::fwrite(buffer, 1, n, copy);
        const bool failed = std::ferror(in) != 0;
        if (is_stdin)
            stdin_read = true;
        else
            std::fclose(in);
        if (failed) {
            error("cannot read '" + name + "'");
            std::fclose(copy);
            return nullptr;
        }
    }
    if (std::fflush(copy) != 0) {
        error(std::string("cannot write a temporary file: ") + std::strerror(errno));
        std::fclose(copy);
        return nullptr;
    }
    owned = true;
    return copy;
}

// Files written under temporary names in their folder, renamed into place
// once everything is written.
class Outputs : public PageFiles {
public:
    explicit Outputs(std::string pattern) : pattern_(std::move(pattern)) {}
    ~Outputs() { discard(); }
    Outputs(const Outputs &) = delete;
    Outputs &operator=(const Outputs &) = delete;

    std::FILE *open(const std::string &name)
    {
        const std::size_t slash = name.rfind('/');
        std::string temp = (slash == std::string::npos ? std::string() : name.substr(0, slash + 1))
                           + ".zelvo-render.XXXXXX";
        const int fd = mkstemp(temp.data());
        if (fd < 0) {
            error("cannot write '" + name + "': " + std::strerror(errno));
            return nullptr;
        }
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
        std::FILE *file = fdopen(fd, "wb");
        files_.push_back({temp, name});
        return file;
    }

    std::FILE *open_page(std::uint64_t number) override { return open(page_name(number)); }

    bool close_page(std::FILE *file) override
    {
        const bool ok = std::fflush(file) == 0 && std::ferror(file) == 0;
        return std::fclose(file) == 0 && ok;
    }

    std::string page_name(std::uint64_t number) const
    {
        const std::size_t at = pattern_.find("%d");
        if (at == std::string::npos)
            return pattern_;
        return pattern_.substr(0, at) + std::to_string(number) + pattern_.substr(at + 2);
    }

    bool commit()
    {
        for (const auto &[temp, name] : files_) {
            if (std::rename(temp.c_str(), name.c_str()) != 0) {
                error("cannot write '" + name + "': " + std::strerror(errno));
                return false;
            }
        }
        files_.clear();
        return true;
    }

    void discard()
    {
        for (const auto &file : files_)
            std::remove(file.first.c_str());
        files_.clear();
    }

private:
    std::string pattern_;
    std::vector<std::pair<std::string, std::string>> files_;
};

// Standard output as the one page of a one-page format.
class StandardOutputPage : public PageFiles {
public:
    std::FILE *open_page(std::uint64_t) override { return stdout; }
    bool close_page(std::FILE *file) override { return std::fflush(file) == 0; }
};

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

int run(const Settings &settings)
{
    bool owned = false;
    std::FILE *stream = open_stream(settings.inputs, owned);
    if (stream == nullptr)
        return 1;
    // Without the font the plot is still drawn, its labels left out.
    const StrokeFontResult font =
        load_stroke_font(stroke_font_folder(nullptr, std::getenv("ZELVO_HERSHEY_DIR")));
    if (!font.ok)
        std::fprintf(stderr, "%s: warning: %s; labels are left out\n", kProgram,
                     font.error.c_str());
    RenderOptions options = settings.render;
    options.font = font.ok ? &font.font : nullptr;
    options.outline_glyphs = true;
    if (settings.format == OutputFormat::Png)
        options.raster_pixel = kMillimetresPerInch / settings.dpi;
    else
        options.largest_sheet = kLargestDocumentPage;
    StandardErrorWarnings warnings;
    options.warnings = &warnings;
    StreamFile source(stream);
    const PlotMeasure measure = measure_plot(source, options.font);
    std::rewind(stream);

    const bool to_stdout = settings.output == "-";
    const bool one_page =
        settings.format == OutputFormat::Png || settings.format == OutputFormat::Svg;
    const bool numbered = one_page && !to_stdout && settings.output.find("%d") != std::string::npos;
    Outputs outputs(settings.output);
    StandardOutputPage standard_output;
    std::FILE *document = nullptr;
    if (!one_page)
        document = to_stdout ? stdout : outputs.open(settings.output);
    if (!one_page && document == nullptr) {
        if (owned)
            std::fclose(stream);
        return 1;
    }
    PageFiles *pages = to_stdout ? static_cast<PageFiles *>(&standard_output) : &outputs;
    CairoSink sink(settings.format, document, pages, numbered ? UINT64_MAX : 1, settings.dpi);
    render_plot(source, measure, options, sink);
    bool ok = sink.finish() && !source.failed;
    if (document != nullptr && document != stdout)
        ok = outputs.close_page(document) && ok;
    else if (document == stdout)
        ok = std::fflush(stdout) == 0 && ok;
    if (owned)
        std::fclose(stream);
    if (!ok) {
        error(!sink.error().empty() ? sink.error() : "cannot write '" + settings.output + "'");
        return 1;
    }
    if (!outputs.commit())
        return 1;
    if (one_page && !numbered && sink.pages() > 1)
        std::fprintf(stderr,
                     "%s: warning: only the first of %llu pages written (%s holds no %%d)\n",
                     kProgram, static_cast<unsigned long long>(sink.pages()),
                     to_stdout ? "standard output" : settings.output.c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Settings settings;
    if (!parse_arguments(argc, argv, settings))
        return 1;
    const int status = run(settings);
    release_cairo_fonts();
    return status;
}

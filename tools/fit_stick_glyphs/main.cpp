// SPDX-License-Identifier: MIT
// fit_stick_glyphs: fits the rows of the stick glyph table to the PCL
// interpreter's ink and writes the table's data file. See README.md.
//
//   fit_stick_glyphs [--table FILE] [--out FILE] [--score] INTERPRETER CHARS
#include "fit_glyph.h"
#include "measurement.h"
#include "table_file.h"

#include "cairo_sink.h"

#include <getopt.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr const char *kProgram = "fit_stick_glyphs";

const char kUsage[] =
    "usage: fit_stick_glyphs [--table FILE] [--out FILE] [--score] INTERPRETER CHARS\n"
    "Fits the stick glyph table's rows of each of CHARS ('!' to '~') to the ink of\n"
    "the PCL interpreter INTERPRETER (run as INTERPRETER -r 100 JOB.pcl OUT.png,\n"
    "as render-pcl is), and writes the table.\n"
    "  --table FILE  the table to start from (default: the tree's\n"
    "                render/stick_glyph_moves.txt)\n"
    "  --out FILE    where the fitted table goes (default: the --table file)\n"
    "  --score       only print each character's agreement; write nothing\n"
    "The Hershey font is read from ZELVO_HERSHEY_DIR, else Debian's folder.\n";

struct Arguments {
    std::string table = ZELVO_STICK_GLYPH_TABLE;
    std::string out;
    bool score_only = false;
    std::string interpreter;
    std::string characters;
};

bool parse_arguments(int argc, char **argv, Arguments &arguments)
{
    enum { kTable = 256, kOut, kScore };
    static const option kOptions[] = {
        {"table", required_argument, nullptr, kTable},
        {"out", required_argument, nullptr, kOut},
        {"score", no_argument, nullptr, kScore},
        {"help", no_argument, nullptr, 'h'},
        {nullptr, 0, nullptr, 0},
    };
    for (int c; (c = getopt_long(argc, argv, "h", kOptions, nullptr)) != -1;) {
        switch (c) {
        case kTable:
            arguments.table = optarg;
            break;
        case kOut:
            arguments.out = optarg;
            break;
        case kScore:
            arguments.score_only = true;
            break;
        case 'h':
            std::fputs(kUsage, stdout);
            std::exit(0);
        default:
            return false;
        }
    }
    if (argc - optind != 2)
        return false;
    arguments.interpreter = argv[optind];
    for (const char c : std::string(argv[optind + 1])) {
        if (c < '!' || c > '~') {
            std::fprintf(stderr, "%s: the characters to fit are '!' to '~'\n", kProgram);
            return false;
        }
        if (arguments.characters.find(c) == std::string::npos)
            arguments.characters += c;
    }
    if (arguments.out.empty())
        arguments.out = arguments.table;
    return true;
}

bool read_table(const std::string &path, TableFile &table)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    if (!in || !parse_table_file(text.str(), table, error)) {
        std::fprintf(stderr, "%s: %s: %s\n", kProgram, path.c_str(),
                     in ? error.c_str() : "cannot be read");
        return false;
    }
    return true;
}

bool write_table(const std::string &path, const TableFile &table)
{
    const std::string temp = path + ".fitting";
    {
        std::ofstream out(temp, std::ios::binary);
        out << table_file_text(table);
        if (!out.flush()) {
            std::fprintf(stderr, "%s: %s: cannot write\n", kProgram, temp.c_str());
            return false;
        }
    }
    std::error_code failed;
    std::filesystem::rename(temp, path, failed);
    if (failed) {
        std::fprintf(stderr, "%s: %s: %s\n", kProgram, path.c_str(), failed.message().c_str());
        return false;
    }
    return true;
}

// The font of the table with the table's rows, checked against its glyphs.
bool font_of(const TableFile &table, StrokeFont &font)
{
    const StrokeFontResult loaded =
        load_stroke_font(stroke_font_folder(nullptr, std::getenv("ZELVO_HERSHEY_DIR")), table.font);
    if (!loaded.ok) {
        std::fprintf(stderr, "%s: %s\n", kProgram, loaded.error.c_str());
        return false;
    }
    font = loaded.font;
    std::string error;
    if (!give_stick_moves(font, table.moves, error)) {
        std::fprintf(stderr, "%s: the table to fit: %s\n", kProgram, error.c_str());
        return false;
    }
    return true;
}

// Fits (or only scores) each character; false where a page could not be
// rendered.
bool fit(const Arguments &arguments, const std::string &folder, StrokeFont &font)
{
    for (const char c : arguments.characters) {
        const auto glyph = static_cast<unsigned char>(c);
        const std::string job = measurement_job(glyph);
        const std::string name = "glyph-" + std::to_string(glyph);
        const std::string png = folder + "/" + name + "-zelvo.png";
        InkMask printer;
        std::string error;
        if (!printer_ink(arguments.interpreter, job, folder, name, printer, error)) {
            std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
            return false;
        }
        const InkScore score = [&](const StrokeFont &candidate) -> std::optional<double> {
            InkMask zelvo;
            if (!zelvo_ink(job, candidate, png, printer, zelvo, error))
                return std::nullopt;
            return agreement(printer, zelvo);
        };
        if (arguments.score_only) {
            const std::optional<double> s = score(font);
            if (!s) {
                std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
                return false;
            }
            std::printf("'%c': agreement %.6f\n", c, *s);
            continue;
        }
        const GlyphFit result = fit_glyph(glyph, font, score);
        if (result.failed) {
            std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
            return false;
        }
        std::printf("'%c': %d rows, agreement %.6f as read, %.6f fitted (%d renders%s)\n", c,
                    result.rows, result.before, result.after, result.renders,
                    result.stopped ? ", stopped at the most for a glyph" : "");
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    Arguments arguments;
    if (!parse_arguments(argc, argv, arguments)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    TableFile table;
    StrokeFont font;
    if (!read_table(arguments.table, table) || !font_of(table, font))
        return 1;
    std::string folder = (std::filesystem::temp_directory_path() / "fit_stick_glyphs.XXXXXX");
    if (mkdtemp(folder.data()) == nullptr) {
        std::fprintf(stderr, "%s: cannot make a folder for the pages\n", kProgram);
        return 1;
    }
    const bool fitted = fit(arguments, folder, font);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    release_cairo_fonts();
    if (!fitted)
        return 1;
    if (arguments.score_only)
        return 0;
    table.moves = font.stick_moves;
    if (!write_table(arguments.out, table))
        return 1;
    std::printf("wrote %s\n", arguments.out.c_str());
    return 0;
}

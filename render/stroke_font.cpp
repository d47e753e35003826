// SPDX-License-Identifier: MIT
#include "stroke_font.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char *kDebianFolder = "/usr/share/hershey-fonts";
// Larger than any font file; a longer file is no font.
constexpr long kMaxFileSize = 1L << 20;
constexpr int kUsualCapHeight = 21;
constexpr int kUsualBaseline = 9;
// The characters with a glyph: ' ' to '~'.
constexpr int kGlyphCount = '~' - ' ' + 1;

struct Lines {
    std::string_view text;
    std::size_t next = 0;
    int number = 0; // of the line last taken
};

bool take_line(Lines &lines, std::string_view &line)
{
    if (lines.next >= lines.text.size())
        return false;
    std::size_t end = lines.text.find('\n', lines.next);
    if (end == std::string_view::npos)
        end = lines.text.size();
    line = lines.text.substr(lines.next, end - lines.next);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    lines.next = end + 1;
    ++lines.number;
    return true;
}

bool blank(std::string_view s)
{
    return s.find_first_not_of(" \t") == std::string_view::npos;
}

// A right-aligned number field: blanks, then digits.
bool read_field(std::string_view field, int &value)
{
    const std::size_t first = field.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return false;
    value = 0;
    for (const char c : field.substr(first)) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool coordinate_char(char c)
{
    return c >= '!' && c <= '~';
}

std::string at_line(int line, const std::string &what)
{
    return "line " + std::to_string(line) + ": " + what;
}

// Reads the pairs of one glyph into `glyph`; `error` says why not.
bool read_pairs(std::string_view pairs, int line, Glyph &glyph, int &file_top, int &file_bottom,
                std::string &error)
{
    if (!coordinate_char(pairs[0]) || !coordinate_char(pairs[1])) {
        error = at_line(line, "no left and right bounds");
        return false;
    }
    const int left = pairs[0] - 'R';
    const int right = pairs[1] - 'R';
    if (right < left) {
        error = at_line(line, "the right bound is left of the left bound");
        return false;
    }
    glyph.advance = right - left;
    std::vector<FontPoint> stroke;
    for (std::size_t i = 2; i + 1 < pairs.size(); i += 2) {
        if (pairs[i] == ' ' && pairs[i + 1] == 'R') {
            if (!stroke.empty())
                glyph.strokes.push_back(std::move(stroke));
            stroke.clear();
            continue;
        }
        if (!coordinate_char(pairs[i]) || !coordinate_char(pairs[i + 1])) {
            error = at_line(line, "a coordinate that is no character from '!' to '~'");
            return false;
        }
        const int y = pairs[i + 1] - 'R';
        file_top = std::min(file_top, y);
        file_bottom = std::max(file_bottom, y);
        // Kept in the file's y for now: the baseline is known only at the end.
        stroke.push_back({pairs[i] - 'R' - left, y});
    }
    if (!stroke.empty())
        glyph.strokes.push_back(std::move(stroke));
    return true;
}

// Turns the file's y (down from the glyph's centre line) into y up from the
// baseline.
void flip_to_baseline(StrokeFont &font)
{
    for (Glyph &glyph : font.glyphs)
        for (std::vector<FontPoint> &stroke : glyph.strokes)
            for (FontPoint &p : stroke)
                p.y = font.baseline - p.y;
}

bool has_point(const Glyph &glyph, int x, int y)
{
    for (const std::vector<FontPoint> &stroke : glyph.strokes)
        for (const FontPoint &p : stroke)
            if (p.x == x && p.y == y)
                return true;
    return false;
}

// "'A' (9, 21)": the character and the point a row moves.
std::string named(const StickMove &move)
{
    return std::string("'") + static_cast<char>(move.c) + "' (" + std::to_string(move.x) + ", "
           + std::to_string(move.y) + ")";
}

} // namespace

std::string stroke_font_folder(const char *argument, const char *environment_value)
{
    if (argument != nullptr && argument[0] != '\0')
        return argument;
    if (environment_value != nullptr && environment_value[0] != '\0')
        return environment_value;
    return kDebianFolder;
}

StrokeFontResult parse_stroke_font(std::string_view text)
{
    StrokeFontResult result;
    Lines lines{text};
    std::string_view line;
    int h_top = 0;
    int h_bottom = 0;
    bool have_h = false;
    while (take_line(lines, line)) {
        if (blank(line))
            continue;
        const int first_line = lines.number;
        int number = 0;
        int count = 0;
        if (line.size() < 8 || !read_field(line.substr(0, 5), number)
            || !read_field(line.substr(5, 3), count)) {
            result.error = at_line(first_line, "no glyph number and pair count");
            return result;
        }
        if (count < 1) {
            result.error = at_line(first_line, "a glyph without its bounds");
            return result;
        }
        const std::size_t wanted = 2 * static_cast<std::size_t>(count);
        std::string pairs(line.substr(8));
        while (pairs.size() < wanted && take_line(lines, line))
            pairs.append(line);
        if (pairs.size() < wanted) {
            result.error = at_line(first_line, "fewer coordinate pairs than its count");
            return result;
        }
        if (!blank(std::string_view(pairs).substr(wanted))) {
            result.error = at_line(first_line, "more coordinate pairs than its count");
            return result;
        }
        pairs.resize(wanted);
        Glyph glyph;
        int top = INT_MAX;
        int bottom = INT_MIN;
        if (!read_pairs(pairs, first_line, glyph, top, bottom, result.error))
            return result;
        if (result.font.glyphs.size() == static_cast<std::size_t>('H' - ' ')) {
            have_h = !glyph.strokes.empty();
            h_top = top;
            h_bottom = bottom;
        }
        result.font.glyphs.push_back(std::move(glyph));
    }
    if (result.font.glyphs.empty()) {
        result.error = "no glyphs";
        return result;
    }
    result.font.baseline = have_h ? h_bottom : kUsualBaseline;
    result.font.cap_height = have_h ? h_bottom - h_top : kUsualCapHeight;
    if (result.font.cap_height <= 0) {
        result.error = "an 'H' without height";
        return result;
    }
    flip_to_baseline(result.font);
    result.ok = true;
    return result;
}

StrokeFontResult load_stroke_font(const std::string &folder, const std::string &name)
{
    StrokeFontResult result;
    const std::string path = folder + "/" + name;
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        result.error = path + ": " + std::strerror(errno);
        return result;
    }
    std::string text;
    char buffer[8192];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0
           && text.size() <= static_cast<std::size_t>(kMaxFileSize))
        text.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        result.error = path + ": a read error";
        return result;
    }
    if (text.size() > static_cast<std::size_t>(kMaxFileSize)) {
        result.error = path + ": too large for a font";
        return result;
    }
    result = parse_stroke_font(text);
    const StickMoveTable fitted = fitted_stick_moves();
    if (result.ok && name == fitted.font)
        result.ok = give_stick_moves(result.font, fitted.moves, result.error);
    if (!result.ok)
        result.error = path + ": " + result.error;
    return result;
}

bool give_stick_moves(StrokeFont &font, std::span<const StickMove> moves, std::string &error)
{
    int per_glyph[kGlyphCount] = {};
    for (auto row = moves.begin(); row != moves.end(); ++row) {
        const Glyph *glyph = glyph_for(font, row->c);
        if (glyph == nullptr || !has_point(*glyph, row->x, row->y)) {
            error =
                "the stick glyph table moves " + named(*row) + ", a point the font's glyph lacks";
            return false;
        }
        const auto same = [&](const StickMove &m) {
            return m.c == row->c && m.x == row->x && m.y == row->y;
        };
        if (std::find_if(moves.begin(), row, same) != row) {
            error = "the stick glyph table moves " + named(*row) + " twice";
            return false;
        }
        if (++per_glyph[row->c - ' '] > kMaxStickMovesPerGlyph) {
            error = "the stick glyph table moves more than "
                    + std::to_string(kMaxStickMovesPerGlyph) + " points of '"
                    + static_cast<char>(row->c) + "'";
            return false;
        }
    }
    font.stick_moves.assign(moves.begin(), moves.end());
    return true;
}

const Glyph *glyph_for(const StrokeFont &font, unsigned char c)
{
    if (c < ' ' || c > '~' || static_cast<std::size_t>(c - ' ') >= font.glyphs.size())
        return nullptr;
    return &font.glyphs[c - ' '];
}

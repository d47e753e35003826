// SPDX-License-Identifier: MIT
#include "table_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

// The forms stick_glyph_moves.cmake accepts: a point's coordinate of one to
// three digits, a fraction with or without decimals.
bool is_coordinate(const std::string &token)
{
    const std::size_t digits = token.size() - (token.starts_with('-') ? 1 : 0);
    return digits >= 1 && digits <= 3
           && token.find_first_not_of("0123456789", token.size() - digits) == std::string::npos;
}

bool is_fraction(const std::string &token)
{
    const std::size_t start = token.starts_with('-') ? 1 : 0;
    const std::size_t point = token.find('.');
    const std::string whole =
        token.substr(start, point == std::string::npos ? point : point - start);
    const std::string decimals = point == std::string::npos ? "0" : token.substr(point + 1);
    return !whole.empty() && !decimals.empty()
           && whole.find_first_not_of("0123456789") == std::string::npos
           && decimals.find_first_not_of("0123456789") == std::string::npos;
}

bool parse_row(const std::string &line, StickMove &move)
{
    if (line.size() < 4 || line[0] != '\'' || line[2] != '\'' || line[1] < '!' || line[1] > '~')
        return false;
    std::istringstream fields(line.substr(3));
    std::string x, y, across, up, more;
    if (!(fields >> x >> y >> across >> up) || (fields >> more) || !is_coordinate(x)
        || !is_coordinate(y) || !is_fraction(across) || !is_fraction(up))
        return false;
    move = {static_cast<unsigned char>(line[1]), std::stoi(x), std::stoi(y),
            std::strtod(across.c_str(), nullptr), std::strtod(up.c_str(), nullptr)};
    return true;
}

bool is_blank_or_comment(const std::string &line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos || line[first] == '#';
}

std::string row_text(const StickMove &move)
{
    char text[80];
    std::snprintf(text, sizeof text, "'%c' %3d %3d  %7s %7s", static_cast<char>(move.c), move.x,
                  move.y, table_number(move.across).c_str(), table_number(move.up).c_str());
    return text;
}

} // namespace

bool parse_table_file(std::string_view text, TableFile &table, std::string &error)
{
    table = {};
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(start, end - start));
        start = end + 1;
        if (line.ends_with('\r'))
            line.pop_back();
        table.lines.push_back(line);
        table.row_of_line.push_back(-1);
        const std::string where = "line " + std::to_string(table.lines.size()) + ": ";
        if (is_blank_or_comment(line))
            continue;
        std::istringstream words(line);
        std::string word, name, more;
        if (line.starts_with("font") && words >> word && word == "font") {
            if (!(words >> name) || (words >> more)) {
                error = where + "a font line is `font NAME`";
                return false;
            }
            if (!table.font.empty()) {
                error = where + "a second font line";
                return false;
            }
            table.font = name;
            continue;
        }
        StickMove move;
        if (!parse_row(line, move)) {
            error = where + "not a row ('c' x y across up): " + line;
            return false;
        }
        table.row_of_line.back() = static_cast<int>(table.moves.size());
        table.moves.push_back(move);
    }
    if (table.font.empty()) {
        error = "no font line (font NAME: the font the rows were fitted to)";
        return false;
    }
    table.read_moves = table.moves;
    return true;
}

std::string table_file_text(const TableFile &table)
{
    std::string text;
    for (std::size_t i = 0; i < table.lines.size(); ++i) {
        const int row = table.row_of_line[i];
        const bool moved = row >= 0
                           && (table.moves[row].across != table.read_moves[row].across
                               || table.moves[row].up != table.read_moves[row].up);
        text += moved ? row_text(table.moves[row]) : table.lines[i];
        text += '\n';
    }
    return text;
}

std::string table_number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string number = text;
    number.erase(number.find_last_not_of('0') + 1);
    if (number.ends_with('.'))
        number.pop_back();
    return number == "-0" ? "0" : number;
}

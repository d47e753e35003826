// SPDX-License-Identifier: MIT
// The stick glyph table's data file (render/stick_glyph_moves.txt) read as
// rows to fit and written back with its comments and its other lines as
// they were: only the rows the fit moved are written anew.
#ifndef ZELVO_TOOLS_TABLE_FILE_H
#define ZELVO_TOOLS_TABLE_FILE_H

#include "stick_glyph_moves.h"

#include <string>
#include <string_view>
#include <vector>

struct TableFile {
    std::string font; // the `font NAME` line: the font the rows belong to
    std::vector<StickMove> moves;
    // Every line of the file, without its line end; a row's line is
    // written from `moves` when the row was moved.
    std::vector<std::string> lines;
    std::vector<int> row_of_line;      // the row a line holds, or -1
    std::vector<StickMove> read_moves; // the rows as read, to tell which moved
};

// The table of `text`, as stick_glyph_moves.cmake reads it; false, with
// `error` naming the line, where a line is no comment, font line or row.
bool parse_table_file(std::string_view text, TableFile &table, std::string &error);

// The file's text with the rows as they are now.
std::string table_file_text(const TableFile &table);

// "0.525", "1", "-0.01": a fraction of the box to the thousandth the
// table keeps, without trailing zeros.
std::string table_number(double value);

#endif

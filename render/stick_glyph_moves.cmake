# SPDX-License-Identifier: MIT
# Turns the table of stick glyph moves (stick_glyph_moves.txt) into C++:
#
#   cmake -DIN=stick_glyph_moves.txt -DOUT=stick_glyph_moves.cpp -P stick_glyph_moves.cmake
#
# Only the form of each line is checked here; whether the font's glyphs have
# the points is checked when the font is loaded. A line that is no comment,
# no `font NAME` and no row stops the build with its file and line number.
if(NOT DEFINED IN OR NOT DEFINED OUT)
  message(FATAL_ERROR "stick_glyph_moves.cmake needs -DIN=TABLE -DOUT=SOURCE")
endif()

file(READ "${IN}" text)
# The lines are taken one at a time from the text rather than as a CMake
# list: the rows of ';', '[' and ']' would split or join list elements.
set(integer "-?[0-9][0-9]?[0-9]?")
set(number "-?[0-9]+(\\.[0-9]+)?")
set(blanks "[ \t]+")
set(row_form "^'(.)'${blanks}(${integer})${blanks}(${integer})${blanks}(${number})${blanks}(${number})[ \t]*$")
set(font "")
set(rows "")
set(row_count 0)
set(line_number 0)
while(NOT text STREQUAL "")
  string(FIND "${text}" "\n" end)
  if(end EQUAL -1)
    set(line "${text}")
    set(text "")
  else()
    string(SUBSTRING "${text}" 0 ${end} line)
    math(EXPR next "${end} + 1")
    string(SUBSTRING "${text}" ${next} -1 text)
  endif()
  math(EXPR line_number "${line_number} + 1")
  string(REGEX REPLACE "\r$" "" line "${line}")
  if(line MATCHES "^[ \t]*(#.*)?$")
    continue()
  endif()
  if(line MATCHES "^font${blanks}([^ \t]+)[ \t]*$")
    if(NOT font STREQUAL "")
      message(FATAL_ERROR "${IN}:${line_number}: a second font line")
    endif()
    set(font "${CMAKE_MATCH_1}")
    continue()
  endif()
  if(NOT line MATCHES "${row_form}")
    message(FATAL_ERROR "${IN}:${line_number}: not a row ('c' x y across up): ${line}")
  endif()
  # The character as its code, which needs no escaping in C++.
  string(HEX "${CMAKE_MATCH_1}" code)
  if(code STRLESS "21" OR code STRGREATER "7e")
    message(FATAL_ERROR "${IN}:${line_number}: the character is not one from '!' to '~'")
  endif()
  string(APPEND rows "    {0x${code}, ${CMAKE_MATCH_2}, ${CMAKE_MATCH_3}, ${CMAKE_MATCH_4}, ${CMAKE_MATCH_6}},\n")
  math(EXPR row_count "${row_count} + 1")
endwhile()
if(font STREQUAL "")
  message(FATAL_ERROR "${IN}: no font line (font NAME: the font the rows were fitted to)")
endif()

cmake_path(GET IN FILENAME table_name)
set(source "// Made by stick_glyph_moves.cmake from ${table_name}: change that file.
#include \"stick_glyph_moves.h\"

#include <array>

namespace {

constexpr std::array<StickMove, ${row_count}> kMoves{{
${rows}}};

} // namespace

StickMoveTable fitted_stick_moves()
{
    return {\"${font}\", kMoves};
}
")
file(WRITE "${OUT}" "${source}")

# SPDX-License-Identifier: MIT
# stick_glyph_moves.cmake on tables written here: rows of the characters
# that CMake's lists would split or join (';', '[', ']', '\') and a comment
# ending in a backslash come through as their codes; each malformed line
# stops it with the file and the line named.
#
#   cmake -DGENERATOR=render/stick_glyph_moves.cmake -DWORK=DIR -P stick_glyph_moves_forms.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(failed OFF)

# Runs the generator on TEXT; RESULT gets its status, OUTPUT the source or
# the message.
function(generate text result output)
  file(WRITE "${WORK}/table.txt" "${text}")
  file(REMOVE "${WORK}/table.cpp")
  execute_process(COMMAND ${CMAKE_COMMAND} -DIN=${WORK}/table.txt -DOUT=${WORK}/table.cpp
                          -P ${GENERATOR}
                  RESULT_VARIABLE status ERROR_VARIABLE message)
  if(status EQUAL 0)
    file(READ "${WORK}/table.cpp" message)
  endif()
  set(${result} ${status} PARENT_SCOPE)
  set(${output} "${message}" PARENT_SCOPE)
endfunction()

set(good "# the brackets \\\n\nfont rowmans.jhf\n';'  1  2  0.5  1\n'['  3  4 -0.1 0.2\n']'  5 -6  1 -0.13\n'\\'  0 21  0.0 1.095\n'''  5 19  0.5 0.907\n")
generate("${good}" status source)
foreach(row "{0x3b, 1, 2, 0.5, 1}" "{0x5b, 3, 4, -0.1, 0.2}" "{0x5d, 5, -6, 1, -0.13}"
            "{0x5c, 0, 21, 0.0, 1.095}" "{0x27, 5, 19, 0.5, 0.907}"
            "std::array<StickMove, 5>" "return {\"rowmans.jhf\", kMoves}")
  string(FIND "${source}" "${row}" at)
  if(NOT status EQUAL 0 OR at EQUAL -1)
    message(SEND_ERROR "FAIL: the table of special characters lacks ${row}:\n${source}")
    set(failed ON)
  endif()
endforeach()

set(font "font rowmans.jhf\n")
foreach(case
    "${font}'A' 9 21 0.5\n|:2: not a row"
    "${font}'A' 9 21 0.5 1 2\n|:2: not a row"
    "${font}'A' 1234 21 0.5 1\n|:2: not a row"
    "${font}'A' 9 21 .5 1\n|:2: not a row"
    "${font}\n' ' 9 21 0.5 1\n|:3: the character is not one from"
    "${font}${font}|:2: a second font line"
    "'A' 9 21 0.5 1\n|: no font line")
  string(FIND "${case}" "|" bar)
  string(SUBSTRING "${case}" 0 ${bar} text)
  math(EXPR after "${bar} + 1")
  string(SUBSTRING "${case}" ${after} -1 expected)
  generate("${text}" status message)
  # CMake wraps its messages at blanks.
  string(REGEX REPLACE "[ \n]+" " " message "${message}")
  string(FIND "${message}" "table.txt${expected}" at)
  if(status EQUAL 0 OR at EQUAL -1)
    message(SEND_ERROR "FAIL: not refused with 'table.txt${expected}': ${text}\n${message}")
    set(failed ON)
  endif()
endforeach()

if(NOT failed)
  message(STATUS "PASS: special characters come through; malformed lines are refused")
endif()

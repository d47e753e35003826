// SPDX-License-Identifier: MIT
// The HP-GL/2 instructions as zelvo reads them: how each one's parameters
// are read, whether it draws, and what else it means to a reader of the
// stream. The plot scanner and the renderer read this one table, so that an
// instruction is added in one place. Instructions not listed take plain
// numbers and draw nothing.
#ifndef ZELVO_INSTRUCTIONS_H
#define ZELVO_INSTRUCTIONS_H

#include <array>
#include <cstddef>
#include <cstdint>

// An instruction's two letters, upper case, as one number.
constexpr unsigned mnemonic(char first, char second)
{
    return static_cast<unsigned>(first) << 8 | static_cast<unsigned>(second);
}

enum class ParameterKind : std::uint8_t {
    Numbers,    // numbers up to the instruction's end
    Pairs,      // coordinate pairs, each taken as it comes (PA PR PD PU)
    Curves,     // Bezier segments, six numbers at a time (BZ BR)
    PlotSize,   // PS: numbers that give the plot size
    Label,      // LB: label text up to the label terminator
    Terminator, // DT: its next byte is the terminator, then numbers
    Symbol,     // SM: its next byte, unless ';', is the symbol, then numbers
    Encoded,    // PE: encoded data, letters included, up to ';'
    Comment,    // CO: a quoted string and numbers, or text up to ';'
};

struct InstructionInfo {
    ParameterKind parameters = ParameterKind::Numbers;
    // It puts something on the page. LB's text and SM's symbols draw as
    // they come, not the instructions themselves.
    bool draws = false;
    // A polyline the pen is drawing goes on through it, rather than ending.
    bool continues_path = false;
    // IN and BP: the printer starts the plot afresh (a job that holds its
    // settings sets them again after it).
    bool initialises = false;
    // IN, BP and DF: the label terminator is ETX again.
    bool restores_terminator = false;
    // IN and DF: the settings DF sets go back to their defaults (SM's
    // symbol among them).
    bool sets_defaults = false;
    // PG: the plot's page ends.
    bool ends_page = false;
    // In polygon mode a printer runs only these: the vectors that draw the
    // polygon, PM, IN and DF (which end the mode), and LB and DT; it passes
    // over every other instruction (PW, SP, LT, FT, SC and the rest take no
    // effect, then or later).
    bool in_polygon_mode = false;
};

namespace instruction_table {

constexpr std::size_t kLetters = 26;

constexpr std::size_t index(char first, char second)
{
    return static_cast<std::size_t>(first - 'A') * kLetters
           + static_cast<std::size_t>(second - 'A');
}

struct Entry {
    char first;
    char second;
    InstructionInfo info;
};

using enum ParameterKind;

// The instructions that draw the polygon in polygon mode, and those that
// only draw.
constexpr InstructionInfo kPen{
    .parameters = Pairs, .continues_path = true, .in_polygon_mode = true};
constexpr InstructionInfo kArc{.draws = true, .continues_path = true, .in_polygon_mode = true};
constexpr InstructionInfo kCurve{
    .parameters = Curves, .draws = true, .continues_path = true, .in_polygon_mode = true};
constexpr InstructionInfo kDraws{.draws = true};

constexpr Entry kEntries[] = {
    {'A', 'A', kArc},
    {'A', 'R', kArc},
    {'A', 'T', kArc},
    {'B', 'P', {.initialises = true, .restores_terminator = true}},
    {'B', 'R', kCurve},
    {'B', 'Z', kCurve},
    {'C', 'I', {.draws = true, .in_polygon_mode = true}},
    {'C', 'O', {.parameters = Comment}},
    {'D', 'F', {.restores_terminator = true, .sets_defaults = true, .in_polygon_mode = true}},
    {'D', 'T', {.parameters = Terminator, .in_polygon_mode = true}},
    {'E', 'A', kDraws},
    {'E', 'P', kDraws},
    {'E', 'R', kDraws},
    {'E', 'W', kDraws},
    {'F', 'P', kDraws},
    {'I',
     'N',
     {.initialises = true,
      .restores_terminator = true,
      .sets_defaults = true,
      .in_polygon_mode = true}},
    {'L', 'B', {.parameters = Label, .in_polygon_mode = true}},
    {'P', 'A', kPen},
    {'P',
     'D',
     {.parameters = Pairs, .draws = true, .continues_path = true, .in_polygon_mode = true}},
    {'P',
     'E',
     {.parameters = Encoded, .draws = true, .continues_path = true, .in_polygon_mode = true}},
    {'P', 'G', {.ends_page = true}},
    {'P', 'M', {.in_polygon_mode = true}},
    {'P', 'R', kPen},
    {'P', 'S', {.parameters = PlotSize}},
    {'P', 'U', kPen},
    {'R', 'A', kDraws},
    {'R', 'R', kDraws},
    {'R', 'T', kArc},
    {'S', 'M', {.parameters = Symbol}},
    {'W', 'G', kDraws},
};

constexpr std::array<InstructionInfo, kLetters * kLetters> make()
{
    std::array<InstructionInfo, kLetters * kLetters> table{};
    for (const Entry &entry : kEntries)
        table[index(entry.first, entry.second)] = entry.info;
    return table;
}

inline constexpr std::array<InstructionInfo, kLetters *kLetters> kTable = make();

} // namespace instruction_table

// What the table says of the instruction `first` `second` (upper-case
// letters).
constexpr const InstructionInfo &instruction_info(char first, char second)
{
    return instruction_table::kTable[instruction_table::index(first, second)];
}

// Whether a reader that passes over plain instructions must stop at this
// one: it reads on otherwise than plain numbers, or means more than its
// drawing.
constexpr bool reads_specially(const InstructionInfo &info)
{
    return (info.parameters != ParameterKind::Numbers && info.parameters != ParameterKind::Pairs
            && info.parameters != ParameterKind::Curves)
           || info.initialises || info.restores_terminator || info.sets_defaults || info.ends_page;
}

#endif

// SPDX-License-Identifier: MIT
// The scanner's reports turned into instructions: the parameters read as
// numbers, and each instruction's phases dispatched to its group's
// functions through one table.
#include "interpreter.h"

#include "hpgl_instructions.h"
#include "instructions.h"
#include "pcl_context.h"
#include "pcl_text.h"

#include <algorithm>
#include <array>

namespace {

using namespace instruction;

// What an instruction does, phase by phase; any of them may be absent.
struct InstructionHandler {
    char first;
    char second;
    // Its letters were read.
    void (*begin)(Plotter &);
    // Its text (LB's label, PE's data, the byte after DT or SM).
    void (*text)(Plotter &, std::string_view);
    // A pair of coordinates (PA PR PD PU) or a curve's six numbers (BZ BR),
    // as each is complete.
    void (*numbers)(Plotter &, const double *);
    // Its parameters were all read.
    void (*execute)(Plotter &, const Parameters &);
};

// Every instruction the renderer acts on, and what it does in each phase:
// when its letters are read, with its text, with each coordinate pair or
// curve, and when its parameters are all read.
constexpr InstructionHandler kHandlers[] = {
    // Configuration and status.
    {'I', 'N', nullptr, nullptr, nullptr, initialise},
    {'D', 'F', nullptr, nullptr, nullptr, default_values},
    {'I', 'P', nullptr, nullptr, nullptr, input_p1_p2},
    {'I', 'R', nullptr, nullptr, nullptr, input_relative},
    {'I', 'W', nullptr, nullptr, nullptr, input_window},
    {'P', 'G', nullptr, nullptr, nullptr, advance_page},
    {'P', 'S', nullptr, nullptr, nullptr, plot_size},
    {'R', 'O', nullptr, nullptr, nullptr, rotate},
    {'S', 'C', nullptr, nullptr, nullptr, scale},
    // Vectors.
    {'P', 'A', plot_absolute, nullptr, coordinate_pair, nullptr},
    {'P', 'R', plot_relative, nullptr, coordinate_pair, nullptr},
    {'P', 'D', pen_down, nullptr, coordinate_pair, nullptr},
    {'P', 'U', pen_up, nullptr, coordinate_pair, nullptr},
    {'B', 'Z', nullptr, nullptr, bezier_absolute, nullptr},
    {'B', 'R', nullptr, nullptr, bezier_relative, nullptr},
    {'A', 'A', nullptr, nullptr, nullptr, arc_absolute},
    {'A', 'R', nullptr, nullptr, nullptr, arc_relative},
    {'A', 'T', nullptr, nullptr, nullptr, three_point_arc_absolute},
    {'R', 'T', nullptr, nullptr, nullptr, three_point_arc_relative},
    {'C', 'I', nullptr, nullptr, nullptr, circle},
    {'P', 'E', nullptr, encoded_data, nullptr, encoded_end},
    // Polygons and fills.
    {'P', 'M', nullptr, nullptr, nullptr, polygon_mode},
    {'E', 'P', nullptr, nullptr, nullptr, edge_polygon},
    {'F', 'P', nullptr, nullptr, nullptr, fill_polygon},
    {'R', 'A', nullptr, nullptr, nullptr, fill_rectangle_absolute},
    {'R', 'R', nullptr, nullptr, nullptr, fill_rectangle_relative},
    {'E', 'A', nullptr, nullptr, nullptr, edge_rectangle_absolute},
    {'E', 'R', nullptr, nullptr, nullptr, edge_rectangle_relative},
    {'W', 'G', nullptr, nullptr, nullptr, fill_wedge},
    {'E', 'W', nullptr, nullptr, nullptr, edge_wedge},
    {'F', 'T', nullptr, nullptr, nullptr, fill_type},
    // Lines and pens.
    {'L', 'A', nullptr, nullptr, nullptr, line_attributes},
    {'L', 'T', nullptr, nullptr, nullptr, line_type},
    {'U', 'L', nullptr, nullptr, nullptr, user_line_type},
    {'P', 'W', nullptr, nullptr, nullptr, pen_width},
    {'W', 'U', nullptr, nullptr, nullptr, width_unit},
    {'N', 'P', nullptr, nullptr, nullptr, number_of_pens},
    {'P', 'C', nullptr, nullptr, nullptr, pen_colour},
    {'C', 'R', nullptr, nullptr, nullptr, colour_range},
    {'S', 'P', nullptr, nullptr, nullptr, select_pen},
    {'T', 'R', nullptr, nullptr, nullptr, transparency},
    // Labels.
    {'L', 'B', label_begin, label_text, nullptr, label_end},
    {'D', 'T', terminator_begin, terminator, nullptr, terminator_mode},
    {'S', 'M', symbol_begin, symbol, nullptr, nullptr},
    {'D', 'I', nullptr, nullptr, nullptr, absolute_direction},
    {'D', 'R', nullptr, nullptr, nullptr, relative_direction},
    {'D', 'V', nullptr, nullptr, nullptr, direction_vertical},
    {'L', 'O', nullptr, nullptr, nullptr, label_origin},
    {'S', 'I', nullptr, nullptr, nullptr, absolute_size},
    {'S', 'R', nullptr, nullptr, nullptr, relative_size},
    {'S', 'L', nullptr, nullptr, nullptr, slant},
    {'E', 'S', nullptr, nullptr, nullptr, extra_space},
    {'L', 'M', nullptr, nullptr, nullptr, label_mode},
    {'S', 'D', nullptr, nullptr, nullptr, standard_font_definition},
    {'A', 'D', nullptr, nullptr, nullptr, alternate_font_definition},
    {'S', 'S', nullptr, nullptr, nullptr, select_standard_font},
    {'S', 'A', nullptr, nullptr, nullptr, select_alternate_font},
    {'C', 'P', nullptr, nullptr, nullptr, character_plot},
};

constexpr std::size_t kLetters = instruction_table::kLetters;

constexpr std::array<const InstructionHandler *, kLetters * kLetters> make_dispatch()
{
    std::array<const InstructionHandler *, kLetters * kLetters> dispatch{};
    for (const InstructionHandler &handler : kHandlers)
        dispatch[instruction_table::index(handler.first, handler.second)] = &handler;
    return dispatch;
}

constexpr std::array<const InstructionHandler *, kLetters *kLetters> kDispatch = make_dispatch();

// The handler of the instruction being read; null between instructions and
// for those the renderer passes over.
const InstructionHandler *handler_of(const InstructionReading &reading)
{
    if (reading.first == 0 || reading.passed_over)
        return nullptr;
    return kDispatch[instruction_table::index(reading.first, reading.second)];
}

} // namespace

PlotInterpreter::PlotInterpreter(PageSink &sink, const InterpreterOptions &options)
    : plotter_(sink, options)
{
    place_plot_on_sheet(plotter_);
    initialise_graphics(plotter_);
    plotter_.page.text_cursor = pcl_home(plotter_.page.pcl);
}

void PlotInterpreter::instruction(char first, char second)
{
    const InstructionInfo &info = instruction_info(first, second);
    if (!info.continues_path)
        flush_stroke(plotter_);
    reading_ = {};
    reading_.first = first;
    reading_.second = second;
    reading_.group = info.parameters == ParameterKind::Pairs    ? 2
                     : info.parameters == ParameterKind::Curves ? 6
                                                                : 0;
    reading_.passed_over = plotter_.state.polygon_mode && !info.in_polygon_mode;
    const InstructionHandler *handler = handler_of(reading_);
    if (handler != nullptr && handler->begin != nullptr)
        handler->begin(plotter_);
}

void PlotInterpreter::text(const char *bytes, std::size_t size)
{
    const InstructionHandler *handler = handler_of(reading_);
    if (handler != nullptr && handler->text != nullptr)
        handler->text(plotter_, {bytes, size});
}

void PlotInterpreter::label_terminated()
{
    if (reading_.first == 'L' && reading_.second == 'B')
        ::label_terminated(plotter_);
}

void PlotInterpreter::parameters(const char *bytes, std::size_t size)
{
    NumberReader &r = reading_.reader;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c >= '0' && c <= '9') {
            if (!r.in_number)
                r = {true, false, false, false, 0, 1};
            r.has_digit = true;
            if (r.fraction) {
                r.scale /= 10;
                r.value += (c - '0') * r.scale;
            } else {
                r.value = std::min(r.value * 10 + (c - '0'), 1e15);
            }
        } else if (c == '+' || c == '-') {
            end_number();
            r = {true, false, c == '-', false, 0, 1};
        } else if (c == '.') {
            if (r.in_number && !r.fraction) {
                r.fraction = true;
            } else {
                end_number();
                r = {true, false, false, true, 0, 1};
            }
        } else {
            end_number();
        }
    }
}

void PlotInterpreter::end_number()
{
    NumberReader &r = reading_.reader;
    if (r.in_number && r.has_digit)
        add_number(r.negative ? -r.value : r.value);
    r.in_number = false;
}

void PlotInterpreter::add_number(double value)
{
    if (reading_.count < InstructionReading::kMaxNumbers)
        reading_.numbers[reading_.count++] = value;
    if (reading_.group == 0 || reading_.count != reading_.group)
        return;
    const InstructionHandler *handler = handler_of(reading_);
    if (handler != nullptr && handler->numbers != nullptr)
        handler->numbers(plotter_, reading_.numbers);
    reading_.count = 0;
}

void PlotInterpreter::instruction_end()
{
    end_number();
    const InstructionHandler *handler = handler_of(reading_);
    if (handler != nullptr && handler->execute != nullptr)
        handler->execute(plotter_, {reading_.numbers, reading_.count});
    reading_.first = 0;
    reading_.count = 0;
    reading_.group = 0;
}

void PlotInterpreter::escape(const EscapeSequence &sequence)
{
    pcl_escape(plotter_, sequence);
}

void PlotInterpreter::context(bool pcl)
{
    pcl_context_changed(plotter_, pcl);
}

void PlotInterpreter::page_ejected()
{
    pcl_page_ejected(plotter_);
}

void PlotInterpreter::form_feed()
{
    plotter_.page.form_fed = true;
}

void PlotInterpreter::pcl_text(const char *bytes, std::size_t size)
{
    pcl_text_printed(plotter_, {bytes, size});
}

void PlotInterpreter::escape_data(const char *bytes, std::size_t size)
{
    pcl_escape_data(plotter_, {bytes, size});
}

void PlotInterpreter::finish()
{
    end_number();
    flush_stroke(plotter_);
    pcl_stream_ended(plotter_);
    plotter_.sink.end_page(plotter_.sink.pages() == 0);
}

// SPDX-License-Identifier: MIT
// HP-GL/2 as a PCL 5 printer draws it: the instructions the plot scanner
// reads become paths on a PageSink. One interpreter reads one stream; its
// memory stays bounded whatever the stream's size (long polylines go out in
// pieces, the polygon buffer has a cap).
#ifndef ZELVO_INTERPRETER_H
#define ZELVO_INTERPRETER_H

#include "plot_scanner.h"
#include "plotter.h"

#include <cstddef>
#include <cstdint>

// A number of an instruction's parameters, read as the bytes come.
struct NumberReader {
    bool in_number = false;
    bool has_digit = false;
    bool negative = false;
    bool fraction = false;
    double value = 0;
    double scale = 1;
};

// The instruction being read: its letters and the numbers so far.
struct InstructionReading {
    static constexpr std::size_t kMaxNumbers = 16;
    char first = 0; // 0 between instructions
    char second = 0;
    NumberReader reader;
    double numbers[kMaxNumbers] = {};
    std::size_t count = 0;
    // The coordinate pairs or curves that are taken as they come: 2 or 6
    // numbers at a time, 0 for none.
    std::size_t group = 0;
    // Read and passed over, as polygon mode passes over most instructions.
    bool passed_over = false;
};

class PlotInterpreter : public ScanEvents {
public:
    PlotInterpreter(PageSink &sink, const InterpreterOptions &options);

    void instruction(char first, char second) override;
    void parameters(const char *bytes, std::size_t size) override;
    void text(const char *bytes, std::size_t size) override;
    void instruction_end() override;
    void escape(const EscapeSequence &sequence) override;
    void context(bool pcl) override;
    void page_ejected() override;
    void form_feed() override;
    void pcl_text(const char *bytes, std::size_t size) override;
    void label_terminated() override;
    void escape_data(const char *bytes, std::size_t size) override;

    // The stream ended: draws what is pending and ends the last page. A
    // stream that drew nothing still gives one (empty) page.
    void finish();

    std::uint64_t pages() const { return plotter_.sink.pages(); }

private:
    void end_number();
    void add_number(double value);

    Plotter plotter_;
    InstructionReading reading_;
};

#endif

// SPDX-License-Identifier: MIT
// The plot scanner on each context it tells apart: where the hold text goes,
// the plot size it finds and the pages it counts.
#include "plot_scanner.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Reading {
    // The input with a mark at every place: '|' for the hold text, and with
    // the job's mends '^' for a page break and '!' for a reset.
    std::string marked;
    PlotScanner scanner;
};

char mark(PlaceKind kind)
{
    switch (kind) {
    case PlaceKind::Hold:
        return '|';
    case PlaceKind::PageBreak:
        return '^';
    case PlaceKind::Reset:
        return '!';
    }
    return '?';
}

// Reads `input` in pieces of `piece` bytes (all at once when 0).
Reading read_plot(const std::string &input, std::size_t piece = 0, bool job_mends = false)
{
    Reading r;
    r.scanner.job_mends = job_mends;
    std::size_t done = 0;
    while (done < input.size()) {
        const std::size_t size =
            piece == 0 ? input.size() - done : std::min(piece, input.size() - done);
        std::size_t offset = 0;
        while (offset < size) {
            const std::size_t place =
                scan_plot(r.scanner, input.data() + done + offset, size - offset);
            const std::size_t before = place == kNoHold ? size - offset : place;
            r.marked.append(input, done + offset, before);
            offset += before;
            if (place != kNoHold)
                r.marked += mark(r.scanner.place);
        }
        done += size;
    }
    if (finish_plot(r.scanner))
        r.marked += '|';
    eject_last_page(r.scanner);
    return r;
}

const std::string esc = "\x1b";

TEST(ScanPlot, HoldPlaces)
{
    const struct {
        std::string input;
        std::string marked;
    } rows[] = {
        // Instructions, either case, with and without ';'.
        {"IN;PA0,0;", "IN;|PA0,0;"},
        {"in;pa", "in;|pa"},
        {"BPINPS1000,1000", "BP|IN|PS1000,1000"},
        {"IN\r\nPS1,1;", "IN\r\n|PS1,1;"},
        {"IN", "IN|"},
        {"IN1 ;", "IN1 ;|"},
        {"I N;IN;", "I N;IN;|"},
        // Strings that are not instructions.
        {"BP 1,\"ti;IN\";IN;", "BP 1,\"ti;IN\";|IN;|"},
        {"LBIN;\x03IN;", "LBIN;\x03IN;|"},
        {"DT*;LBIN;*IN;", "DT*;LBIN;*IN;|"},
        {"DT*,1;DT;LBIN*\x03IN;", "DT*,1;DT;LBIN*\x03IN;|"},
        {"DT*;IN;LBa\x03", "DT*;IN;|LBa\x03"},
        // A PCL 5 printer knows no BL or WD, a plotter's labels.
        {"WDIN\x03"
         "BLIN\x03IN",
         "WDIN\x03|"
         "BLIN\x03|IN|"},
        {"CO\"IN;\";IN;", "CO\"IN;\";IN;|"},
        {"CO IN comment;IN;", "CO IN comment;IN;|"},
        {"SMIN;IN;", "SMIN;IN;|"},
        {"PEIN;IN;", "PEIN;IN;|"},
        // Escapes, PCL context and the data of escapes.
        {esc + "%0AIN;" + esc + "%1BIN;", esc + "%0AIN;" + esc + "%1BIN;|"},
        {"IN" + esc + "%0A", "IN|" + esc + "%0A"},
        {esc + "EIN;", esc + "EIN;"},
        {esc + "%0A" + esc + "*b3W" + esc + "%1BIN;", esc + "%0A" + esc + "*b3W" + esc + "%1BIN;"},
        {esc + "%0A" + esc + "*b2wAB1W" + esc + esc + "%1BIN;",
         esc + "%0A" + esc + "*b2wAB1W" + esc + esc + "%1BIN;|"},
        {esc + "&p3XIN;IN;", esc + "&p3XIN;IN;|"},
        // A raster row's plane carries its data too: no IN in it.
        {esc + "%1A" + esc + "*b3vIN;3W" + esc + "E;" + esc + "%1BIN;",
         esc + "%1A" + esc + "*b3vIN;3W" + esc + "E;" + esc + "%1BIN;|"},
        {esc + ".(;" + esc + ".I81;;17:" + esc + ".N;19:IN;",
         esc + ".(;" + esc + ".I81;;17:" + esc + ".N;19:IN;|"},
        {esc + ".IIN;", esc + ".IIN;|"},
        {esc + esc + "EIN;", esc + esc + "EIN;"},
        {esc + "\x01IN;", esc + "\x01IN;|"},
        {"LBab" + esc + "%0AIN;", "LBab" + esc + "%0AIN;"},
        // PJL lines after a universal exit language: the language entered.
        {esc + "%-12345X@PJL\nIN;", esc + "%-12345X@PJL\nIN;"},
        {esc + "%-12345X@PJL SET PAPER=A4\r\n@PJL ENTER LANGUAGE = HPGL2\r\nIN;PD;",
         esc + "%-12345X@PJL SET PAPER=A4\r\n@PJL ENTER LANGUAGE = HPGL2\r\nIN;|PD;"},
        {esc + "%-12345X\r\n@PJL enter language=hpgl2\nIN;",
         esc + "%-12345X\r\n@PJL enter language=hpgl2\nIN;|"},
        {esc + "%-12345X@pjl enter language=hpgl2\nIN;",
         esc + "%-12345X@pjl enter language=hpgl2\nIN;"},
        {esc + "%-12345X@PJL ENTER LANGUAGE=PCL\nIN;" + esc + "%1BIN;",
         esc + "%-12345X@PJL ENTER LANGUAGE=PCL\nIN;" + esc + "%1BIN;|"},
        {esc + "%-12345X@PJL ENTER LANGUAGE=POSTSCRIPT\nIN;",
         esc + "%-12345X@PJL ENTER LANGUAGE=POSTSCRIPT\nIN;"},
        {esc + "%-12345X@PJL ENTER" + esc + "%1BIN;", esc + "%-12345X@PJL ENTER" + esc + "%1BIN;|"},
        {"BP\"a" + esc + "E", "BP\"a|" + esc + "E"},
        // A quoted string that starts a drawn plot's parameters, where the
        // scanner passes plain runs over.
        {"PD;AB\"IN;\"IN;", "PD;AB\"IN;\"IN;|"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.input);
        EXPECT_EQ(read_plot(row.input).marked, row.marked);
        // State carries across pieces: a byte at a time reads the same.
        EXPECT_EQ(read_plot(row.input, 1).marked, row.marked);
    }
}

TEST(ScanPlot, JobMendPlaces)
{
    const struct {
        std::string input;
        std::string marked;
        std::uint64_t pages;
    } rows[] = {
        // The page ends before the next instruction after a PG, when
        // something is on it; a PG that nothing follows ends nothing.
        {"IN;PD;PG;PD;", "IN;|PD;PG;^PD;", 2},
        {"PD;PG;SP0;PG;", "PD;PG;^SP0;PG;", 1},
        {"PD;PG;" + esc + ".Z\n" + esc + ".Y\nIN;PD;PG;" + esc + ".Z",
         "PD;PG;" + esc + ".Z\n" + esc + ".Y\n^IN;|PD;PG;" + esc + ".Z", 2},
        {"PD;PG0PD", "PD;PG0^PD", 2},
        {"pd;pg;pd;", "pd;pg;^pd;", 2},
        {"PD;PG;PG;PD;", "PD;PG;^PG;PD;", 2},
        {"PG;PD;", "PG;PD;", 1},
        {"PD;PG;", "PD;PG;", 1},
        // Not a PG: label text, a comment.
        {"PD;LBPG;\x03PD;", "PD;LBPG;\x03PD;", 1},
        {"PD;CO PG;PD;", "PD;CO PG;PD;", 1},
        // A page the plot ejects itself in PCL context needs no break.
        {"PD;PG;\n" + esc + "%0A\f" + esc + "%0B\nBP;IN;PD;",
         "PD;PG;\n" + esc + "%0A\f" + esc + "%0B\nBP;|IN;|PD;", 2},
        // A reset of the plot's own, in either context.
        {esc + "E" + esc + "%0BIN;PD;" + esc + "%0A" + esc + "E",
         esc + "E!" + esc + "%0BIN;|PD;" + esc + "%0A" + esc + "E!", 1},
        {"PD;" + esc + "E\n", "PD;" + esc + "E!\n", 1},
        {esc + esc + "E", esc + esc + "E!", 0},
        // A page size or orientation of the plot's own, in PCL context.
        {esc + "E" + esc + "&l1X" + esc + "&l0O" + esc + "%0BIN;PD;",
         esc + "E!" + esc + "&l1X" + esc + "&l0O!" + esc + "%0BIN;|PD;", 1},
        {esc + "%0A" + esc + "&l26a1O\n", esc + "%0A" + esc + "&l26a1O!\n", 0},
        {esc + "&l1O", esc + "&l1O", 0},
        {esc + "%0A" + esc + "&l1o", esc + "%0A" + esc + "&l1o", 0},
        {esc + "%0A" + esc + "&l1o" + esc + "E", esc + "%0A" + esc + "&l1o" + esc + "E!", 0},
        {esc + "&lE", esc + "&lE", 0},
        // A universal exit language ends a page with something on it.
        {"IN;PD;" + esc + "%-12345X@PJL ENTER LANGUAGE=HPGL2\nIN;PD;" + esc + "%-12345X",
         "IN;|PD;" + esc + "%-12345X@PJL ENTER LANGUAGE=HPGL2\nIN;|PD;" + esc + "%-12345X", 2},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.input);
        const Reading whole = read_plot(row.input, 0, true);
        EXPECT_EQ(whole.marked, row.marked);
        EXPECT_EQ(whole.scanner.pages, row.pages);
        EXPECT_EQ(read_plot(row.input, 1, true).marked, row.marked);
    }
}

TEST(ScanPlot, PlotSize)
{
    const struct {
        std::string input;
        bool found;
        std::uint64_t length, width;
    } rows[] = {
        {"IN;PS40000,20000;PD;", true, 40000, 20000},
        {"PS11840 8100\nIP", true, 11840, 8100},
        {"PS1,2", true, 1, 2},
        {"PD;PS1,2;", false, 0, 0},
        {"PS;PS100 200;", true, 100, 200},
        {"PS-5,3;PS7,8;", true, 7, 8},
        {"PS1.9,2.9;", true, 1, 2},
        {"PS1+2;", true, 1, 2},
        // A length alone gives the width too; plotutils writes one.
        {"BP;IN;PS11379;IP0,0,7925,7925;", true, 11379, 11379},
        {"PS5;", true, 5, 5},
        {"PS5", true, 5, 5},
        {"PS5.7 ;PD;", true, 5, 5},
        {"PS0;PS6;", true, 6, 6},
        {"PS-5;", false, 0, 0},
        {"PS1,2,3;", false, 0, 0},
        {"PD;PS5;", false, 0, 0},
        {"PS0,5;", false, 0, 0},
        {"LB\x03PS1,1;", true, 1, 1},
        {"LBx\x03PS1,1;", false, 0, 0},
        {"PS1,2;PS3,4;", true, 1, 2},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.input);
        const PlotScanner s = read_plot(row.input).scanner;
        EXPECT_EQ(s.plot_size_found, row.found);
        EXPECT_EQ(s.plot_length, row.length);
        EXPECT_EQ(s.plot_width, row.width);
    }
}

TEST(ScanPlot, Pages)
{
    const struct {
        std::string input;
        std::uint64_t pages;
        bool ends_in_pcl;
    } rows[] = {
        {"", 0, false},
        {"IN;PU10,10;PA20,20;", 0, false},
        {"IN;PD;", 1, false},
        {"IN;CI100;PG;CI200;PG;", 1, false}, // PG is ignored
        {"IN;PD;" + esc + "E" + esc + "%1BPD;", 2, false},
        {esc + "%0A\f\f" + esc + "%1B", 2, false},
        {esc + "%0Ahello" + esc + "%1B", 1, false},
        {esc + "%0A \r\n", 0, true},
        {"IN;PD;" + esc + "%0A" + esc + "&l0H" + esc + "%1BPD;", 2, false},
        {esc + "%0A" + esc + "&l1H", 0, true},
        {esc + "%0A" + esc + "*c10a10b0P", 1, true},
        {esc + "%0A" + esc + "*b0W", 0, true},
        {esc + "%0A" + esc
             + "*b1W"
               "\x01",
         1, true},
        {"LB\x03", 0, false},
        {"LBa\x03" + esc + "%0A\f", 1, true},
        // Of the &l commands only H and A eject; O (orientation) does not.
        {"IN;PD;" + esc + "%0A" + esc + "&l1O" + esc + "%1BPD;", 1, false},
        {"IN;PD;" + esc + "%0A" + esc + "&l2A" + esc + "%1BPD;", 2, false},
        // A coordinate pair puts SM's symbol down, its numbers read as the
        // renderer reads them; IN and DF take the symbol away.
        {"IN;SM*;PA10,10;", 1, false},
        {"IN;SM*;PU1-2", 1, false},
        {"IN;SM*;PR.5.5;", 1, false},
        {"IN;SM*;PA10;", 0, false},
        {"IN;SM*;PA1\"x\"0;", 0, false},
        {"IN;SM;PA10,10;", 0, false},
        {"IN;SM*;DF;PA10,10;", 0, false},
        {"IN;SM*;IN;PA10,10;", 0, false},
        {"SM*" + esc + "E" + esc + "%1BPU10,10;", 0, false},
        // A device-control sequence's '-' and '.' are no text in PCL context.
        {esc + "%0A" + esc + ".N-1;19:", 0, true},
        {esc + "%0A" + esc + ".N1.5;19:", 0, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.input);
        const PlotScanner s = read_plot(row.input).scanner;
        EXPECT_EQ(s.pages, row.pages);
        EXPECT_EQ(s.in_pcl, row.ends_in_pcl);
    }
}

// What a listener hears of PCL context: its bytes, as "[...]", escape
// sequences, as "e", and the pages ejected, as "|"; and labels that reach
// their terminator, as "t".
class PclLog : public ScanEvents {
public:
    std::string log;

    void instruction(char, char) override {}
    void parameters(const char *, std::size_t) override {}
    void text(const char *, std::size_t) override {}
    void instruction_end() override {}
    void escape(const EscapeSequence &) override { log += 'e'; }
    void context(bool) override {}
    void page_ejected() override { log += '|'; }
    void label_terminated() override { log += 't'; }
    void pcl_text(const char *bytes, std::size_t size) override
    {
        // A run that a piece boundary cuts joins up again.
        if (!log.empty() && log.back() == ']')
            log.pop_back();
        else
            log += '[';
        log.append(bytes, size);
        log += ']';
    }
};

TEST(ScanPlotEvents, PclTextInRunsBetweenEscapesAndFormFeeds)
{
    const struct {
        std::string input;
        std::string heard;
    } rows[] = {
        // Text in HP-GL/2 context is none; the reset ejects the page of
        // text.
        {"IN;" + esc + "%0ASP;PG;\n" + esc + "E", "e[SP;PG;\n]|e"},
        {esc + "EAB\fC" + esc + "&a720HD\r\n" + esc + "E", "e[AB]|[C]e[D\r\n]|e"},
        // Spaces mark no page, as the printer prints none.
        {esc + "E  \r\n" + esc + "E", "e[  \r\n]e"},
        // The data of a sequence is no text.
        {esc + "E" + esc + "*b3WxyzA" + esc + "E", "ee[A]|e"},
        // A label cut short by an ESC never reaches its terminator.
        {"DT#;LBA#LBB" + esc + "E", "t|e"},
    };
    for (const auto &row : rows) {
        for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, row.input.size()}) {
            SCOPED_TRACE(row.input + " in pieces of " + std::to_string(piece));
            PlotScanner scanner;
            PclLog log;
            for (std::size_t done = 0; done < row.input.size(); done += piece)
                scan_plot_events(scanner, row.input.data() + done,
                                 std::min(piece, row.input.size() - done), log);
            finish_plot_events(scanner, log);
            EXPECT_EQ(log.log, row.heard);
        }
    }
}

// What escape sequences and their data a renderer hears.
class DataLog : public ScanEvents {
public:
    std::string log;

    void instruction(char, char) override {}
    void parameters(const char *, std::size_t) override {}
    void text(const char *, std::size_t) override {}
    void instruction_end() override {}
    void escape(const EscapeSequence &e) override
    {
        log += '<';
        log += static_cast<char>(e.parameter);
        log += std::to_string(static_cast<int>(e.value));
    }
    void context(bool) override {}
    void page_ejected() override {}
    void pcl_text(const char *bytes, std::size_t size) override
    {
        log += '[';
        log.append(bytes, size);
    }
    void escape_data(const char *bytes, std::size_t size) override
    {
        log += '{';
        log.append(bytes, size);
        data.append(bytes, size);
    }
    std::string data; // all the data bytes, without marks
};

TEST(ScanPlotEvents, DataOfEscapesAfterTheirSequence)
{
    const struct {
        std::string input;
        std::string heard; // chunks of one byte
    } rows[] = {
        // Each plane of a row, and its last, with the bytes after the
        // parameter that announced them; a continuing sequence goes on.
        {esc + "*b2vAB1W\x1b" + "Z", "<v2{A{B<W1{\x1b[Z"},
        {esc + std::string("*v6W\x00\x01\x02\x03\x04\x05", 10),
         std::string("<W6{\x00{\x01{\x02{\x03{\x04{\x05", 15)},
        // No data: a count of 0 or below.
        {esc + "*b0W" + esc + "*b-2WAB", "<W0<W-2[A[B"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.input);
        PlotScanner scanner;
        scanner.in_pcl = true;
        scanner.state = ScanState::Pcl;
        DataLog log;
        for (const char c : row.input)
            scan_plot_events(scanner, &c, 1, log);
        EXPECT_EQ(log.log, row.heard);
        // Read whole, the same data comes.
        PlotScanner whole;
        whole.in_pcl = true;
        whole.state = ScanState::Pcl;
        DataLog at_once;
        scan_plot_events(whole, row.input.data(), row.input.size(), at_once);
        EXPECT_EQ(at_once.data, log.data);
        EXPECT_EQ(whole.state, scanner.state);
    }
}

} // namespace

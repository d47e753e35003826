// SPDX-License-Identifier: MIT
// Reading a plot stream as a PCL 5 printer reads it, in one pass and in
// constant memory, to find where the hold text goes, the plot's own size and
// the pages the printer ejects. The stream starts in HP-GL/2 context, where
// the job header leaves it.
//
// HP-GL/2 context. An instruction is two letters, either case; a letter
// followed by anything else is dropped. Bytes between instructions other
// than letters and ESC are ignored. An instruction's parameters run up to a
// ';', which belongs to it, or up to the next letter or ESC, which do not;
// blanks, CR, LF, TAB and commas are its separators. In the parameters a '"'
// opens a quoted string that runs to the next '"'. Some instructions read on
// differently:
//   LB          label text up to the label terminator, which belongs to it
//               (a plotter's BL and WD take text too, a PCL 5 printer's do
//               not: it knows neither);
//   DT          its next byte becomes the label terminator, then parameters;
//               "DT;" restores the default terminator ETX;
//   SM          its next byte, unless ';', is the symbol, then parameters;
//   PE          encoded data, letters included, up to ';';
//   CO          after separators, a quoted string then parameters, or else
//               comment text up to ';';
//   PS          numbers (below); a '"' is no quote there.
// An ESC ends all of these, label text and strings included. IN, BP and DF
// restore the label terminator ETX.
//
// Escape sequences, in either context, with PCL's syntax. ESC then a byte
// from '0' to '~' is a two-character sequence; ESC E resets the printer,
// which leaves it in PCL context with the terminator ETX. ESC then a byte
// from '!' to '/' other than '.' starts a parameterized sequence: an
// optional group byte from '`' to '~', then values (digits, '+', '-', '.'),
// each ended by a parameter byte that continues the sequence when it is from
// '`' to '~' and ends it when it is from '@' to '^'. A value is the integer
// of its digits before any '.', negative when it holds a '-'. A 'W' or 'w'
// parameter, 'X' or 'x' after "&p" and 'V' or 'v' after "*b" (a raster
// row's plane), is followed by as many data bytes as
// its value (none when negative), after which a continuing parameter goes on
// with the next value. Without a group byte, "%" with the parameter 'A' or
// 'X' enters PCL context and with 'B' HP-GL/2 context, in either case. ESC .
// is a plotter device-control sequence: its next byte, then digits, ';',
// '+', '-', '.' and spaces, up to a ':' that ends it (an ESC there starts
// a new sequence). ESC ESC drops the first ESC. Any other byte ends the
// sequence where it stands and is read again in the context (between
// instructions in HP-GL/2 context). A sequence returns to the context it
// leaves the printer in.
//
// PCL context: every byte but ESC is text or data.
//
// PJL: a universal exit language (ESC %-12345X) ends the job as far as the
// page goes (a page with something on it is ejected) and is followed by PJL
// command lines, each "@PJL" (in capitals, after any blanks and line ends;
// the rest of the line in either case) up to a line feed. "@PJL ENTER LANGUAGE=HPGL2" enters
// HP-GL/2 context and "=PCL" PCL context; any other byte that no PJL line starts (ESC among them)
// ends the PJL lines and is read in PCL context.
//
// The hold text goes after every IN and BP instruction: right after its
// ';', else right before the letter or ESC that ends it, else at the end of
// the stream.
//
// Where the job mends the plot (`job_mends`), two more kinds of place: a
// page break, before the first letter in HP-GL/2 context after a PG, when
// something is on the page then (the job ends the page there as a plotter
// does; the page counts as ejected); and a reset, right after every ESC E,
// and in PCL context right after an escape sequence with a page size or
// orientation parameter (&l # A, &l # O), each of which resets the picture
// frame, when a parameter ends the sequence and no data follows it.
//
// Pages, as a PCL 5 printer ejects them: PG is ignored. In PCL context a
// form feed ejects a page, and ESC &l # H and ESC &l # A eject it when
// something is on it; ESC E does that in either context, and so does the
// job's last reset. Drawing instructions put something on the page (those
// the instruction table says draw, LB with label text, and after SM with a
// symbol a coordinate pair of PA, PR, PD or PU, which puts the symbol down:
// two numbers read as the renderer reads them, an optional sign, digits and
// one decimal point, running on across a quoted string; IN, DF and ESC E
// take the symbol away), and in PCL context bytes above ' ' outside escape sequences, a rectangle
// fill (ESC *c # P) and ESC *b # W, ESC *b # V or ESC &p # X announcing data (#
// above 0).
//
// The plot size is the first PS with just two numbers, a length and a width
// above 0, or with a length alone above 0, which gives the width too (a
// square plot), before the first drawing
// instruction, in plotter units of 0.025 mm. Its numbers are an optional sign, digits and one
// decimal point; any other byte, a sign or a second point ends one (the last two start the next).
// Only integer parts count, and a number without digits is none.
//
// All numbers saturate at 2^48, far above any that a printer takes.
#ifndef ZELVO_PLOT_SCANNER_H
#define ZELVO_PLOT_SCANNER_H

#include <cstddef>
#include <cstdint>

enum class ScanState : std::uint8_t {
    Between,       // HP-GL/2: looking for an instruction
    Mnemonic,      // HP-GL/2: one letter of an instruction read
    Parameters,    // HP-GL/2: an instruction's parameters
    Quoted,        // HP-GL/2: a quoted string among the parameters
    PlotSize,      // HP-GL/2: the parameters of PS, read as numbers
    Label,         // HP-GL/2: label text of LB
    Terminator,    // HP-GL/2: the byte after DT
    Symbol,        // HP-GL/2: the byte after SM
    Encoded,       // HP-GL/2: PE data
    CommentStart,  // HP-GL/2: after CO, before its first non-separator
    CommentText,   // HP-GL/2: an unquoted comment
    Pcl,           // PCL context: text and data
    Escape,        // the byte after ESC
    EscapeGroup,   // after ESC and a parameterized byte
    EscapeValue,   // a parameterized sequence's values and parameters
    EscapeData,    // the data bytes a parameter announced
    DeviceControl, // the byte after ESC .
    DeviceParams,  // the parameters of a device-control sequence
    PjlStart,      // after a universal exit language: between PJL lines
    PjlLine,       // a PJL command line, up to its line feed
};

// What a place returned by scan_plot is for.
enum class PlaceKind : std::uint8_t {
    Hold,      // after an IN or BP
    PageBreak, // before the first instruction after a PG, on a marked page
    Reset,     // after an ESC E, a page size or an orientation
};

// A plain record: copy it to read ahead without disturbing the original.
struct PlotScanner {
    // Set before reading: places for page breaks and resets as well.
    bool job_mends = false;
    ScanState state = ScanState::Between;
    bool in_pcl = false;               // the context escape sequences return to
    bool hold_due = false;             // an IN or BP awaits its end
    bool break_due = false;            // a PG awaits the next instruction
    bool reset_due = false;            // a page size or orientation awaits its sequence's end
    PlaceKind place = PlaceKind::Hold; // the kind of the place last returned
    unsigned char first_letter = 0;    // Mnemonic: the letter read
    unsigned char terminator = 0x03;   // the label terminator
    // Escape sequences.
    unsigned char escape_kind = 0;  // the parameterized byte ('&', '*', '%', ...)
    unsigned char escape_group = 0; // the group byte, or 0
    bool value_negative = false;
    bool value_signed = false;   // a '+' or '-': a move from where the cursor is
    bool value_fraction = false; // digits after '.' no longer count
    // The decimals after the '.', for the listeners of scan_plot_events:
    // value_decimals / value_scale, nine digits at most.
    std::uint64_t value_decimals = 0;
    std::uint32_t value_scale = 1;
    bool data_continues = false; // EscapeData: the sequence goes on after the data
    std::uint64_t value = 0;     // saturates, far above any real count
    std::uint64_t data_left = 0;
    // PS parameters: integer parts of up to two numbers, and how many (up to
    // three: more than two make no size).
    int size_count = 0; // numbers read so far
    bool size_in_number = false;
    bool size_has_digit = false;
    bool size_negative = false;
    bool size_fraction = false;
    std::uint64_t size_value = 0;
    std::uint64_t size_numbers[2] = {0, 0};
    // SM's symbol: a coordinate pair of PA, PR, PD or PU puts it down, which
    // draws. While such an instruction's numbers may still give a pair,
    // they are counted as the renderer reads them.
    bool symbol_set = false;
    bool counting_pair = false;
    int pair_numbers = 0;
    bool pair_in_number = false;
    bool pair_has_digit = false;
    bool pair_fraction = false;
    // PJL after a universal exit language: how much of "@PJL" a line
    // started with, and the line so far, upper case without blanks, as far
    // as it tells the language it enters.
    std::uint8_t pjl_matched = 0;
    std::uint8_t pjl_length = 0;
    char pjl_line[24] = {};
    // What the reading found.
    bool drawn = false; // a drawing instruction was seen
    bool plot_size_found = false;
    std::uint64_t plot_length = 0; // along X, plotter units
    std::uint64_t plot_width = 0;
    bool page_marked = false;
    std::uint64_t pages = 0; // pages ejected so far
};

// Returned by scan_plot when the bytes hold no place for the hold text.
constexpr std::size_t kNoHold = static_cast<std::size_t>(-1);

// Reads `size` bytes of the stream. Stops at the first place for the hold
// text (or, with job_mends, a page break or a reset: `place` tells which)
// and returns its offset (0 to size): the bytes before it are read, those
// from it on are not. Returns kNoHold when all bytes are read and none holds
// such a place.
std::size_t scan_plot(PlotScanner &scanner, const char *bytes, std::size_t size);

// Ends the stream: true when the hold text is due at its very end.
bool finish_plot(PlotScanner &scanner);

// An escape sequence as the printer acts on it: one report for each
// parameter of a parameterized sequence.
struct EscapeSequence {
    unsigned char kind;      // '&', '*', '%', ... or 0 for a two-character sequence
    unsigned char group;     // the group byte, or 0
    unsigned char parameter; // as read, either case; the second byte of a two-character one
    double value;            // with its sign and decimals; 0 for a two-character one
    bool relative = false;   // the value had a sign: a move, where the parameter takes one
};

// What scan_plot_events reads, told to whoever interprets the plot. Byte
// ranges point into the bytes being read and hold only during the call; a
// run that a chunk boundary cuts comes in two reports.
class ScanEvents {
public:
    // An instruction's two letters, upper case; its parameters, text and
    // end follow.
    virtual void instruction(char first, char second) = 0;
    // Bytes of its parameters, quoted strings left out (PS's included).
    virtual void parameters(const char *bytes, std::size_t size) = 0;
    // Label text of LB (without the terminator), PE's data, and
    // the byte after DT or SM.
    virtual void text(const char *bytes, std::size_t size) = 0;
    // The instruction ended: by its ';', by what starts the next one, by an
    // ESC, by the label terminator, or by the end of the stream.
    virtual void instruction_end() = 0;
    virtual void escape(const EscapeSequence &sequence) = 0;
    // The context escape sequences return to changed (true: PCL).
    virtual void context(bool pcl) = 0;
    // A page is ejected, as `pages` counts it.
    virtual void page_ejected() = 0;
    // The page ejected next is a form feed's, which the printer prints
    // whatever it holds.
    virtual void form_feed() {}
    // Bytes that PCL context prints, control codes among them; a form feed
    // ends a run and ejects the page. Only a renderer needs them.
    virtual void pcl_text(const char *, std::size_t) {}
    // A label reached its terminator (before the instruction's end): DT's
    // mode may have the terminator print. Not told of a label that an ESC
    // or the end of the stream cut short.
    virtual void label_terminated() {}
    // The data bytes that the escape sequence last reported announced (a
    // raster row, a palette's configuration), in as many reports as the
    // chunks cut them into; only a renderer needs them.
    virtual void escape_data(const char *, std::size_t) {}

protected:
    ~ScanEvents() = default;
};

// Reads all `size` bytes as scan_plot reads them, without stopping at the
// places for the hold text, and tells `events` what they hold. The fast
// passes over runs that change nothing for the job filter are left out.
void scan_plot_events(PlotScanner &scanner, const char *bytes, std::size_t size,
                      ScanEvents &events);

// Ends the stream as finish_plot does, and ends the instruction that the
// stream left open.
void finish_plot_events(PlotScanner &scanner, ScanEvents &events);

// The job's last reset: counts the page if something is on it.
void eject_last_page(PlotScanner &scanner);

#endif

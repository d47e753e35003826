// SPDX-License-Identifier: MIT
// The plot reader: one state machine over the stream, with fast skips over
// the runs of bytes that change nothing (parameters, label text, PCL data).
#include "plot_scanner.h"

#include "instructions.h"

#include <array>
#include <string_view>

#include <cstring>

namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kEtx = 0x03;
constexpr unsigned char kFormFeed = 0x0C;
// The universal exit language, ESC %-12345X, is PJL's.
constexpr std::uint64_t kUniversalExitLanguage = 12345;

// Byte classes of HP-GL/2 context.
enum : unsigned char {
    kLetter = 1,
    kEscape = 2,
    kSemicolon = 4,
    kQuote = 8,
    kSeparator = 16,
};

constexpr std::array<unsigned char, 256> make_classes()
{
    std::array<unsigned char, 256> classes{};
    for (int c = 'A'; c <= 'Z'; ++c)
        classes[static_cast<std::size_t>(c)] = kLetter;
    for (int c = 'a'; c <= 'z'; ++c)
        classes[static_cast<std::size_t>(c)] = kLetter;
    classes[kEsc] = kEscape;
    classes[';'] = kSemicolon;
    classes['"'] = kQuote;
    for (unsigned char c : {' ', '\r', '\n', '\t', ','})
        classes[c] = kSeparator;
    return classes;
}

constexpr std::array<unsigned char, 256> kClasses = make_classes();

// The bytes that end a run of parameters, and a run between instructions.
constexpr unsigned char kEndsParameters = kLetter | kEscape | kSemicolon | kQuote;
constexpr unsigned char kEndsGap = kLetter | kEscape;

bool is_digit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

// The job filter reads without listening: every report compiles to nothing
// and the fast paths stay. The renderer listens through ScanEvents.
struct NoReports {
    static constexpr bool kListening = false;
    void instruction(char, char) {}
    void parameters(const unsigned char *, std::size_t) {}
    void text(const unsigned char *, std::size_t) {}
    void instruction_end() {}
    void escape(const EscapeSequence &) {}
    void context(bool) {}
    void page_ejected() {}
    void form_feed() {}
    void label_terminated() {}
    void escape_data(const unsigned char *, std::size_t) {}
};

struct ReportsToEvents {
    static constexpr bool kListening = true;
    ScanEvents &events;
    void instruction(char first, char second) { events.instruction(first, second); }
    void parameters(const unsigned char *bytes, std::size_t size)
    {
        events.parameters(reinterpret_cast<const char *>(bytes), size);
    }
    void text(const unsigned char *bytes, std::size_t size)
    {
        events.text(reinterpret_cast<const char *>(bytes), size);
    }
    void instruction_end() { events.instruction_end(); }
    void escape(const EscapeSequence &sequence) { events.escape(sequence); }
    void context(bool pcl) { events.context(pcl); }
    void page_ejected() { events.page_ejected(); }
    void form_feed() { events.form_feed(); }
    void label_terminated() { events.label_terminated(); }
    void pcl_text(const unsigned char *bytes, std::size_t size)
    {
        events.pcl_text(reinterpret_cast<const char *>(bytes), size);
    }
    void escape_data(const unsigned char *bytes, std::size_t size)
    {
        events.escape_data(reinterpret_cast<const char *>(bytes), size);
    }
};

void mark_drawing(PlotScanner &s)
{
    s.drawn = true;
    s.page_marked = true;
}

template <class Events>
void eject_if_marked(PlotScanner &s, Events &events)
{
    if (s.page_marked) {
        ++s.pages;
        s.page_marked = false;
        events.page_ejected();
    }
}

void end_escape(PlotScanner &s)
{
    s.state = s.in_pcl ? ScanState::Pcl : ScanState::Between;
}

void start_value(PlotScanner &s)
{
    s.value = 0;
    s.value_negative = false;
    s.value_signed = false;
    s.value_fraction = false;
    s.value_decimals = 0;
    s.value_scale = 1;
    s.state = ScanState::EscapeValue;
}

// Far above any count a printer takes; keeps the arithmetic from wrapping.
constexpr std::uint64_t kValueLimit = std::uint64_t{1} << 48;
// Decimals of an escape value beyond these nine change no setting.
constexpr std::uint32_t kFractionLimit = 1000000000;

void add_digit(std::uint64_t &value, unsigned char digit)
{
    const unsigned d = digit - '0';
    value = value > (kValueLimit - d) / 10 ? kValueLimit : value * 10 + d;
}

// What one parameter of an escape sequence does; the sequence then goes on
// (lower-case parameter) or ends (upper case), after any data it announced.
template <class Events>
void apply_parameter(PlotScanner &s, unsigned char parameter, Events &events)
{
    const bool was_pcl = s.in_pcl;
    const unsigned char upper = parameter & 0xDF;
    const bool continues = parameter >= '`';
    const std::uint64_t count = s.value_negative ? 0 : s.value;
    const unsigned char kind = s.escape_kind;
    const unsigned char group = s.escape_group;
    const bool transparent = kind == '&' && group == 'p' && upper == 'X';
    // A raster row's planes before its last come with ESC *b # V.
    const bool plane = kind == '*' && group == 'b' && upper == 'V';
    const bool carries_data = upper == 'W' || transparent || plane;

    const bool uel = kind == '%' && group == 0 && upper == 'X' && s.value_negative
                     && s.value == kUniversalExitLanguage;
    if (uel)
        eject_if_marked(s, events);
    if (kind == '%' && group == 0) {
        if (upper == 'A' || upper == 'X')
            s.in_pcl = true;
        else if (upper == 'B')
            s.in_pcl = false;
    } else if (s.in_pcl) {
        if ((kind == '*' && group == 'b' && (upper == 'W' || plane) && count > 0)
            || (transparent && count > 0) || (kind == '*' && group == 'c' && upper == 'P'))
            s.page_marked = true;
        else if (kind == '&' && group == 'l' && (upper == 'H' || upper == 'A'))
            eject_if_marked(s, events);
        // A page size or orientation resets the picture frame.
        if (kind == '&' && group == 'l' && (upper == 'A' || upper == 'O'))
            s.reset_due = s.job_mends;
    }
    if constexpr (Events::kListening) {
        const double magnitude =
            static_cast<double>(s.value)
            + static_cast<double>(s.value_decimals) / static_cast<double>(s.value_scale);
        events.escape(
            {kind, group, parameter, s.value_negative ? -magnitude : magnitude, s.value_signed});
        if (s.in_pcl != was_pcl)
            events.context(s.in_pcl);
    }

    if (carries_data && count > 0) {
        s.reset_due = false;
        s.data_left = count;
        s.data_continues = continues;
        s.state = ScanState::EscapeData;
    } else if (continues) {
        start_value(s);
    } else if (uel) {
        s.state = ScanState::PjlStart;
        s.pjl_matched = 0;
    } else {
        end_escape(s);
    }
}

// The language a PJL line enters: 'H' HP-GL/2, 'P' PCL, 0 none.
char pjl_language(const PlotScanner &s)
{
    const std::string_view line(s.pjl_line, s.pjl_length);
    constexpr std::string_view kEnter = "ENTERLANGUAGE=";
    if (line.rfind(kEnter, 0) != 0)
        return 0;
    const std::string_view language = line.substr(kEnter.size());
    if (language == "HPGL2" || language == "HPGL/2")
        return 'H';
    return language == "PCL" ? 'P' : 0;
}

// A byte of PJL; returns whether it was taken, else it is read again in
// the context the PJL lines left.
template <class Events>
bool read_pjl(PlotScanner &s, unsigned char c, Events &events)
{
    static constexpr char kPjl[] = "@PJL";
    if (s.state == ScanState::PjlStart) {
        if (s.pjl_matched == 0 && (c == ' ' || c == '\t' || c == '\r' || c == '\n'))
            return true;
        if (s.pjl_matched < 4 && c == static_cast<unsigned char>(kPjl[s.pjl_matched])) {
            if (++s.pjl_matched == 4) {
                s.state = ScanState::PjlLine;
                s.pjl_length = 0;
            }
            return true;
        }
        s.state = ScanState::Pcl; // what no PJL line starts is the job's data
        return false;
    }
    if (c == kEsc) {
        s.state = ScanState::Pcl;
        return false;
    }
    if (c != '\n') {
        if (c > ' ' && s.pjl_length < sizeof s.pjl_line)
            s.pjl_line[s.pjl_length++] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        return true;
    }
    const char language = pjl_language(s);
    s.pjl_matched = 0;
    s.state = ScanState::PjlStart;
    if (language == 'H') {
        s.in_pcl = false;
        s.state = ScanState::Between;
        events.context(false);
    } else if (language == 'P') {
        s.state = ScanState::Pcl;
    }
    return true;
}

template <class Events>
void reset_printer(PlotScanner &s, Events &events)
{
    eject_if_marked(s, events);
    const bool was_pcl = s.in_pcl;
    s.in_pcl = true;
    s.terminator = kEtx;
    s.symbol_set = false;
    events.escape({0, 0, 'E', 0});
    if (!was_pcl)
        events.context(true);
}

void end_size_number(PlotScanner &s)
{
    // Counted up to three: two make a size, more make none.
    if (s.size_in_number && s.size_has_digit && s.size_count < 3) {
        if (s.size_count < 2)
            s.size_numbers[s.size_count] = s.size_negative ? 0 : s.size_value;
        ++s.size_count;
    }
    s.size_in_number = false;
}

void start_size_number(PlotScanner &s)
{
    s.size_in_number = true;
    s.size_has_digit = false;
    s.size_negative = false;
    s.size_fraction = false;
    s.size_value = 0;
}

void read_size_byte(PlotScanner &s, unsigned char c)
{
    if (is_digit(c)) {
        if (!s.size_in_number)
            start_size_number(s);
        s.size_has_digit = true;
        if (!s.size_fraction)
            add_digit(s.size_value, c);
    } else if (c == '+' || c == '-') {
        end_size_number(s);
        start_size_number(s);
        s.size_negative = c == '-';
    } else if (c == '.') {
        if (s.size_in_number && !s.size_fraction) {
            s.size_fraction = true;
        } else {
            end_size_number(s);
            start_size_number(s);
            s.size_fraction = true;
        }
    } else {
        end_size_number(s);
    }
}

void end_plot_size(PlotScanner &s)
{
    end_size_number(s);
    // A length alone stands for the width too.
    const std::uint64_t width = s.size_count == 1 ? s.size_numbers[0] : s.size_numbers[1];
    if (!s.drawn && !s.plot_size_found && (s.size_count == 1 || s.size_count == 2)
        && s.size_numbers[0] > 0 && width > 0) {
        s.plot_size_found = true;
        s.plot_length = s.size_numbers[0];
        s.plot_width = width;
    }
}

// A number of a coordinate pair ended; two of them put the symbol down.
void end_pair_number(PlotScanner &s)
{
    if (s.pair_in_number && s.pair_has_digit && ++s.pair_numbers == 2) {
        mark_drawing(s);
        s.counting_pair = false;
    }
    s.pair_in_number = false;
}

void start_pair_number(PlotScanner &s, bool fraction)
{
    end_pair_number(s);
    s.pair_in_number = true;
    s.pair_has_digit = false;
    s.pair_fraction = fraction;
}

// Numbers as the renderer reads them: a sign or a point that cannot
// continue a number starts the next one.
void count_pair_numbers(PlotScanner &s, const unsigned char *p, std::size_t size)
{
    for (std::size_t i = 0; i < size && s.counting_pair; ++i) {
        const unsigned char c = p[i];
        if (is_digit(c)) {
            if (!s.pair_in_number)
                start_pair_number(s, false);
            s.pair_has_digit = true;
        } else if (c == '+' || c == '-') {
            start_pair_number(s, false);
        } else if (c == '.') {
            if (s.pair_in_number && !s.pair_fraction)
                s.pair_fraction = true;
            else
                start_pair_number(s, true);
        } else {
            end_pair_number(s);
        }
    }
}

void begin_instruction(PlotScanner &s, unsigned char second)
{
    const InstructionInfo &info = instruction_info(static_cast<char>(s.first_letter & 0xDF),
                                                   static_cast<char>(second & 0xDF));
    if (info.restores_terminator)
        s.terminator = kEtx;
    if (info.sets_defaults)
        s.symbol_set = false;
    s.counting_pair = s.symbol_set && info.parameters == ParameterKind::Pairs && !s.page_marked;
    s.pair_numbers = 0;
    s.pair_in_number = false;
    s.hold_due = s.hold_due || info.initialises;
    if (info.ends_page)
        s.break_due = s.job_mends;
    switch (info.parameters) {
    case ParameterKind::PlotSize:
        s.size_count = 0;
        s.size_in_number = false;
        s.state = ScanState::PlotSize;
        return;
    case ParameterKind::Label:
        s.state = ScanState::Label;
        return;
    case ParameterKind::Terminator:
        s.state = ScanState::Terminator;
        return;
    case ParameterKind::Symbol:
        s.state = ScanState::Symbol;
        return;
    case ParameterKind::Comment:
        s.state = ScanState::CommentStart;
        return;
    case ParameterKind::Encoded:
        s.state = ScanState::Encoded;
        break;
    default:
        s.state = ScanState::Parameters;
        break;
    }
    if (info.draws)
        mark_drawing(s);
}

// Whether two letters, in either case, name an instruction that reads on
// differently from plain parameters, takes the hold text, or may give the
// plot size.
bool special_name(unsigned char first, unsigned char second)
{
    const auto letter = [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    };
    if (!letter(first) || !letter(second))
        return false;
    return reads_specially(
        instruction_info(static_cast<char>(first & 0xDF), static_cast<char>(second & 0xDF)));
}

// The names special_name takes, in lower case, for the vector search.
struct NamePair {
    unsigned char first;
    unsigned char second;
};

constexpr std::size_t count_special_names()
{
    std::size_t count = 0;
    for (const instruction_table::Entry &entry : instruction_table::kEntries)
        count += reads_specially(entry.info) ? 1 : 0;
    return count;
}

constexpr std::array<NamePair, count_special_names()> make_special_names()
{
    std::array<NamePair, count_special_names()> names{};
    std::size_t n = 0;
    for (const instruction_table::Entry &entry : instruction_table::kEntries)
        if (reads_specially(entry.info))
            names[n++] = {static_cast<unsigned char>(entry.first | 0x20),
                          static_cast<unsigned char>(entry.second | 0x20)};
    return names;
}

constexpr std::array<NamePair, count_special_names()> kSpecialNames = make_special_names();

bool may_matter(const unsigned char *p)
{
    return p[0] == kEsc || p[0] == '"' || special_name(p[0], p[1]);
}

// 32 bytes at a time, in the vector registers the machine has.
constexpr std::size_t kBlock = 32;
typedef unsigned char Block __attribute__((vector_size(kBlock)));
typedef long long BlockMask __attribute__((vector_size(kBlock)));

// The offset from `i` on of the first block of 32 bytes that holds a byte
// that may matter, or of the last whole block (each block reads the byte
// after it too).
__attribute__((target_clones("avx2", "default"))) std::size_t
skip_blocks(const unsigned char *p, std::size_t i, std::size_t size)
{
    for (; i + kBlock + 1 <= size; i += kBlock) {
        Block raw;
        Block next;
        std::memcpy(&raw, p + i, kBlock);
        std::memcpy(&next, p + i + 1, kBlock);
        const Block first = raw | 0x20;
        const Block second = next | 0x20;
        auto names = (first == kSpecialNames[0].first) & (second == kSpecialNames[0].second);
        for (std::size_t n = 1; n < kSpecialNames.size(); ++n)
            names |= (first == kSpecialNames[n].first) & (second == kSpecialNames[n].second);
        const auto found = names | (raw == kEsc) | (raw == '"');
        BlockMask lanes;
        std::memcpy(&lanes, &found, kBlock);
        if ((lanes[0] | lanes[1] | lanes[2] | lanes[3]) != 0)
            break;
    }
    return i;
}

// Where the page is marked and a drawing was seen, drawing instructions
// change nothing any more, and a run of plain instructions can be passed
// over whole: only an ESC, a '"' and a special name can matter. The run ends
// before the first byte that may be one of these; the reading resumes at the
// last place before it where it is between instructions: after a ';', or at
// the first letter of an instruction's name. Returns `i` when nothing can be
// passed over.
std::size_t pass_plain_run(PlotScanner &s, const unsigned char *p, std::size_t i, std::size_t size)
{
    std::size_t end = skip_blocks(p, i, size);
    while (end + 1 < size && !may_matter(p + end))
        ++end;
    std::size_t k = end;
    while (k > i && p[k - 1] != ';' && !(kClasses[p[k - 1]] & kLetter))
        --k;
    while (k > i && (kClasses[p[k - 1]] & kLetter))
        --k;
    if (k > i)
        s.state = ScanState::Between;
    return k;
}

// The reading itself; `events` hears what it reads.
template <class Events>
std::size_t scan_bytes(PlotScanner &s, const unsigned char *p, std::size_t size, Events &events)
{
    std::size_t i = 0;
    while (i < size) {
        if constexpr (!Events::kListening) {
            if ((s.state == ScanState::Between || s.state == ScanState::Parameters) && !s.hold_due
                && !s.break_due && s.drawn && s.page_marked)
                i = pass_plain_run(s, p, i, size);
        }
        const unsigned char c = p[i];
        switch (s.state) {
        case ScanState::Between:
            if (!(kClasses[c] & kEndsGap)) {
                ++i;
                while (i < size && !(kClasses[p[i]] & kEndsGap))
                    ++i;
                continue;
            }
            if (c == kEsc) {
                s.state = ScanState::Escape;
            } else {
                if (s.break_due) {
                    s.break_due = false;
                    if (s.page_marked) {
                        eject_if_marked(s, events);
                        s.place = PlaceKind::PageBreak;
                        if constexpr (!Events::kListening)
                            return i;
                    }
                }
                s.first_letter = c;
                s.state = ScanState::Mnemonic;
            }
            ++i;
            continue;

        case ScanState::Mnemonic:
            if (kClasses[c] & kLetter) {
                begin_instruction(s, c);
                events.instruction(static_cast<char>(s.first_letter & 0xDF),
                                   static_cast<char>(c & 0xDF));
            } else
                s.state = c == kEsc ? ScanState::Escape : ScanState::Between;
            ++i;
            continue;

        case ScanState::Parameters:
        case ScanState::Quoted:
        case ScanState::PlotSize: {
            if (s.state == ScanState::Parameters) {
                const std::size_t start = i;
                while (i < size && !(kClasses[p[i]] & kEndsParameters))
                    ++i;
                if (s.counting_pair)
                    count_pair_numbers(s, p + start, i - start);
                if (i > start)
                    events.parameters(p + start, i - start);
                if (i == size)
                    return kNoHold;
            }
            const unsigned char b = p[i];
            if (s.state == ScanState::Quoted) {
                if (b == '"') {
                    s.state = ScanState::Parameters;
                    ++i;
                    continue;
                }
                if (b != kEsc) {
                    ++i;
                    continue;
                }
            } else if (s.state == ScanState::Parameters && b == '"') {
                s.state = ScanState::Quoted;
                ++i;
                continue;
            } else if (s.state == ScanState::PlotSize
                       && !(kClasses[b] & kEndsParameters & ~kQuote)) {
                read_size_byte(s, b);
                events.parameters(p + i, 1);
                ++i;
                continue;
            }
            // A ';', a letter or an ESC ends the instruction.
            if (s.state == ScanState::PlotSize)
                end_plot_size(s);
            if (s.counting_pair)
                end_pair_number(s);
            s.state = ScanState::Between;
            events.instruction_end();
            if (b == ';')
                ++i;
            if (s.hold_due) {
                s.hold_due = false;
                s.place = PlaceKind::Hold;
                if constexpr (!Events::kListening)
                    return i;
            }
            continue;
        }

        case ScanState::Label:
            if (c == kEsc) {
                s.state = ScanState::Escape;
                events.instruction_end();
            } else if (c == s.terminator) {
                s.state = ScanState::Between;
                events.label_terminated();
                events.instruction_end();
            } else {
                mark_drawing(s);
                const std::size_t start = i;
                ++i;
                const unsigned char end = s.terminator;
                while (i < size && p[i] != end && p[i] != kEsc)
                    ++i;
                events.text(p + start, i - start);
                continue;
            }
            ++i;
            continue;

        case ScanState::Terminator:
            if (c == kEsc) {
                s.state = ScanState::Escape;
                events.instruction_end();
            } else if (c == ';') {
                s.terminator = kEtx;
                s.state = ScanState::Between;
                events.instruction_end();
            } else {
                s.terminator = c;
                s.state = ScanState::Parameters;
                events.text(p + i, 1);
            }
            ++i;
            continue;

        case ScanState::Symbol:
            s.symbol_set = c != kEsc && c != ';';
            if (!s.symbol_set) {
                s.state = c == kEsc ? ScanState::Escape : ScanState::Between;
                events.instruction_end();
            } else {
                s.state = ScanState::Parameters;
                events.text(p + i, 1);
            }
            ++i;
            continue;

        case ScanState::CommentStart:
            if (kClasses[c] & kSeparator) {
                ++i;
                continue;
            }
            if (c == '"') {
                s.state = ScanState::Quoted;
                ++i;
                continue;
            }
            s.state = ScanState::CommentText;
            [[fallthrough]];
        case ScanState::Encoded:
        case ScanState::CommentText: {
            const std::size_t start = i;
            while (i < size && p[i] != ';' && p[i] != kEsc)
                ++i;
            if (s.state == ScanState::Encoded && i > start)
                events.text(p + start, i - start);
            if (i == size)
                return kNoHold;
            s.state = p[i] == kEsc ? ScanState::Escape : ScanState::Between;
            events.instruction_end();
            ++i;
            continue;
        }

        case ScanState::Pcl:
            if constexpr (Events::kListening) {
                // The text goes out in runs up to an ESC or a form feed.
                const std::size_t start = i;
                while (i < size && p[i] != kEsc && p[i] != kFormFeed) {
                    if (p[i] > ' ')
                        s.page_marked = true;
                    ++i;
                }
                if (i > start)
                    events.pcl_text(p + start, i - start);
                if (i == size)
                    return kNoHold;
            }
            if (s.page_marked) {
                // Only an ESC or a form feed can matter now; both searches
                // are memchr's, which reads many bytes at a time.
                const void *escape = std::memchr(p + i, kEsc, size - i);
                const std::size_t end =
                    escape != nullptr
                        ? static_cast<std::size_t>(static_cast<const unsigned char *>(escape) - p)
                        : size;
                const void *feed = std::memchr(p + i, kFormFeed, end - i);
                i = feed != nullptr
                        ? static_cast<std::size_t>(static_cast<const unsigned char *>(feed) - p)
                        : end;
                if (i == size)
                    return kNoHold;
            }
            if (p[i] == kEsc) {
                s.state = ScanState::Escape;
            } else if (p[i] == kFormFeed) {
                ++s.pages;
                s.page_marked = false;
                events.form_feed();
                events.page_ejected();
            } else if (p[i] > ' ') {
                s.page_marked = true;
            }
            ++i;
            continue;

        case ScanState::Escape:
            ++i;
            if (c == kEsc)
                continue;
            if (c == '.') {
                s.state = ScanState::DeviceControl;
            } else if (c >= '!' && c <= '/') {
                s.escape_kind = c;
                s.escape_group = 0;
                s.state = ScanState::EscapeGroup;
            } else if (c >= '0' && c <= '~') {
                if (c == 'E')
                    reset_printer(s, events);
                else
                    events.escape({0, 0, c, 0});
                end_escape(s);
                if (c == 'E' && s.job_mends) {
                    s.place = PlaceKind::Reset;
                    if constexpr (!Events::kListening)
                        return i;
                }
            } else {
                end_escape(s);
                --i; // read again in the context
            }
            continue;

        case ScanState::EscapeGroup:
            start_value(s);
            if (c >= '`' && c <= '~') {
                s.escape_group = c;
                ++i;
            }
            continue;

        case ScanState::EscapeValue:
            if (is_digit(c)) {
                if (!s.value_fraction) {
                    add_digit(s.value, c);
                } else if (s.value_scale < kFractionLimit) {
                    s.value_decimals = s.value_decimals * 10 + (c - '0');
                    s.value_scale *= 10;
                }
            } else if (c == '-') {
                s.value_negative = true;
                s.value_signed = true;
            } else if (c == '.') {
                s.value_fraction = true;
            } else if ((c >= '@' && c <= '^') || (c >= '`' && c <= '~')) {
                apply_parameter(s, c, events);
                if (s.reset_due && s.state != ScanState::EscapeValue) {
                    // The sequence ended with its last parameter.
                    s.reset_due = false;
                    s.place = PlaceKind::Reset;
                    if constexpr (!Events::kListening)
                        return i + 1;
                }
            } else if (c == '+') {
                s.value_signed = true;
            } else {
                s.reset_due = false;
                end_escape(s);
                continue; // read again: ESC starts a new sequence, anything else is context
            }
            ++i;
            continue;

        case ScanState::EscapeData: {
            const std::size_t left = size - i;
            if (s.data_left > left) {
                s.data_left -= left;
                events.escape_data(p + i, left);
                return kNoHold;
            }
            events.escape_data(p + i, static_cast<std::size_t>(s.data_left));
            i += static_cast<std::size_t>(s.data_left);
            s.data_left = 0;
            if (s.data_continues)
                start_value(s);
            else
                end_escape(s);
            continue;
        }

        case ScanState::PjlStart:
        case ScanState::PjlLine:
            if (read_pjl(s, c, events))
                ++i;
            continue;

        case ScanState::DeviceControl:
            s.state = c == kEsc ? ScanState::Escape : ScanState::DeviceParams;
            ++i;
            continue;

        case ScanState::DeviceParams:
            if (is_digit(c) || c == ';' || c == '+' || c == '-' || c == '.' || c == ' ') {
                ++i;
            } else if (c == ':') {
                end_escape(s);
                ++i;
            } else {
                end_escape(s);
            }
            continue;
        }
    }
    return kNoHold;
}

} // namespace

std::size_t scan_plot(PlotScanner &s, const char *bytes, std::size_t size)
{
    NoReports none;
    return scan_bytes(s, reinterpret_cast<const unsigned char *>(bytes), size, none);
}

void scan_plot_events(PlotScanner &s, const char *bytes, std::size_t size, ScanEvents &events)
{
    ReportsToEvents reports{events};
    scan_bytes(s, reinterpret_cast<const unsigned char *>(bytes), size, reports);
}

void finish_plot_events(PlotScanner &s, ScanEvents &events)
{
    switch (s.state) {
    case ScanState::Parameters:
    case ScanState::Quoted:
    case ScanState::PlotSize:
    case ScanState::Label:
    case ScanState::Terminator:
    case ScanState::Symbol:
    case ScanState::Encoded:
    case ScanState::CommentStart:
    case ScanState::CommentText:
        finish_plot(s);
        s.state = ScanState::Between;
        events.instruction_end();
        return;
    default:
        finish_plot(s);
        return;
    }
}

bool finish_plot(PlotScanner &s)
{
    if (s.state == ScanState::PlotSize) {
        end_plot_size(s);
        s.state = ScanState::Between;
    }
    if (s.counting_pair)
        end_pair_number(s);
    const bool due = s.hold_due;
    s.hold_due = false;
    s.break_due = false; // nothing follows the PG
    s.place = PlaceKind::Hold;
    return due;
}

void eject_last_page(PlotScanner &s)
{
    NoReports none;
    eject_if_marked(s, none);
}

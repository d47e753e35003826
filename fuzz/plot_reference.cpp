// SPDX-License-Identifier: MIT
#include "plot_reference.h"

#include "instructions.h"

#include <string>

namespace {

constexpr unsigned char kEsc = 0x1b;
constexpr unsigned char kEtx = 0x03;
constexpr unsigned char kFormFeed = 0x0c;

bool is_letter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool is_digit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool is_separator(unsigned char c)
{
    return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == ',';
}

bool in_range(unsigned char c, unsigned char low, unsigned char high)
{
    return c >= low && c <= high;
}

unsigned char upper(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Numbers saturate at 2^48.
void append_digit(std::uint64_t &value, unsigned char digit)
{
    const std::uint64_t most = std::uint64_t{1} << 48;
    const unsigned d = digit - '0';
    value = value > (most - d) / 10 ? most : value * 10 + d;
}

// One number of PS: an optional sign, digits and one decimal point.
struct SizeNumber {
    bool open = false;
    bool has_digit = false;
    bool has_point = false;
    bool negative = false;
    std::uint64_t integer = 0;
};

// An escape sequence's value: the integer of its digits before any '.',
// negative when it holds a '-'.
struct EscapeValue {
    bool negative = false;
    bool past_point = false;
    std::uint64_t integer = 0;

    void add(unsigned char c)
    {
        if (c == '-')
            negative = true;
        else if (c == '.')
            past_point = true;
        else if (is_digit(c) && !past_point)
            append_digit(integer, c);
    }
};

class PlotReader {
public:
    PlotReader(const unsigned char *bytes, std::size_t size, bool job_mends)
        : bytes_(bytes), size_(size), job_mends_(job_mends)
    {
    }

    PlotReading read()
    {
        while (!at_end()) {
            if (next() == kEsc)
                read_escape();
            else if (in_pcl_)
                read_pcl_byte();
            else
                read_between_instructions();
        }
        reading_.ends_in_pcl = in_pcl_;
        reading_.pages_before_last_reset = reading_.pages;
        eject_if_marked();
        return reading_;
    }

private:
    bool at_end() const { return pos_ >= size_; }
    unsigned char next() const { return bytes_[pos_]; }
    unsigned char take() { return bytes_[pos_++]; }
    // Where an instruction's reading stops on its own: at an ESC, or at the
    // end of the stream.
    bool stops_here() const { return at_end() || next() == kEsc; }

    void eject()
    {
        ++reading_.pages;
        page_marked_ = false;
    }

    void eject_if_marked()
    {
        if (page_marked_)
            eject();
    }

    void draw()
    {
        reading_.drawn = true;
        page_marked_ = true;
    }

    void read_pcl_byte()
    {
        const unsigned char c = take();
        if (c == kFormFeed)
            eject();
        else if (c > ' ')
            page_marked_ = true;
    }

    void read_between_instructions()
    {
        // The first letter after a PG: the page ends here if something is
        // on it.
        if (break_due_ && is_letter(next())) {
            break_due_ = false;
            if (page_marked_) {
                reading_.breaks.push_back(pos_);
                eject();
            }
        }
        const unsigned char first = take();
        if (!is_letter(first) || at_end() || !is_letter(next()))
            return;
        const unsigned char second = take();
        read_instruction(upper(first), upper(second));
    }

    // Which instructions draw is the instruction table's to say; the model
    // checks how the scanner reads the stream, not the table.
    static bool is_drawing(char a, char b) { return instruction_info(a, b).draws; }

    void read_instruction(unsigned char a, unsigned char b)
    {
        auto is = [a, b](const char *name) { return a == name[0] && b == name[1]; };
        if (is("IN") || is("BP") || is("DF"))
            terminator_ = kEtx;
        if (is("IN") || is("DF"))
            symbol_ = false;
        if (is_drawing(static_cast<char>(a), static_cast<char>(b)))
            draw();
        const bool puts_symbol = symbol_ && (is("PA") || is("PR") || is("PD") || is("PU"));

        if (is("LB"))
            read_label();
        else if (is("DT"))
            read_terminator();
        else if (is("SM"))
            read_symbol();
        else if (is("PE"))
            read_up_to_semicolon();
        else if (is("CO"))
            read_comment();
        else if (is("PS"))
            read_plot_size();
        else if (puts_symbol)
            read_pair_numbers();
        else
            read_parameters();

        // Whichever way the parameters ended, the reading stopped where the
        // hold text goes: after the ';', at the letter or ESC, or at the end.
        if (is("IN") || is("BP"))
            reading_.holds.push_back(pos_);
        if (is("PG") && job_mends_)
            break_due_ = true;
    }

    void read_parameters()
    {
        while (!stops_here() && !is_letter(next())) {
            const unsigned char c = take();
            if (c == ';')
                return;
            if (c == '"')
                read_rest_of_quoted();
        }
    }

    // A coordinate pair puts SM's symbol down. Numbers as the renderer
    // reads them: a sign, or a point that cannot continue the number,
    // starts the next; quoted strings are not there at all.
    void read_pair_numbers()
    {
        int numbers = 0;
        bool open = false;
        bool has_digit = false;
        bool point = false;
        auto close = [&] {
            if (open && has_digit)
                ++numbers;
            open = has_digit = point = false;
        };
        while (!stops_here() && !is_letter(next())) {
            const unsigned char c = take();
            if (c == ';')
                break;
            if (c == '"') {
                read_rest_of_quoted();
            } else if (c >= '0' && c <= '9') {
                open = true;
                has_digit = true;
            } else if (c == '+' || c == '-' || (c == '.' && (!open || point))) {
                close();
                open = true;
                point = c == '.';
            } else if (c == '.') {
                point = true;
            } else {
                close();
            }
        }
        close();
        if (numbers >= 2)
            draw();
    }

    void read_rest_of_quoted()
    {
        while (!stops_here())
            if (take() == '"')
                return;
    }

    void read_label()
    {
        bool has_text = false;
        while (!stops_here()) {
            if (take() == terminator_)
                break;
            has_text = true;
        }
        if (has_text)
            draw();
    }

    void read_terminator()
    {
        if (stops_here())
            return;
        const unsigned char c = take();
        if (c == ';') {
            terminator_ = kEtx;
            return;
        }
        terminator_ = c;
        read_parameters();
    }

    void read_symbol()
    {
        symbol_ = false;
        if (stops_here())
            return;
        symbol_ = take() != ';';
        if (symbol_)
            read_parameters();
    }

    void read_up_to_semicolon()
    {
        while (!stops_here())
            if (take() == ';')
                return;
    }

    void read_comment()
    {
        while (!stops_here() && is_separator(next()))
            ++pos_;
        if (stops_here())
            return;
        if (next() == '"') {
            ++pos_;
            read_rest_of_quoted();
            read_parameters();
        } else {
            read_up_to_semicolon();
        }
    }

    void read_plot_size()
    {
        std::vector<SizeNumber> numbers;
        SizeNumber number;
        auto close = [&] {
            if (number.open && number.has_digit)
                numbers.push_back(number);
            number = SizeNumber{};
        };
        while (!stops_here() && !is_letter(next())) {
            const unsigned char c = take();
            if (c == ';')
                break;
            if (c == '+' || c == '-') {
                close();
                number.open = true;
                number.negative = c == '-';
            } else if (c == '.') {
                if (number.has_point)
                    close();
                number.open = true;
                number.has_point = true;
            } else if (is_digit(c)) {
                number.open = true;
                number.has_digit = true;
                if (!number.has_point)
                    append_digit(number.integer, c);
            } else {
                close();
            }
        }
        close();

        // The length and the width, or a length alone, which gives the
        // width too.
        auto above_zero = [](const SizeNumber &n) { return !n.negative && n.integer > 0; };
        if (!reading_.plot_size_found && !reading_.drawn
            && (numbers.size() == 1 || numbers.size() == 2) && above_zero(numbers.front())
            && above_zero(numbers.back())) {
            reading_.plot_size_found = true;
            reading_.plot_length = numbers.front().integer;
            reading_.plot_width = numbers.back().integer;
        }
    }

    // At an ESC. A byte that ends a sequence without belonging to it is left
    // for the context to read again.
    void read_escape()
    {
        ++pos_;
        if (at_end())
            return;
        const unsigned char c = next();
        if (c == kEsc)
            return;
        if (c == '.') {
            ++pos_;
            read_device_control();
        } else if (in_range(c, '!', '/')) {
            ++pos_;
            read_parameterized(c);
        } else if (in_range(c, '0', '~')) {
            ++pos_;
            if (c == 'E') {
                reset();
                if (job_mends_)
                    reading_.resets.push_back(pos_);
            }
        }
    }

    void reset()
    {
        eject_if_marked();
        in_pcl_ = true;
        terminator_ = kEtx;
        symbol_ = false;
    }

    void read_device_control()
    {
        if (stops_here())
            return;
        ++pos_;
        while (!at_end()) {
            const unsigned char c = next();
            if (c == ':') {
                ++pos_;
                return;
            }
            if (!is_digit(c) && c != ';' && c != '+' && c != '-' && c != '.' && c != ' ')
                return;
            ++pos_;
        }
    }

    void read_parameterized(unsigned char kind)
    {
        unsigned char group = 0;
        if (!at_end() && in_range(next(), '`', '~'))
            group = take();
        for (;;) {
            EscapeValue value;
            while (!at_end()
                   && (is_digit(next()) || next() == '+' || next() == '-' || next() == '.'))
                value.add(take());
            if (at_end())
                return;
            const unsigned char parameter = next();
            const bool ends = in_range(parameter, '@', '^');
            // '_' lies between the two ranges and is no parameter byte.
            if (!ends && !in_range(parameter, '`', '~')) {
                reset_due_ = false;
                return;
            }
            ++pos_;
            pjl_due_ = false;
            act_on(kind, group, parameter, value);
            if (ends && pjl_due_) {
                read_pjl();
                return;
            }
            if (ends) {
                // A page size or orientation resets the picture frame.
                if (reset_due_)
                    reading_.resets.push_back(pos_);
                reset_due_ = false;
                return;
            }
        }
    }

    // PJL lines: "@PJL" after blanks and line ends, up to a line feed; the
    // language one enters decides the context. Anything else, ESC too, is
    // read again in PCL context.
    void read_pjl()
    {
        static constexpr char kPjl[] = "@PJL";
        for (;;) {
            while (!at_end()
                   && (next() == ' ' || next() == '\t' || next() == '\r' || next() == '\n'))
                ++pos_;
            std::size_t matched = 0;
            while (matched < 4 && !at_end()
                   && next() == static_cast<unsigned char>(kPjl[matched])) {
                ++pos_;
                ++matched;
            }
            if (matched < 4)
                return;
            std::string line;
            while (!at_end() && next() != '\n' && next() != kEsc) {
                const unsigned char c = take();
                if (c > ' ' && line.size() < 24)
                    line += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
            }
            if (at_end() || next() == kEsc)
                return;
            ++pos_;
            if (line == "ENTERLANGUAGE=HPGL2" || line == "ENTERLANGUAGE=HPGL/2") {
                in_pcl_ = false;
                return;
            }
            if (line == "ENTERLANGUAGE=PCL")
                return;
        }
    }

    void act_on(unsigned char kind, unsigned char group, unsigned char parameter,
                const EscapeValue &value)
    {
        const unsigned char p = upper(parameter);
        // The universal exit language ends the page, and PJL lines follow.
        if (kind == '%' && group == 0 && p == 'X' && value.negative && value.integer == 12345) {
            eject_if_marked();
            pjl_due_ = true;
        }
        if (kind == '%' && group == 0) {
            if (p == 'A' || p == 'X')
                in_pcl_ = true;
            else if (p == 'B')
                in_pcl_ = false;
        }
        if (in_pcl_ && kind == '&' && group == 'l' && (p == 'H' || p == 'A'))
            eject_if_marked();
        if (in_pcl_ && kind == '*' && group == 'c' && p == 'P')
            page_marked_ = true;
        if (in_pcl_ && job_mends_ && kind == '&' && group == 'l' && (p == 'A' || p == 'O'))
            reset_due_ = true;

        const bool picture_data = kind == '*' && group == 'b' && p == 'W';
        const bool transparent_data = kind == '&' && group == 'p' && p == 'X';
        const bool plane_data = kind == '*' && group == 'b' && p == 'V';
        if (p != 'W' && !transparent_data && !plane_data)
            return;
        std::uint64_t count = value.negative ? 0 : value.integer;
        if (count > 0)
            reset_due_ = false;
        // Announcing the data puts something on the page.
        if (in_pcl_ && (picture_data || plane_data || transparent_data) && count > 0)
            page_marked_ = true;
        for (; count > 0 && !at_end(); --count)
            ++pos_;
    }

    const unsigned char *bytes_;
    std::size_t size_;
    bool job_mends_;
    std::size_t pos_ = 0;
    bool break_due_ = false;
    bool reset_due_ = false;
    bool pjl_due_ = false;
    bool in_pcl_ = false;
    unsigned char terminator_ = kEtx;
    bool symbol_ = false; // SM gave a symbol
    bool page_marked_ = false;
    PlotReading reading_;
};

} // namespace

PlotReading reference_read_plot(const unsigned char *bytes, std::size_t size, bool job_mends)
{
    return PlotReader(bytes, size, job_mends).read();
}

// SPDX-License-Identifier: MIT
#include "stream_kind.h"

#include <cctype>
#include <string>

namespace {

constexpr std::string_view kUel = "\x1b%-12345X";

std::string upper_without_blanks(std::string_view text)
{
    std::string out;
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\r')
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// What a PJL line enters: 1 a plot, 2 a PCL job, 0 neither.
int entered_language(std::string_view line)
{
    const std::string words = upper_without_blanks(line);
    constexpr std::string_view kEnter = "@PJLENTERLANGUAGE=";
    if (words.rfind(kEnter, 0) != 0)
        return 0;
    const std::string language = words.substr(kEnter.size());
    if (language == "HPGL2" || language == "HPGL/2")
        return 1;
    return language == "PCL" ? 2 : 0;
}

// The first bytes after any PJL lines, as a printer reads them.
bool pcl_escape_first(std::string_view head)
{
    if (head.size() < 2 || head[0] != '\x1b')
        return false;
    if (head[1] == '.')
        return false;
    if (head[1] == '%') {
        std::size_t i = 2;
        while (i < head.size()
               && (std::isdigit(static_cast<unsigned char>(head[i])) != 0 || head[i] == '-'
                   || head[i] == '+'))
            ++i;
        if (i < head.size() && (head[i] == 'B' || head[i] == 'b'))
            return false;
    }
    return true;
}

} // namespace

bool stream_is_pcl_job(std::string_view head)
{
    head = head.substr(0, kStreamHead);
    while (head.rfind(kUel, 0) == 0) {
        head.remove_prefix(kUel.size());
        for (;;) {
            while (!head.empty() && (head[0] == '\r' || head[0] == '\n'))
                head.remove_prefix(1);
            if (head.rfind("@PJL", 0) != 0)
                break;
            const std::size_t end = head.find('\n');
            const std::string_view line = head.substr(0, end);
            if (const int language = entered_language(line))
                return language == 2;
            head.remove_prefix(end == std::string_view::npos ? head.size() : end + 1);
        }
    }
    return pcl_escape_first(head);
}

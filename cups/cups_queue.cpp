// Reading what a PPD says about the printer's languages.
#include "cups_queue.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool same_letters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i]))
            != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The value of the main keyword `keyword` (given with its colon), without
// its quotes. A quoted value may run over several lines, and those lines
// are never read as keywords: PostScript code in a value may well begin a
// line with "*".
std::optional<std::string_view> ppd_value(std::string_view ppd, std::string_view keyword)
{
    std::size_t line = 0;
    while (line < ppd.size()) {
        std::size_t next = ppd.find('\n', line);
        if (next == std::string_view::npos)
            next = ppd.size();
        const std::string_view text = ppd.substr(line, next - line);
        const std::size_t colon = text.find(':');
        if (text.starts_with('*') && !text.starts_with("*%") && colon != std::string_view::npos) {
            const bool wanted = text.starts_with(keyword);
            std::size_t value = ppd.find_first_not_of(" \t", line + colon + 1);
            if (value != std::string_view::npos && value < next && ppd[value] == '"') {
                ++value;
                std::size_t close = ppd.find('"', value);
                if (close == std::string_view::npos)
                    close = ppd.size();
                if (wanted)
                    return ppd.substr(value, close - value);
                next = close < ppd.size() ? ppd.find('\n', close) : ppd.size();
                if (next == std::string_view::npos)
                    next = ppd.size();
            } else if (wanted) {
                return trim(text.substr(colon + 1));
            }
        }
        line = next + 1;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> ppd_command_sets(std::string_view ppd)
{
    const std::optional<std::string_view> id = ppd_value(ppd, "*1284DeviceID:");
    if (!id)
        return std::nullopt;
    std::string_view rest = *id;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find(';'), rest.size());
        const std::string_view field = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        const std::size_t colon = field.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view key = trim(field.substr(0, colon));
        if (same_letters(key, "CMD") || same_letters(key, "COMMAND SET"))
            return std::string(trim(field.substr(colon + 1)));
    }
    return std::nullopt;
}

bool lists_pcl5(std::string_view command_sets)
{
    static constexpr std::string_view kPcl5Names[] = {"PCL", "PCL5", "PCL5C", "PCL5E"};
    while (!command_sets.empty()) {
        const std::size_t end = std::min(command_sets.find(','), command_sets.size());
        std::string name;
        for (const char c : command_sets.substr(0, end))
            if (kBlanks.find(c) == std::string_view::npos)
                name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        command_sets.remove_prefix(std::min(end + 1, command_sets.size()));
        for (const std::string_view pcl5 : kPcl5Names)
            if (name == pcl5)
                return true;
    }
    return false;
}

bool queue_takes_pcl5(const char *ppd_path, std::FILE *log)
{
    if (ppd_path == nullptr || ppd_path[0] == '\0') {
        std::fputs("DEBUG: No PPD: writing the PCL job\n", log);
        return true;
    }
    std::FILE *file = std::fopen(ppd_path, "r");
    if (file == nullptr) {
        if (errno == ENOENT) {
            std::fprintf(log, "DEBUG: No PPD at \"%s\": writing the PCL job\n", ppd_path);
            return true;
        }
        std::fprintf(log, "ERROR: Unable to open the printer's PPD \"%s\": %s\n", ppd_path,
                     std::strerror(errno));
        return false;
    }
    std::string ppd;
    char block[8192];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        ppd.append(block, got);
    const bool read_failed = std::ferror(file) != 0;
    std::fclose(file);
    if (read_failed) {
        std::fprintf(log, "ERROR: Unable to read the printer's PPD \"%s\"\n", ppd_path);
        return false;
    }

    const std::optional<std::string> sets = ppd_command_sets(ppd);
    if (!sets || sets->empty()) {
        std::fputs("ERROR: The printer's PPD does not say that it takes PCL (no CMD: in its "
                   "*1284DeviceID); HP-GL/2 plots print only on PCL 5 printers\n",
                   log);
        return false;
    }
    if (!lists_pcl5(*sets)) {
        std::fprintf(log,
                     "ERROR: The printer takes %s, not PCL 5; HP-GL/2 plots print only on PCL 5 "
                     "printers\n",
                     sets->c_str());
        return false;
    }
    std::fprintf(log, "DEBUG: The printer takes %s: writing the PCL job\n", sets->c_str());
    return true;
}

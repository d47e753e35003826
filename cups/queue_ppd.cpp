// SPDX-License-Identifier: MIT
// Reading the queue's PPD with libcups.
#include "queue_ppd.h"

#include "message_text.h"

#include <cups/raster.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The choice marked for `keyword`, or "" when the PPD has no such option.
std::string marked(ppd_file_t *ppd, const char *keyword)
{
    const ppd_choice_t *choice = ppdFindMarkedChoice(ppd, keyword);
    return choice != nullptr ? std::string(choice->choice) : std::string();
}

// The page size is zelvo's own command, written from the marked PageSize;
// PageRegion is the same size for a PostScript printer.
bool written_by_the_job(const char *keyword)
{
    return std::strcmp(keyword, "PageSize") == 0 || std::strcmp(keyword, "PageRegion") == 0;
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A choice's code as the printer gets it: libcups keeps the PPD's
// hexadecimal substrings ("<1B>&l1H") as they are written.
std::string decoded_code(std::string_view code)
{
    std::string bytes;
    bool in_hex = false;
    int high = -1;
    for (const char c : code) {
        if (!in_hex) {
            if (c == '<')
                in_hex = true;
            else
                bytes.push_back(c);
        } else if (c == '>') {
            in_hex = false;
            high = -1;
        } else if (const int digit = hex_digit(c); digit >= 0) {
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<char>(high * 16 + digit));
                high = -1;
            }
        }
    }
    return bytes;
}

// The code of every marked choice that is PCL (it starts with ESC), in the
// order the PPD gives, as a PCL printer's PPD carries its tray and duplex.
void append_pcl_choices(ppd_file_t *ppd, std::string &commands)
{
    for (const ppd_section_t section : {PPD_ORDER_ANY, PPD_ORDER_DOCUMENT, PPD_ORDER_PAGE}) {
        ppd_choice_t **choices = nullptr;
        const int count = ppdCollect2(ppd, section, 0.0f, &choices);
        for (int i = 0; i < count; ++i) {
            const ppd_choice_t *choice = choices[i];
            if (choice->code == nullptr || written_by_the_job(choice->option->keyword))
                continue;
            const std::string code = decoded_code(choice->code);
            if (code.starts_with('\033'))
                commands += code;
        }
        std::free(choices);
    }
}

// The tray and duplex of a PPD whose code is PostScript, as CUPS's PCL
// raster driver (rastertohp) writes them from the page header that the same
// code builds: a plot then takes the tray and sides of a text job.
void append_raster_header_commands(ppd_file_t *ppd, int count, cups_option_t *options,
                                   std::string &commands)
{
    cups_page_header2_t header{};
    if (cupsRasterInterpretPPD(&header, ppd, count, options, nullptr) != 0)
        return;
    char command[32];
    if (header.MediaPosition != 0) {
        std::snprintf(command, sizeof command, "\033&l%uH", header.MediaPosition);
        commands += command;
    }
    if (header.Duplex != 0) {
        std::snprintf(command, sizeof command, "\033&l%dS", header.Tumble != 0 ? 2 : 1);
        commands += command;
    }
}

} // namespace

// GCC says so with a macro, clang with a feature test.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZELVO_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(ZELVO_ADDRESS_SANITIZER)
// libcups 2.4 keeps a few strings of the PPD cache that cupsMarkOptions
// builds, and of a PPD that it fails to read: ppdClose does not free the
// first, nothing can free the second. Under the leak checker that would fail
// every filter that reads a PPD, cupsd's runs of it among them, whose
// environment no test can set.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:_ppdCacheCreateWithPPD\nleak:_ppdOpen\n";
}
#endif

ppd_file_t *open_queue_ppd(const char *path, std::FILE *log)
{
    if (path == nullptr || path[0] == '\0')
        return nullptr;
    const std::string name = printable(path);
    // Not blocking on a FIFO, which is refused below.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(log, "DEBUG: Ignoring the PPD \"%s\": %s\n", name.c_str(),
                     std::strerror(errno));
        return nullptr;
    }
    struct stat status {};
    const char *refusal = nullptr;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        refusal = "not a regular file";
    else if (status.st_size > kMaxPpdBytes)
        refusal = "larger than 16 MiB";
    else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        refusal = std::strerror(errno);
    ppd_file_t *ppd = nullptr;
    if (refusal == nullptr) {
        ppd = ppdOpenFd(fd);
        if (ppd == nullptr) {
            int line = 0;
            const ppd_status_t error = ppdLastError(&line);
            std::fprintf(log, "DEBUG: Ignoring the PPD \"%s\": %s on line %d\n", name.c_str(),
                         ppdErrorString(error), line);
        }
    } else {
        std::fprintf(log, "DEBUG: Ignoring the PPD \"%s\": %s\n", name.c_str(), refusal);
    }
    close(fd);
    return ppd;
}

QueueChoices queue_choices(ppd_file_t *ppd, int count, cups_option_t *options)
{
    ppdMarkDefaults(ppd);
    cupsMarkOptions(ppd, count, options);
    QueueChoices choices;
    choices.page_size = marked(ppd, "PageSize");
    choices.pen_width = marked(ppd, "ZelvoPenWidth");
    choices.hold = marked(ppd, "ZelvoHold");
    choices.fit = marked(ppd, "ZelvoFit");
    append_pcl_choices(ppd, choices.pcl_setup);
    append_raster_header_commands(ppd, count, options, choices.pcl_setup);
    return choices;
}

QueueChoices read_queue_choices(const char *path, int count, cups_option_t *options, std::FILE *log)
{
    ppd_file_t *ppd = open_queue_ppd(path, log);
    if (ppd == nullptr)
        return {};
    QueueChoices choices = queue_choices(ppd, count, options);
    ppdClose(ppd);
    return choices;
}

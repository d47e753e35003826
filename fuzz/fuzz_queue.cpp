// SPDX-License-Identifier: MIT
// fuzz_queue: a queue's PPD and a job's options through zelvo-cups's
// reading of them. The input, cut at its first NUL, is the PPD's text, then
// the options as CUPS passes them ("name=value ..."). Every message is one
// "DEBUG: " line with no control character in it, the PCL setup fits its
// buffer, and a pen width set is one the printer takes.
#include "cups_options.h"
#include "fuzz_support.h"
#include "pen_width.h"
#include "queue_ppd.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

// The PPD as a regular file that lives as long as the descriptor.
int ppd_file(const std::string &text)
{
    const int fd = memfd_create("ppd", 0);
    FUZZ_CHECK(fd >= 0);
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(fd, text.data() + written, text.size() - written);
        FUZZ_CHECK(n > 0);
        written += static_cast<std::size_t>(n);
    }
    return fd;
}

void check_lines(const std::string &log)
{
    std::size_t start = 0;
    while (start < log.size()) {
        const std::size_t end = log.find('\n', start);
        FUZZ_CHECK(end != std::string::npos);
        FUZZ_CHECK(log.compare(start, 7, "DEBUG: ") == 0);
        for (std::size_t i = start; i < end; ++i)
            FUZZ_CHECK(static_cast<unsigned char>(log[i]) >= 0x20 && log[i] != 0x7f);
        start = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > kMaxInput)
        return 0;
    const std::vector<std::string> texts = texts_of(data, size, 2);
    const int fd = ppd_file(texts[0]);
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    const std::string option_text = texts.size() > 1 ? texts[1] : std::string();

    cups_option_t *parsed = nullptr;
    const int count = cupsParseOptions(option_text.c_str(), 0, &parsed);
    std::vector<CupsOption> options;
    for (int i = 0; i < count; ++i)
        options.push_back({parsed[i].name, parsed[i].value});

    char *text = nullptr;
    std::size_t length = 0;
    std::FILE *log = open_memstream(&text, &length);
    const QueueChoices queue = read_queue_choices(path.c_str(), count, parsed, log);
    const JobSettings settings = cups_job_settings("1", count, options.data(), log, queue);
    std::fclose(log);
    check_lines(std::string(text, length));
    std::free(text);

    FUZZ_CHECK(std::strlen(settings.printer_setup.commands) < PrinterSetup::capacity);
    FUZZ_CHECK(!settings.pen_width || !pen_width_refused(*settings.pen_width));
    cupsFreeOptions(count, parsed);
    close(fd);
    return 0;
}

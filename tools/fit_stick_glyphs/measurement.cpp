// SPDX-License-Identifier: MIT
#include "measurement.h"

#include "cairo_sink.h"
#include "render.h"
#include "units.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

extern char **environ;

namespace {

// The rows' cap heights, millimetres, largest first, and SI's width for
// each, a share of the height near that of the printer's default size
// (0.19 by 0.27 cm).
constexpr double kCapHeights[] = {14, 12, 10, 8, 6, 4, 2};
constexpr double kWidthPerHeight = 0.7;
constexpr int kGlyphsPerRow = 5;
// The ink of a row reaches from 0.26 of its height below the baseline to
// 1.19 above (descenders, brackets); the rows keep that clear of one
// another and a gap more.
constexpr double kBelow = 0.4;
constexpr double kAbove = 1.3;
constexpr double kGap = 3; // millimetres
// Where the rows along the page start, from the top of the plot down, and
// the columns up it, from the left: millimetres in the plot's coordinates.
constexpr double kAlongLeft = 10;
constexpr double kAlongTop = 245;
constexpr double kUpLeft = 20;
constexpr double kUpBottom = 10;

constexpr char kEscape = '\x1b';
constexpr char kLabelEnd = '\x03';

long plotter_units(double millimetres)
{
    return std::lround(millimetres / kPlotterUnit);
}

std::string label(unsigned char c, double height, long x, long y)
{
    char size[64];
    std::snprintf(size, sizeof size, "SI%.3f,%.3f;", kWidthPerHeight * height / 10, height / 10);
    return size + ("PA" + std::to_string(x) + "," + std::to_string(y) + ";LB")
           + std::string(kGlyphsPerRow, static_cast<char>(c)) + kLabelEnd + ";";
}

class JobBytes : public PlotSource {
public:
    explicit JobBytes(std::string_view bytes) : bytes_(bytes) {}
    std::size_t read(char *buffer, std::size_t size) override
    {
        const std::size_t n = std::min(size, bytes_.size() - at_);
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

class OnePage : public PageFiles {
public:
    explicit OnePage(std::string path) : path_(std::move(path)) {}
    std::FILE *open_page(std::uint64_t) override { return std::fopen(path_.c_str(), "wb"); }
    bool close_page(std::FILE *file) override
    {
        const bool ok = std::fflush(file) == 0 && std::ferror(file) == 0;
        return std::fclose(file) == 0 && ok;
    }

private:
    std::string path_;
};

bool write_file(const std::string &path, const std::string &bytes, std::string &error)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        error = path + ": cannot write";
        return false;
    }
    return true;
}

bool ink_of_png(const std::string &path, InkMask &ink, std::string &error)
{
    const std::optional<GrayImage> image = read_png_gray(path, error);
    if (!image) {
        error = path + ": " + error;
        return false;
    }
    ink = ink_on_canvas(*image, image->width, image->height);
    return true;
}

} // namespace

std::string measurement_job(unsigned char c)
{
    std::string plot = "IN;SP1;DI1,0;";
    double y = kAlongTop;
    for (const double height : kCapHeights) {
        y -= kAbove * height;
        plot += label(c, height, plotter_units(kAlongLeft), plotter_units(y));
        y -= kBelow * height + kGap;
    }
    plot += "DI0,1;";
    double x = kUpLeft;
    for (const double height : kCapHeights) {
        x += kAbove * height;
        plot += label(c, height, plotter_units(x), plotter_units(kUpBottom));
        x += kBelow * height + kGap;
    }
    // Reset, HP-GL/2 at the PCL origin, and back to PCL to eject.
    return std::string{kEscape} + "E" + kEscape + "%0B" + plot + kEscape + "%0A" + kEscape + "E";
}

bool printer_ink(const std::string &interpreter, const std::string &job, const std::string &folder,
                 const std::string &name, InkMask &ink, std::string &error)
{
    const std::string job_path = folder + "/" + name + ".pcl";
    const std::string png_path = folder + "/" + name + "-printer.png";
    if (!write_file(job_path, job, error))
        return false;
    const std::string dpi = std::to_string(static_cast<int>(kFitDpi));
    const char *argv[] = {interpreter.c_str(), "-r",   dpi.c_str(), job_path.c_str(),
                          png_path.c_str(),    nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, interpreter.c_str(), nullptr, nullptr,
                                    const_cast<char *const *>(argv), environ);
    if (spawned != 0) {
        error = interpreter + ": " + std::strerror(spawned);
        return false;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) {
            error = interpreter + ": " + std::strerror(errno);
            return false;
        }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = interpreter + " rendered no page of " + job_path;
        return false;
    }
    return ink_of_png(png_path, ink, error);
}

bool zelvo_ink(const std::string &job, const StrokeFont &font, const std::string &png_path,
               const InkMask &printer, InkMask &ink, std::string &error)
{
    RenderOptions options;
    options.font = &font;
    options.outline_glyphs = true;
    options.raster_pixel = kMillimetresPerInch / kFitDpi;
    JobBytes measured(job);
    const PlotMeasure measure = measure_plot(measured, options.font);
    JobBytes drawn(job);
    OnePage page(png_path);
    GlyphFonts fonts;
    CairoSink sink(page, 1, kFitDpi, fonts);
    render_plot(drawn, measure, options, sink);
    if (!sink.finish()) {
        error = png_path + ": cannot write";
        return false;
    }
    if (!ink_of_png(png_path, ink, error))
        return false;
    if (ink.width != printer.width || ink.height != printer.height) {
        error = png_path + ": a page of another size than the interpreter's";
        return false;
    }
    return true;
}

double agreement(const InkMask &printer, const InkMask &zelvo)
{
    return compare_ink(printer, zelvo, kDilation).score;
}

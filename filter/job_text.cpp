// The job's bytes, written into buffers of fixed size.
#include "job_text.h"

#include "pen_width.h"

#include <cstdio>

namespace {

const char *rotation_line(std::int32_t rotation)
{
    switch (rotation) {
    case 90:
        return "RO90;\n";
    case 180:
        return "RO180;\n";
    case 270:
        return "RO270;\n";
    default:
        return "";
    }
}

const char *lj_line(const JobSettings &settings)
{
    return settings.wrapper_mode == ModeLj ? "RO90;\n" : "";
}

} // namespace

int total_rotation(const JobSettings &settings)
{
    const char *line = rotation_line(settings.rotation);
    return (settings.wrapper_mode == ModeLj ? 90 : 0) + (line[0] != '\0' ? settings.rotation : 0);
}

void hold_text(const JobSettings &settings, char (&text)[kHoldText])
{
    char width[kPenWidthText] = "";
    if (settings.pen_width)
        format_pen_width(*settings.pen_width, width);
    std::snprintf(text, sizeof text, "%s%s%s%s%s", settings.pen_width ? "PW" : "", width,
                  settings.pen_width ? ";\n" : "", lj_line(settings),
                  rotation_line(settings.rotation));
}

void header_text(const JobSettings &settings, const char *frame, char (&text)[kHeaderText])
{
    char copies[16] = "";
    if (settings.copies > 1)
        std::snprintf(copies, sizeof copies, "\033&l%dX", static_cast<int>(settings.copies));
    char paper[16] = "";
    if (settings.paper != nullptr)
        std::snprintf(paper, sizeof paper, "\033&l%dA", settings.paper->pcl_code);
    char width[kPenWidthText];
    format_pen_width(settings.pen_width.value_or(kDefaultPenWidth), width);
    std::snprintf(text, sizeof text, "\033E%s%s%s\033%%1B\033&l1O\nIN;SP1;PA;PW%s;\n%s%s", copies,
                  paper, frame, width, lj_line(settings), rotation_line(settings.rotation));
}

const char *trailer_text(bool in_pcl)
{
    return in_pcl ? "\033%0A\033E" : "SP;PG;\n\033%0A\033E";
}

// SPDX-License-Identifier: MIT
// Configuration and status: IN DF IP IR IW PG PS RO SC.
#include "hpgl_instructions.h"

#include <algorithm>

void initialise_graphics(Plotter &p)
{
    flush_stroke(p);
    initialise(p.state, {p.placement.plot_length, p.placement.plot_width}, p.options.pen_width,
               p.options.pcl_job);
    update_transforms(p);
    apply_clip(p);
}

namespace instruction {

void initialise(Plotter &p, const Parameters &)
{
    // The PCL interpreter's IN keeps the pen selected (only a reset of the
    // printer selects pen 1): a page that a plot starts with IN after SP0
    // draws in white until its first SP.
    const int pen = p.state.pen;
    initialise_graphics(p);
    if (p.options.pcl_job)
        p.state.pen = pen;
}

void default_values(Plotter &p, const Parameters &)
{
    set_defaults(p.state);
    update_transforms(p);
    apply_clip(p);
}

void input_p1_p2(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    const Point default_p2 = turned_plot_extent(p);
    if (n.count >= 2) {
        const Point offset{s.p2.x - s.p1.x, s.p2.y - s.p1.y};
        s.p1 = {n[0], n[1]};
        s.p2 = n.count >= 4 ? Point{n[2], n[3]} : Point{s.p1.x + offset.x, s.p1.y + offset.y};
    } else {
        s.p1 = {0, 0};
        s.p2 = default_p2;
    }
    s.p1_p2_given = n.count >= 2;
    update_transforms(p);
}

void input_relative(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    const Point extent = turned_plot_extent(p);
    if (n.count < 2) {
        s.p1 = {0, 0};
        s.p2 = extent;
    } else {
        const Point offset{s.p2.x - s.p1.x, s.p2.y - s.p1.y};
        s.p1 = {n[0] / 100 * extent.x, n[1] / 100 * extent.y};
        s.p2 = n.count >= 4 ? Point{n[2] / 100 * extent.x, n[3] / 100 * extent.y}
                            : Point{s.p1.x + offset.x, s.p1.y + offset.y};
    }
    s.p1_p2_given = n.count >= 2;
    update_transforms(p);
}

void input_window(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    if (n.count < 4) {
        s.window_set = false;
    } else {
        const Point a = to_plotter(p, {n[0], n[1]});
        const Point b = to_plotter(p, {n[2], n[3]});
        s.window_set = true;
        s.window_low = {std::min(a.x, b.x), std::min(a.y, b.y)};
        s.window_high = {std::max(a.x, b.x), std::max(a.y, b.y)};
        s.window_unscaled = s.scaling == Scaling::None;
    }
    apply_clip(p);
}

// A plain plot's PG ends its page; a PCL job's page ends where the printer
// ejects it.
void advance_page(Plotter &p, const Parameters &)
{
    if (!p.options.pcl_job)
        p.sink.end_page(false);
}

void plot_size(Plotter &p, const Parameters &)
{
    if (p.options.pcl_job)
        return;
    GraphicsState &s = p.state;
    s.p1 = {0, 0};
    s.p2 = {p.placement.plot_length, p.placement.plot_width};
    s.p1_p2_given = false;
    update_transforms(p);
}

void rotate(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    const int angle = n.count > 0 ? integer_parameter(n[0]) : 0;
    if (angle != 0 && angle != 90 && angle != 180 && angle != 270)
        return;
    // The pen stays where it is on the paper, in the new coordinates.
    const Point on_sheet = p.plotter_to_sheet.apply(s.position);
    s.rotation = angle;
    update_transforms(p);
    s.position = p.plotter_to_sheet.inverse().apply(on_sheet);
    apply_clip(p);
}

void scale(Plotter &p, const Parameters &n)
{
    GraphicsState &s = p.state;
    if (n.count < 4) {
        s.scaling = Scaling::None;
    } else {
        std::copy(n.numbers, n.numbers + 4, s.scale);
        const int type = n.count >= 5 ? integer_parameter(n[4]) : 0;
        s.scaling = type == 1   ? Scaling::Isotropic
                    : type == 2 ? Scaling::PointFactor
                                : Scaling::Anisotropic;
        s.iso_left = n.count >= 7 ? clamp_parameter(n[5], 0, 100) : 50;
        s.iso_bottom = n.count >= 7 ? clamp_parameter(n[6], 0, 100) : 50;
    }
    update_transforms(p);
    // A window IW gave in plotter units is read again in the new user
    // units, and keeps that place from then on, as the PCL interpreter
    // clips: IW0,0,50,50;SC0,100,0,100 clips to the middle of P1 and P2.
    if (s.window_set && s.window_unscaled && s.scaling != Scaling::None) {
        const Point a = to_plotter(p, s.window_low);
        const Point b = to_plotter(p, s.window_high);
        s.window_low = {std::min(a.x, b.x), std::min(a.y, b.y)};
        s.window_high = {std::max(a.x, b.x), std::max(a.y, b.y)};
        s.window_unscaled = false;
        apply_clip(p);
    }
}

} // namespace instruction

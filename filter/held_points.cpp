// SPDX-License-Identifier: MIT
// P1 and P2 in the plot's turned coordinates. RO turns the axes about the
// frame: a quarter turn (90) puts the origin in the frame's lower right
// corner with X up, 270 in its upper left corner with X down, 180 in its
// upper right corner; P1 and P2 keep their numbers until IP or IR.
#include "held_points.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

bool quarter_turn(int rotation)
{
    return rotation == 90 || rotation == 270;
}

// The largest magnitude of an HP-GL/2 integer parameter.
constexpr double kLargestHpglInteger = 1073741823; // 2^30 - 1

// How far, in its own sizes, a drawing may move. The printer scales and
// moves a plot in single precision (24 bits): a move of n times the
// drawing's size places it to n / 2^24 of its size, here to 1/4096 of it,
// a twentieth of a millimetre on a page.
constexpr double kFarthestMove = 4096;

// The frame's directions of the plot's X and Y axes, unit vectors.
struct TurnedAxes {
    FramePoint x;
    FramePoint y;
};

TurnedAxes turned_axes(int rotation)
{
    switch (rotation) {
    case 90:
        return {{0, 1}, {-1, 0}};
    case 180:
        return {{-1, 0}, {0, -1}};
    case 270:
        return {{0, -1}, {1, 0}};
    default:
        return {{1, 0}, {0, 1}};
    }
}

} // namespace

void printer_frame_points(int rotation, const Paper &paper, char (&line)[kPointsText])
{
    if (!quarter_turn(rotation)) {
        turned_frame_points(rotation, line);
        return;
    }
    // Turned, the frame spans its width along the plot's X and its length
    // along Y; the plot's own P1 and P2 span its length along X. Whole
    // plotter units: the printer places IR's parts of the frame by its
    // pixels.
    const FrameSize frame = printer_frame(paper);
    const double scale = std::min(frame.width / frame.length, frame.length / frame.width);
    const double across = std::round(frame.length * scale);
    const double up = std::round(frame.width * scale);
    const double left = std::round((frame.width - across) / 2) + 0.0; // no -0
    const double bottom = std::round((frame.length - up) / 2) + 0.0;
    std::snprintf(line, sizeof line, "IP%.0f,%.0f,%.0f,%.0f;\n", left, bottom, left + across,
                  bottom + up);
}

void turned_frame_points(int rotation, char (&line)[kPointsText])
{
    std::snprintf(line, sizeof line, "%s", rotation == 0 ? "" : "IP;\n");
}

bool moved_points(int rotation, const DrawingBox &from, const DrawingBox &to,
                  char (&line)[kPointsText])
{
    // The frame moves the drawing by `shift` in its own coordinates, and
    // moves a turned plot's origin with its far sides as it changes size;
    // the plot's coordinates make up the rest.
    const FramePoint old_origin = plot_origin(rotation, from.frame_length, from.frame_width);
    const FramePoint new_origin = plot_origin(rotation, to.frame_length, to.frame_width);
    const FramePoint shift{to.left - from.left - (new_origin.x - old_origin.x),
                           to.bottom - from.bottom - (new_origin.y - old_origin.y)};
    // The plot's axes are unit vectors along the frame's: the shift in the
    // plot's coordinates is its part along each.
    const TurnedAxes axes = turned_axes(rotation);
    const double move_x = std::round(shift.x * axes.x.x + shift.y * axes.x.y);
    const double move_y = std::round(shift.x * axes.y.x + shift.y * axes.y.y);
    // P1 and P2 as the frame of `from` had them: its corners, turned.
    const bool turned = quarter_turn(rotation);
    const double p2_x = turned ? from.frame_width : from.frame_length;
    const double p2_y = turned ? from.frame_length : from.frame_width;
    // Adding 0 writes a rounded -0 as 0.
    const double p1_x = move_x + 0.0;
    const double p1_y = move_y + 0.0;
    const double span_x = std::round(p2_x);
    const double span_y = std::round(p2_y);
    const double size = std::max({to.right - to.left, to.top - to.bottom, 1.0});
    if (!(std::max(std::abs(p1_x), std::abs(p1_y)) <= kFarthestMove * size))
        return false;
    for (const double point : {p1_x, p1_y, p1_x + span_x, p1_y + span_y, span_x, span_y})
        if (!(std::abs(point) <= kLargestHpglInteger))
            return false;
    // A user unit is a plotter unit: SC spans P1 to P2 with their distance
    // in whole plotter units. (The PCL interpreter leaves SC's point factor
    // unscaled by the plot size, which would undo the fit.) Unmoved, the
    // plot needs none, and keeps what its own IP gives.
    char scale[40] = "";
    if (p1_x != 0 || p1_y != 0)
        std::snprintf(scale, sizeof scale, "SC0,%.0f,0,%.0f;\n", span_x, span_y);
    std::snprintf(line, sizeof line, "IP%.0f,%.0f,%.0f,%.0f;\n%s", p1_x, p1_y, p1_x + span_x,
                  p1_y + span_y, scale);
    return true;
}

// SPDX-License-Identifier: MIT
#include "fit_glyph.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The steps, fractions of the box of H: from well past what a point was
// off by when it was read at 600 dpi down to the table's finest.
constexpr double kSteps[] = {0.04, 0.02, 0.01, 0.005};
// The table keeps places to a thousandth of the box.
constexpr double kPlaces = 1000;
// Bounds on the work for one glyph: steps one way from where a point
// stands, passes over the glyph's points at one step, and pages rendered.
constexpr int kMostStepsOneWay = 10;
constexpr int kMostPasses = 8;
constexpr int kMostRenders = 6000;
// An agreement counts as better only by more than rounding.
constexpr double kBetter = 1e-9;

double on_the_table(double place)
{
    return std::round(place * kPlaces) / kPlaces;
}

// The coordinates a descent moves at once, each by the step times its
// sign: one point's across or up, both (a point at the end of a slanted
// stroke can move along the stroke, where its ink hardly changes, but not
// across it, one coordinate at a time), or those of all the glyph's points.
struct Axis {
    double *coordinate;
    double sign = 1;
};
using Coordinates = std::vector<Axis>;

struct Descent {
    StrokeFont &font;
    const InkScore &score;
    GlyphFit &fit;
    double best = 0;

    bool exhausted() const { return fit.failed || fit.renders >= kMostRenders; }

    // Moves the coordinates by `by`; keeps the move when it scores better.
    bool try_move(const Coordinates &coordinates, double by)
    {
        std::vector<double> was;
        for (const Axis &axis : coordinates) {
            was.push_back(*axis.coordinate);
            *axis.coordinate = on_the_table(*axis.coordinate + axis.sign * by);
        }
        ++fit.renders;
        const std::optional<double> s = score(font);
        fit.failed = !s;
        if (s && *s > best + kBetter) {
            best = *s;
            return true;
        }
        for (std::size_t i = 0; i < coordinates.size(); ++i)
            *coordinates[i].coordinate = was[i];
        return false;
    }

    // Steps the coordinates one way while that improves, else the other
    // way; true when they moved.
    bool descend(const Coordinates &coordinates, double step)
    {
        for (const double way : {step, -step}) {
            int moved = 0;
            while (moved < kMostStepsOneWay && !exhausted() && try_move(coordinates, way))
                ++moved;
            if (moved > 0)
                return true;
        }
        return false;
    }
};

} // namespace

GlyphFit fit_glyph(unsigned char c, StrokeFont &font, const InkScore &score)
{
    GlyphFit fit;
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < font.stick_moves.size(); ++i)
        if (font.stick_moves[i].c == c)
            rows.push_back(i);
    fit.rows = static_cast<int>(rows.size());
    const std::optional<double> start = score(font);
    ++fit.renders;
    if (!start) {
        fit.failed = true;
        return fit;
    }
    fit.before = *start;
    fit.after = *start;
    if (rows.empty())
        return fit;
    Descent descent{font, score, fit, *start};
    Coordinates all_across;
    Coordinates all_up;
    std::vector<Coordinates> each;
    for (const std::size_t row : rows) {
        StickMove &move = font.stick_moves[row];
        all_across.push_back({&move.across});
        all_up.push_back({&move.up});
        each.push_back({{&move.across}});
        each.push_back({{&move.up}});
        each.push_back({{&move.across}, {&move.up}});
        each.push_back({{&move.across}, {&move.up, -1}});
    }
    for (const double step : kSteps) {
        for (int pass = 0; pass < kMostPasses && !descent.exhausted(); ++pass) {
            bool moved = descent.descend(all_across, step);
            moved = descent.descend(all_up, step) || moved;
            for (const Coordinates &coordinate : each)
                moved = descent.descend(coordinate, step) || moved;
            if (!moved)
                break;
        }
        std::printf("'%c' step %.3f: agreement %.6f after %d renders\n", static_cast<char>(c), step,
                    descent.best, fit.renders);
        std::fflush(stdout);
    }
    fit.after = descent.best;
    fit.stopped = fit.renders >= kMostRenders;
    return fit;
}

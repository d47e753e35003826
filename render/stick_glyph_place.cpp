// SPDX-License-Identifier: MIT
#include "stick_glyph_place.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string_view>

namespace {

// The glyph's ink, font units: across from its left bound, up from the
// baseline.
struct InkExtent {
    double left = 0;
    double right = 0;
    double bottom = 0;
    double top = 0;
};

InkExtent ink_of(const Glyph &glyph)
{
    InkExtent ink{static_cast<double>(glyph.advance), 0, 0, 0};
    bool first = true;
    for (const std::vector<FontPoint> &stroke : glyph.strokes)
        for (const FontPoint &p : stroke) {
            const auto x = static_cast<double>(p.x);
            const auto y = static_cast<double>(p.y);
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.bottom = first ? y : std::min(ink.bottom, y);
            ink.top = first ? y : std::max(ink.top, y);
            first = false;
        }
    return ink;
}

constexpr double kLowerCaseBox = 0.86;

// Where the printer's stick glyph of `c` lies across the box of its H, in
// fractions of the box's width; false for a character whose place was not
// measured ('`' and those above '~'). Letters, digits and most signs fill
// the box, lower case letters 0.86 of it from its left; the others lie as
// listed.
struct BoxSpan {
    double left = 0;
    double right = 1;
};

bool span_in_box(unsigned char c, BoxSpan &span)
{
    static constexpr struct {
        char c;
        BoxSpan span;
    } kPlaces[] = {
        {'!', {0.03, 0.05}}, {'"', {0.28, 0.65}}, {'\'', {0.47, 0.57}}, {'(', {0.75, 1.03}},
        {')', {0, 0.28}},    {',', {0.02, 0.09}}, {'.', {0.49, 0.56}},  {'0', {0, 0.94}},
        {':', {0.02, 0.09}}, {';', {0, 0.07}},    {'?', {0.02, 0.72}},  {'C', {0, 0.94}},
        {'X', {0, 0.94}},    {'[', {0.66, 0.98}}, {']', {0, 0.33}},     {'^', {0.12, 0.72}},
        {'_', {0.02, 1.52}}, {'c', {0, 0.80}},    {'f', {0.15, 0.80}},  {'j', {0.19, 0.56}},
        {'{', {0.61, 0.98}}, {'|', {0, 0.02}},    {'}', {0.05, 0.42}},  {'~', {0.02, 0.86}},
        {'1', {0, 0.85}},    {'i', {0.19, 0.85}}, {'l', {0.24, 0.89}},
    };
    for (const auto &place : kPlaces) {
        if (static_cast<unsigned char>(place.c) == c) {
            span = place.span;
            return true;
        }
    }
    if (c >= 'a' && c <= 'z') {
        span = {0, kLowerCaseBox};
        return true;
    }
    span = {};
    return c > ' ' && c < '~' && c != '`';
}

// The printer's H is narrower than Hershey's: its strokes' centres span
// 21/32 of the cell (0.656 to 0.658 measured at 600 dpi for cells of 103 to
// 620 pixels, at any height), Hershey's two thirds. Its left stroke stands
// where Hershey's does.
constexpr double kWidthOfH = 21.0 / 32;

// Across, a fixed glyph is fitted to the span the printer's glyph takes in
// the box of its H (lower case letters wider than the box, m and w, to the
// whole box); one under half its span wide (I, 1, l) keeps its width in the
// span's middle. Glyphs whose span was not measured keep their bounds
// centred in the left two thirds of the cell. Gives the box of H across,
// glyph units; none (a width of 0) where the font has no H.
struct Box {
    double left = 0;
    double width = 0;
};

Box place_across(const StrokeFont &font, const InkExtent &ink, const Glyph &glyph, unsigned char c,
                 GlyphPlace &place)
{
    const double unit = place.unit;
    const auto natural = [&](const Glyph &g, double x) {
        return 1.0 / 3 - g.advance * unit / 2 + x * unit;
    };
    place.ink_left = ink.left;
    place.left = natural(glyph, ink.left);
    const Glyph *h = glyph_for(font, 'H');
    const InkExtent box = h != nullptr ? ink_of(*h) : InkExtent{};
    const double width = std::max(0.0, ink.right - ink.left) * unit;
    if (h == nullptr || box.right <= box.left)
        return {};
    const double box_width = kWidthOfH;
    const Box box_across{natural(*h, box.left), box_width};
    BoxSpan span;
    if (!span_in_box(c, span))
        return box_across;
    if (c >= 'a' && c <= 'z' && width > box_width)
        span = {};
    const double left = box_across.left + span.left * box_width;
    const double fitted = (span.right - span.left) * box_width;
    if (2 * width < fitted) {
        place.left = left + (fitted - width) / 2;
        return box_across;
    }
    place.left = left;
    place.scale = unit * fitted / width;
    return box_across;
}

// The printer's H is not quite the cap height that SI, SR or the font
// give: its strokes' centres span 0.969 of it (40-pixel strokes spanning
// 727 pixels for a 3 cm cap at 600 dpi; the same share at 0.3 to 3 cm).
constexpr double kHeightOfH = 0.969;

// Up, in heights of that H: the printer's lower case letters are 0.74 of
// it, their ascenders all of it, and their descenders as listed; other
// characters span the heights listed. Characters not listed keep Hershey's
// heights.
constexpr double kXHeight = 0.74;

struct UpSpan {
    char c;
    double bottom;
    double top;
};

// Lower case letters whose bottom or top the rule does not give (0 where it
// does): descenders, and f, i and j, whose tops (i's and j's dots) stand
// lower than Hershey's.
constexpr UpSpan kLowerCaseSpans[] = {
    {'f', 0, 0.97},  {'g', -0.26, 0}, {'i', 0, 1},     {'j', -0.26, 1},
    {'p', -0.22, 0}, {'q', -0.22, 0}, {'y', -0.26, 0},
};

constexpr UpSpan kSignSpans[] = {
    {'"', 0.78, 1.06},  {'#', 0, 1},        {'%', 0, 0.94},      {'\'', 0.78, 1},
    {'(', -0.13, 1.19}, {')', -0.13, 1.19}, {'*', 0.14, 0.91},   {'+', 0.14, 0.91},
    {',', -0.16, 0.06}, {'-', 0.49, 0.49},  {'.', 0, 0.06},      {'/', -0.13, 1.10},
    {':', 0, 0.74},     {';', -0.16, 0.74}, {'<', 0.16, 0.87},   {'=', 0.36, 0.61},
    {'>', 0.16, 0.87},  {'[', -0.13, 1.10}, {'\\', -0.13, 1.10}, {']', -0.13, 1.10},
    {'^', 0.92, 1.10},  {'_', -0.2, -0.2},  {'`', 0.92, 1.13},   {'{', -0.13, 1.10},
    {'|', -0.13, 1.10}, {'}', -0.13, 1.10}, {'~', 0.91, 1.06},
};

// The height of P's and R's middle bars, in heights of H.
constexpr double kBowlBar = 0.42;

const UpSpan *up_span(const UpSpan *first, const UpSpan *last, unsigned char c)
{
    const UpSpan *found = std::find_if(
        first, last, [c](const UpSpan &s) { return static_cast<unsigned char>(s.c) == c; });
    return found != last ? found : nullptr;
}

// The lowest point above the baseline on the glyph's left bound: where a
// bowl meets the stem.
double bowl_foot(const Glyph &glyph, const InkExtent &ink)
{
    double foot = 0;
    for (const std::vector<FontPoint> &stroke : glyph.strokes)
        for (const FontPoint &p : stroke)
            if (p.x == ink.left && p.y > 0 && (foot == 0 || p.y < foot))
                foot = p.y;
    return foot;
}

void place_up(const StrokeFont &font, const Glyph &glyph, const InkExtent &ink, unsigned char c,
              GlyphPlace &place)
{
    const double unit = place.unit;
    const double bottom = ink.bottom * unit;
    const double top = ink.top * unit;
    if (c >= 'a' && c <= 'z') {
        const Glyph *x = glyph_for(font, 'x');
        const double x_height = x != nullptr ? ink_of(*x).top * unit : 0;
        if (x_height <= 0 || x_height >= 1)
            return;
        const UpSpan *span = up_span(std::begin(kLowerCaseSpans), std::end(kLowerCaseSpans), c);
        int n = 0;
        if (span != nullptr && span->bottom < 0 && bottom < 0)
            place.knots[n++] = {bottom, span->bottom};
        place.knots[n++] = {0, 0};
        place.knots[n++] = {x_height, kXHeight};
        if (span != nullptr && span->top > 0 && top > x_height)
            place.knots[n++] = {top, span->top};
        else
            place.knots[n++] = {1, 1};
        place.knot_count = n;
        return;
    }
    if (c == 'P' || c == 'R') {
        // Their bowls close lower than Hershey's.
        const double bar = bowl_foot(glyph, ink) * unit;
        if (bar <= 0 || bar >= 1)
            return;
        place.knots[1] = {bar, kBowlBar};
        place.knots[2] = {1, 1};
        place.knot_count = 3;
        return;
    }
    const UpSpan *span = up_span(std::begin(kSignSpans), std::end(kSignSpans), c);
    if (span == nullptr)
        return;
    // A flat glyph, a dash, is moved without being stretched.
    if (top - bottom < 1e-9) {
        place.knots[0] = {bottom, span->bottom};
        place.knots[1] = {bottom + 1, span->bottom + 1};
    } else {
        place.knots[0] = {bottom, span->bottom};
        place.knots[1] = {top, span->top};
    }
    place.knot_count = 2;
}

// The printer's I, 1, i, j and l are a typewriter's: bars across at the
// foot (and I's head), and a spur left from the top of the stem. Its K and
// k join arm and leg to the stem with a bar. Across in fractions of the box
// of H; a spur runs to the stem; a bar stands `up` high, in heights of H.
struct SerifRule {
    char c;
    double left;
    double right;
    enum { Foot, Head, Spur, Bar } where;
    double up = 0;
};

constexpr SerifRule kSerifs[] = {
    {'I', 0.14, 0.89, SerifRule::Foot},    {'I', 0.14, 0.89, SerifRule::Head},
    {'1', 0.23, 0.85, SerifRule::Foot},    {'i', 0.19, 0.85, SerifRule::Foot},
    {'i', 0.19, 0, SerifRule::Spur},       {'l', 0.19, 0.85, SerifRule::Foot},
    {'l', 0.19, 0, SerifRule::Spur},       {'j', 0.19, 0, SerifRule::Spur},
    {'K', 0, 0.33, SerifRule::Bar, 0.517}, {'k', 0, 0.24, SerifRule::Bar, 0.39},
};

// The top of the glyph's tallest stroke, font units.
FontPoint stem_top(const Glyph &glyph)
{
    FontPoint top;
    int tallest = -1;
    for (const std::vector<FontPoint> &stroke : glyph.strokes) {
        const auto [low, high] =
            std::minmax_element(stroke.begin(), stroke.end(),
                                [](const FontPoint &a, const FontPoint &b) { return a.y < b.y; });
        if (low != stroke.end() && high->y - low->y > tallest) {
            tallest = high->y - low->y;
            top = *high;
        }
    }
    return top;
}

double map_up(const GlyphPlace &place, double v)
{
    // The segment that holds v, or the first or last one continued.
    int i = 1;
    while (i < place.knot_count - 1 && v > place.knots[i].from)
        ++i;
    const GlyphPlace::Knot &a = place.knots[i - 1];
    const GlyphPlace::Knot &b = place.knots[i];
    return a.to + (v - a.from) * (b.to - a.to) / (b.from - a.from);
}

// After the glyph is placed and its points moved: the spur meets the stem
// where it is drawn.
void add_serifs(const Glyph &glyph, unsigned char c, double box_left, double box_width,
                GlyphPlace &place)
{
    for (const SerifRule &rule : kSerifs) {
        if (static_cast<unsigned char>(rule.c) != c || place.serif_count == 2)
            continue;
        GlyphPlace::Serif &serif = place.serifs[place.serif_count++];
        serif.left = box_left + rule.left * box_width;
        serif.right = box_left + rule.right * box_width;
        serif.up = rule.where == SerifRule::Bar
                       ? rule.up * kHeightOfH
                       : map_up(place, rule.where == SerifRule::Head ? 1 : 0);
        if (rule.where == SerifRule::Spur) {
            const Point top = place_point(place, stem_top(glyph));
            serif.right = top.x;
            serif.up = top.y;
        }
    }
}

// The points the font's table moves (stick_glyph_moves.h). give_stick_moves
// checked the table against the glyphs and refuses more moves for a glyph
// than a place holds; a table set on the font unchecked stops at that bound.
void add_moves(const StrokeFont &font, unsigned char c, double box_left, double box_width,
               GlyphPlace &place)
{
    for (const StickMove &move : font.stick_moves) {
        if (move.c != c || place.move_count == std::ssize(place.moves))
            continue;
        place.moves[place.move_count++] = {
            {move.x, move.y}, {box_left + move.across * box_width, move.up * kHeightOfH}};
    }
}

// The printer's round glyphs are squarer than Hershey's near-ellipses:
// their sides run straight for a while and their corners turn tighter, as
// a superellipse of this exponent does (measured on o and O at 600 dpi).
constexpr double kRoundness = 2.8;
constexpr char kRoundGlyphs[] = "CDOQbcdgopq";

// The box of the glyph's longest stroke, its bowl, for the round glyphs.
void make_squarer(const Glyph &glyph, unsigned char c, GlyphPlace &place)
{
    if (std::string_view(kRoundGlyphs).find(static_cast<char>(c)) == std::string_view::npos)
        return;
    const std::vector<FontPoint> &bowl =
        *std::max_element(glyph.strokes.begin(), glyph.strokes.end(),
                          [](const auto &a, const auto &b) { return a.size() < b.size(); });
    const auto [left, right] = std::minmax_element(
        bowl.begin(), bowl.end(), [](const FontPoint &a, const FontPoint &b) { return a.x < b.x; });
    const auto [bottom, top] = std::minmax_element(
        bowl.begin(), bowl.end(), [](const FontPoint &a, const FontPoint &b) { return a.y < b.y; });
    if (right->x <= left->x || top->y <= bottom->y)
        return;
    place.squarer = true;
    place.centre = {(left->x + right->x) / 2.0, (bottom->y + top->y) / 2.0};
    place.half = {(right->x - left->x) / 2.0, (top->y - bottom->y) / 2.0};
}

// A point of the bowl, near its ellipse, moved onto the superellipse in the
// same direction; other points (a stem's corner, an e's bar) as they are.
Point squared(const GlyphPlace &place, FontPoint p)
{
    const double u = (p.x - place.centre.x) / place.half.x;
    const double v = (p.y - place.centre.y) / place.half.y;
    const double r = std::hypot(u, v);
    if (r < 0.8 || r > 1.2)
        return {static_cast<double>(p.x), static_cast<double>(p.y)};
    const double c = std::abs(u) / r;
    const double s = std::abs(v) / r;
    const double out =
        1 / std::pow(std::pow(c, kRoundness) + std::pow(s, kRoundness), 1 / kRoundness);
    // Within the bowl's box: Hershey's flat tops and sides stay where they
    // are.
    const double su = std::clamp(u * out, -1.0, 1.0);
    const double sv = std::clamp(v * out, -1.0, 1.0);
    return {place.centre.x + su * place.half.x, place.centre.y + sv * place.half.y};
}

} // namespace

GlyphPlace stick_glyph_place(const StrokeFont &font, const Glyph &glyph, unsigned char c,
                             bool fixed_pitch)
{
    GlyphPlace place;
    place.unit = 1.0 / font.cap_height;
    place.scale = place.unit;
    const InkExtent ink = ink_of(glyph);
    if (glyph.strokes.empty())
        return place;
    const Box box = fixed_pitch ? place_across(font, ink, glyph, c, place) : Box{};
    place_up(font, glyph, ink, c, place);
    for (int i = 0; i < place.knot_count; ++i)
        place.knots[i].to *= kHeightOfH;
    if (box.width > 0) {
        add_moves(font, c, box.left, box.width, place);
        add_serifs(glyph, c, box.left, box.width, place);
        make_squarer(glyph, c, place);
    }
    return place;
}

Point place_point(const GlyphPlace &place, FontPoint p)
{
    for (int i = 0; i < place.move_count; ++i)
        if (place.moves[i].from.x == p.x && place.moves[i].from.y == p.y)
            return place.moves[i].to;
    const Point q = place.squarer ? squared(place, p)
                                  : Point{static_cast<double>(p.x), static_cast<double>(p.y)};
    return {place.left + (q.x - place.ink_left) * place.scale, map_up(place, q.y * place.unit)};
}

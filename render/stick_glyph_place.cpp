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
    const double box_width = (box.right - box.left) * unit;
    const double width = std::max(0.0, ink.right - ink.left) * unit;
    if (h == nullptr || box_width <= 0)
        return {};
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

// Where the printer's design parts from Hershey's simplex roman in more
// than place: the point (x, y) of Hershey's glyph, font units from its left
// bound and up from the baseline, stands at (across, up), fractions of the
// box of H. A font whose glyph has no such point keeps its own.
struct MoveRule {
    char c;
    int x;
    int y;
    double across;
    double up;
};

constexpr MoveRule kMoves[] = {
    // A's apex stands right of the middle and its bar low.
    {'A', 9, 21, 0.525, 1},
    {'A', 4, 7, 0.136, 0.259},
    {'A', 14, 7, 0.877, 0.259},
    // The printer's middle, where I's stem, V's point and Y's stand, lies
    // right of the middle of the box; Y's arms meet lower.
    {'I', 4, 21, 0.527, 1},
    {'I', 4, 0, 0.527, 0},
    {'V', 9, 0, 0.525, 0},
    {'Y', 9, 11, 0.525, 0.48},
    {'Y', 9, 0, 0.525, 0},
    // E's and F's middle bars are long.
    {'E', 4, 11, 0, 0.517},
    {'E', 12, 11, 0.81, 0.517},
    {'F', 4, 11, 0, 0.517},
    {'F', 12, 11, 0.755, 0.517},
    // G's bar is high and long.
    {'G', 13, 8, 0.5, 0.455},
    {'G', 18, 8, 1, 0.455},
    // K's arm and leg meet off the stem, at the end of its bar.
    {'K', 18, 21, 0.95, 1},
    {'K', 4, 7, 0.33, 0.517},
    {'K', 9, 12, 0.33, 0.517},
    // Q's tail runs from inside the bowl to its foot.
    {'Q', 12, 4, 0.6, 0.4},
    {'Q', 18, -2, 1, 0},
    // k's, as K's.
    {'k', 14, 14, 0.80, 0.74},
    {'k', 4, 4, 0.24, 0.39},
    {'k', 8, 8, 0.24, 0.39},
    // M's middle stops high; W's and w's stop low, between wide feet.
    {'M', 12, 0, 0.525, 0.265},
    {'W', 12, 21, 0.525, 0.74},
    {'W', 7, 0, 0.14, 0},
    {'W', 17, 0, 0.86, 0},
    {'w', 11, 14, 0.5, 0.54},
    {'w', 7, 0, 0.19, 0},
    {'w', 15, 0, 0.81, 0},
    // r's arm is an arch from the middle of its stem.
    {'r', 4, 8, 0, 0.5},
    {'r', 5, 11, 0.09, 0.65},
    {'r', 7, 13, 0.25, 0.72},
    {'r', 9, 14, 0.66, 0.72},
    {'r', 12, 14, 0.87, 0.46},
    // 1's flag is straight, from low on the left.
    {'1', 6, 17, 0.24, 0.60},
    {'1', 8, 18, 0.43, 0.80},
    {'1', 11, 21, 0.622, 1},
    {'1', 11, 0, 0.622, 0},
    // 4's stem stands right, its bar low.
    {'4', 13, 21, 0.867, 1},
    {'4', 13, 0, 0.867, 0},
    {'4', 3, 7, 0, 0.226},
    {'4', 18, 7, 1, 0.226},
    // 8's loops meet on a short level stroke, where Hershey's cross; its
    // upper loop is the narrower.
    {'8', 8, 21, 0.35, 1.0},
    {'8', 5, 20, 0.15, 0.96},
    {'8', 4, 18, 0.06, 0.87},
    {'8', 4, 16, 0.05, 0.74},
    {'8', 5, 14, 0.09, 0.64},
    {'8', 7, 13, 0.22, 0.545},
    {'8', 11, 12, 0.5, 0.525},
    {'8', 14, 11, 0.78, 0.505},
    {'8', 16, 9, 0.92, 0.45},
    {'8', 17, 7, 0.99, 0.35},
    {'8', 17, 4, 1.0, 0.2},
    {'8', 16, 2, 0.97, 0.11},
    {'8', 15, 1, 0.88, 0.045},
    {'8', 12, 0, 0.65, 0.0},
    {'8', 8, 0, 0.35, 0.0},
    {'8', 5, 1, 0.12, 0.045},
    {'8', 4, 2, 0.03, 0.11},
    {'8', 3, 4, 0.0, 0.2},
    {'8', 3, 7, 0.01, 0.35},
    {'8', 4, 9, 0.08, 0.45},
    {'8', 6, 11, 0.22, 0.505},
    {'8', 9, 12, 0.5, 0.525},
    {'8', 13, 13, 0.78, 0.545},
    {'8', 15, 14, 0.91, 0.64},
    {'8', 16, 16, 0.95, 0.74},
    {'8', 16, 18, 0.94, 0.87},
    {'8', 15, 20, 0.85, 0.96},
    {'8', 12, 21, 0.65, 1.0},
    // 7's foot stands further left.
    {'7', 7, 0, 0.24, 0},
    // +'s upright stands left of the middle.
    {'+', 13, 18, 0.477, 0.90},
    {'+', 13, 0, 0.477, 0.133},
    {'+', 4, 9, 0.01, 0.515},
    {'+', 22, 9, 0.99, 0.515},
    // The asterisk lies across: a level bar, steep arms.
    {'*', 8, 21, 0, 0.517},
    {'*', 8, 9, 1, 0.517},
    {'*', 3, 18, 0.13, 0.93},
    {'*', 13, 12, 0.87, 0.10},
    {'*', 13, 18, 0.87, 0.93},
    {'*', 3, 12, 0.13, 0.10},
    // ^ is a caret, where Hershey's is an arrow: every point on its two
    // strokes.
    {'^', 3, 12, 0.10, 0.91},
    {'^', 6, 15, 0.10, 0.91},
    {'^', 8, 17, 0.43, 1.10},
    {'^', 8, 18, 0.43, 1.10},
    {'^', 8, 0, 0.43, 1.10},
    {'^', 10, 15, 0.71, 0.91},
    {'^', 13, 12, 0.71, 0.91},
    // ` is a straight stroke, where Hershey's is a curl.
    {'`', 6, 21, 0.34, 1.13},
    {'`', 5, 20, 0.67, 0.91},
    {'`', 4, 18, 0.67, 0.91},
    {'`', 4, 16, 0.67, 0.91},
    {'`', 5, 15, 0.67, 0.91},
    {'`', 6, 16, 0.67, 0.91},
    {'`', 5, 17, 0.67, 0.91},
    // # leans less, its bars nearer its middle and as wide as the box.
    {'#', 11, 25, 0.525, 1},
    {'#', 4, -7, 0.145, 0},
    {'#', 17, 25, 0.91, 1},
    {'#', 10, -7, 0.53, 0},
    {'#', 4, 12, 0, 0.648},
    {'#', 18, 12, 1, 0.648},
    {'#', 3, 6, 0.005, 0.355},
    {'#', 17, 6, 0.995, 0.355},
    // $ has one stroke through its S, where Hershey's has two.
    {'$', 8, 25, 0.48, 1.10},
    {'$', 8, -4, 0.48, -0.13},
    {'$', 12, 25, 0.48, 1.10},
    {'$', 12, -4, 0.48, -0.13},
    // The brackets' stems are single strokes, where Hershey's are doubled.
    {'[', 5, 25, 0.66, 1.10},
    {'[', 5, -7, 0.66, -0.13},
    {']', 9, 25, 0.33, 1.10},
    {']', 9, -7, 0.33, -0.13},
    // f's bar stands below the x-height.
    {'f', 2, 14, 0.151, 0.647},
    {'f', 9, 14, 0.807, 0.647},
    // g's bowl stands above the baseline, its tail reaches further left.
    {'g', 6, 1, 0.15, 0.09},
    {'g', 8, 0, 0.3, 0.064},
    {'g', 11, 0, 0.55, 0.064},
    {'g', 13, 1, 0.72, 0.09},
    {'g', 15, 3, 0.86, 0.12},
    {'g', 11, -7, 0.55, -0.259},
    {'g', 8, -7, 0.3, -0.259},
    {'g', 6, -6, 0.08, -0.20},
    // i's and j's stems stand where l's does, below the x-height, and their
    // dots, short upright strokes, left of them.
    {'i', 4, 14, 0.575, 0.679},
    {'i', 4, 0, 0.575, 0},
    {'i', 3, 21, 0.43, 0.97},
    {'i', 5, 21, 0.43, 0.97},
    {'i', 4, 20, 0.43, 0.943},
    {'i', 4, 22, 0.43, 0.998},
    {'j', 6, 14, 0.575, 0.679},
    {'j', 6, -3, 0.575, -0.10},
    {'j', 5, -6, 0.50, -0.22},
    {'j', 3, -7, 0.35, -0.257},
    {'j', 1, -7, 0.19, -0.257},
    {'j', 5, 21, 0.43, 0.97},
    {'j', 7, 21, 0.43, 0.97},
    {'j', 6, 20, 0.43, 0.943},
    {'j', 6, 22, 0.43, 0.998},
    // m's middle stem stands left of the middle, and its arches rise
    // steeply from its stems.
    {'m', 4, 10, 0.0, 0.585},
    {'m', 7, 13, 0.1, 0.695},
    {'m', 9, 14, 0.2, 0.74},
    {'m', 12, 14, 0.31, 0.735},
    {'m', 14, 13, 0.41, 0.67},
    {'m', 15, 10, 0.477, 0.56},
    {'m', 15, 0, 0.477, 0.0},
    {'m', 18, 13, 0.58, 0.695},
    {'m', 20, 14, 0.68, 0.74},
    {'m', 23, 14, 0.82, 0.735},
    {'m', 25, 13, 0.93, 0.67},
    {'m', 26, 10, 0.99, 0.56},
    {'m', 26, 0, 0.99, 0.0},
    // t's stem stands left, its bar below the x-height.
    {'t', 5, 21, 0.24, 1},
    {'t', 5, 4, 0.24, 0.2},
    {'t', 6, 1, 0.29, 0.05},
    {'t', 8, 0, 0.42, 0},
    {'t', 10, 0, 0.76, 0},
    {'t', 2, 14, 0.02, 0.68},
    {'t', 9, 14, 0.75, 0.68},
    // R's leg, S, e, G and ? run along the printer's curves: R's leg
    // leaves its bar further right, and ?'s dot is a short upright stroke.
    {'R', 4, 21, 0.0, 1.0},
    {'R', 4, 0, 0.0, 0.0},
    {'R', 13, 21, 0.75, 1.0},
    {'R', 16, 20, 0.95, 0.91},
    {'R', 17, 19, 1.0, 0.72},
    {'R', 18, 17, 0.96, 0.53},
    {'R', 18, 15, 0.84, 0.45},
    {'R', 17, 13, 0.96, 0.32},
    {'R', 16, 12, 1.0, 0.2},
    {'R', 13, 11, 0.86, 0.43},
    {'R', 4, 11, 0.0, 0.42},
    {'R', 11, 11, 1.0, 0.2},
    {'R', 18, 0, 1.0, 0.0},
    {'S', 17, 18, 1.02, 0.81},
    {'S', 15, 20, 0.88, 0.94},
    {'S', 12, 21, 0.65, 1.0},
    {'S', 8, 21, 0.3, 1.0},
    {'S', 5, 20, 0.1, 0.93},
    {'S', 3, 18, 0.01, 0.83},
    {'S', 3, 16, 0.0, 0.72},
    {'S', 4, 14, 0.05, 0.62},
    {'S', 5, 13, 0.17, 0.565},
    {'S', 7, 12, 0.35, 0.525},
    {'S', 13, 10, 0.7, 0.465},
    {'S', 15, 9, 0.9, 0.42},
    {'S', 16, 8, 0.98, 0.33},
    {'S', 17, 6, 1.0, 0.22},
    {'S', 17, 3, 0.97, 0.13},
    {'S', 15, 1, 0.86, 0.05},
    {'S', 12, 0, 0.62, 0.0},
    {'S', 8, 0, 0.3, 0.0},
    {'S', 5, 1, 0.1, 0.07},
    {'S', 3, 3, -0.03, 0.19},
    {'e', 3, 8, 0.0, 0.39},
    {'e', 15, 8, 0.86, 0.39},
    {'e', 15, 10, 0.86, 0.48},
    {'e', 14, 12, 0.81, 0.6},
    {'e', 13, 13, 0.7, 0.695},
    {'e', 11, 14, 0.5, 0.745},
    {'e', 8, 14, 0.25, 0.74},
    {'e', 6, 13, 0.09, 0.66},
    {'e', 4, 11, 0.015, 0.54},
    {'e', 3, 6, 0.0, 0.25},
    {'e', 4, 3, 0.04, 0.14},
    {'e', 6, 1, 0.15, 0.045},
    {'e', 8, 0, 0.35, 0.0},
    {'e', 11, 0, 0.58, 0.01},
    {'e', 13, 1, 0.73, 0.06},
    {'e', 15, 3, 0.84, 0.14},
    {'G', 18, 16, 1.0, 0.8},
    {'G', 17, 18, 0.9, 0.905},
    {'G', 15, 20, 0.75, 0.975},
    {'G', 13, 21, 0.58, 1.0},
    {'G', 9, 21, 0.36, 0.995},
    {'G', 7, 20, 0.2, 0.96},
    {'G', 5, 18, 0.08, 0.88},
    {'G', 4, 16, 0.03, 0.77},
    {'G', 3, 13, 0.0, 0.62},
    {'G', 3, 8, 0.0, 0.38},
    {'G', 4, 5, 0.03, 0.24},
    {'G', 5, 3, 0.09, 0.14},
    {'G', 7, 1, 0.2, 0.055},
    {'G', 9, 0, 0.38, 0.005},
    {'G', 13, 0, 0.62, 0.005},
    {'G', 15, 1, 0.8, 0.055},
    {'G', 17, 3, 0.91, 0.14},
    {'G', 18, 5, 0.97, 0.24},
    {'?', 3, 16, -0.04, 0.85},
    {'?', 3, 17, 0.02, 0.89},
    {'?', 4, 19, 0.1, 0.95},
    {'?', 5, 20, 0.2, 0.99},
    {'?', 7, 21, 0.35, 1.0},
    {'?', 11, 21, 0.5, 1.0},
    {'?', 13, 20, 0.6, 0.96},
    {'?', 14, 19, 0.68, 0.9},
    {'?', 15, 17, 0.72, 0.8},
    {'?', 15, 15, 0.72, 0.68},
    {'?', 14, 13, 0.66, 0.57},
    {'?', 13, 12, 0.53, 0.5},
    {'?', 9, 10, 0.36, 0.43},
    {'?', 9, 7, 0.29, 0.29},
    {'?', 9, 2, 0.3, 0.065},
    {'?', 8, 1, 0.3, 0.04},
    {'?', 9, 0, 0.3, 0.02},
    {'?', 10, 1, 0.3, 0.04},
    // X's and x's arms stand closer at the top than at the foot; Z's
    // slash starts short of the end of its top bar.
    {'X', 3, 21, 0.045, 1.0},
    {'X', 17, 0, 0.95, 0.0},
    {'X', 17, 21, 0.905, 1.0},
    {'X', 3, 0, 0.0, 0.0},
    {'x', 3, 14, 0.045, 0.74},
    {'x', 14, 0, 0.85, 0.0},
    {'x', 14, 14, 0.805, 0.74},
    {'x', 3, 0, 0.01, 0.0},
    {'Z', 17, 21, 0.97, 1.0},
    {'Z', 3, 0, 0.0, 0.0},
    // 5's stem stands upright to below the middle and its bowl's top is
    // flat; B, 6, 9, s and y run along the printer's curves, y's tail
    // straighter.
    {'y', 2, 14, 0.0, 0.745},
    {'y', 8, 0, 0.47, 0.05},
    {'y', 14, 14, 0.86, 0.745},
    {'y', 6, -4, 0.4, -0.12},
    {'y', 4, -6, 0.32, -0.215},
    {'y', 2, -7, 0.22, -0.255},
    {'y', 1, -7, 0.09, -0.26},
    {'6', 16, 18, 1.0, 0.9},
    {'6', 15, 20, 0.88, 0.955},
    {'6', 12, 21, 0.62, 1.0},
    {'6', 10, 21, 0.38, 1.0},
    {'6', 7, 20, 0.15, 0.96},
    {'6', 5, 17, 0.03, 0.86},
    {'6', 4, 12, 0.0, 0.66},
    {'6', 4, 7, 0.0, 0.36},
    {'6', 5, 3, 0.04, 0.13},
    {'6', 7, 1, 0.14, 0.04},
    {'6', 10, 0, 0.35, 0.0},
    {'6', 11, 0, 0.65, 0.0},
    {'6', 14, 1, 0.86, 0.04},
    {'6', 16, 3, 0.96, 0.13},
    {'6', 17, 6, 1.0, 0.25},
    {'6', 17, 7, 1.0, 0.34},
    {'6', 16, 10, 0.95, 0.47},
    {'6', 14, 12, 0.82, 0.55},
    {'6', 11, 13, 0.62, 0.58},
    {'6', 10, 13, 0.38, 0.58},
    {'6', 7, 12, 0.16, 0.55},
    {'6', 5, 10, 0.04, 0.48},
    {'9', 16, 14, 1.0, 0.62},
    {'9', 15, 11, 0.95, 0.5},
    {'9', 13, 9, 0.82, 0.445},
    {'9', 10, 8, 0.62, 0.42},
    {'9', 9, 8, 0.38, 0.42},
    {'9', 6, 9, 0.16, 0.455},
    {'9', 4, 11, 0.04, 0.53},
    {'9', 3, 14, 0.0, 0.64},
    {'9', 3, 15, 0.0, 0.76},
    {'9', 4, 18, 0.04, 0.87},
    {'9', 6, 20, 0.15, 0.96},
    {'9', 9, 21, 0.38, 1.0},
    {'9', 10, 21, 0.62, 1.0},
    {'9', 13, 20, 0.86, 0.96},
    {'9', 15, 18, 0.97, 0.86},
    {'9', 16, 9, 1.0, 0.3},
    {'9', 15, 4, 0.97, 0.14},
    {'9', 13, 1, 0.86, 0.045},
    {'9', 10, 0, 0.62, 0.0},
    {'9', 8, 0, 0.38, 0.0},
    {'9', 5, 1, 0.13, 0.05},
    {'9', 4, 3, -0.02, 0.11},
    {'s', 14, 11, 0.89, 0.62},
    {'s', 13, 13, 0.76, 0.71},
    {'s', 10, 14, 0.52, 0.745},
    {'s', 7, 14, 0.27, 0.74},
    {'s', 4, 13, 0.08, 0.69},
    {'s', 3, 11, 0.0, 0.57},
    {'s', 4, 9, 0.06, 0.45},
    {'s', 6, 8, 0.2, 0.405},
    {'s', 11, 7, 0.62, 0.385},
    {'s', 13, 6, 0.78, 0.34},
    {'s', 14, 4, 0.86, 0.22},
    {'s', 14, 3, 0.85, 0.13},
    {'s', 13, 1, 0.76, 0.05},
    {'s', 10, 0, 0.52, 0.0},
    {'s', 7, 0, 0.25, 0.0},
    {'s', 4, 1, 0.07, 0.07},
    {'s', 3, 3, -0.03, 0.17},
    {'5', 15, 21, 0.95, 1.0},
    {'5', 5, 21, 0.0, 1.0},
    {'5', 4, 12, 0.0, 0.47},
    {'5', 5, 13, 0.1, 0.575},
    {'5', 8, 14, 0.3, 0.65},
    {'5', 11, 14, 0.7, 0.65},
    {'5', 14, 13, 0.88, 0.595},
    {'5', 16, 11, 0.98, 0.5},
    {'5', 17, 8, 1.0, 0.38},
    {'5', 17, 6, 1.0, 0.24},
    {'5', 16, 3, 0.95, 0.1},
    {'5', 14, 1, 0.84, 0.035},
    {'5', 11, 0, 0.6, 0.0},
    {'5', 8, 0, 0.35, 0.0},
    {'5', 5, 1, 0.13, 0.05},
    {'5', 4, 2, 0.04, 0.1},
    {'5', 3, 4, -0.02, 0.16},
    {'B', 4, 21, 0.0, 1.0},
    {'B', 4, 0, 0.0, 0.0},
    {'B', 13, 21, 0.7, 1.0},
    {'B', 16, 20, 0.86, 0.94},
    {'B', 17, 19, 0.93, 0.87},
    {'B', 18, 17, 0.96, 0.77},
    {'B', 18, 15, 0.94, 0.67},
    {'B', 17, 13, 0.87, 0.59},
    {'B', 16, 12, 0.78, 0.535},
    {'B', 13, 11, 0.6, 0.525},
    {'B', 4, 11, 0.0, 0.525},
    {'B', 16, 10, 0.86, 0.5},
    {'B', 17, 9, 0.95, 0.44},
    {'B', 18, 7, 1.0, 0.33},
    {'B', 18, 4, 1.0, 0.2},
    {'B', 17, 2, 0.95, 0.1},
    {'B', 16, 1, 0.85, 0.04},
    {'B', 13, 0, 0.68, 0.0},
    // The braces are single strokes, each of Hershey's three drawn along
    // it; $'s S, and % with round rings and no stroke from its upper ring
    // to the top of its slash (the stroke runs back along the slash), as
    // the printer draws them.
    {'{', 9, 25, 1.05, 1.1},
    {'{', 7, 24, 0.93, 1.09},
    {'{', 6, 23, 0.84, 1.04},
    {'{', 5, 21, 0.81, 0.95},
    {'{', 5, 19, 0.81, 0.8},
    {'{', 6, 17, 0.81, 0.66},
    {'{', 7, 16, 0.79, 0.58},
    {'{', 8, 14, 0.73, 0.52},
    {'{', 8, 12, 0.65, 0.49},
    {'{', 6, 10, 0.59, 0.48},
    {'{', 6, 22, 0.84, 1.04},
    {'{', 6, 20, 0.81, 0.95},
    {'{', 7, 18, 0.81, 0.8},
    {'{', 8, 17, 0.81, 0.66},
    {'{', 9, 15, 0.79, 0.58},
    {'{', 9, 13, 0.73, 0.52},
    {'{', 8, 11, 0.65, 0.49},
    {'{', 4, 9, 0.59, 0.48},
    {'{', 8, 7, 0.65, 0.47},
    {'{', 9, 5, 0.73, 0.44},
    {'{', 9, 3, 0.79, 0.38},
    {'{', 8, 1, 0.81, 0.3},
    {'{', 7, 0, 0.81, 0.15},
    {'{', 6, -2, 0.81, 0.02},
    {'{', 6, -4, 0.85, -0.08},
    {'{', 7, -6, 0.94, -0.12},
    {'{', 6, 8, 0.59, 0.48},
    {'{', 8, 6, 0.65, 0.47},
    {'{', 8, 4, 0.73, 0.44},
    {'{', 7, 2, 0.79, 0.38},
    {'{', 6, 1, 0.81, 0.3},
    {'{', 5, -1, 0.81, 0.15},
    {'{', 5, -3, 0.81, 0.02},
    {'{', 6, -5, 0.85, -0.08},
    {'{', 9, -7, 1.05, -0.13},
    {'}', 5, 25, 0.0, 1.1},
    {'}', 7, 24, 0.12, 1.09},
    {'}', 8, 23, 0.21, 1.04},
    {'}', 9, 21, 0.24, 0.95},
    {'}', 9, 19, 0.24, 0.8},
    {'}', 8, 17, 0.24, 0.66},
    {'}', 7, 16, 0.26, 0.58},
    {'}', 6, 14, 0.32, 0.52},
    {'}', 6, 12, 0.4, 0.49},
    {'}', 8, 10, 0.46, 0.48},
    {'}', 8, 22, 0.21, 1.04},
    {'}', 8, 20, 0.24, 0.95},
    {'}', 7, 18, 0.24, 0.8},
    {'}', 6, 17, 0.24, 0.66},
    {'}', 5, 15, 0.26, 0.58},
    {'}', 5, 13, 0.32, 0.52},
    {'}', 6, 11, 0.4, 0.49},
    {'}', 10, 9, 0.46, 0.48},
    {'}', 6, 7, 0.4, 0.47},
    {'}', 5, 5, 0.32, 0.44},
    {'}', 5, 3, 0.26, 0.38},
    {'}', 6, 1, 0.24, 0.3},
    {'}', 7, 0, 0.24, 0.15},
    {'}', 8, -2, 0.24, 0.02},
    {'}', 8, -4, 0.2, -0.08},
    {'}', 7, -6, 0.11, -0.12},
    {'}', 8, 8, 0.46, 0.48},
    {'}', 6, 6, 0.4, 0.47},
    {'}', 6, 4, 0.32, 0.44},
    {'}', 7, 2, 0.26, 0.38},
    {'}', 8, 1, 0.24, 0.3},
    {'}', 9, -1, 0.24, 0.15},
    {'}', 9, -3, 0.24, 0.02},
    {'}', 8, -5, 0.2, -0.08},
    {'}', 5, -7, 0.0, -0.13},
    {'$', 17, 18, 1.0, 0.82},
    {'$', 15, 20, 0.85, 0.92},
    {'$', 12, 21, 0.62, 0.97},
    {'$', 8, 21, 0.3, 0.97},
    {'$', 5, 20, 0.1, 0.92},
    {'$', 3, 18, 0.01, 0.83},
    {'$', 3, 16, 0.0, 0.7},
    {'$', 4, 14, 0.05, 0.6},
    {'$', 5, 13, 0.17, 0.55},
    {'$', 7, 12, 0.35, 0.525},
    {'$', 13, 10, 0.7, 0.48},
    {'$', 15, 9, 0.88, 0.44},
    {'$', 16, 8, 0.97, 0.38},
    {'$', 17, 6, 1.0, 0.28},
    {'$', 17, 3, 0.99, 0.16},
    {'$', 15, 1, 0.9, 0.07},
    {'$', 12, 0, 0.65, 0.03},
    {'$', 8, 0, 0.3, 0.03},
    {'$', 5, 1, 0.08, 0.08},
    {'$', 3, 3, -0.04, 0.18},
    {'%', 21, 21, 0.97, 0.97},
    {'%', 3, 0, 0.0, 0.0},
    {'%', 8, 21, 0.381, 0.674},
    {'%', 10, 19, 0.271, 0.62},
    {'%', 10, 17, 0.141, 0.627},
    {'%', 9, 15, 0.042, 0.693},
    {'%', 7, 14, 0.011, 0.792},
    {'%', 5, 14, 0.059, 0.886},
    {'%', 3, 16, 0.169, 0.94},
    {'%', 3, 18, 0.299, 0.933},
    {'%', 4, 20, 0.398, 0.867},
    {'%', 6, 21, 0.429, 0.768},
    {'%', 10, 20, 0.52, 0.52},
    {'%', 13, 19, 0.68, 0.68},
    {'%', 16, 19, 0.82, 0.82},
    {'%', 19, 20, 0.92, 0.92},
    {'%', 17, 7, 0.785, 0.32},
    {'%', 15, 6, 0.659, 0.289},
    {'%', 14, 4, 0.581, 0.209},
    {'%', 14, 2, 0.581, 0.111},
    {'%', 16, 0, 0.659, 0.031},
    {'%', 18, 0, 0.785, 0.0},
    {'%', 20, 1, 0.911, 0.031},
    {'%', 21, 3, 0.989, 0.111},
    {'%', 21, 5, 0.989, 0.209},
    {'%', 19, 7, 0.911, 0.289},
    // @'s ring is a rounded box that runs on from the right side of its
    // bowl, where Hershey's curls round from a foot.
    {'@', 18, 13, 1.0, 0.62},
    {'@', 17, 15, 0.9, 0.69},
    {'@', 15, 16, 0.64, 0.72},
    {'@', 12, 16, 0.4, 0.7},
    {'@', 10, 15, 0.31, 0.63},
    {'@', 9, 14, 0.285, 0.56},
    {'@', 8, 11, 0.28, 0.45},
    {'@', 8, 8, 0.3, 0.36},
    {'@', 9, 6, 0.36, 0.3},
    {'@', 11, 5, 0.45, 0.27},
    {'@', 14, 5, 0.68, 0.26},
    {'@', 16, 6, 0.9, 0.29},
    {'@', 17, 8, 1.0, 0.35},
    {'@', 10, 14, 0.3, 0.62},
    {'@', 9, 11, 0.28, 0.5},
    {'@', 9, 8, 0.29, 0.4},
    {'@', 10, 6, 0.33, 0.32},
    {'@', 18, 16, 1.0, 0.62},
    {'@', 17, 6, 1.0, 0.45},
    {'@', 19, 5, 1.0, 0.55},
    {'@', 21, 5, 1.0, 0.65},
    {'@', 23, 7, 1.0, 0.72},
    {'@', 24, 10, 0.995, 0.79},
    {'@', 24, 12, 0.98, 0.85},
    {'@', 23, 15, 0.95, 0.9},
    {'@', 22, 17, 0.89, 0.94},
    {'@', 20, 19, 0.78, 0.975},
    {'@', 18, 20, 0.64, 0.995},
    {'@', 15, 21, 0.5, 1.0},
    {'@', 12, 21, 0.36, 0.995},
    {'@', 9, 20, 0.22, 0.975},
    {'@', 7, 19, 0.12, 0.94},
    {'@', 5, 17, 0.05, 0.9},
    {'@', 4, 15, 0.015, 0.84},
    {'@', 3, 12, 0.0, 0.72},
    {'@', 3, 9, 0.0, 0.28},
    {'@', 4, 6, 0.015, 0.16},
    {'@', 5, 4, 0.05, 0.1},
    {'@', 7, 2, 0.12, 0.06},
    {'@', 9, 1, 0.22, 0.025},
    {'@', 12, 0, 0.36, 0.005},
    {'@', 15, 0, 0.5, 0.0},
    {'@', 18, 1, 0.7, 0.0},
    {'@', 20, 2, 0.85, 0.0},
    {'@', 21, 3, 0.95, 0.0},
    {'@', 19, 16, 1.0, 0.62},
    {'@', 18, 8, 1.0, 0.35},
    {'@', 18, 6, 1.0, 0.45},
    // The printer's 2 runs its neck down in a curve to the foot, its 3
    // has a round top, its a two storeys and its & another design: every
    // point of each, in the order Hershey draws them, is where the
    // printer's stroke runs. The &'s one stroke goes over some of its path
    // twice.
    {'2', 4, 16, 0.0, 0.81},
    {'2', 4, 17, 0.05, 0.86},
    {'2', 5, 19, 0.15, 0.93},
    {'2', 6, 20, 0.3, 0.99},
    {'2', 8, 21, 0.5, 1.0},
    {'2', 12, 21, 0.72, 0.98},
    {'2', 14, 20, 0.88, 0.93},
    {'2', 15, 19, 0.97, 0.84},
    {'2', 16, 17, 1.0, 0.72},
    {'2', 16, 15, 0.99, 0.6},
    {'2', 15, 13, 0.92, 0.51},
    {'2', 13, 10, 0.12, 0.31},
    {'2', 3, 0, 0.0, 0.0},
    {'2', 17, 0, 1.0, 0.0},
    {'3', 5, 21, 0.0, 0.855},
    {'3', 16, 21, 0.25, 0.98},
    {'3', 10, 13, 0.55, 1.0},
    {'3', 13, 13, 0.84, 0.935},
    {'3', 15, 12, 0.95, 0.77},
    {'3', 16, 11, 0.86, 0.56},
    {'3', 17, 8, 0.4, 0.525},
    {'3', 17, 6, 0.86, 0.51},
    {'3', 16, 3, 0.97, 0.38},
    {'3', 14, 1, 1.0, 0.24},
    {'3', 11, 0, 0.93, 0.09},
    {'3', 8, 0, 0.72, 0.01},
    {'3', 5, 1, 0.45, 0.0},
    {'3', 4, 2, 0.15, 0.04},
    {'3', 3, 4, -0.02, 0.13},
    {'a', 15, 14, 0.87, 0.5},
    {'a', 15, 0, 0.87, 0.0},
    {'a', 15, 11, 0.0, 0.68},
    {'a', 13, 13, 0.25, 0.735},
    {'a', 11, 14, 0.55, 0.745},
    {'a', 8, 14, 0.78, 0.66},
    {'a', 6, 13, 0.87, 0.5},
    {'a', 4, 11, 0.87, 0.36},
    {'a', 3, 8, 0.7, 0.405},
    {'a', 3, 6, 0.38, 0.42},
    {'a', 4, 3, 0.1, 0.37},
    {'a', 6, 1, 0.0, 0.24},
    {'a', 8, 0, 0.04, 0.08},
    {'a', 11, 0, 0.3, 0.0},
    {'a', 13, 1, 0.65, 0.02},
    {'a', 15, 3, 0.87, 0.17},
    {'&', 23, 12, 0.9, 0.74},
    {'&', 23, 13, 0.9, 0.82},
    {'&', 22, 14, 0.89, 0.9},
    {'&', 21, 14, 0.84, 0.96},
    {'&', 20, 13, 0.65, 1.0},
    {'&', 19, 11, 0.42, 1.0},
    {'&', 17, 6, 0.24, 0.975},
    {'&', 15, 3, 0.16, 0.92},
    {'&', 13, 1, 0.14, 0.84},
    {'&', 11, 0, 0.14, 0.74},
    {'&', 7, 0, 0.17, 0.64},
    {'&', 5, 1, 0.24, 0.56},
    {'&', 4, 2, 0.4, 0.45},
    {'&', 3, 4, 0.62, 0.29},
    {'&', 3, 6, 0.8, 0.15},
    {'&', 4, 8, 1.01, 0.0},
    {'&', 5, 9, 0.97, 0.13},
    {'&', 12, 13, 1.0, 0.25},
    {'&', 13, 14, 1.0, 0.4},
    {'&', 14, 16, 1.0, 0.25},
    {'&', 14, 18, 0.97, 0.13},
    {'&', 13, 20, 0.88, 0.06},
    {'&', 11, 21, 0.75, 0.02},
    {'&', 9, 20, 0.55, 0.0},
    {'&', 8, 18, 0.32, 0.0},
    {'&', 8, 16, 0.15, 0.04},
    {'&', 9, 13, 0.05, 0.1},
    {'&', 11, 10, 0.0, 0.2},
    {'&', 16, 3, 0.0, 0.32},
    {'&', 18, 1, 0.03, 0.44},
    {'&', 20, 0, 0.12, 0.51},
    {'&', 22, 0, 0.24, 0.56},
    {'&', 23, 1, 0.24, 0.56},
    {'&', 23, 2, 0.24, 0.56},
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
            const PlacedPoint top = place_point(place, stem_top(glyph));
            serif.right = top.across;
            serif.up = top.up;
        }
    }
}

bool has_point(const Glyph &glyph, FontPoint p)
{
    for (const std::vector<FontPoint> &stroke : glyph.strokes)
        for (const FontPoint &q : stroke)
            if (q.x == p.x && q.y == p.y)
                return true;
    return false;
}

void add_moves(const Glyph &glyph, unsigned char c, double box_left, double box_width,
               GlyphPlace &place)
{
    for (const MoveRule &rule : kMoves) {
        const FontPoint from{rule.x, rule.y};
        if (static_cast<unsigned char>(rule.c) != c || !has_point(glyph, from)
            || place.move_count == std::ssize(place.moves))
            continue;
        place.moves[place.move_count++] = {
            from, {box_left + rule.across * box_width, rule.up * kHeightOfH}};
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
PlacedPoint squared(const GlyphPlace &place, FontPoint p)
{
    const double u = (p.x - place.centre.across) / place.half.across;
    const double v = (p.y - place.centre.up) / place.half.up;
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
    return {place.centre.across + su * place.half.across, place.centre.up + sv * place.half.up};
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
        add_moves(glyph, c, box.left, box.width, place);
        add_serifs(glyph, c, box.left, box.width, place);
        make_squarer(glyph, c, place);
    }
    return place;
}

PlacedPoint place_point(const GlyphPlace &place, FontPoint p)
{
    for (int i = 0; i < place.move_count; ++i)
        if (place.moves[i].from.x == p.x && place.moves[i].from.y == p.y)
            return place.moves[i].to;
    const PlacedPoint q = place.squarer
                              ? squared(place, p)
                              : PlacedPoint{static_cast<double>(p.x), static_cast<double>(p.y)};
    return {place.left + (q.across - place.ink_left) * place.scale,
            map_up(place, q.up * place.unit)};
}

#include "stick_glyph_place.h"

#include <algorithm>
#include <cmath>

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
    {'"', 0.78, 1.06},   {'#', 0, 1},        {'$', -0.13, 1.10}, {'%', 0, 0.94},
    {'\'', 0.78, 1},     {'(', -0.13, 1.19}, {')', -0.13, 1.19}, {'*', 0.14, 0.91},
    {'+', 0.14, 0.91},   {',', -0.16, 0.06}, {'-', 0.49, 0.49},  {'.', 0, 0.06},
    {'/', -0.13, 1.10},  {':', 0, 0.74},     {';', -0.16, 0.74}, {'<', 0.16, 0.87},
    {'=', 0.36, 0.61},   {'>', 0.16, 0.87},  {'Q', 0, 1},        {'[', -0.13, 1.10},
    {'\\', -0.13, 1.10}, {']', -0.13, 1.10}, {'^', 0.92, 1.10},  {'_', -0.2, -0.2},
    {'`', 0.92, 1.13},   {'{', -0.13, 1.10}, {'|', -0.13, 1.10}, {'}', -0.13, 1.10},
    {'~', 0.91, 1.06},
};

const UpSpan *up_span(const UpSpan *first, const UpSpan *last, unsigned char c)
{
    const UpSpan *found = std::find_if(
        first, last, [c](const UpSpan &s) { return static_cast<unsigned char>(s.c) == c; });
    return found != last ? found : nullptr;
}

void place_up(const StrokeFont &font, const InkExtent &ink, unsigned char c, GlyphPlace &place)
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
// foot (and I's head), and a spur left from the top of the stem. Across in
// fractions of the box of H; a spur runs to the stem.
struct SerifRule {
    char c;
    double left;
    double right;
    enum { Foot, Head, Spur } where;
};

constexpr SerifRule kSerifs[] = {
    {'I', 0.14, 0.89, SerifRule::Foot}, {'I', 0.14, 0.89, SerifRule::Head},
    {'1', 0.23, 0.85, SerifRule::Foot}, {'i', 0.19, 0.85, SerifRule::Foot},
    {'i', 0.19, 0, SerifRule::Spur},    {'l', 0.19, 0.85, SerifRule::Foot},
    {'l', 0.19, 0, SerifRule::Spur},    {'j', 0.19, 0, SerifRule::Spur},
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

// After the glyph is placed: the spur meets the stem where it is drawn.
void add_serifs(const Glyph &glyph, unsigned char c, double box_left, double box_width,
                GlyphPlace &place)
{
    for (const SerifRule &rule : kSerifs) {
        if (static_cast<unsigned char>(rule.c) != c || place.serif_count == 2)
            continue;
        GlyphPlace::Serif &serif = place.serifs[place.serif_count++];
        serif.left = box_left + rule.left * box_width;
        serif.right = box_left + rule.right * box_width;
        serif.up = map_up(place, rule.where == SerifRule::Head ? 1 : 0);
        if (rule.where == SerifRule::Spur) {
            const FontPoint top = stem_top(glyph);
            serif.right = place.left + (top.x - place.ink_left) * place.scale;
            serif.up = map_up(place, top.y * place.unit);
        }
    }
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
    place_up(font, ink, c, place);
    for (int i = 0; i < place.knot_count; ++i)
        place.knots[i].to *= kHeightOfH;
    if (box.width > 0)
        add_serifs(glyph, c, box.left, box.width, place);
    return place;
}

PlacedPoint place_point(const GlyphPlace &place, FontPoint p)
{
    return {place.left + (p.x - place.ink_left) * place.scale, map_up(place, p.y * place.unit)};
}

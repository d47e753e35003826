// SPDX-License-Identifier: MIT
// page_marks: what a printed page shows, for the printing tests.
//
//   page_marks PAGE.pgm
//
// Reads one page rendered as a binary PGM (P5, 8 bits) and prints
//
//   WIDTH HEIGHT LEFT TOP RIGHT BOTTOM CORNER
//
// the page in pixels, the box around everything drawn on it (pixels darker
// than mid grey), and which corner of that box holds more ink than the
// others: "top-left", "top-right", "bottom-left" or "bottom-right", or
// "blank" for a page with nothing on it. The test plots draw a frame, which
// fills the four corners alike, and a filled block in the corner of the
// plot's top left, so the corner tells how the plot was turned on the page.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Gray {
    long width = 0;
    long height = 0;
    std::vector<unsigned char> pixels;
};

// Skips blanks and "#" comments between the fields of the PGM header.
void skip_header_space(std::istream &in)
{
    for (int c = in.peek(); c != EOF; c = in.peek()) {
        if (c == '#') {
            std::string comment;
            std::getline(in, comment);
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            in.get();
        } else {
            return;
        }
    }
}

bool read_pgm(const char *name, Gray &page)
{
    std::ifstream in(name, std::ios::binary);
    std::string magic;
    long maximum = 0;
    in >> magic;
    skip_header_space(in);
    in >> page.width;
    skip_header_space(in);
    in >> page.height;
    skip_header_space(in);
    in >> maximum;
    if (!in || magic != "P5" || maximum != 255 || page.width <= 0 || page.height <= 0)
        return false;
    in.get(); // the single blank before the pixels
    page.pixels.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return static_cast<long>(page.pixels.size()) >= page.width * page.height;
}

} // namespace

int main(int argc, char **argv)
{
    Gray page;
    if (argc != 2 || !read_pgm(argv[1], page)) {
        std::fprintf(stderr, "usage: page_marks PAGE.pgm (binary 8-bit PGM)\n");
        return 2;
    }
    auto inked = [&](long x, long y) { return page.pixels[y * page.width + x] < 128; };

    long left = page.width, top = page.height, right = -1, bottom = -1;
    for (long y = 0; y < page.height; ++y)
        for (long x = 0; x < page.width; ++x)
            if (inked(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0) {
        std::printf("%ld %ld 0 0 0 0 blank\n", page.width, page.height);
        return 0;
    }
    // The ink in each quarter of the drawing's box.
    const long middle_x = (left + right) / 2, middle_y = (top + bottom) / 2;
    long quarters[2][2] = {};
    for (long y = top; y <= bottom; ++y)
        for (long x = left; x <= right; ++x)
            if (inked(x, y))
                ++quarters[y > middle_y][x > middle_x];
    static const char *const kCorners[2][2] = {{"top-left", "top-right"},
                                               {"bottom-left", "bottom-right"}};
    int best_row = 0, best_column = 0;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column)
            if (quarters[row][column] > quarters[best_row][best_column]) {
                best_row = row;
                best_column = column;
            }
    std::printf("%ld %ld %ld %ld %ld %ld %s\n", page.width, page.height, left, top, right, bottom,
                kCorners[best_row][best_column]);
    return 0;
}

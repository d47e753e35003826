// SPDX-License-Identifier: MIT
// ink_compare: how far two renders of a page agree on their ink.
//
//   ink_compare A.png B.png   prints "SCORE a=WxH b=WxH a_only=N b_only=N":
//                             the score (see compare_ink), both sizes, and
//                             the ink pixels of each with no ink of the
//                             other near them. Pages of different sizes are
//                             compared on the larger canvas, padded white.
//   ink_compare --bbox A.png  prints "size W H ink LEFT TOP RIGHT BOTTOM"
//                             (inclusive pixels), or "size W H ink none".
//
// Exit status 0, or 2 on a wrong call or a PNG that cannot be read.
#include "ink.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

std::optional<GrayImage> load(const char *path)
{
    std::string error;
    std::optional<GrayImage> image = read_png_gray(path, error);
    if (!image)
        std::fprintf(stderr, "ink_compare: %s: %s\n", path, error.c_str());
    return image;
}

int print_box(const char *path)
{
    const std::optional<GrayImage> image = load(path);
    if (!image)
        return 2;
    const InkBox box = ink_box(ink_on_canvas(*image, image->width, image->height));
    if (box.empty)
        std::printf("size %d %d ink none\n", image->width, image->height);
    else
        std::printf("size %d %d ink %d %d %d %d\n", image->width, image->height, box.left, box.top,
                    box.right, box.bottom);
    return 0;
}

int print_agreement(const char *path_a, const char *path_b)
{
    const std::optional<GrayImage> a = load(path_a);
    const std::optional<GrayImage> b = load(path_b);
    if (!a || !b)
        return 2;
    const int width = std::max(a->width, b->width);
    const int height = std::max(a->height, b->height);
    const InkAgreement agreement =
        compare_ink(ink_on_canvas(*a, width, height), ink_on_canvas(*b, width, height), kDilation);
    std::printf("%.6f a=%dx%d b=%dx%d a_only=%zu b_only=%zu\n", agreement.score, a->width,
                a->height, b->width, b->height, agreement.a_only, agreement.b_only);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--bbox") == 0)
        return print_box(argv[2]);
    if (argc == 3 && argv[1][0] != '-')
        return print_agreement(argv[1], argv[2]);
    std::fprintf(stderr, "usage: ink_compare A.png B.png\n       ink_compare --bbox A.png\n");
    return 2;
}

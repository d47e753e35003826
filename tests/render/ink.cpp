// SPDX-License-Identifier: MIT
#include "ink.h"

#include <png.h>

#include <algorithm>

std::optional<GrayImage> read_png_gray(const std::string &path, std::string &error)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
        error = png.message;
        return std::nullopt;
    }
    png.format = PNG_FORMAT_GRAY;
    GrayImage image;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels.resize(PNG_IMAGE_SIZE(png));
    // White behind any transparency, as on paper.
    png_color white{255, 255, 255};
    if (png_image_finish_read(&png, &white, image.pixels.data(), 0, nullptr) == 0) {
        error = png.message;
        png_image_free(&png);
        return std::nullopt;
    }
    return image;
}

InkMask ink_on_canvas(const GrayImage &image, int width, int height)
{
    InkMask mask{width, height,
                 std::vector<unsigned char>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.pixels[static_cast<std::size_t>(y) * image.width + x] < kInkThreshold)
                mask.ink[static_cast<std::size_t>(y) * width + x] = 1;
        }
    }
    return mask;
}

// One pass along rows (dx = 1) or columns: a pixel is set when a set pixel
// lies within `radius` along that axis. Two passes make the square.
static InkMask grown_along(const InkMask &mask, int radius, bool along_rows)
{
    InkMask out{mask.width, mask.height, std::vector<unsigned char>(mask.ink.size())};
    const int lines = along_rows ? mask.height : mask.width;
    const int length = along_rows ? mask.width : mask.height;
    for (int line = 0; line < lines; ++line) {
        // The distance back to the last set pixel, carried along the line,
        // then the same from the other end.
        int since = radius + 1;
        auto index = [&](int i) {
            return along_rows ? static_cast<std::size_t>(line) * mask.width + i
                              : static_cast<std::size_t>(i) * mask.width + line;
        };
        for (int i = 0; i < length; ++i) {
            since = mask.ink[index(i)] != 0 ? 0 : since + 1;
            if (since <= radius)
                out.ink[index(i)] = 1;
        }
        since = radius + 1;
        for (int i = length - 1; i >= 0; --i) {
            since = mask.ink[index(i)] != 0 ? 0 : since + 1;
            if (since <= radius)
                out.ink[index(i)] = 1;
        }
    }
    return out;
}

InkMask dilated(const InkMask &mask, int radius)
{
    return grown_along(grown_along(mask, radius, true), radius, false);
}

InkAgreement compare_ink(const InkMask &a, const InkMask &b, int radius)
{
    const InkMask near_a = dilated(a, radius);
    const InkMask near_b = dilated(b, radius);
    InkAgreement agreement;
    std::size_t both = 0;
    std::size_t either = 0;
    for (std::size_t i = 0; i < a.ink.size(); ++i) {
        both += near_a.ink[i] && near_b.ink[i] ? 1 : 0;
        either += near_a.ink[i] || near_b.ink[i] ? 1 : 0;
        agreement.a_only += a.ink[i] && !near_b.ink[i] ? 1 : 0;
        agreement.b_only += b.ink[i] && !near_a.ink[i] ? 1 : 0;
    }
    agreement.ink_either = either;
    agreement.score = either == 0 ? 1.0 : static_cast<double>(both) / static_cast<double>(either);
    return agreement;
}

InkBox ink_box(const InkMask &mask)
{
    InkBox box;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            if (!mask.at(x, y))
                continue;
            if (box.empty) {
                box = {false, x, y, x, y};
                continue;
            }
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

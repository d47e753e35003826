// SPDX-License-Identifier: MIT
#include "png_band.h"

#include <cairo.h>

#include <cstdint>

namespace {

cairo_status_t append(void *closure, const unsigned char *data, unsigned int length)
{
    static_cast<std::string *>(closure)->append(reinterpret_cast<const char *>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

std::string png_of_band(const ImageBand &band)
{
    const std::size_t bytes = band.width * band.rows * 3;
    if (band.width == 0 || band.rows == 0 || band.rgb.size() < bytes)
        return {};
    cairo_surface_t *surface = cairo_image_surface_create(
        band.white_transparent ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24,
        static_cast<int>(band.width), static_cast<int>(band.rows));
    std::string png;
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(surface);
        unsigned char *data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (std::size_t y = 0; y < band.rows; ++y) {
            auto *out =
                reinterpret_cast<std::uint32_t *>(data + static_cast<std::ptrdiff_t>(y) * stride);
            const std::uint8_t *in = band.rgb.data() + y * band.width * 3;
            for (std::size_t x = 0; x < band.width; ++x, in += 3) {
                const bool clear =
                    band.white_transparent && in[0] == 255 && in[1] == 255 && in[2] == 255;
                // Premultiplied: a clear pixel is all zeros.
                out[x] = clear ? 0
                               : 0xFF000000u | (std::uint32_t{in[0]} << 16)
                                     | (std::uint32_t{in[1]} << 8) | in[2];
            }
        }
        cairo_surface_mark_dirty(surface);
        if (cairo_surface_write_to_png_stream(surface, append, &png) != CAIRO_STATUS_SUCCESS)
            png.clear();
    }
    cairo_surface_destroy(surface);
    return png;
}

std::string base64(const std::string &bytes)
{
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        std::uint32_t group = static_cast<std::uint8_t>(bytes[i]) << 16;
        if (left > 1)
            group |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
        if (left > 2)
            group |= static_cast<std::uint8_t>(bytes[i + 2]);
        text += kDigits[group >> 18 & 63];
        text += kDigits[group >> 12 & 63];
        text += left > 1 ? kDigits[group >> 6 & 63] : '=';
        text += left > 2 ? kDigits[group & 63] : '=';
    }
    return text;
}

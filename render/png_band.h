// SPDX-License-Identifier: MIT
// An image band as a PNG file's bytes, for a document that embeds images
// so (SVG): white clear where the band's white is transparent.
#ifndef ZELVO_PNG_BAND_H
#define ZELVO_PNG_BAND_H

#include "page_sink.h"

#include <string>

// Empty when the image cannot be made.
std::string png_of_band(const ImageBand &band);

// `bytes` in base64, as a data URL holds them.
std::string base64(const std::string &bytes);

#endif

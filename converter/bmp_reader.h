// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vips/vips.h>

namespace nconvert {

/// What the headers of an uncompressed BMP (BI_RGB, BI_BITFIELDS) say, checked for sanity.
struct BmpLayout {
    int width = 0;
    int height = 0; ///< always positive; see topDown
    bool topDown = false;
    int bitCount = 0;   ///< 1, 4, 8, 16, 24 or 32
    bool alpha = false; ///< an alpha mask is present (BITFIELDS with alpha)
    std::size_t pixelOffset = 0;
    std::size_t stride = 0;                   ///< bytes per stored row, padded to 4
    std::array<std::uint32_t, 4> masks{};     ///< R, G, B, A for 16 and 32 bits
    std::array<std::uint32_t, 256> palette{}; ///< 0xRRGGBB for up to 8 bits
    int paletteSize = 0;
    bool truncated = false; ///< the file ends before the last row's data
    double xPixelsPerMetre = 0;
    double yPixelsPerMetre = 0;
};

/// Reads and checks the BMP headers without touching pixel data. Throws Error with `subject`:
/// Status::Unsupported for compressed BMPs (RLE, embedded JPEG/PNG) or unknown header kinds,
/// Status::BadInput for inconsistent files. A file cut short only sets `truncated`, so that the
/// caller can check the size limits first.
BmpLayout readBmpLayout(const unsigned char* data, std::size_t size, const std::string& subject);

/// A libvips image (sRGB uchar, 3 bands, or 4 with alpha) that decodes the rows of `data` on
/// demand. `data` must stay valid and unchanged for the image's lifetime.
VipsImage* bmpImage(const unsigned char* data, std::size_t size, const BmpLayout& layout);

} // namespace nconvert

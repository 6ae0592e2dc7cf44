// SPDX-License-Identifier: MIT
#pragma once

#include "resample.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nconvert {

/// A plain PNG decoded whole: grey, grey+alpha, RGB or RGBA, 8 or 16 bits, not interlaced.
struct SmallPng {
    bool sixteenBit = false;
    Pixels<std::uint8_t> pixels8;
    Pixels<std::uint16_t> pixels16;
    std::uint32_t pixelsPerMetre[2] = {0, 0}; ///< from pHYs; 0 when absent
    std::vector<unsigned char> icc;
    std::vector<std::pair<std::string, std::string>> text; ///< keyword and text, in file order
    /// EXIF resolution in dots per inch, when there is an EXIF block: the pipeline reads it but
    /// never writes the block into a PNG.
    std::optional<double> exifDpi[2];
};

/// The picture, or nothing when the file holds anything whose copy this decoder does not make
/// exactly as the full pipeline would (palette, transparency chunk, interlace, international
/// text or XMP, an EXIF block of another layout, any other ancillary chunk) or when libpng reports
/// any problem: the full pipeline then decides, and reports.
std::optional<SmallPng> decodeSmallPng(const unsigned char* data, std::size_t size);

/// `picture` as the PNG writer makes it, with its resolution, ICC profile and text. Nothing when
/// libpng fails.
std::optional<std::vector<unsigned char>> encodeSmallPng(const SmallPng& picture);

} // namespace nconvert

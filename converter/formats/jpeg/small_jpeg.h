// SPDX-License-Identifier: MIT
#pragma once

#include "resample.h"
#include "small_exif.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace nconvert {

/// A plain 8-bit YCbCr or grey JPEG decoded whole, with the metadata a copy carries.
struct SmallJpeg {
    Pixels<std::uint8_t> pixels; ///< RGB or grey
    std::vector<unsigned char> icc;
    SmallExif exif; ///< written with the output's size
};

/// The picture, or nothing when the file holds anything whose copy this decoder does not make
/// exactly as the full pipeline would (CMYK or Adobe colour, 12 bits, arithmetic coding, XMP,
/// IPTC, comments, an EXIF block of another layout, a split ICC profile, ...) or when libjpeg
/// reports any damage: the full pipeline then decides, and reports.
std::optional<SmallJpeg> decodeSmallJpeg(const unsigned char* data, std::size_t size);

/// `picture` encoded baseline at `quality`, 4:2:0 when `subsampled`, with an EXIF block
/// carrying its size, resolution and orientation and its ICC profile. Nothing when libjpeg
/// fails.
std::optional<std::vector<unsigned char>> encodeSmallJpeg(const SmallJpeg& picture, int quality,
                                                          bool subsampled);

} // namespace nconvert

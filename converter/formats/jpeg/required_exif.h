// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace nconvert {

/// What varies in the EXIF block a JPEG copy gets when its source has none: the picture's
/// required tags, laid out as libexif lays them out, which is what every JPEG libvips has made
/// carries (orientation, resolution, size).
struct RequiredExif {
    int orientation = 1;
    /// Resolution in dots per unit as stored: X numerator, denominator, Y numerator, denominator.
    std::uint32_t resolution[4] = {72, 1, 72, 1};
    int unit = 2; ///< EXIF ResolutionUnit: 2 inches, 3 centimetres
};

/// The block of that layout for a picture of width x height.
std::vector<unsigned char> requiredExif(const RequiredExif& fields, int width, int height);

} // namespace nconvert

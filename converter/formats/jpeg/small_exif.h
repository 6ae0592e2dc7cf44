// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace nconvert {

/// What varies in the one EXIF layout the small-picture path reads and writes: the block
/// libexif makes of a picture's required tags, as the full pipeline writes it.
struct SmallExif {
    int orientation = 1;
    /// Resolution in dots per unit as stored: X numerator, denominator, Y numerator, denominator.
    std::uint32_t resolution[4] = {72, 1, 72, 1};
    int unit = 2; ///< EXIF ResolutionUnit: 2 inches, 3 centimetres
};

/// The fields of `tiff` (an EXIF block after its "Exif" prefix), or nothing when it is not of
/// that layout, byte for byte, or holds an orientation or resolution the pipeline would change.
std::optional<SmallExif> readSmallExif(const unsigned char* tiff, std::size_t size);

/// The block of that layout for a picture of width x height.
std::vector<unsigned char> smallExif(const SmallExif& fields, int width, int height);

} // namespace nconvert

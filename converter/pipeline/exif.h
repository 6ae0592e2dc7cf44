// SPDX-License-Identifier: MIT
// EXIF blocks as a copy carries them: kept as they came, with only their size tags brought up to
// date.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace nconvert {

/// `tiff` (an EXIF block as TIFF data, without JPEG's "Exif\0\0") with its size tags set to
/// width x height: PixelXDimension and PixelYDimension in the Exif IFD, ImageWidth and
/// ImageLength in IFD0, each where present and rewritten in place. Every other byte stays as
/// it came. A block whose IFDs cannot be walked within its bounds comes back untouched.
std::vector<unsigned char> exifWithSize(const std::vector<unsigned char>& tiff, std::uint32_t width,
                                        std::uint32_t height);

/// The resolution IFD0 states (XResolution, YResolution, ResolutionUnit inches or
/// centimetres, inches when the unit is absent) in pixels per metre, horizontally and
/// vertically; nothing when it states none or one that is not a resolution.
struct ExifResolution {
    double pixelsPerMetre[2] = {0, 0};
};
std::optional<ExifResolution> exifResolution(const std::vector<unsigned char>& tiff);

} // namespace nconvert

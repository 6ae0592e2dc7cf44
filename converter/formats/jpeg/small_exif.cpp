// SPDX-License-Identifier: MIT
#include "small_exif.h"

#include <cstring>

namespace nconvert {
namespace {

// The EXIF block (TIFF structure) the full pipeline writes for a picture without one: libexif's
// required tags in its own layout (little-endian). Orientation, resolution and pixel size are
// patched in. An input block of exactly this layout is what that pipeline writes back with the new
// size, so it is the one EXIF layout this path accepts.
const unsigned char kExif[] = {
    'I',  'I',  0x2a, 0x00, 0x08, 0x00, 0x00, 0x00, 0x06, 0x00, 0x12, 0x01, 0x03, 0x00, 0x01,
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x1a, 0x01, 0x05, 0x00, 0x01, 0x00, 0x00, 0x00,
    0x56, 0x00, 0x00, 0x00, 0x1b, 0x01, 0x05, 0x00, 0x01, 0x00, 0x00, 0x00, 0x5e, 0x00, 0x00,
    0x00, 0x28, 0x01, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x13, 0x02,
    0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x69, 0x87, 0x04, 0x00, 0x01,
    0x00, 0x00, 0x00, 0x66, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x48, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x00, 0x00, 0x48, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00,
    0x90, 0x07, 0x00, 0x04, 0x00, 0x00, 0x00, '0',  '2',  '1',  '0',  0x01, 0x91, 0x07, 0x00,
    0x04, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x00, 0x00, 0xa0, 0x07, 0x00, 0x04, 0x00, 0x00,
    0x00, '0',  '1',  '0',  '0',  0x01, 0xa0, 0x03, 0x00, 0x01, 0x00, 0x00, 0x00, 0xff, 0xff,
    0x00, 0x00, 0x02, 0xa0, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03,
    0xa0, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
// Offsets in kExif of the fields that vary.
constexpr std::size_t kOrientationAt = 18;
constexpr std::size_t kUnitAt = 54;
constexpr std::size_t kResolutionAt = 86; // X numerator, denominator, Y numerator, denominator
constexpr std::size_t kWidthAt = 160;
constexpr std::size_t kHeightAt = 172;

bool variable(std::size_t i) {
    return (i >= kOrientationAt && i < kOrientationAt + 2) || (i >= kUnitAt && i < kUnitAt + 2) ||
           (i >= kResolutionAt && i < kResolutionAt + 16) || (i >= kWidthAt && i < kWidthAt + 4) ||
           (i >= kHeightAt && i < kHeightAt + 4);
}

std::uint32_t le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void putLe32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

} // namespace

std::optional<SmallExif> readSmallExif(const unsigned char* tiff, std::size_t size) {
    if (size != sizeof kExif)
        return std::nullopt;
    for (std::size_t i = 0; i < size; ++i)
        if (!variable(i) && tiff[i] != kExif[i])
            return std::nullopt;
    SmallExif fields;
    fields.orientation = tiff[kOrientationAt] | tiff[kOrientationAt + 1] << 8;
    fields.unit = tiff[kUnitAt] | tiff[kUnitAt + 1] << 8;
    for (int k = 0; k < 4; ++k)
        fields.resolution[k] = le32(tiff + kResolutionAt + 4 * k);
    // libvips clips the orientation to 1..8, and a zero denominator is no resolution.
    if (fields.orientation < 1 || fields.orientation > 8 ||
        (fields.unit != 2 && fields.unit != 3) || fields.resolution[1] == 0 ||
        fields.resolution[3] == 0)
        return std::nullopt;
    return fields;
}

std::vector<unsigned char> smallExif(const SmallExif& fields, int width, int height) {
    std::vector<unsigned char> block(kExif, kExif + sizeof kExif);
    block[kOrientationAt] = static_cast<unsigned char>(fields.orientation);
    block[kUnitAt] = static_cast<unsigned char>(fields.unit);
    for (int k = 0; k < 4; ++k)
        putLe32(block.data() + kResolutionAt + 4 * k, fields.resolution[k]);
    putLe32(block.data() + kWidthAt, std::uint32_t(width));
    putLe32(block.data() + kHeightAt, std::uint32_t(height));
    return block;
}

} // namespace nconvert

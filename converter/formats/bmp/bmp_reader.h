// SPDX-License-Identifier: MIT
#pragma once

#include "bmp_rle.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nconvert {

/// What the headers of a BMP (BI_RGB, BI_BITFIELDS, BI_ALPHABITFIELDS, BI_RLE8, BI_RLE4) say,
/// checked for sanity, with the outline of an RLE stream.
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
    bool rle = false;       ///< RLE8 (bitCount 8) or RLE4 (bitCount 4); see rleIndex
    RleIndex rleIndex;      ///< where each row's codes start, when rle
    bool truncated = false; ///< the file ends before the last row's data
    double xPixelsPerMetre = 0;
    double yPixelsPerMetre = 0;
};

/// Reads and checks the BMP headers; of the pixel data it reads only an RLE stream's codes, to
/// check that none leaves the picture. Throws Error with `subject`: Status::Unsupported for
/// embedded JPEG/PNG data, OS/2 Huffman or RLE24 data, or unknown header kinds; Status::BadInput
/// for inconsistent files and corrupt RLE streams. A file cut short only sets `truncated`, so
/// that the caller can check the size limits first.
BmpLayout readBmpLayout(const unsigned char* data, std::size_t size, const std::string& subject);

/// The pixels of a checked BMP, one row at a time: 8-bit RGB, or RGBA when the layout has
/// alpha. `data` and `layout` must stay valid while it is used.
class BmpRowDecoder {
public:
    BmpRowDecoder(const unsigned char* data, std::size_t size, const BmpLayout& layout);
    /// Pixels x0 .. x0 + count - 1 of row y, counted from the top.
    void decodeRow(int y, int x0, int count, unsigned char* out);

private:
    void putIndex(int index, unsigned char* o) const;

    const unsigned char* m_data;
    std::size_t m_size;
    const BmpLayout& m_layout;
    std::vector<unsigned char> m_indices; // an RLE row's palette indices
};

} // namespace nconvert

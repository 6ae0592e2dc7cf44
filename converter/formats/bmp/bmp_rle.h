// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace nconvert {

/// Where the RLE stream starts writing one stored row (0 = the bottom row): its first code
/// and the column it starts at. A row the stream skips with a delta has no entry.
struct RleRowStart {
    int row = 0;
    int x = 0;
    std::size_t offset = 0;
};

/// The checked outline of an RLE4 or RLE8 stream: where each row's codes begin, so that any
/// row can be decoded on its own, in any order and from any thread.
struct RleIndex {
    std::vector<RleRowStart> rows; ///< sorted by row
    bool truncated = false;        ///< the data ends before the picture and before end-of-bitmap
    std::string problem;           ///< why the stream is corrupt; empty when it is sound
};

/// Walks the whole stream once and checks that no run or delta leaves the picture.
RleIndex indexRle(const unsigned char* stream, std::size_t length, int width, int height, int bits);

/// Writes one stored row's palette indices into `indices` (`width` bytes). Pixels the stream
/// does not write are index 0.
void decodeRleRow(const unsigned char* stream, std::size_t length, const RleIndex& index, int row,
                  int width, int bits, unsigned char* indices);

} // namespace nconvert

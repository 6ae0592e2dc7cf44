// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace nconvert {

/// What a JPEG's or PNG's header claims, read without any library, and whether the rest of the
/// file can possibly hold it. Run before any decoder, so that a tiny file with a huge header is
/// refused before a single output byte is written.
struct HeaderClaim {
    std::int64_t width = 0; ///< 0 when the header was not found (the decoder will say why)
    std::int64_t height = 0;
    /// Why the file cannot be what its header says (truncated or corrupt); empty when it can.
    std::string problem;
};

/// The frame header's size. A Huffman code is at least one bit and the first scan codes at least
/// one for each block of its smallest component, so the file has at least one byte per 8 MCUs
/// (an MCU is at most 32 x 32 pixels). Arithmetic coding has no such floor and is not bounded
/// here.
HeaderClaim checkJpegHeader(const unsigned char* data, std::size_t size);

/// IHDR's size. Every chunk must be whole and the last one IEND (the file is otherwise cut, and
/// whatever followed, metadata included, is lost), and the image data must hold at least
/// 1/1032 of the raw samples: deflate's best ratio, a 258-byte match coded in two 1-bit codes.
HeaderClaim checkPngHeader(const unsigned char* data, std::size_t size);

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace nconvert {

/// libvips' GIF loader reads no more frames than this: a longer GIF is refused, not cut.
constexpr int kMaxGifFrames = 4'097;

/// What a walk of a GIF's block structure (no decoding) finds.
struct GifStructure {
    int frames = 0;
    /// Why the file is incomplete or malformed (truncated or corrupt); empty when it is whole.
    std::string problem;
};

/// Walks the blocks of a GIF. libnsgif quietly accepts a file cut off inside a frame's data or
/// between frames, so this is how a truncated GIF becomes an error instead of a part-drawn
/// frame or a shorter animation: every block must be whole and the file must reach its trailer.
/// Each frame's LZW data must also be able to fill the frame's rectangle: a code is at least
/// one bit and stands for at most 4096 pixels, so a frame needs at least one byte per
/// 32,768 pixels.
GifStructure scanGif(const unsigned char* data, std::size_t size);

} // namespace nconvert

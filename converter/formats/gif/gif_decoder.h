// SPDX-License-Identifier: MIT
#pragma once

#include "resample.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace nconvert {

/// A GIF decoded whole: every frame composed onto the full logical screen, as libvips' GIF
/// loader hands them to the pipeline.
struct ComposedGif {
    /// The frames stacked top to bottom, RGB, or RGBA when some frame has a transparent index.
    /// A still picture whose one frame covers the screen is not composed: its size and bands
    /// are here, its samples are left empty, and it is kept as `indexed` instead.
    Pixels<std::uint8_t> pixels;
    struct Indexed {
        /// The frame's indices, row by row.
        std::vector<unsigned char> indices;
        /// What each index puts down, R, G, B, A from the low byte: the transparent index
        /// transparent black, as on a screen before its first frame.
        std::array<std::uint32_t, 256> rgba{};
        /// The colours in the order the rows first show them (0xRRGGBB, each once), and
        /// whether some pixel is transparent.
        std::vector<std::uint32_t> colours;
        bool transparent = false;
    };
    std::optional<Indexed> indexed;
    int frameHeight = 0;
    int frames = 0;
    std::vector<int> delaysMs;
    /// Times the animation plays: 0 for ever, 1 without a looping block.
    int loop = 1;
};

/// The screen the frames are composed on: the file's own, or, for a size libvips' loader takes
/// for a leftover (a common monitor's size, or over 2048 pixels a side), just large enough for
/// the frames. Nothing when the blocks cannot be walked.
std::optional<std::array<int, 2>> gifScreen(const unsigned char* data, std::size_t size);

/// The picture, or nothing when the file holds anything whose frames this decoder does not
/// compose exactly as libvips' loader would (a frame reaching outside the screen, once a
/// leftover screen size is shrunk as gifScreen says; a frame without a colour table, an index
/// past its table, extensions other than graphic control, looping and comments, disposal to
/// the previous frame on the first), when it is damaged in any way, or when its frames
/// together exceed `maxPixels`: the libvips module then decides, and reports.
std::optional<ComposedGif> decodeGif(const unsigned char* data, std::size_t size,
                                     std::int64_t maxPixels);

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace nconvert {

/// A GIF enlarged or reduced to outWidth x outFrameHeight a frame without libvips: our
/// decoder, the pipeline's resampler rows frame by frame, our GIF writer on the source's
/// colours, the delays and the loop count. The same bytes as the pipeline writes. Nothing when
/// the decoder does not handle the file, its frames together exceed `maxPixels`, or a frame
/// holds more colours than a GIF table (libvips then quantises).
std::optional<std::vector<unsigned char>> convertSmallGif(const unsigned char* data,
                                                          std::size_t size, int outWidth,
                                                          int outFrameHeight,
                                                          std::int64_t maxPixels);

} // namespace nconvert

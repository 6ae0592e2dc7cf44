// SPDX-License-Identifier: MIT
#pragma once

#include "job.h"

#include <cstdint>
#include <optional>

namespace nconvert {

/// Output sizes up to which a picture is converted in this process without libvips: below them,
/// loading and starting libvips costs more than its worker threads and faster deflate save
/// (crossovers measured at about 0.6 megapixels for JPEG, 0.33 for PNG and 0.7 for GIF,
/// bench/converter). For a GIF, all frames together.
constexpr std::int64_t kSmallJpegMaxPixels = 500'000;
constexpr std::int64_t kSmallPngMaxPixels = 300'000;
constexpr std::int64_t kSmallGifMaxPixels = 500'000;

/// Converts a small, plain JPEG to JPEG, PNG to PNG or GIF to GIF with libjpeg, libpng, our
/// GIF decoder and writer and the same resampler as convertImage, writing to `sink` only once the
/// whole output is encoded. Gives the same pixels and metadata as convertImage. Nothing, with
/// `sink` untouched, when the picture is larger, of another kind, carries anything unusual, breaks
/// a limit or is damaged in any way: convertImage then does the work and reports what is wrong.
/// Throws Error only when the sink fails.
std::optional<ConvertResult> convertSmall(const unsigned char* data, std::size_t size,
                                          const ConvertSettings& settings, OutputSink& sink);

} // namespace nconvert

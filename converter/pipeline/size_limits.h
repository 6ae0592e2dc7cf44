// SPDX-License-Identifier: MIT
#pragma once

#include "format.h"
#include "job.h"

#include <cstdint>

namespace nconvert {

/// What the decoders and encoders themselves cannot go beyond.
constexpr std::int64_t kMaxJpegSide = 65'500;            // libjpeg's JPEG_MAX_DIMENSION
constexpr std::int64_t kMaxGifFramePixels = 536'870'911; // a GIF frame's writer: INT_MAX / 4
constexpr std::int64_t kMaxWebpSide = 16'383;            // the format's 14-bit sizes
// aom and libheif need about 25 bytes a pixel to encode (measured): 50 megapixels take 1.25 GB.
constexpr std::int64_t kMaxAvifPixels = 50'000'000;

/// The input's format by its first bytes. Throws Error on the input: Status::BadInput for an
/// empty file, Status::Unsupported for one of no format we read.
Format inputFormat(const unsigned char* data, std::size_t size, const ConvertSettings& settings);

/// Throws Error(Status::TooLarge) on the input when width x height passes the input limit.
void checkInputPixels(std::int64_t width, std::int64_t height, const ConvertSettings& settings);

/// Throws Error(Status::TooLarge) on the input when a JPEG's side passes what libjpeg reads.
void checkJpegSides(std::int64_t width, std::int64_t height, const ConvertSettings& settings);

/// Throws Error(Status::TooLarge) on the input when a GIF has more frames than are read.
void checkGifFrames(int frames, const ConvertSettings& settings);

/// Throws Error(Status::TooLarge) on the output when the result passes our limits or the output
/// format's own (a GIF frame's size, a BMP's 4 GB).
void checkOutputSize(std::int64_t width, std::int64_t frameHeight, int frames, bool alpha,
                     Format output, const ConvertSettings& settings);

} // namespace nconvert

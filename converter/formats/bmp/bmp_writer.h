// SPDX-License-Identifier: MIT
#pragma once

#include "output_sink.h"

#include <cstdint>
#include <vips/vips.h>

namespace nconvert {

/// Bytes a BMP of this size takes: 24-bit, or 32-bit with a BITMAPV4HEADER when it has alpha.
std::uint64_t bmpFileSize(int width, int height, bool alpha);

/// Writes `image` (uchar, 3 bands, or 4 with alpha) as an uncompressed bottom-up BMP, pulling
/// its rows top to bottom. Returns 0, or -1 when the image or the sink fails (the libvips error
/// or the sink's failure() says which).
int writeBmp(VipsImage* image, OutputSink& sink);

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include "bmp_reader.h"
#include "output_sink.h"

#include <vips/vips.h>

namespace nconvert {

/// A libvips image (sRGB uchar, 3 bands, or 4 with alpha) that decodes the rows of `data` on
/// demand. `data` must stay valid and unchanged for the image's lifetime.
VipsImage* bmpImage(const unsigned char* data, std::size_t size, const BmpLayout& layout);

/// Writes `image` (uchar, 3 bands, or 4 with alpha) as our BMP writer does, pulling its rows
/// top to bottom. Returns 0, or -1 when the image or the sink fails (the libvips error or the
/// sink's failure() says which).
int writeBmp(VipsImage* image, OutputSink& sink);

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include "format.h"
#include "rows.h"

#include <memory>
#include <vector>

namespace nconvert {

/// The shape `in` takes for `output`, before scaling so that the resampler works on as few
/// samples as the output keeps: a JPEG gets 8 bits and no alpha (flattened onto white); a GIF
/// 8 bits; a BMP and a WebP 8-bit RGB or RGBA; a PNG, a TIFF and an AVIF the picture as it is.
/// GIF, WebP and TIFF keep every frame. A CMYK picture stays CMYK only in a JPEG or a TIFF;
/// other formats need colour management, which the pipeline leaves to libvips (see canAdapt).
PictureShape adaptedShape(const PictureShape& in, Format output);

/// Whether the pipeline can bring `in` into `output`'s shape.
bool canAdapt(const PictureShape& in, Format output);

/// `source` in adaptedShape(source->shape(), output), row by row.
std::unique_ptr<RowSource> adaptForOutput(std::unique_ptr<RowSource> source, Format output);

} // namespace nconvert

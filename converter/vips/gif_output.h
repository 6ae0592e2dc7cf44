// SPDX-License-Identifier: MIT
#pragma once

#include "gif_palette.h"
#include "output_sink.h"

#include <optional>
#include <vips/vips.h>

namespace nconvert {

/// The colour tables our own GIF writer would use for `in`, `frames` frames stacked
/// vertically: each frame's own colours. Nothing when a frame holds more colours than a GIF
/// table, or the pixels are not 8-bit with 1 to 4 bands, or they cannot be read. Reads `in`
/// once from the top (a sequential image cannot be read again).
std::optional<GifPalettes> gifPalettesOf(VipsImage* in, int frames);

/// Writes `image` (frames of its page height stacked vertically, 8-bit, 1 to 4 bands) as a
/// GIF on the given palettes, computing it strip by strip. The frames' delays and the loop
/// count come from its "delay" and "loop" metadata. Returns 0, or -1 with the libvips error
/// set or the sink's failure remembered.
int saveGif(VipsImage* image, const GifPalettes& palettes, OutputSink& sink);

} // namespace nconvert

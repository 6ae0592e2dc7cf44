// SPDX-License-Identifier: MIT
#pragma once

#include "gif_decoder.h"
#include "gif_palette.h"
#include "output_sink.h"
#include "rows.h"

#include <memory>
#include <optional>
#include <string>

namespace nconvert {

/// A decoded GIF's frames, composed onto the screen, as rows. The frames are held whole: a GIF
/// frame may draw any part of the screen, and the next builds on it.
std::unique_ptr<RowSource> gifRowSource(ComposedGif gif);

/// The colours of each frame of `source` (8-bit rows, read to the end), or nothing as soon as
/// one frame holds more than a GIF colour table: a second decoding is the price of writing
/// the source's own colours instead of quantising.
std::optional<GifPalettes> countGifPalettes(RowSource& source);

/// A GIF writer for rows of `shape` (8 bits, 1 to 4 bands) on the given palettes, with the
/// delays and loop count of `metadata`.
std::unique_ptr<RowSink> gifRowSink(OutputSink& sink, const PictureShape& shape,
                                    const PictureMetadata& metadata, GifPalettes palettes,
                                    const std::string& outputName);

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include "job.h"
#include "rows.h"

#include <cstddef>
#include <memory>

namespace nconvert {

/// A reader of any PNG: every colour type and bit depth, palettes, transparency chunks and
/// interlacing; every ancillary chunk is accepted, and an animated PNG gives its default image.
/// Rows come as grey, grey + alpha, RGB or RGBA: depths under 8 bits scaled up to 8, palettes
/// expanded to RGB, a tRNS chunk made into an alpha band, 16 bits kept. The metadata (ICC, XMP,
/// text, pHYs in metres, eXIf) is what precedes the image data. A picture that is not interlaced
/// streams; an interlaced one is decoded whole when opened, and refused with Status::TooLarge
/// when that would hold more than settings.limits.maxHeldBytes. Damage throws Error with
/// Status::BadInput, warnings that lose pixels or carried metadata included. `data` must stay
/// valid for the reader's lifetime.
std::unique_ptr<RowSource> openPngReader(const unsigned char* data, std::size_t size,
                                         const ConvertSettings& settings);

} // namespace nconvert

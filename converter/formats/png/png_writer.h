// SPDX-License-Identifier: MIT
#pragma once

#include "output_sink.h"
#include "row_pump.h"
#include "rows.h"

#include <memory>
#include <string>

namespace nconvert {

/// A PNG writer of one frame of `shape` (grey, grey + alpha, RGB or RGBA; 8 or 16 bits) into
/// `sink` as rows arrive: zlib level 2 with the "up" filter on every row, deflated in bands on
/// `threads` threads (the same bytes for any number), with the ICC profile (dropped when libpng
/// refuses it, as for a profile of another colour kind than the picture's), XMP, text, the
/// resolution (72 dpi when unknown) and the EXIF block as given. A failed write throws
/// Error(Status::CannotWrite, outputName, sink.failure()); `sink` must outlive the writer.
std::unique_ptr<RowSink> openPngWriter(OutputSink& sink, const PictureShape& shape,
                                       const PictureMetadata& metadata,
                                       const std::string& outputName, int threads = usableCores());

} // namespace nconvert

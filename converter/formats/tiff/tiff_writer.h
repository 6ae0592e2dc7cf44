// SPDX-License-Identifier: MIT
#pragma once

#include "output_sink.h"
#include "row_pump.h"
#include "rows.h"

#include <memory>
#include <optional>
#include <string>

namespace nconvert {

/// The Compression tag a TIFF copy of `shape` is written with by our writer, for a source whose
/// own tag was `sourceTag` (0: the source was no TIFF): none, LZW, deflate and PackBits kept, CCITT
/// fax and the rest made LZW, as the module's writer does. Nothing for what stays with the
/// module: several pages, JPEG, zstd or WebP inside the TIFF, and any TIFF where libtiff cannot
/// be opened.
std::optional<int> tiffWriterCompression(const PictureShape& shape, int sourceTag);

/// A TIFF writer of one page of `shape` (grey, RGB or CMYK, alpha, 8 or 16 bits) into `sink` as
/// rows arrive, with the tags the module's writer gives: strips of 128 rows, each compressed on
/// one of `threads` threads (the same bytes for any number), the horizontal predictor under LZW
/// and deflate, unassociated alpha, the resolution in pixels per inch (25.4 when unknown), ICC
/// and XMP; BigTIFF from 3.5 GB of samples. libtiff lays out the directory. A failed write
/// throws Error(Status::CannotWrite, outputName, sink.failure()); `sink` must outlive the writer.
std::unique_ptr<RowSink> openTiffWriter(OutputSink& sink, const PictureShape& shape,
                                        const PictureMetadata& metadata,
                                        const std::string& outputName, int threads = usableCores());

} // namespace nconvert

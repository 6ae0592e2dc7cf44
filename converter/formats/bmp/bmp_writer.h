// SPDX-License-Identifier: MIT
#pragma once

#include "output_sink.h"
#include "row_pump.h"
#include "rows.h"

#include <cstdint>
#include <memory>
#include <string>

namespace nconvert {

/// Bytes a BMP of this size takes: 24-bit, or 32-bit with a BITMAPV4HEADER when it has alpha.
std::uint64_t bmpFileSize(int width, int height, bool alpha);

/// An uncompressed bottom-up BMP of rows of 8-bit RGB (or RGBA, then 32-bit BITMAPV4) fed top
/// to bottom: bands of rows are laid out on `threads` threads and go straight to their place
/// in the file. Throws Error(Status::TooLarge) when the file would pass 4 GB.
std::unique_ptr<RowSink> bmpRowSink(OutputSink& sink, const PictureShape& shape,
                                    const PictureMetadata& metadata, const std::string& outputName,
                                    int threads = usableCores());

} // namespace nconvert

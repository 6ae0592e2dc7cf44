// SPDX-License-Identifier: MIT
#pragma once

#include "jpeg_compress.h"
#include "output_sink.h"

#include <memory>
#include <string>

namespace nconvert {

/// A JPEG writer that encodes `encoding`'s bands on up to `threads` threads at once and joins
/// them into one baseline file, written to `sink` in order as the bands complete. The rows of
/// at most `threads` + 1 bands and the encoded bytes of `threads` bands are held at a time.
/// Errors as openJpegWriter's.
std::unique_ptr<RowSink> bandedJpegWriter(OutputSink& sink, JpegEncoding encoding, int threads,
                                          const std::string& outputName);

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include "job.h"
#include "output_sink.h"
#include "rows.h"

#include <memory>

namespace nconvert {

/// The rows of a WebP, TIFF or AVIF input, decoded by the libvips module. `keepCmyk` leaves a
/// CMYK picture as it is (for an output that stores CMYK), else libvips makes it sRGB. Throws
/// Error: Status::Unsupported when no module is at hand, else the module's status and line.
std::unique_ptr<RowSource> openVipsSource(Format format, const unsigned char* data,
                                          std::size_t size, const ConvertSettings& settings,
                                          bool keepCmyk);

/// A WebP, TIFF or AVIF encoder in the libvips module, its bytes going to `sink`.
std::unique_ptr<RowSink> openVipsSink(Format format, OutputSink& sink, const PictureShape& shape,
                                      const PictureMetadata& metadata,
                                      const ConvertSettings& settings);

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include "job.h"
#include "output_sink.h"

#include <cstddef>
#include <vips/vips8>

namespace nconvert {

/// Decodes the encoded picture in `data`, scales it and encodes it into `sink`.
/// Throws Error (subject inputName or outputName). startVips() must have run.
ConvertResult convertImage(const unsigned char* data, std::size_t size,
                           const ConvertSettings& settings, OutputSink& sink);

/// Saves a TIFF with `options` into `sink`: by positioned writes, or through memory when it
/// has several pages. Throws vips::VError.
void saveTiff(const vips::VImage& image, vips::VOption* options, OutputSink& sink);

/// A libvips target whose bytes are appended to `sink`.
vips::VTarget targetFor(OutputSink& sink);

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include "job.h"
#include "output_sink.h"

#include <cstddef>

namespace nconvert {

/// Decodes the encoded picture in `data`, scales it and encodes it into `sink`.
/// Throws Error (subject inputName or outputName). startVips() must have run.
ConvertResult convertImage(const unsigned char* data, std::size_t size,
                           const ConvertSettings& settings, OutputSink& sink);

} // namespace nconvert

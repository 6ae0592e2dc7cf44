// SPDX-License-Identifier: MIT
#pragma once

#include "job.h"
#include "output_sink.h"

#include <cstddef>
#include <optional>

namespace nconvert {

/// The one place that decides how a picture is converted, from its header (and, for GIF
/// output, a count of its colours), before any output byte. When our pipeline can make the
/// copy it does: a row source for the input's format, colour brought into the output's shape,
/// the Lanczos resampler, a row sink for the output's format, streamed. Nothing, with `sink`
/// untouched, when only libvips can (README names each case): the caller then runs the libvips
/// module. Throws Error for what is wrong with the input, the limits or the output.
std::optional<ConvertResult> convertInPipeline(const unsigned char* data, std::size_t size,
                                               const ConvertSettings& settings, OutputSink& sink);

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include "job.h"
#include "output_sink.h"
#include "vips_seam.h"

#include <cstddef>

namespace nconvert {

/// The seam's job for one conversion: the input, the settings and limits, `sink` (may be null
/// for a reader) behind the seam's callbacks.
NconvertVipsJob vipsJob(const char* argv0, const unsigned char* data, std::size_t size,
                        const ConvertSettings& settings, OutputSink* sink);

/// The module's failure as our Error: its status and its one line, "nconvert: SUBJECT: REASON",
/// the subject one of the names it was given (or libvips itself).
[[noreturn]] void throwVipsFailure(int status, const NconvertVipsJob& job,
                                   const ConvertSettings& settings);

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include "job.h"
#include "output_sink.h"

#include <cstddef>

namespace nconvert {

/// Converts through the libvips module, which lives in a library of its own so that a
/// converter that never needs it never loads libvips. The module is looked for only where the
/// dynamic loader trusts for this program, and refused unless its seam is this build's.
/// Throws Error: the module's own (its status and one line), or Status::Internal when it cannot
/// be loaded or is of another build.
void convertWithVipsModule(const char* argv0, const unsigned char* data, std::size_t size,
                           const ConvertSettings& settings, OutputSink& sink);

/// The module's row readers and writers (loading it on first call), for
/// ConvertSettings::vipsRows. Throws Error(Status::Internal); loaded once for the process.
const VipsRowEntries* vipsModuleRows();

/// The program name libvips starts with when the rows' entries load it.
void setVipsModuleArgv0(const char* argv0);

} // namespace nconvert

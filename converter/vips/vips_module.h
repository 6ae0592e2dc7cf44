// SPDX-License-Identifier: MIT
#pragma once

#include "convert.h"

#include <string>

namespace nconvert {

/// One conversion handed to the libvips pipeline, which lives in a module of its own so that a
/// converter that never needs it never loads libvips.
struct VipsJob {
    const char* argv0 = nullptr;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    const ConvertSettings* settings = nullptr;
    OutputSink* sink = nullptr;
    std::string* message = nullptr; ///< the one error line, on failure
};

/// The module's file name, and its one entry: starts libvips and runs convertImage; returns the
/// exit status (0 when the output was written to the sink).
inline constexpr const char* kVipsModuleName = "libnconvert-vips.so";
inline constexpr const char* kVipsModuleEntry = "nconvert_convert_with_vips";
using VipsModuleEntry = int (*)(const VipsJob*);

/// Loads the module (only from the folders the dynamic loader trusts for this program) and
/// returns its entry. Throws Error(Status::Internal) when it cannot.
VipsModuleEntry loadVipsModule();

} // namespace nconvert

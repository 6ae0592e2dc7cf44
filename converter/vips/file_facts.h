// SPDX-License-Identifier: MIT
#pragma once

#include "format.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace nconvert {

/// What a WebP or TIFF file says of itself that libvips does not report.
struct FileFacts {
    bool webpLossless = false;
    int quality = 0;         ///< a lossy WebP's estimated quality, 0 when unknown
    int tiffCompression = 0; ///< the first directory's Compression tag
    int avifBitDepth = 0;
    std::string problem; ///< why the structure is broken; empty when it is not
};

/// Walks the file's chunks (WebP) or first directory (TIFF).
FileFacts fileFacts(Format format, const unsigned char* data, std::size_t size);

} // namespace nconvert

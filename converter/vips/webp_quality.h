// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace nconvert {

/// The quality (1..100) a lossy WebP's VP8 key frame appears to have been written at: its
/// luma quantiser index (the segments' mean where segments set their own), put back through
/// libwebp's mapping of quality to quantiser. 0 when the frame header cannot be read.
int estimateWebpQuality(const unsigned char* frame, std::size_t size);

} // namespace nconvert

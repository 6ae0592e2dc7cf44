// SPDX-License-Identifier: MIT
#pragma once

#include "job.h"
#include "rows.h"

#include <memory>

namespace nconvert {

/// A BMP's rows, 8-bit RGB or RGBA, decoded one at a time from the bytes in memory (which must
/// outlive the source). Throws Error as readBmpLayout does; a file cut short is refused before
/// any row, after the size limits.
std::unique_ptr<RowSource> bmpRowSource(const unsigned char* data, std::size_t size,
                                        const ConvertSettings& settings);

} // namespace nconvert

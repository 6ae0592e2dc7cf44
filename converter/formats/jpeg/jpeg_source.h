// SPDX-License-Identifier: MIT
#pragma once

#include "job.h"
#include "rows.h"

#include <cstddef>
#include <memory>

namespace nconvert {

/// A JPEG's rows, decoded by libjpeg as they are asked for, with the strict rules of
/// jpeg_strict.h: damage anywhere, or a stream that ends before its end marker, throws
/// Error(Status::BadInput). Grey stays grey, YCbCr and RGB come as RGB, CMYK and YCCK as
/// four ink bands. A picture whose decoding holds every coefficient at once (progressive or
/// several scans) is refused with Status::TooLarge from its header when those would pass
/// settings.limits.maxHeldBytes. `data` must outlive the source.
std::unique_ptr<RowSource> openJpegReader(const unsigned char* data, std::size_t size,
                                          const ConvertSettings& settings);

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include "jpeg_strict.h"

#include <cstddef>
#include <vips/vips.h>

namespace nconvert {

/// The pixels of the JPEG in `data` (which must outlive the image), decoded by libjpeg in order,
/// strip by strip, with the fields and metadata of `header` (libvips' header-only load of the
/// same data). libvips' own loader passes on only the first of libjpeg's warnings and carries on
/// painting grey; here every warning that means lost or invented pixels fails the strip it
/// occurs in, so damage stops the pipeline where it is found, and a stream that ends before its
/// end marker is damage too. Returns nullptr and sets the libvips error on failure.
VipsImage* jpegImage(const unsigned char* data, std::size_t size, VipsImage* header);

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include "resample.h"

#include <vips/vips.h>

namespace nconvert {

/// A new image, `in` scaled to outWidth x outFrameHeight per frame with a separable Lanczos-3
/// filter. `in` is `frames` frames stacked vertically (a GIF animation as libvips loads it);
/// each frame is filtered on its own. Colour is premultiplied by alpha while filtering when the
/// image has an alpha band. `in` must be uchar or ushort, uncoded. The result is computed on
/// demand, strip by strip, so a sequential input is streamed. Returns nullptr and sets the
/// libvips error on failure.
VipsImage* lanczosResize(VipsImage* in, int outWidth, int outFrameHeight, int frames);

} // namespace nconvert

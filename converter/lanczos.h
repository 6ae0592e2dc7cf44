// SPDX-License-Identifier: MIT
#pragma once

#include <vector>
#include <vips/vips.h>

namespace nconvert {

/// The taps of a separable Lanczos-3 filter (narrowed 5%) along one axis: output position X reads
/// `taps` input samples from start[X], weighted by weights[X * taps + k]. Sample positions are
/// centred (output centre X + 0.5 maps to input (X + 0.5) * in / out), edges repeat the
/// border sample, and each set of weights sums to 1.
struct AxisTaps {
    int taps = 0;
    std::vector<int> start;
    std::vector<float> weights;
};

AxisTaps lanczosTaps(int inLength, int outLength);

/// A new image, `in` scaled to outWidth x outFrameHeight per frame with a separable Lanczos-3
/// filter. `in` is `frames` frames stacked vertically (a GIF animation as libvips loads it);
/// each frame is filtered on its own. Colour is premultiplied by alpha while filtering when the
/// image has an alpha band. `in` must be uchar or ushort, uncoded. The result is computed on
/// demand, strip by strip, so a sequential input is streamed. Returns nullptr and sets the
/// libvips error on failure.
VipsImage* lanczosResize(VipsImage* in, int outWidth, int outFrameHeight, int frames);

} // namespace nconvert

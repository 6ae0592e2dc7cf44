// SPDX-License-Identifier: MIT
#include "small_gif.h"

#include "gif_decoder.h"
#include "gif_palette.h"
#include "gif_writer.h"
#include "output_sink.h"

#include <algorithm>

namespace nconvert {
namespace {

// One frame of a stacked picture.
Pixels<std::uint8_t> frameOf(const Pixels<std::uint8_t>& all, int frameHeight, int frame) {
    Pixels<std::uint8_t> one;
    one.width = all.width;
    one.height = frameHeight;
    one.bands = all.bands;
    one.alpha = all.alpha;
    const std::size_t length = std::size_t(all.width) * frameHeight * all.bands;
    const auto begin = all.samples.begin() + std::ptrdiff_t(length * frame);
    one.samples.assign(begin, begin + std::ptrdiff_t(length));
    return one;
}

} // namespace

std::optional<std::vector<unsigned char>> convertSmallGif(const unsigned char* data,
                                                          std::size_t size, int outWidth,
                                                          int outFrameHeight,
                                                          std::int64_t maxPixels) {
    std::optional<SmallGif> gif = decodeSmallGif(data, size, maxPixels);
    if (!gif)
        return std::nullopt;
    const Pixels<std::uint8_t>& in = gif->pixels;
    const int bands = in.bands;
    const std::size_t inRow = std::size_t(in.width) * bands;
    std::vector<GifPalette> colours;
    for (int frame = 0; frame < gif->frames; ++frame) {
        ColourCounter counter(bands);
        for (int y = 0; y < gif->frameHeight; ++y)
            if (!counter.addRow(&in.samples[inRow * (std::size_t(frame) * gif->frameHeight + y)],
                                in.width))
                return std::nullopt;
        colours.push_back(counter.palette());
    }
    std::optional<GifPalettes> palettes = planPalettes(colours);
    if (!palettes)
        return std::nullopt;

    GifLayout layout;
    layout.width = outWidth;
    layout.frameHeight = outFrameHeight;
    layout.frames = gif->frames;
    layout.palettes = std::move(*palettes);
    layout.delaysMs = gif->delaysMs;
    layout.loop = gif->loop;
    MemorySink bytes;
    GifWriter writer(bytes, std::move(layout), bands);
    const std::size_t outRow = std::size_t(outWidth) * bands;
    // Each frame is filtered on its own, as the pipeline's resampler does.
    for (int frame = 0; frame < gif->frames; ++frame) {
        const Pixels<std::uint8_t> scaled =
            resample(frameOf(in, gif->frameHeight, frame), outWidth, outFrameHeight);
        for (int y = 0; y < outFrameHeight; ++y)
            writer.addRow(&scaled.samples[outRow * y]);
    }
    if (!writer.finish())
        return std::nullopt;
    return bytes.bytes();
}

} // namespace nconvert

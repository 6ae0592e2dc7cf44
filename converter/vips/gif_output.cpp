// SPDX-License-Identifier: MIT
#include "gif_output.h"

#include "gif_writer.h"

#include <algorithm>

namespace nconvert {
namespace {

constexpr int kStripRows = 64;

bool writable(const VipsImage* image) {
    return image->BandFmt == VIPS_FORMAT_UCHAR && image->Coding == VIPS_CODING_NONE &&
           image->Bands >= 1 && image->Bands <= 4;
}

struct SaveState {
    GifWriter* writer;
};

int writeRegion(VipsRegion* region, VipsRect* area, void* a) {
    auto* state = static_cast<SaveState*>(a);
    for (int y = area->top; y < area->top + area->height; ++y)
        if (!state->writer->addRow(VIPS_REGION_ADDR(region, area->left, y)))
            return -1;
    return 0;
}

} // namespace

std::optional<GifPalettes> gifPalettesOf(VipsImage* in, int frames) {
    if (!writable(in) || frames < 1 || in->Ysize % frames != 0)
        return std::nullopt;
    const int frameHeight = in->Ysize / frames;
    VipsRegion* region = vips_region_new(in);
    std::vector<GifPalette> palettes;
    bool fits = true;
    for (int frame = 0; frame < frames && fits; ++frame) {
        ColourCounter counter(in->Bands);
        for (int top = 0; top < frameHeight && fits; top += kStripRows) {
            VipsRect strip = {0, frame * frameHeight + top, in->Xsize,
                              std::min(kStripRows, frameHeight - top)};
            if (vips_region_prepare(region, &strip)) {
                // The encoder meets the same damage and reports it; this pass stays quiet.
                vips_error_clear();
                fits = false;
                break;
            }
            for (int y = strip.top; y < strip.top + strip.height && fits; ++y)
                fits = counter.addRow(VIPS_REGION_ADDR(region, 0, y), in->Xsize);
        }
        palettes.push_back(counter.palette());
    }
    g_object_unref(region);
    if (!fits)
        return std::nullopt;
    return planPalettes(palettes);
}

int saveGif(VipsImage* image, const GifPalettes& palettes, OutputSink& sink) {
    GifLayout layout;
    layout.width = image->Xsize;
    layout.frameHeight = vips_image_get_page_height(image);
    layout.frames = image->Ysize / layout.frameHeight;
    layout.palettes = palettes;
    if (vips_image_get_typeof(image, "delay")) {
        int* delays = nullptr;
        int count = 0;
        if (vips_image_get_array_int(image, "delay", &delays, &count))
            return -1;
        layout.delaysMs.assign(delays, delays + count);
    }
    if (vips_image_get_typeof(image, "loop") && vips_image_get_int(image, "loop", &layout.loop))
        return -1;
    GifWriter writer(sink, std::move(layout), image->Bands);
    SaveState state{&writer};
    if (vips_sink_disc(image, writeRegion, &state))
        return -1;
    return writer.finish() ? 0 : -1;
}

} // namespace nconvert

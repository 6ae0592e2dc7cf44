// SPDX-License-Identifier: MIT
#include "vips_bmp.h"

#include "bmp_writer.h"
#include "error.h"

namespace nconvert {
namespace {

struct BmpImageData {
    const unsigned char* data;
    std::size_t size;
    BmpLayout layout;
};

void freeBmpImageData(VipsObject*, void* data) {
    delete static_cast<BmpImageData*>(data);
}

// Strips may be asked for on several threads at once: each call decodes with its own scratch.
int generate(VipsRegion* region, void*, void* a, void*, gboolean*) {
    const auto* image = static_cast<const BmpImageData*>(a);
    BmpRowDecoder decoder(image->data, image->size, image->layout);
    const VipsRect& r = region->valid;
    for (int y = r.top; y < r.top + r.height; ++y)
        decoder.decodeRow(y, r.left, r.width, VIPS_REGION_ADDR(region, r.left, y));
    return 0;
}

int writeRegion(VipsRegion* region, VipsRect* area, void* a) {
    auto* writer = static_cast<RowSink*>(a);
    try {
        for (int y = area->top; y < area->top + area->height; ++y)
            writer->writeRow(VIPS_REGION_ADDR(region, area->left, y));
    } catch (const Error& error) {
        vips_error("bmpsave", "%s", error.reason().c_str());
        return -1;
    }
    return 0;
}

} // namespace

int writeBmp(VipsImage* image, OutputSink& sink) {
    PictureShape shape;
    shape.width = image->Xsize;
    shape.height = image->Ysize;
    shape.bands = image->Bands;
    shape.alpha = image->Bands == 4;
    PictureMetadata metadata;
    metadata.pixelsPerMetre[0] = image->Xres * 1000.0;
    metadata.pixelsPerMetre[1] = image->Yres * 1000.0;
    try {
        const std::unique_ptr<RowSink> writer = bmpRowSink(sink, shape, metadata, "output");
        if (vips_sink_disc(image, writeRegion, writer.get()) != 0)
            return -1;
        writer->finish();
        return 0;
    } catch (const Error& error) {
        vips_error("bmpsave", "%s", error.reason().c_str());
        return -1;
    }
}

VipsImage* bmpImage(const unsigned char* data, std::size_t size, const BmpLayout& layout) {
    auto* image = new BmpImageData{data, size, layout};
    VipsImage* out = vips_image_new();
    g_signal_connect(out, "close", G_CALLBACK(freeBmpImageData), image);
    const double xres = layout.xPixelsPerMetre > 0 ? layout.xPixelsPerMetre / 1000.0 : 1.0;
    const double yres = layout.yPixelsPerMetre > 0 ? layout.yPixelsPerMetre / 1000.0 : 1.0;
    vips_image_init_fields(out, layout.width, layout.height, layout.alpha ? 4 : 3,
                           VIPS_FORMAT_UCHAR, VIPS_CODING_NONE, VIPS_INTERPRETATION_sRGB, xres,
                           yres);
    if (vips_image_pipelinev(out, VIPS_DEMAND_STYLE_THINSTRIP, nullptr) ||
        vips_image_generate(out, nullptr, generate, nullptr, image, nullptr)) {
        g_object_unref(out);
        return nullptr;
    }
    return out;
}

} // namespace nconvert

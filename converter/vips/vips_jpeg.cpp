// SPDX-License-Identifier: MIT
#include "vips_jpeg.h"

#include "jpeg_decoder.h"

#include <vector>

namespace nconvert {
namespace {

struct Reader {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    VipsImage* header = nullptr;
    StrictJpegDecoder decoder;
    bool started = false;
    bool failed = false;
    int nextRow = 0;
    std::vector<JSAMPLE> skipped; // one row, for rows decoded only to get past them
};

void freeReader(VipsImage*, void* data) {
    auto* reader = static_cast<Reader*>(data);
    if (reader->header)
        g_object_unref(reader->header);
    delete reader;
}

int fail(Reader* reader) {
    reader->failed = true;
    vips_error("jpeg", "%s", reader->decoder.errors.message);
    return -1;
}

// Called under vips_sequential, so one strip at a time, normally top to bottom. A strong
// reduction can still ask again for a strip the cache has let go, or jump ahead: the decoder
// then starts over or decodes past the rows in between, which costs time but never pixels.
int readStrip(VipsRegion* out, void*, void* a, void*, gboolean*) {
    auto* reader = static_cast<Reader*>(a);
    jpeg_decompress_struct* cinfo = &reader->decoder.cinfo;
    VipsImage* image = out->im;
    const VipsRect* r = &out->valid;
    if (reader->failed)
        return fail(reader);
    if (r->left != 0 || r->width != image->Xsize) {
        vips_error("jpeg", "strip of part of a row at line %d", r->top);
        return -1;
    }
    if (reader->started && r->top < reader->nextRow) {
        jpeg_abort_decompress(cinfo);
        reader->started = false;
        reader->nextRow = 0;
    }
    if (!reader->started) {
        if (!readJpegHeader(reader->decoder, reader->data, reader->size) ||
            !startJpegDecode(reader->decoder))
            return fail(reader);
        reader->started = true;
        if (int(cinfo->output_width) != image->Xsize || int(cinfo->output_height) != image->Ysize ||
            cinfo->output_components != image->Bands) {
            std::snprintf(reader->decoder.errors.message, sizeof reader->decoder.errors.message,
                          "%s", "the picture changed between header and decoding");
            return fail(reader);
        }
    }
    if (reader->nextRow < r->top) {
        reader->skipped.resize(std::size_t(image->Xsize) * image->Bands);
        JSAMPROW row = reader->skipped.data();
        for (; reader->nextRow < r->top; ++reader->nextRow)
            if (!readJpegRows(reader->decoder, &row, 1))
                return fail(reader);
    }
    const int bottom = r->top + r->height;
    while (reader->nextRow < bottom) {
        JSAMPROW rows[16];
        int count = 0;
        for (; count < 16 && reader->nextRow + count < bottom; ++count)
            rows[count] = VIPS_REGION_ADDR(out, 0, reader->nextRow + count);
        if (!readJpegRows(reader->decoder, rows, count))
            return fail(reader);
        reader->nextRow += count;
    }
    return 0;
}

} // namespace

VipsImage* jpegImage(const unsigned char* data, std::size_t size, VipsImage* header) {
    VipsImage* raw = vips_image_new();
    if (vips_image_pipelinev(raw, VIPS_DEMAND_STYLE_FATSTRIP, header, nullptr)) {
        g_object_unref(raw);
        return nullptr;
    }
    auto* reader = new Reader;
    reader->data = data;
    reader->size = size;
    reader->header = header;
    g_object_ref(header);
    g_signal_connect(raw, "close", G_CALLBACK(freeReader), reader);

    VipsImage* sequential = nullptr;
    if (vips_image_generate(raw, nullptr, readStrip, nullptr, reader, nullptr) ||
        vips_sequential(raw, &sequential, "tile_height", 16, nullptr)) {
        g_object_unref(raw);
        return nullptr;
    }
    g_object_unref(raw);
    return sequential;
}

} // namespace nconvert

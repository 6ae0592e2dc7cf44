// SPDX-License-Identifier: MIT
#include "jpeg_reader.h"

#include "jpeg_strict.h"

#include <vector>

namespace nconvert {
namespace {

struct Reader {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    VipsImage* header = nullptr;
    jpeg_decompress_struct cinfo{};
    StrictJpegErrors errors{};
    bool created = false;
    bool started = false;
    bool failed = false;
    bool invert = false;
    int nextRow = 0;
    std::vector<JSAMPLE> skipped; // one row, for rows decoded only to get past them
};

void freeReader(VipsImage*, void* data) {
    auto* reader = static_cast<Reader*>(data);
    if (reader->created)
        jpeg_destroy_decompress(&reader->cinfo);
    if (reader->header)
        g_object_unref(reader->header);
    delete reader;
}

// Called under vips_sequential, so one strip at a time, normally top to bottom. A strong
// reduction can still ask again for a strip the cache has let go, or jump ahead: the decoder
// then starts over or decodes past the rows in between, which costs time but never pixels.
// Kept free of C++ objects with destructors: libjpeg leaves it by longjmp.
int readStrip(VipsRegion* out, void*, void* a, void*, gboolean*) {
    auto* reader = static_cast<Reader*>(a);
    jpeg_decompress_struct* cinfo = &reader->cinfo;
    VipsImage* image = out->im;
    const VipsRect* r = &out->valid;
    if (reader->failed) {
        vips_error("jpeg", "%s", reader->errors.message);
        return -1;
    }
    if (r->left != 0 || r->width != image->Xsize) {
        vips_error("jpeg", "strip of part of a row at line %d", r->top);
        return -1;
    }
    if (setjmp(reader->errors.jump)) {
        reader->failed = true;
        vips_error("jpeg", "%s", reader->errors.message);
        return -1;
    }
    if (reader->started && r->top < reader->nextRow) {
        jpeg_abort_decompress(cinfo);
        reader->started = false;
        reader->nextRow = 0;
    }
    if (!reader->started) {
        jpeg_mem_src(cinfo, reader->data, static_cast<unsigned long>(reader->size));
        jpeg_read_header(cinfo, TRUE);
        jpeg_start_decompress(cinfo);
        reader->started = true;
        if (int(cinfo->output_width) != image->Xsize || int(cinfo->output_height) != image->Ysize ||
            cinfo->output_components != image->Bands) {
            reader->failed = true;
            std::snprintf(reader->errors.message, sizeof reader->errors.message, "%s",
                          "the picture changed between header and decoding");
            vips_error("jpeg", "%s", reader->errors.message);
            return -1;
        }
        // Adobe's CMYK JPEGs store inverted ink, as libvips' own loader assumes too.
        reader->invert = cinfo->out_color_space == JCS_CMYK && cinfo->saw_Adobe_marker;
    }
    if (reader->nextRow < r->top) {
        reader->skipped.resize(std::size_t(image->Xsize) * image->Bands);
        JSAMPROW row = reader->skipped.data();
        while (reader->nextRow < r->top)
            reader->nextRow += int(jpeg_read_scanlines(cinfo, &row, 1));
    }
    const int bottom = r->top + r->height;
    while (reader->nextRow < bottom) {
        JSAMPROW rows[16];
        int count = 0;
        while (count < 16 && reader->nextRow + count < bottom) {
            rows[count] = VIPS_REGION_ADDR(out, 0, reader->nextRow + count);
            ++count;
        }
        const int got = int(jpeg_read_scanlines(cinfo, rows, JDIMENSION(count)));
        if (reader->invert) {
            const std::size_t bytes = std::size_t(image->Xsize) * image->Bands;
            for (int i = 0; i < got; ++i)
                for (std::size_t k = 0; k < bytes; ++k)
                    rows[i][k] = JSAMPLE(255 - rows[i][k]);
        }
        reader->nextRow += got;
    }
    // Reading on to the end marker finds a stream cut after its last scan, and damage after it.
    if (reader->nextRow == image->Ysize)
        jpeg_finish_decompress(cinfo);
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
    reader->cinfo.err = strictJpegErrors(reader->errors);
    g_signal_connect(raw, "close", G_CALLBACK(freeReader), reader);
    if (setjmp(reader->errors.jump)) {
        vips_error("jpeg", "%s", reader->errors.message);
        g_object_unref(raw);
        return nullptr;
    }
    jpeg_create_decompress(&reader->cinfo);
    reader->created = true;

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

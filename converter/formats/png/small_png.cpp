// SPDX-License-Identifier: MIT
#include "small_png.h"

#include "error.h"
#include "png_chunks.h"
#include "png_writer.h"
#include "small_exif.h"

#include <cmath>
#include <cstring>
#include <png.h>

namespace nconvert {
namespace {

// libvips takes the resolution from an EXIF block too; only where it says what pHYs says is
// the outcome certain.
bool resolutionAgrees(const SmallPng& png) {
    if (!png.exifDpi[0])
        return true;
    for (int axis = 0; axis < 2; ++axis) {
        const double perMetre = *png.exifDpi[axis] / 0.0254;
        if (png.pixelsPerMetre[axis] == 0 || std::fabs(perMetre - png.pixelsPerMetre[axis]) > 0.01)
            return false;
    }
    return true;
}

// Chunks libpng reads for us below (the profile, and text before the image data, which is all
// libvips reads), and chunks libvips reads not at all: gamma, chromaticities, sRGB intent, time.
bool ignoredOrRead(const unsigned char* type) {
    for (const char* name : {"iCCP", "tEXt", "zTXt", "gAMA", "cHRM", "sRGB", "tIME"})
        if (std::memcmp(type, name, 4) == 0)
            return true;
    return false;
}

// The chunks: IHDR of a kind this path handles, pHYs in metres, an ICC profile, Latin-1 text,
// EXIF of the one layout the pipeline makes, image data; nothing else.
bool readChunks(const unsigned char* data, std::size_t size, SmallPng& out) {
    bool header = false;
    PngChunks chunks(data, size);
    while (const std::optional<PngChunk> chunk = chunks.next()) {
        const std::uint32_t length = chunk->length;
        const unsigned char* body = chunk->data;
        if (chunk->is("IHDR")) {
            if (header || length != 13)
                return false;
            header = true;
            const int depth = body[8];
            const int colour = body[9];
            const int interlace = body[12];
            if ((depth != 8 && depth != 16) ||
                (colour != 0 && colour != 2 && colour != 4 && colour != 6) || interlace != 0)
                return false;
            out.sixteenBit = depth == 16;
        } else if (chunk->is("pHYs")) {
            if (length != 9 || body[8] != 1)
                return false;
            out.pixelsPerMetre[0] = pngUint32(body);
            out.pixelsPerMetre[1] = pngUint32(body + 4);
        } else if (chunk->is("eXIf")) {
            const std::optional<SmallExif> exif = readSmallExif(body, length);
            if (!exif || out.exifDpi[0])
                return false;
            const double perInch = exif->unit == 3 ? 2.54 : 1.0;
            out.exifDpi[0] = perInch * exif->resolution[0] / exif->resolution[1];
            out.exifDpi[1] = perInch * exif->resolution[2] / exif->resolution[3];
        } else if (chunk->is("IEND")) {
            return header && resolutionAgrees(out);
        } else if (!chunk->is("IDAT") && !ignoredOrRead(chunk->type)) {
            return false;
        }
    }
    return false;
}

struct Source {
    const unsigned char* data;
    std::size_t size;
    std::size_t pos;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (length > source->size - source->pos)
        png_error(png, "read past the end");
    std::memcpy(out, source->data + source->pos, length);
    source->pos += length;
}

// Any warning (a bad CRC, extra data) sends the file to the full pipeline too.
void failOnWarning(png_structp png, png_const_charp message) {
    png_error(png, message);
}

template <typename T>
void decodeRows(png_structp png, png_infop info, Pixels<T>& pixels, std::vector<png_bytep>& rows) {
    pixels.width = int(png_get_image_width(png, info));
    pixels.height = int(png_get_image_height(png, info));
    pixels.bands = png_get_channels(png, info);
    pixels.alpha = pixels.bands == 2 || pixels.bands == 4;
    pixels.samples.resize(std::size_t(pixels.width) * pixels.height * pixels.bands);
    rows.resize(std::size_t(pixels.height));
    for (int y = 0; y < pixels.height; ++y)
        rows[std::size_t(y)] = reinterpret_cast<png_bytep>(
            pixels.samples.data() + std::size_t(y) * pixels.width * pixels.bands);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr); // what follows the image data is checked, not kept
}

bool decodePixels(const unsigned char* data, std::size_t size, SmallPng& picture) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, failOnWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    Source source{data, size, 0};
    // Declared before setjmp: libpng leaves by longjmp, past any destructor in between.
    std::vector<png_bytep> rows;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &source, readFromMemory);
    png_read_info(png, info);
    png_textp text = nullptr;
    const int count = png_get_text(png, info, &text, nullptr);
    for (int i = 0; i < count; ++i)
        picture.text.emplace_back(text[i].key, std::string(text[i].text, text[i].text_length));
    if (picture.sixteenBit)
        png_set_swap(png);
    png_read_update_info(png, info);
    if (picture.sixteenBit)
        decodeRows(png, info, picture.pixels16, rows);
    else
        decodeRows(png, info, picture.pixels8, rows);
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileSize = 0;
    if (png_get_iCCP(png, info, &name, &compression, &profile, &profileSize))
        picture.icc.assign(profile, profile + profileSize);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

std::optional<SmallPng> decodeSmallPng(const unsigned char* data, std::size_t size) {
    SmallPng picture;
    if (!readChunks(data, size, picture) || !decodePixels(data, size, picture))
        return std::nullopt;
    return picture;
}

std::optional<std::vector<unsigned char>> encodeSmallPng(const SmallPng& picture) {
    PictureShape shape;
    shape.sixteenBit = picture.sixteenBit;
    shape.width = picture.sixteenBit ? picture.pixels16.width : picture.pixels8.width;
    shape.height = picture.sixteenBit ? picture.pixels16.height : picture.pixels8.height;
    shape.bands = picture.sixteenBit ? picture.pixels16.bands : picture.pixels8.bands;
    shape.alpha = shape.bands == 2 || shape.bands == 4;
    PictureMetadata metadata;
    metadata.icc = picture.icc;
    metadata.text = picture.text;
    metadata.pixelsPerMetre[0] = picture.pixelsPerMetre[0];
    metadata.pixelsPerMetre[1] = picture.pixelsPerMetre[1];
    const auto* samples =
        picture.sixteenBit ? reinterpret_cast<const unsigned char*>(picture.pixels16.samples.data())
                           : picture.pixels8.samples.data();
    MemorySink sink;
    try {
        const std::unique_ptr<RowSink> writer = openPngWriter(sink, shape, metadata, "output");
        for (int y = 0; y < shape.height; ++y)
            writer->writeRow(samples + std::size_t(y) * shape.rowBytes());
        writer->finish();
    } catch (const Error&) {
        return std::nullopt;
    }
    return sink.bytes();
}

} // namespace nconvert

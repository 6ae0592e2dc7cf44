// SPDX-License-Identifier: MIT
#include "small_png.h"

#include "png_chunks.h"
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

void appendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

template <typename T>
void encodeRows(png_structp png, png_infop info, const Pixels<T>& pixels, int depth,
                const SmallPng& picture, std::vector<png_text>& text) {
    static const int kColour[] = {0, PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA,
                                  PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA};
    png_set_IHDR(png, info, png_uint_32(pixels.width), png_uint_32(pixels.height), depth,
                 kColour[pixels.bands], PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Without pHYs the pipeline writes its default, 72 dpi as libvips stores it.
    constexpr png_uint_32 kDefaultPerMetre = 2834;
    png_set_pHYs(png, info,
                 picture.pixelsPerMetre[0] ? picture.pixelsPerMetre[0] : kDefaultPerMetre,
                 picture.pixelsPerMetre[1] ? picture.pixelsPerMetre[1] : kDefaultPerMetre,
                 PNG_RESOLUTION_METER);
    if (!picture.icc.empty())
        png_set_iCCP(png, info, "icc", PNG_COMPRESSION_TYPE_BASE, picture.icc.data(),
                     png_uint_32(picture.icc.size()));
    text.resize(picture.text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i].compression = PNG_TEXT_COMPRESSION_zTXt;
        text[i].key = const_cast<char*>(picture.text[i].first.c_str());
        text[i].text = const_cast<char*>(picture.text[i].second.c_str());
        text[i].text_length = picture.text[i].second.size();
    }
    if (!text.empty())
        png_set_text(png, info, text.data(), int(text.size()));
    png_write_info(png, info);
    if (depth == 16)
        png_set_swap(png);
    for (int y = 0; y < pixels.height; ++y)
        png_write_row(png,
                      reinterpret_cast<png_const_bytep>(
                          pixels.samples.data() + std::size_t(y) * pixels.width * pixels.bands));
    png_write_end(png, info);
}

} // namespace

std::optional<SmallPng> decodeSmallPng(const unsigned char* data, std::size_t size) {
    SmallPng picture;
    if (!readChunks(data, size, picture) || !decodePixels(data, size, picture))
        return std::nullopt;
    return picture;
}

std::optional<std::vector<unsigned char>> encodeSmallPng(const SmallPng& picture) {
    std::vector<unsigned char> bytes;
    std::vector<png_text> text; // before setjmp, as above
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return std::nullopt;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::nullopt;
    }
    png_set_write_fn(png, &bytes, appendToVector, flushNothing);
    // zlib level 2 with the "up" row filter, as the full pipeline writes.
    png_set_compression_level(png, 2);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    if (picture.sixteenBit)
        encodeRows(png, info, picture.pixels16, 16, picture, text);
    else
        encodeRows(png, info, picture.pixels8, 8, picture, text);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

} // namespace nconvert

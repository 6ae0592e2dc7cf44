// SPDX-License-Identifier: MIT
#include "small_jpeg.h"

#include "error.h"
#include "jpeg_decoder.h"
#include "jpeg_markers.h"
#include "jpeg_writer.h"
#include "small_exif.h"

#include <cstring>

namespace nconvert {
namespace {

bool startsWith(const unsigned char* p, std::size_t n, const char* text, std::size_t length) {
    return n >= length && std::memcmp(p, text, length) == 0;
}

// The segments before the first scan: only those whose copy is known exactly pass.
bool readMarkers(const unsigned char* data, std::size_t size, SmallJpeg& out) {
    bool exif = false;
    bool jfif = false;
    JpegMarkerWalker walker(data, size);
    JpegMarker marker;
    while (walker.next(marker)) {
        if (marker.padding != 0)
            return false;
        if (marker.code == 0xda)
            return true;
        const unsigned char* body = marker.body;
        const std::size_t n = marker.size;
        switch (marker.body ? marker.code : 0u) {
        case 0xc0: // baseline, extended and progressive Huffman frames
        case 0xc1:
        case 0xc2:
        case 0xc4: // Huffman tables
        case 0xdb: // quantisation tables
        case 0xdd: // restart interval
            continue;
        case 0xe0:
            // JFIF 1.x. Its density becomes the EXIF resolution unless an EXIF block gives one;
            // libvips keeps its made-up 72 dpi when the value is 72 and otherwise stores
            // thousandths. Without a unit it is an aspect ratio and 72 dpi stays.
            if (!startsWith(body, n, "JFIF", 5) || n < 14 || jfif || body[5] != 1 || body[7] > 2)
                return false;
            jfif = true;
            if (!exif && body[7] != 0) {
                for (int axis = 0; axis < 2; ++axis) {
                    const std::uint32_t density =
                        std::uint32_t(body[8 + 2 * axis]) << 8 | body[9 + 2 * axis];
                    if (density == 0)
                        return false;
                    out.exif.resolution[2 * axis] = density == 72 ? 72 : density * 1000;
                    out.exif.resolution[2 * axis + 1] = density == 72 ? 1 : 1000;
                }
                out.exif.unit = body[7] == 1 ? 2 : 3;
            }
            continue;
        case 0xe1: {
            const std::optional<SmallExif> block = exif || !startsWith(body, n, "Exif\0", 6)
                                                       ? std::nullopt
                                                       : readSmallExif(body + 6, n - 6);
            if (!block)
                return false;
            out.exif = *block;
            exif = true;
            continue;
        }
        case 0xe2:
            // One whole profile in one marker ("ICC_PROFILE", sequence 1 of 1).
            if (!startsWith(body, n, "ICC_PROFILE", 12) || n < 15 || body[12] != 1 ||
                body[13] != 1 || !out.icc.empty())
                return false;
            out.icc.assign(body + 14, body + n);
            continue;
        default:
            return false;
        }
    }
    return false;
}

bool decodePixels(const unsigned char* data, std::size_t size, Pixels<std::uint8_t>& pixels) {
    StrictJpegDecoder decoder;
    if (!readJpegHeader(decoder, data, size))
        return false;
    jpeg_decompress_struct& cinfo = decoder.cinfo;
    const bool colour = cinfo.jpeg_color_space == JCS_YCbCr && cinfo.num_components == 3;
    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE && cinfo.num_components == 1;
    if ((!colour && !grey) || cinfo.arith_code || cinfo.data_precision != 8 ||
        cinfo.saw_Adobe_marker)
        return false;
    cinfo.out_color_space = colour ? JCS_RGB : JCS_GRAYSCALE;
    if (!startJpegDecode(decoder))
        return false;
    pixels.width = int(cinfo.output_width);
    pixels.height = int(cinfo.output_height);
    pixels.bands = cinfo.output_components;
    pixels.samples.resize(std::size_t(pixels.width) * pixels.height * pixels.bands);
    const std::size_t stride = std::size_t(pixels.width) * pixels.bands;
    for (int y = 0; y < pixels.height; ++y) {
        JSAMPROW row = pixels.samples.data() + stride * std::size_t(y);
        if (!readJpegRows(decoder, &row, 1))
            return false;
    }
    return true;
}

} // namespace

std::optional<SmallJpeg> decodeSmallJpeg(const unsigned char* data, std::size_t size) {
    SmallJpeg picture;
    if (size < 4 || !readMarkers(data, size, picture) || !decodePixels(data, size, picture.pixels))
        return std::nullopt;
    return picture;
}

std::optional<std::vector<unsigned char>> encodeSmallJpeg(const SmallJpeg& picture, int quality,
                                                          bool subsampled) {
    const Pixels<std::uint8_t>& pixels = picture.pixels;
    PictureShape shape;
    shape.width = pixels.width;
    shape.height = pixels.height;
    shape.bands = pixels.bands;
    PictureMetadata metadata;
    metadata.exif = smallExif(picture.exif, pixels.width, pixels.height);
    metadata.icc = picture.icc;
    metadata.jpegQuality = quality;
    metadata.chromaSubsampled = subsampled;
    MemorySink sink;
    try {
        const std::unique_ptr<RowSink> writer = openJpegWriter(sink, shape, metadata, "output");
        for (int y = 0; y < pixels.height; ++y)
            writer->writeRow(pixels.samples.data() + shape.rowBytes() * std::size_t(y));
        writer->finish();
    } catch (const Error&) {
        return std::nullopt;
    }
    return sink.bytes();
}

} // namespace nconvert

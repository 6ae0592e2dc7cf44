// SPDX-License-Identifier: MIT
#include "small_jpeg.h"

#include "jpeg_decoder.h"
#include "jpeg_markers.h"
#include "jpeg_strict.h"
#include "small_exif.h"

#include <algorithm>
#include <cstdlib>
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

std::vector<unsigned char> exifMarker(const SmallJpeg& picture) {
    std::vector<unsigned char> marker = {'E', 'x', 'i', 'f', 0, 0};
    const std::vector<unsigned char> tiff =
        smallExif(picture.exif, picture.pixels.width, picture.pixels.height);
    marker.insert(marker.end(), tiff.begin(), tiff.end());
    return marker;
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
    jpeg_compress_struct cinfo{};
    StrictJpegErrors errors{};
    cinfo.err = strictJpegErrors(errors);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    // Made before setjmp: libjpeg leaves by longjmp, past any destructor.
    const std::vector<unsigned char> exif = exifMarker(picture);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        return std::nullopt;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &length);
    cinfo.image_width = JDIMENSION(pixels.width);
    cinfo.image_height = JDIMENSION(pixels.height);
    cinfo.input_components = pixels.bands;
    cinfo.in_color_space = pixels.bands == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (pixels.bands == 3 && !subsampled)
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    // The EXIF block carries the resolution, as the full pipeline writes it.
    cinfo.write_JFIF_header = FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    jpeg_write_marker(&cinfo, JPEG_APP0 + 1, exif.data(), unsigned(exif.size()));
    if (!picture.icc.empty())
        jpeg_write_icc_profile(&cinfo, picture.icc.data(), unsigned(picture.icc.size()));
    const std::size_t stride = std::size_t(pixels.width) * pixels.bands;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(pixels.samples.data()) + stride * cinfo.next_scanline;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> bytes(buffer, buffer + length);
    std::free(buffer);
    return bytes;
}

} // namespace nconvert

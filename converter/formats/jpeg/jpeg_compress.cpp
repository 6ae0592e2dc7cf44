// SPDX-License-Identifier: MIT
#include "jpeg_compress.h"

#include "exif.h"
#include "jpeg_markers.h"
#include "required_exif.h"

#include <algorithm>
#include <cmath>

namespace nconvert {
namespace {

// A marker segment holds at most 65535 - 2 bytes after its length.
constexpr std::size_t kMaxMarkerData = 65533;
// Rows of a band: enough that setting up a compressor is lost in the encoding, few enough
// that the bands in flight on many cores stay small.
constexpr std::size_t kBandBytes = 2u << 20;
// DRI holds the restart interval in 16 bits.
constexpr int kMaxRestartMcus = 65535;

// Without an EXIF block of its own the copy gets the one libvips writes, whose
// resolution is stored in thousandths, or as 72/1 dpi when that is what it is. The unit is
// centimetres only for a density that is whole per centimetre and not per inch.
RequiredExif requiredTags(const PictureMetadata& metadata) {
    RequiredExif fields;
    const double perMetre = metadata.pixelsPerMetre[0];
    if (perMetre <= 0 || metadata.pixelsPerMetre[1] <= 0)
        return fields;
    const auto whole = [](double v) { return std::abs(v - std::round(v)) < 1e-6; };
    const bool centimetres = whole(perMetre / 100) && !whole(perMetre * 0.0254);
    fields.unit = centimetres ? 3 : 2;
    for (int axis = 0; axis < 2; ++axis) {
        const double perUnit = metadata.pixelsPerMetre[axis] * (centimetres ? 0.01 : 0.0254);
        const auto thousandths = static_cast<std::uint32_t>(std::llround(perUnit * 1000));
        const bool plain = thousandths == 72000;
        fields.resolution[2 * axis] = plain ? 72 : thousandths;
        fields.resolution[2 * axis + 1] = plain ? 1 : 1000;
    }
    return fields;
}

std::vector<unsigned char> prefixed(const char* prefix, std::size_t length, const void* data,
                                    std::size_t size) {
    std::vector<unsigned char> marker(prefix, prefix + length);
    marker.insert(marker.end(), static_cast<const unsigned char*>(data),
                  static_cast<const unsigned char*>(data) + size);
    return marker;
}

} // namespace

JpegEncoding jpegEncoding(const PictureShape& shape, const PictureMetadata& metadata,
                          int forcedBandMcuRows) {
    JpegEncoding encoding;
    encoding.shape = shape;
    encoding.quality = metadata.jpegQuality.value_or(90);
    encoding.subsampled = metadata.chromaSubsampled;
    const std::vector<unsigned char> exif =
        metadata.exif.empty()
            ? requiredExif(requiredTags(metadata), shape.width, shape.height)
            : exifWithSize(metadata.exif, std::uint32_t(shape.width), std::uint32_t(shape.height));
    encoding.exif = prefixed(kJpegExifId, sizeof kJpegExifId, exif.data(), exif.size());
    if (!metadata.xmp.empty())
        encoding.xmp =
            prefixed(kJpegXmpId, sizeof kJpegXmpId, metadata.xmp.data(), metadata.xmp.size());
    encoding.icc = metadata.icc;

    // An MCU is as wide as it is high; a grey scan's MCU is one block.
    const int mcuSide = encoding.mcuHeight();
    const int mcusPerRow = std::max(1, (shape.width + mcuSide - 1) / mcuSide);
    const std::size_t mcuRowBytes = std::max<std::size_t>(1, shape.rowBytes() * mcuSide);
    const int wanted = forcedBandMcuRows > 0
                           ? forcedBandMcuRows
                           : int(std::min<std::size_t>((kBandBytes + mcuRowBytes - 1) / mcuRowBytes,
                                                       kMaxRestartMcus));
    encoding.bandMcuRows = std::clamp(wanted, 1, kMaxRestartMcus / mcusPerRow);
    return encoding;
}

Error jpegEncodingError(const std::string& outputName, const char* message) {
    return Error(Status::Internal, outputName,
                 std::string("cannot encode JPEG (jpeg: ") + message + ")");
}

void startJpegCompress(jpeg_compress_struct& cinfo, const JpegEncoding& encoding, int height,
                       bool markers) {
    const PictureShape& shape = encoding.shape;
    cinfo.image_width = JDIMENSION(shape.width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = shape.bands;
    cinfo.in_color_space = shape.cmyk ? JCS_CMYK : (shape.bands == 3 ? JCS_RGB : JCS_GRAYSCALE);
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, encoding.quality, TRUE);
    if (shape.bands == 3 && !encoding.subsampled)
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    // The EXIF block carries the resolution.
    cinfo.write_JFIF_header = FALSE;
    // Each band is one restart interval, so bands encoded apart join into one scan; a picture
    // of one band keeps the plain scan it always had.
    if (encoding.bandCount() > 1)
        cinfo.restart_in_rows = encoding.bandMcuRows;
    jpeg_start_compress(&cinfo, TRUE);
    if (!markers)
        return;
    // A block too large for one marker cannot be carried: JPEG has no way to split it.
    if (encoding.exif.size() <= kMaxMarkerData)
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, encoding.exif.data(),
                          unsigned(encoding.exif.size()));
    if (!encoding.xmp.empty() && encoding.xmp.size() <= kMaxMarkerData)
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, encoding.xmp.data(),
                          unsigned(encoding.xmp.size()));
    if (!encoding.icc.empty())
        jpeg_write_icc_profile(&cinfo, encoding.icc.data(), unsigned(encoding.icc.size()));
}

} // namespace nconvert

// SPDX-License-Identifier: MIT
#include "jpeg_source.h"

#include "bytes.h"
#include "error.h"
#include "exif.h"
#include "jpeg_decoder.h"
#include "jpeg_markers.h"
#include "jpeg_tables.h"

#include <cstring>
#include <map>

namespace nconvert {
namespace {

bool startsWith(const JpegMarker& marker, const char* text, std::size_t length) {
    return marker.size >= length && std::memcmp(marker.body, text, length) == 0;
}

// An ICC profile split over APP2 markers, each numbered "i of n": kept only when the numbers
// agree and every piece is there once, as libjpeg's own reader decides.
class IccPieces {
public:
    void add(const unsigned char* body, std::size_t size) {
        if (size < 2 || body[0] == 0 || body[0] > body[1] || (m_count && body[1] != m_count) ||
            !m_pieces.emplace(body[0], std::make_pair(body + 2, size - 2)).second)
            m_broken = true;
        m_count = body[1];
    }
    std::vector<unsigned char> profile() const {
        std::vector<unsigned char> icc;
        if (m_broken || m_pieces.size() != m_count)
            return icc;
        for (const auto& [number, piece] : m_pieces)
            icc.insert(icc.end(), piece.first, piece.first + piece.second);
        return icc;
    }

private:
    std::map<unsigned, std::pair<const unsigned char*, std::size_t>> m_pieces;
    unsigned m_count = 0;
    bool m_broken = false;
};

// The metadata segments before the first scan. The first EXIF and XMP blocks are the
// picture's; the density of a JFIF header counts only when EXIF states no resolution.
PictureMetadata readMetadata(const unsigned char* data, std::size_t size) {
    PictureMetadata metadata;
    IccPieces icc;
    bool haveXmp = false;
    JpegMarkerWalker walker(data, size);
    JpegMarker marker;
    while (walker.next(marker) && marker.code != 0xda) {
        if (marker.code == 0xe1 && metadata.exif.empty() &&
            startsWith(marker, kJpegExifId, sizeof kJpegExifId)) {
            metadata.exif.assign(marker.body + sizeof kJpegExifId, marker.body + marker.size);
        } else if (marker.code == 0xe1 && !haveXmp &&
                   startsWith(marker, kJpegXmpId, sizeof kJpegXmpId)) {
            metadata.xmp.assign(reinterpret_cast<const char*>(marker.body) + sizeof kJpegXmpId,
                                marker.size - sizeof kJpegXmpId);
            haveXmp = true;
        } else if (marker.code == 0xe2 && startsWith(marker, kJpegIccId, sizeof kJpegIccId)) {
            icc.add(marker.body + sizeof kJpegIccId, marker.size - sizeof kJpegIccId);
        } else if (marker.code == 0xe0 && startsWith(marker, "JFIF", 5) && marker.size >= 12 &&
                   (marker.body[7] == 1 || marker.body[7] == 2)) {
            const double metresPerUnit = marker.body[7] == 1 ? 0.0254 : 0.01;
            for (int axis = 0; axis < 2; ++axis)
                metadata.pixelsPerMetre[axis] =
                    double(readBe16(marker.body + 8 + 2 * axis)) / metresPerUnit;
        }
    }
    metadata.icc = icc.profile();
    if (const std::optional<ExifResolution> exif = exifResolution(metadata.exif))
        for (int axis = 0; axis < 2; ++axis)
            metadata.pixelsPerMetre[axis] = exif->pixelsPerMetre[axis];
    return metadata;
}

// What libjpeg holds when it must keep every coefficient until the last scan: each
// component's blocks, padded to whole MCUs, of 64 two-byte coefficients.
std::int64_t heldCoefficientBytes(const jpeg_decompress_struct& cinfo) {
    if (!cinfo.progressive_mode && cinfo.comps_in_scan >= cinfo.num_components)
        return 0;
    std::int64_t bytes = 0;
    for (int c = 0; c < cinfo.num_components; ++c) {
        const jpeg_component_info& component = cinfo.comp_info[c];
        const auto padded = [](std::int64_t blocks, std::int64_t factor) {
            return (blocks + factor - 1) / factor * factor;
        };
        bytes += padded(component.width_in_blocks, component.h_samp_factor) *
                 padded(component.height_in_blocks, component.v_samp_factor) * DCTSIZE2 *
                 std::int64_t(sizeof(JCOEF));
    }
    return bytes;
}

class JpegSource : public RowSource {
public:
    JpegSource(const unsigned char* data, std::size_t size, const ConvertSettings& settings)
        : m_inputName(settings.inputName) {
        m_metadata = readMetadata(data, size);
        if (!readJpegHeader(m_decoder, data, size))
            fail("corrupt or unreadable JPEG");
        const jpeg_decompress_struct& cinfo = m_decoder.cinfo;
        const std::int64_t held = heldCoefficientBytes(cinfo);
        if (held > settings.limits.maxHeldBytes)
            throw Error(Status::TooLarge, m_inputName,
                        "the picture is " + std::to_string(cinfo.image_width) + " x " +
                            std::to_string(cinfo.image_height) +
                            " pixels in several scans, which hold " + std::to_string(held >> 20) +
                            " MB while decoding, above the limit of " +
                            std::to_string(settings.limits.maxHeldBytes >> 20) + " MB");
        const JpegEncoding encoding = jpegEncodingOf(cinfo);
        m_metadata.jpegQuality = encoding.quality;
        m_metadata.chromaSubsampled = encoding.chromaSubsampled;
        if (!startJpegDecode(m_decoder))
            fail("corrupt or truncated JPEG");
        m_shape.width = int(cinfo.output_width);
        m_shape.height = int(cinfo.output_height);
        m_shape.bands = cinfo.output_components;
        m_shape.cmyk = cinfo.out_color_space == JCS_CMYK;
    }
    const PictureShape& shape() const override { return m_shape; }
    const PictureMetadata& metadata() const override { return m_metadata; }
    void readRow(void* row) override {
        JSAMPROW rows[1] = {static_cast<JSAMPROW>(row)};
        if (!readJpegRows(m_decoder, rows, 1))
            fail("corrupt or truncated JPEG");
    }

private:
    [[noreturn]] void fail(const char* what) {
        throw Error(Status::BadInput, m_inputName,
                    std::string(what) + " (jpeg: " + m_decoder.errors.message + ")");
    }

    StrictJpegDecoder m_decoder;
    PictureShape m_shape;
    PictureMetadata m_metadata;
    std::string m_inputName;
};

} // namespace

std::unique_ptr<RowSource> openJpegReader(const unsigned char* data, std::size_t size,
                                          const ConvertSettings& settings) {
    return std::make_unique<JpegSource>(data, size, settings);
}

} // namespace nconvert

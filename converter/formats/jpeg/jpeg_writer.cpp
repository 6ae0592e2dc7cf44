// SPDX-License-Identifier: MIT
#include "jpeg_writer.h"

#include "error.h"
#include "exif.h"
#include "jpeg_markers.h"
#include "jpeg_strict.h"
#include "required_exif.h"

#include <cmath>
#include <cstring>
#include <vector>

// after jpeglib.h, which it needs
#include <jerror.h>

namespace nconvert {
namespace {

// A marker segment holds at most 65535 - 2 bytes after its length.
constexpr std::size_t kMaxMarkerData = 65533;

struct Destination {
    jpeg_destination_mgr base;
    OutputSink* sink;
    bool failed;
    unsigned char buffer[1 << 16];
};

void initDestination(j_compress_ptr cinfo) {
    auto* destination = reinterpret_cast<Destination*>(cinfo->dest);
    destination->base.next_output_byte = destination->buffer;
    destination->base.free_in_buffer = sizeof destination->buffer;
}

void flush(j_compress_ptr cinfo, std::size_t bytes) {
    auto* destination = reinterpret_cast<Destination*>(cinfo->dest);
    if (!destination->sink->append(destination->buffer, bytes)) {
        destination->failed = true;
        ERREXIT(cinfo, JERR_FILE_WRITE);
    }
}

boolean emptyBuffer(j_compress_ptr cinfo) {
    flush(cinfo, sizeof Destination::buffer);
    initDestination(cinfo);
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    flush(cinfo, sizeof Destination::buffer - cinfo->dest->free_in_buffer);
}

// Without an EXIF block of its own the copy gets the one the full pipeline writes, whose
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

// Destroyed with the sink, even when making it fails half way.
struct Compressor {
    Compressor() = default;
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
    ~Compressor() {
        if (created)
            jpeg_destroy_compress(&cinfo);
    }
    jpeg_compress_struct cinfo{};
    bool created = false;
};

class JpegSink : public RowSink {
public:
    JpegSink(OutputSink& sink, const PictureShape& shape, const PictureMetadata& metadata,
             const std::string& outputName)
        : m_shape(shape), m_icc(metadata.icc), m_outputName(outputName) {
        if (shape.sixteenBit || shape.alpha ||
            (shape.bands != 1 && shape.bands != 3 && !(shape.bands == 4 && shape.cmyk)))
            throw Error(Status::Internal, outputName,
                        "JPEG is written from 8-bit grey, RGB or CMYK rows only");
        const std::vector<unsigned char> exif =
            metadata.exif.empty() ? requiredExif(requiredTags(metadata), shape.width, shape.height)
                                  : exifWithSize(metadata.exif, std::uint32_t(shape.width),
                                                 std::uint32_t(shape.height));
        m_exif = prefixed(kJpegExifId, sizeof kJpegExifId, exif.data(), exif.size());
        if (!metadata.xmp.empty())
            m_xmp =
                prefixed(kJpegXmpId, sizeof kJpegXmpId, metadata.xmp.data(), metadata.xmp.size());
        if (shape.cmyk)
            m_inverted.resize(shape.rowBytes());
        m_destination.sink = &sink;
        if (!start(metadata.jpegQuality.value_or(90), metadata.chromaSubsampled))
            fail();
    }
    void writeRow(const void* row) override {
        JSAMPROW samples = const_cast<JSAMPLE*>(static_cast<const JSAMPLE*>(row));
        if (m_shape.cmyk) {
            for (std::size_t i = 0; i < m_inverted.size(); ++i)
                m_inverted[i] = JSAMPLE(255 - samples[i]);
            samples = m_inverted.data();
        }
        if (setjmp(m_errors.jump))
            fail();
        jpeg_write_scanlines(&m_cinfo, &samples, 1);
    }

    void finish() override {
        if (setjmp(m_errors.jump))
            fail();
        jpeg_finish_compress(&m_cinfo);
    }

private:
    // The settings of the small path's encoder, so that both write the same bytes.
    bool start(int quality, bool subsampled) {
        m_cinfo.err = strictJpegErrors(m_errors);
        if (setjmp(m_errors.jump))
            return false;
        jpeg_create_compress(&m_cinfo);
        m_compressor.created = true;
        m_destination.base.init_destination = initDestination;
        m_destination.base.empty_output_buffer = emptyBuffer;
        m_destination.base.term_destination = termDestination;
        m_cinfo.dest = &m_destination.base;
        m_cinfo.image_width = JDIMENSION(m_shape.width);
        m_cinfo.image_height = JDIMENSION(m_shape.height);
        m_cinfo.input_components = m_shape.bands;
        m_cinfo.in_color_space =
            m_shape.cmyk ? JCS_CMYK : (m_shape.bands == 3 ? JCS_RGB : JCS_GRAYSCALE);
        jpeg_set_defaults(&m_cinfo);
        jpeg_set_quality(&m_cinfo, quality, TRUE);
        if (m_shape.bands == 3 && !subsampled)
            m_cinfo.comp_info[0].h_samp_factor = m_cinfo.comp_info[0].v_samp_factor = 1;
        // The EXIF block carries the resolution.
        m_cinfo.write_JFIF_header = FALSE;
        jpeg_start_compress(&m_cinfo, TRUE);
        // A block too large for one marker cannot be carried: JPEG has no way to split it.
        if (m_exif.size() <= kMaxMarkerData)
            jpeg_write_marker(&m_cinfo, JPEG_APP0 + 1, m_exif.data(), unsigned(m_exif.size()));
        if (!m_xmp.empty() && m_xmp.size() <= kMaxMarkerData)
            jpeg_write_marker(&m_cinfo, JPEG_APP0 + 1, m_xmp.data(), unsigned(m_xmp.size()));
        if (!m_icc.empty())
            jpeg_write_icc_profile(&m_cinfo, m_icc.data(), unsigned(m_icc.size()));
        return true;
    }

    [[noreturn]] void fail() {
        if (m_destination.failed)
            throw Error(Status::CannotWrite, m_outputName, m_destination.sink->failure());
        throw Error(Status::Internal, m_outputName,
                    std::string("cannot encode JPEG (jpeg: ") + m_errors.message + ")");
    }

    PictureShape m_shape;
    std::vector<unsigned char> m_exif;
    std::vector<unsigned char> m_xmp;
    std::vector<unsigned char> m_icc;
    std::vector<JSAMPLE> m_inverted;
    std::string m_outputName;
    Compressor m_compressor;
    jpeg_compress_struct& m_cinfo = m_compressor.cinfo;
    StrictJpegErrors m_errors{};
    Destination m_destination{};
};

} // namespace

std::unique_ptr<RowSink> openJpegWriter(OutputSink& sink, const PictureShape& shape,
                                        const PictureMetadata& metadata,
                                        const std::string& outputName) {
    return std::make_unique<JpegSink>(sink, shape, metadata, outputName);
}

} // namespace nconvert

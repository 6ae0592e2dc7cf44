// SPDX-License-Identifier: MIT
#include "vips_rows.h"

#include "error.h"
#include "vips_job.h"

namespace nconvert {
namespace {

const VipsRowEntries& entries(Format format, const ConvertSettings& settings) {
    const VipsRowEntries* rows = settings.vipsRows ? settings.vipsRows() : nullptr;
    if (!rows)
        throw Error(Status::Unsupported, settings.inputName,
                    std::string(formatName(format)) +
                        " pictures need the libvips module, which this build does not have");
    return *rows;
}

PictureShape shapeOf(const NconvertVipsPicture& picture) {
    PictureShape shape;
    shape.width = picture.width;
    shape.height = picture.height;
    shape.frames = picture.frames;
    shape.bands = picture.bands;
    shape.alpha = picture.alpha != 0;
    shape.sixteenBit = picture.sixteenBit != 0;
    shape.cmyk = picture.cmyk != 0;
    return shape;
}

PictureMetadata metadataOf(const NconvertVipsPicture& picture) {
    PictureMetadata metadata;
    metadata.exif.assign(picture.exif, picture.exif + picture.exifSize);
    metadata.icc.assign(picture.icc, picture.icc + picture.iccSize);
    metadata.xmp.assign(picture.xmp ? picture.xmp : "", picture.xmpSize);
    metadata.pixelsPerMetre[0] = picture.pixelsPerMetre[0];
    metadata.pixelsPerMetre[1] = picture.pixelsPerMetre[1];
    if (picture.delaysMs)
        metadata.delaysMs.assign(picture.delaysMs, picture.delaysMs + picture.frames);
    metadata.loop = picture.loop;
    metadata.webpLossless = picture.webpLossless != 0;
    if (picture.quality > 0)
        metadata.webpQuality = picture.quality;
    metadata.tiffCompression = picture.tiffCompression;
    metadata.avifBitDepth = picture.avifBitDepth;
    return metadata;
}

// What the writer is told: pointers into `metadata`, which outlives the call.
NconvertVipsPicture pictureOf(const PictureShape& shape, const PictureMetadata& metadata) {
    NconvertVipsPicture picture{};
    picture.width = shape.width;
    picture.height = shape.height;
    picture.frames = shape.frames;
    picture.bands = shape.bands;
    picture.alpha = shape.alpha;
    picture.sixteenBit = shape.sixteenBit;
    picture.cmyk = shape.cmyk;
    picture.exif = metadata.exif.data();
    picture.exifSize = metadata.exif.size();
    picture.icc = metadata.icc.data();
    picture.iccSize = metadata.icc.size();
    picture.xmp = metadata.xmp.data();
    picture.xmpSize = metadata.xmp.size();
    picture.pixelsPerMetre[0] = metadata.pixelsPerMetre[0];
    picture.pixelsPerMetre[1] = metadata.pixelsPerMetre[1];
    picture.loop = metadata.loop;
    picture.webpLossless = metadata.webpLossless;
    picture.quality = metadata.webpQuality.value_or(metadata.jpegQuality.value_or(0));
    picture.tiffCompression = metadata.tiffCompression;
    picture.avifBitDepth = metadata.avifBitDepth;
    return picture;
}

class VipsSource : public RowSource {
public:
    VipsSource(const char* argv0, const unsigned char* data, std::size_t size,
               const ConvertSettings& settings)
        : m_settings(settings), m_job(vipsJob(argv0, data, size, m_settings, nullptr)) {}
    ~VipsSource() override {
        if (m_reader.close)
            m_reader.close(m_reader.handle);
    }

    void open(const VipsRowEntries& rows, Format format, bool keepCmyk) {
        const int status = rows.openReader(&m_job, int32_t(format), keepCmyk, &m_reader);
        if (status != 0)
            throwVipsFailure(status, m_job, m_settings);
        m_shape = shapeOf(m_reader.picture);
        m_metadata = metadataOf(m_reader.picture);
    }

    const PictureShape& shape() const override { return m_shape; }
    const PictureMetadata& metadata() const override { return m_metadata; }
    void readRow(void* row) override {
        const int status = m_reader.readRow(m_reader.handle, row);
        if (status != 0)
            throwVipsFailure(status, m_job, m_settings);
    }

private:
    ConvertSettings m_settings; // the job's names point into it
    NconvertVipsJob m_job;
    NconvertVipsReader m_reader{};
    PictureShape m_shape;
    PictureMetadata m_metadata;
};

class VipsSink : public RowSink {
public:
    VipsSink(const char* argv0, OutputSink& sink, const ConvertSettings& settings)
        : m_settings(settings), m_job(vipsJob(argv0, nullptr, 0, m_settings, &sink)) {}
    ~VipsSink() override {
        if (m_writer.close)
            m_writer.close(m_writer.handle);
    }

    void open(const VipsRowEntries& rows, Format format, const PictureShape& shape,
              const PictureMetadata& metadata) {
        NconvertVipsPicture picture = pictureOf(shape, metadata);
        const std::vector<int32_t> delays(metadata.delaysMs.begin(), metadata.delaysMs.end());
        if (int(delays.size()) == shape.frames)
            picture.delaysMs = delays.data();
        check(rows.openWriter(&m_job, int32_t(format), &picture, &m_writer));
    }

    void writeRow(const void* row) override { check(m_writer.writeRow(m_writer.handle, row)); }
    void finish() override { check(m_writer.finish(m_writer.handle)); }

private:
    void check(int status) {
        if (status != 0)
            throwVipsFailure(status, m_job, m_settings);
    }

    ConvertSettings m_settings; // the job's names point into it
    NconvertVipsJob m_job;
    NconvertVipsWriter m_writer{};
};

} // namespace

std::unique_ptr<RowSource> openVipsSource(Format format, const unsigned char* data,
                                          std::size_t size, const ConvertSettings& settings,
                                          bool keepCmyk) {
    const VipsRowEntries& rows = entries(format, settings);
    auto source = std::make_unique<VipsSource>(rows.argv0, data, size, settings);
    source->open(rows, format, keepCmyk);
    return source;
}

std::unique_ptr<RowSink> openVipsSink(Format format, OutputSink& sink, const PictureShape& shape,
                                      const PictureMetadata& metadata,
                                      const ConvertSettings& settings) {
    const VipsRowEntries& rows = entries(format, settings);
    auto encoder = std::make_unique<VipsSink>(rows.argv0, sink, settings);
    encoder->open(rows, format, shape, metadata);
    return encoder;
}

} // namespace nconvert

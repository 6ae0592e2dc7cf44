// SPDX-License-Identifier: MIT
// The module's writer of WebP, TIFF and AVIF. libvips' WebP and HEIF savers hold the whole
// picture however it is fed, so the rows are gathered and saved at the end; TIFF is gathered
// too, which keeps one way for the three and its bound the same.
#include "convert.h"
#include "row_codec.h"

#include <cstring>
#include <memory>
#include <vector>
#include <vips/vips8>

using vips::VError;
using vips::VImage;
using vips::VOption;

namespace nconvert {
namespace {

// Quality of a lossy copy whose source said none (libvips' own default is 75).
constexpr int kDefaultQuality = 90;
// AV1 effort 0..9; libvips' default 4 takes minutes for a 48-megapixel result on two cores.
constexpr int kAvifEffort = 2;

VipsInterpretation interpretationOf(const NconvertVipsPicture& p) {
    if (p.cmyk)
        return VIPS_INTERPRETATION_CMYK;
    const bool grey = p.bands - (p.alpha ? 1 : 0) == 1;
    if (p.sixteenBit)
        return grey ? VIPS_INTERPRETATION_GREY16 : VIPS_INTERPRETATION_RGB16;
    return grey ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB;
}

// The TIFF compression a source's tag asks for; CCITT fax and unknown codecs become LZW,
// lossless and read everywhere.
VipsForeignTiffCompression tiffCompression(int tag) {
    switch (tag) {
    case 1:
        return VIPS_FOREIGN_TIFF_COMPRESSION_NONE;
    case 6:
    case 7:
        return VIPS_FOREIGN_TIFF_COMPRESSION_JPEG;
    case 8:
    case 32946:
        return VIPS_FOREIGN_TIFF_COMPRESSION_DEFLATE;
    case 32773:
        return VIPS_FOREIGN_TIFF_COMPRESSION_PACKBITS;
    case 50000:
        return VIPS_FOREIGN_TIFF_COMPRESSION_ZSTD;
    case 50001:
        return VIPS_FOREIGN_TIFF_COMPRESSION_WEBP;
    default:
        return VIPS_FOREIGN_TIFF_COMPRESSION_LZW;
    }
}

class Writer {
public:
    Writer(NconvertVipsJob& job, Format format, const NconvertVipsPicture& picture)
        : m_job(job), m_settings(settingsOf(job)), m_sink(job), m_format(format),
          m_picture(picture) {
        m_exif.assign(picture.exif, picture.exif + picture.exifSize);
        m_icc.assign(picture.icc, picture.icc + picture.iccSize);
        m_xmp.assign(picture.xmp, picture.xmp + picture.xmpSize);
        if (picture.delaysMs)
            m_delays.assign(picture.delaysMs, picture.delaysMs + picture.frames);
        m_rowBytes = std::size_t(picture.width) * picture.bands * (picture.sixteenBit ? 2 : 1);
        const std::int64_t held =
            std::int64_t(m_rowBytes) * picture.height * std::max(1, picture.frames);
        if (held > m_settings.limits.maxHeldBytes)
            throw Error(
                Status::TooLarge, m_settings.outputName,
                std::string("the ") + formatName(format) + " encoder holds the whole result, " +
                    std::to_string(held >> 20) + " MB, above the " +
                    std::to_string(m_settings.limits.maxHeldBytes >> 20) + " MB it may hold");
        m_pixels.reserve(std::size_t(held));
    }

    NconvertVipsJob& job() { return m_job; }

    void writeRow(const void* row) {
        const auto* bytes = static_cast<const unsigned char*>(row);
        m_pixels.insert(m_pixels.end(), bytes, bytes + m_rowBytes);
    }

    void finish() {
        try {
            save(picture());
        } catch (const VError&) {
            const std::string failure = m_sink.failure();
            const std::string detail = takeVipsError();
            if (!failure.empty())
                throw Error(Status::CannotWrite, m_settings.outputName, failure);
            throw Error(Status::Internal, m_settings.outputName,
                        std::string("libvips cannot write the ") + formatName(m_format) +
                            (detail.empty() ? std::string() : " (" + detail + ")"));
        }
    }

private:
    VImage picture() {
        const NconvertVipsPicture& p = m_picture;
        const int rows = p.height * std::max(1, p.frames);
        VImage image =
            VImage::new_from_memory(m_pixels.data(), m_pixels.size(), p.width, rows, p.bands,
                                    p.sixteenBit ? VIPS_FORMAT_USHORT : VIPS_FORMAT_UCHAR);
        image = image.copy(VImage::option()->set("interpretation", interpretationOf(p)));
        if (!m_exif.empty())
            image.set(VIPS_META_EXIF_NAME, nullptr, m_exif.data(), m_exif.size());
        if (!m_icc.empty())
            image.set(VIPS_META_ICC_NAME, nullptr, m_icc.data(), m_icc.size());
        if (!m_xmp.empty())
            image.set(VIPS_META_XMP_NAME, nullptr, m_xmp.data(), m_xmp.size());
        if (p.frames > 1) {
            image.set(VIPS_META_PAGE_HEIGHT, p.height);
            if (!m_delays.empty())
                image.set("delay", m_delays.data(), int(m_delays.size()));
            image.set("loop", p.loop);
        }
        if (p.pixelsPerMetre[0] > 0 && p.pixelsPerMetre[1] > 0)
            image = image.copy(VImage::option()
                                   ->set("xres", p.pixelsPerMetre[0] / 1000)
                                   ->set("yres", p.pixelsPerMetre[1] / 1000));
        return image;
    }

    void save(const VImage& image) {
        const NconvertVipsPicture& p = m_picture;
        const int quality = p.quality > 0 ? p.quality : kDefaultQuality;
        switch (m_format) {
        case Format::Webp:
            image.webpsave_target(targetFor(m_sink), p.webpLossless
                                                         ? VImage::option()->set("lossless", true)
                                                         : VImage::option()->set("Q", quality));
            break;
        case Format::Tiff: {
            VOption* options =
                VImage::option()->set("compression", tiffCompression(p.tiffCompression));
            if (p.tiffCompression == 6 || p.tiffCompression == 7)
                options->set("Q", quality);
            // Past 4 GB of offsets a classic TIFF cannot point; with room for what compression
            // may add, BigTIFF from 3.5 GB of samples.
            if (m_pixels.size() > 3'500'000'000ull)
                options->set("bigtiff", true);
            saveTiff(image, options, m_sink);
            break;
        }
        case Format::Avif:
            image.heifsave_target(targetFor(m_sink),
                                  VImage::option()
                                      ->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_AV1)
                                      ->set("bitdepth", p.sixteenBit ? 10 : 8)
                                      ->set("effort", kAvifEffort));
            break;
        default:
            throw Error(Status::Internal, m_settings.outputName, "not a format of the module's");
        }
    }

    NconvertVipsJob& m_job;
    ConvertSettings m_settings;
    SeamSink m_sink;
    Format m_format;
    NconvertVipsPicture m_picture;
    std::vector<unsigned char> m_exif, m_icc;
    std::vector<char> m_xmp;
    std::vector<int> m_delays;
    std::size_t m_rowBytes = 0;
    std::vector<unsigned char> m_pixels;
};

int writeRow(void* handle, const void* row) {
    auto* writer = static_cast<Writer*>(handle);
    return guardedForSeam(writer->job(), [&] { writer->writeRow(row); });
}

int finish(void* handle) {
    auto* writer = static_cast<Writer*>(handle);
    return guardedForSeam(writer->job(), [&] { writer->finish(); });
}

void closeWriter(void* handle) {
    delete static_cast<Writer*>(handle);
}

} // namespace

int openVipsWriter(NconvertVipsJob* job, int32_t format, const NconvertVipsPicture* picture,
                   NconvertVipsWriter* writer) {
    return guardedForSeam(*job, [&] {
        if (!startVips(job->argv0))
            throw Error(Status::Internal, "libvips", "cannot start: " + takeVipsError());
        auto opened = std::make_unique<Writer>(*job, Format(format), *picture);
        *writer = NconvertVipsWriter{};
        writer->writeRow = writeRow;
        writer->finish = finish;
        writer->close = closeWriter;
        writer->handle = opened.release();
    });
}

} // namespace nconvert

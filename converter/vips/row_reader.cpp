// SPDX-License-Identifier: MIT
// The module's reader of WebP, TIFF and AVIF: libvips decodes in sequential strips, the
// converter takes the rows.
#include "file_facts.h"
#include "row_codec.h"
#include "size_limits.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>
#include <vips/vips8>

using vips::VError;
using vips::VImage;
using vips::VOption;

namespace nconvert {
namespace {

constexpr int kStripRows = 32;

[[noreturn]] void corrupt(const ConvertSettings& settings, Format format) {
    const std::string detail = takeVipsError();
    throw Error(Status::BadInput, settings.inputName,
                std::string("corrupt or truncated ") + formatName(format) +
                    (detail.empty() ? std::string() : " (" + detail + ")"));
}

// Only the format's own loader, on the bytes in memory, strict, streaming top to bottom.
VImage load(Format format, const unsigned char* data, std::size_t size, int pages) {
    VipsBlob* blob = vips_blob_new(nullptr, data, size);
    VOption* options =
        VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL)->set("fail_on", VIPS_FAIL_ON_ERROR);
    VImage image;
    try {
        if (format == Format::Webp)
            image = VImage::webpload_buffer(blob, options->set("n", pages));
        else if (format == Format::Tiff)
            image = VImage::tiffload_buffer(blob, options->set("n", pages));
        else
            image = VImage::heifload_buffer(blob, options);
    } catch (...) {
        vips_area_unref(VIPS_AREA(blob));
        throw;
    }
    vips_area_unref(VIPS_AREA(blob));
    return image;
}

int pagesOf(const VImage& image) {
    if (!vips_image_get_typeof(image.get_image(), VIPS_META_N_PAGES))
        return 1;
    return std::max(1, image.get_int(VIPS_META_N_PAGES));
}

std::vector<unsigned char> blobOf(const VImage& image, const char* name) {
    if (!vips_image_get_typeof(image.get_image(), name))
        return {};
    const void* data = nullptr;
    std::size_t size = 0;
    if (vips_image_get_blob(image.get_image(), name, &data, &size) || !data)
        return {};
    const auto* bytes = static_cast<const unsigned char*>(data);
    return {bytes, bytes + size};
}

class Reader {
public:
    Reader(NconvertVipsJob& job, Format format, bool keepCmyk)
        : m_job(job), m_settings(settingsOf(job)), m_format(format) {
        open(keepCmyk);
    }
    ~Reader() {
        if (m_region)
            g_object_unref(m_region);
    }

    const NconvertVipsPicture& picture() const { return m_picture; }
    NconvertVipsJob& job() { return m_job; }

    void readRow(void* row) {
        if (m_next >= m_stripEnd) {
            VipsRect strip{0, m_next, m_image.width(), std::min(kStripRows, m_rows - m_next)};
            if (strip.height <= 0 || vips_region_prepare(m_region, &strip))
                corrupt(m_settings, m_format);
            m_stripEnd = m_next + strip.height;
        }
        std::memcpy(row, VIPS_REGION_ADDR(m_region, 0, m_next), m_rowBytes);
        ++m_next;
    }

private:
    void open(bool keepCmyk) {
        const FileFacts facts = fileFacts(m_format, m_job.data, m_job.size);
        if (!facts.problem.empty())
            throw Error(Status::BadInput, m_settings.inputName, facts.problem);
        try {
            m_image = load(m_format, m_job.data, m_job.size, 1);
            const int pages = pagesOf(m_image);
            if (pages > 1 && m_format != Format::Avif) {
                // Pages of one size come as one tall picture; pages of mixed sizes leave the
                // first page alone.
                try {
                    m_image = load(m_format, m_job.data, m_job.size, -1);
                    m_frames = pages;
                } catch (const VError&) {
                    takeVipsError();
                }
            }
        } catch (const VError&) {
            corrupt(m_settings, m_format);
        }
        // Sequential loading has read the header alone: the limits before any pixel.
        checkInputPixels(m_image.width(), m_image.height(), m_settings);
        shape(keepCmyk);
        describe(facts);
        m_region = vips_region_new(m_image.get_image());
        if (!m_region)
            corrupt(m_settings, m_format);
    }

    // Brings the decoded picture into one of the pipeline's shapes: 8 or 16 bits, grey or RGB
    // (or CMYK), alpha last.
    void shape(bool keepCmyk) {
        const VipsBandFormat sample = m_image.format();
        if (sample != VIPS_FORMAT_UCHAR && sample != VIPS_FORMAT_USHORT)
            throw Error(Status::Unsupported, m_settings.inputName,
                        std::string("the ") + formatName(m_format) + "'s samples are " +
                            vips_enum_nick(VIPS_TYPE_BAND_FORMAT, sample) +
                            "; only 8- and 16-bit unsigned samples are read (floating-point "
                            "and signed samples have no agreed range to bring into them)");
        const bool cmyk = m_image.interpretation() == VIPS_INTERPRETATION_CMYK;
        try {
            if (cmyk && (!keepCmyk || m_image.bands() != 4))
                m_image =
                    m_image.colourspace(sample == VIPS_FORMAT_USHORT ? VIPS_INTERPRETATION_RGB16
                                                                     : VIPS_INTERPRETATION_sRGB);
        } catch (const VError&) {
            corrupt(m_settings, m_format);
        }
        if (m_image.bands() > 4)
            throw Error(Status::Unsupported, m_settings.inputName,
                        std::string("the ") + formatName(m_format) + " has " +
                            std::to_string(m_image.bands()) +
                            " bands; grey, RGB and CMYK, with or without alpha, are read");
        m_picture.width = m_image.width();
        m_rows = m_image.height();
        m_picture.height = m_rows / m_frames;
        m_picture.frames = m_frames;
        m_picture.bands = m_image.bands();
        m_picture.cmyk = cmyk && keepCmyk && m_image.bands() == 4;
        m_picture.alpha = !m_picture.cmyk && (m_image.bands() == 2 || m_image.bands() == 4);
        m_picture.sixteenBit = m_image.format() == VIPS_FORMAT_USHORT;
        m_rowBytes = std::size_t(m_picture.width) * m_picture.bands * (m_picture.sixteenBit + 1);
    }

    void describe(const FileFacts& facts) {
        const VImage& image = m_image;
        m_exif = blobOf(image, VIPS_META_EXIF_NAME);
        // libvips keeps JPEG's "Exif\0\0" before the TIFF data when a loader gives it.
        if (m_exif.size() >= 6 && std::memcmp(m_exif.data(), "Exif\0\0", 6) == 0)
            m_exif.erase(m_exif.begin(), m_exif.begin() + 6);
        m_icc = blobOf(image, VIPS_META_ICC_NAME);
        m_xmp = blobOf(image, VIPS_META_XMP_NAME);
        m_picture.exif = m_exif.data();
        m_picture.exifSize = m_exif.size();
        m_picture.icc = m_icc.data();
        m_picture.iccSize = m_icc.size();
        m_picture.xmp = reinterpret_cast<const char*>(m_xmp.data());
        m_picture.xmpSize = m_xmp.size();
        if (m_format == Format::Tiff &&
            vips_image_get_typeof(image.get_image(), "resolution-unit")) {
            // libvips keeps resolution in pixels per millimetre.
            m_picture.pixelsPerMetre[0] = image.xres() * 1000;
            m_picture.pixelsPerMetre[1] = image.yres() * 1000;
        }
        if (vips_image_get_typeof(image.get_image(), "delay")) {
            int* delays = nullptr;
            int count = 0;
            if (!vips_image_get_array_int(image.get_image(), "delay", &delays, &count) &&
                count == m_frames)
                m_delays.assign(delays, delays + count);
        }
        if (vips_image_get_typeof(image.get_image(), "loop"))
            m_picture.loop = image.get_int("loop");
        m_picture.delaysMs = m_delays.empty() ? nullptr : m_delays.data();
        m_picture.webpLossless = facts.webpLossless;
        m_picture.quality = facts.quality;
        m_picture.tiffCompression = facts.tiffCompression;
        m_picture.avifBitDepth = facts.avifBitDepth;
        if (m_format == Format::Avif && vips_image_get_typeof(image.get_image(), "heif-bitdepth"))
            m_picture.avifBitDepth = image.get_int("heif-bitdepth");
    }

    NconvertVipsJob& m_job;
    ConvertSettings m_settings;
    Format m_format;
    VImage m_image;
    VipsRegion* m_region = nullptr;
    int m_frames = 1;
    int m_rows = 0;
    int m_next = 0;
    int m_stripEnd = 0;
    std::size_t m_rowBytes = 0;
    NconvertVipsPicture m_picture{};
    std::vector<unsigned char> m_exif, m_icc, m_xmp;
    std::vector<int32_t> m_delays;
};

int readRow(void* handle, void* row) {
    auto* reader = static_cast<Reader*>(handle);
    return guardedForSeam(reader->job(), [&] { reader->readRow(row); });
}

void closeReader(void* handle) {
    delete static_cast<Reader*>(handle);
}

} // namespace

int openVipsReader(NconvertVipsJob* job, int32_t format, int32_t keepCmyk,
                   NconvertVipsReader* reader) {
    return guardedForSeam(*job, [&] {
        if (!startVips(job->argv0))
            throw Error(Status::Internal, "libvips", "cannot start: " + takeVipsError());
        auto opened = std::make_unique<Reader>(*job, Format(format), keepCmyk != 0);
        *reader = NconvertVipsReader{};
        reader->picture = opened->picture();
        reader->readRow = readRow;
        reader->close = closeReader;
        reader->handle = opened.release();
    });
}

} // namespace nconvert

// SPDX-License-Identifier: MIT
// The module's writer of WebP, TIFF and AVIF. libvips' WebP and HEIF savers hold the whole
// picture however it is fed, so their rows are gathered and saved at the end. libtiff writes
// strip by strip from the top, so a TIFF is saved while the rows come: the save runs on a thread
// of its own, and the compression overlaps the decoding and scaling.
#include "convert.h"
#include "row_codec.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
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

// About this many bytes of rows may wait for the TIFF save before the pipeline waits for it:
// enough to keep both sides busy, small beside the picture.
constexpr std::size_t kRingBytes = 1u << 20;
constexpr int kRingMinRows = 16;

// The rows between the pipeline's thread and the TIFF save's, which asks for them through a
// generate callback on libvips' workers. A row goes once every worker that asked for it has
// copied it out. The pipeline waits while the ring is full, unless a worker waits for a row it
// has not given yet: libvips' workers may ask for strips further ahead than the ring holds, and
// the ring then grows as far as they ask rather than deadlock.
class RowRing {
public:
    explicit RowRing(std::size_t rowBytes)
        : m_rowBytes(rowBytes),
          m_capacity(std::max(kRingMinRows, int(kRingBytes / std::max<std::size_t>(rowBytes, 1)))) {
    }

    /// The pipeline's next row; false once the save has ended (failed, or nothing left to ask).
    bool push(const void* row) {
        std::unique_lock guard(m_lock);
        m_changed.wait(guard, [&] {
            return m_saveOver || m_given - m_first < m_capacity || m_wanted > m_given;
        });
        if (m_saveOver)
            return false;
        Slot slot;
        if (!m_spare.empty()) {
            slot.bytes = std::move(m_spare.back());
            m_spare.pop_back();
        } else {
            slot.bytes.resize(m_rowBytes);
        }
        std::memcpy(slot.bytes.data(), row, m_rowBytes);
        m_slots.push_back(std::move(slot));
        ++m_given;
        m_changed.notify_all();
        return true;
    }

    /// No more rows: those not given make the save fail; `abandoned` stops it at once.
    void end(bool abandoned) {
        std::lock_guard guard(m_lock);
        m_ended = true;
        m_abandoned = abandoned;
        m_changed.notify_all();
    }

    void saveEnded() {
        std::lock_guard guard(m_lock);
        m_saveOver = true;
        m_changed.notify_all();
    }

    /// libvips' generate callback: fills the region from the rows, waiting for them.
    static int generate(VipsRegion* out, void*, void* ring, void*, gboolean*) {
        return static_cast<RowRing*>(ring)->fill(out);
    }

private:
    struct Slot {
        std::vector<unsigned char> bytes;
        int readers = 0;
        bool read = false;
    };

    int fill(VipsRegion* out) {
        const VipsRect& area = out->valid;
        const int top = area.top, bottom = area.top + area.height;
        const std::size_t pel = VIPS_IMAGE_SIZEOF_PEL(out->im);
        std::vector<const unsigned char*> rows;
        {
            std::unique_lock guard(m_lock);
            if (top < m_first) {
                // A row is let go once read: libvips' saver asks for each row once.
                vips_error("nconvert", "row %d asked for again after it was let go", top);
                return -1;
            }
            m_wanted = std::max(m_wanted, bottom);
            m_changed.notify_all();
            m_changed.wait(guard, [&] { return m_abandoned || m_ended || m_given >= bottom; });
            if (m_abandoned || m_given < bottom) {
                vips_error("nconvert", "%s",
                           m_abandoned ? "the conversion stopped" : "fewer rows than the picture");
                return -1;
            }
            rows.reserve(std::size_t(area.height));
            for (int y = top; y < bottom; ++y) {
                Slot& slot = m_slots[std::size_t(y - m_first)];
                ++slot.readers;
                rows.push_back(slot.bytes.data());
            }
        }
        // Outside the lock: a row with readers keeps its bytes where they are.
        for (int y = top; y < bottom; ++y)
            std::memcpy(VIPS_REGION_ADDR(out, area.left, y),
                        rows[std::size_t(y - top)] + pel * std::size_t(area.left),
                        pel * std::size_t(area.width));
        std::lock_guard guard(m_lock);
        for (int y = top; y < bottom; ++y) {
            Slot& slot = m_slots[std::size_t(y - m_first)];
            --slot.readers;
            slot.read = true;
        }
        while (!m_slots.empty() && m_slots.front().read && m_slots.front().readers == 0) {
            m_spare.push_back(std::move(m_slots.front().bytes));
            m_slots.pop_front();
            ++m_first;
        }
        m_changed.notify_all();
        return 0;
    }

    const std::size_t m_rowBytes;
    const int m_capacity;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<Slot> m_slots; // rows m_first to m_given - 1
    std::vector<std::vector<unsigned char>> m_spare;
    int m_first = 0;
    int m_given = 0;
    int m_wanted = 0; // the end of the furthest strip a worker has asked for
    bool m_ended = false;
    bool m_abandoned = false;
    bool m_saveOver = false;
};

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
        m_samples = std::int64_t(m_rowBytes) * picture.height * std::max(1, picture.frames);
        // A TIFF of several pages is made in memory (see saveTiff), which may be as large as
        // its samples.
        const bool streamed = format == Format::Tiff;
        const bool holdsWhole = !streamed || picture.frames > 1;
        if (holdsWhole && m_samples > m_settings.limits.maxHeldBytes)
            throw Error(
                Status::TooLarge, m_settings.outputName,
                std::string("the ") + formatName(format) + " encoder holds the whole result, " +
                    std::to_string(m_samples >> 20) + " MB, above the " +
                    std::to_string(m_settings.limits.maxHeldBytes >> 20) + " MB it may hold");
        if (!streamed) {
            m_pixels.reserve(std::size_t(m_samples));
            return;
        }
        m_ring = std::make_unique<RowRing>(m_rowBytes);
        m_saving = std::thread([this] { saveStreamed(); });
    }

    ~Writer() {
        // Unfinished: the pipeline failed, and the save is stopped; its output is discarded.
        if (m_saving.joinable()) {
            m_ring->end(true);
            m_saving.join();
            vips_error_clear();
        }
    }

    NconvertVipsJob& job() { return m_job; }

    void writeRow(const void* row) {
        if (m_ring) {
            if (!m_ring->push(row)) {
                throwSaveFailure();
                throw Error(Status::Internal, m_settings.outputName,
                            "the TIFF save ended before the last row");
            }
            return;
        }
        const auto* bytes = static_cast<const unsigned char*>(row);
        m_pixels.insert(m_pixels.end(), bytes, bytes + m_rowBytes);
    }

    void finish() {
        if (m_ring) {
            m_ring->end(false);
            throwSaveFailure();
            return;
        }
        try {
            save(picture(VImage::new_from_memory(
                m_pixels.data(), m_pixels.size(), m_picture.width, rows(), m_picture.bands,
                m_picture.sixteenBit ? VIPS_FORMAT_USHORT : VIPS_FORMAT_UCHAR)));
        } catch (const VError&) {
            throw saveFailure();
        }
    }

private:
    int rows() const { return m_picture.height * std::max(1, m_picture.frames); }

    // The save's thread: libvips pulls the rows from the ring as libtiff writes its strips.
    void saveStreamed() {
        try {
            save(picture(streamedRows()));
        } catch (const VError&) {
            m_failure = saveFailure();
        } catch (const Error& error) {
            m_failure = error;
        } catch (const std::bad_alloc&) {
            m_failure = Error(Status::Internal, m_settings.outputName, "out of memory");
        }
        m_ring->saveEnded();
    }

    // After the save's thread has ended (or to wait for it): its failure, if it had one.
    void throwSaveFailure() {
        if (m_saving.joinable())
            m_saving.join();
        if (m_failure)
            throw *m_failure;
    }

    // An image of the picture's rows, generated from the ring as libvips asks for them.
    VImage streamedRows() {
        const NconvertVipsPicture& p = m_picture;
        VipsImage* image = vips_image_new();
        // Resolution 1 and no interpretation, as for new_from_memory: picture() sets both.
        vips_image_init_fields(image, p.width, rows(), p.bands,
                               p.sixteenBit ? VIPS_FORMAT_USHORT : VIPS_FORMAT_UCHAR,
                               VIPS_CODING_NONE, VIPS_INTERPRETATION_MULTIBAND, 1.0, 1.0);
        if (vips_image_pipelinev(image, VIPS_DEMAND_STYLE_FATSTRIP, nullptr) ||
            vips_image_generate(image, nullptr, RowRing::generate, nullptr, m_ring.get(),
                                nullptr)) {
            g_object_unref(image);
            throw VError();
        }
        return VImage(image);
    }

    Error saveFailure() {
        const std::string failure = m_sink.failure();
        const std::string detail = takeVipsError();
        if (!failure.empty())
            return Error(Status::CannotWrite, m_settings.outputName, failure);
        return Error(Status::Internal, m_settings.outputName,
                     std::string("libvips cannot write the ") + formatName(m_format) +
                         (detail.empty() ? std::string() : " (" + detail + ")"));
    }

    VImage picture(VImage image) {
        const NconvertVipsPicture& p = m_picture;
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
            if (m_samples > 3'500'000'000ll)
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
    std::int64_t m_samples = 0;
    std::vector<unsigned char> m_pixels; // gathered, when not streamed
    std::unique_ptr<RowRing> m_ring;     // streamed: the rows on their way to the save
    std::optional<Error> m_failure;      // the save's, read once its thread has ended
    std::thread m_saving;                // last: it starts once the rest is in place
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

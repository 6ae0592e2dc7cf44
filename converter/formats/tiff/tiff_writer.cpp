// SPDX-License-Identifier: MIT
#include "tiff_writer.h"

#include "band_workers.h"
#include "error.h"
#include "tiff_library.h"
#include "tiff_lzw_encoder.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <zlib.h>

namespace nconvert {
namespace {

// The module's writer (libvips) strips its files so; a strip is also our unit of work.
constexpr int kStripRows = 128;
// A strip is large (128 rows, and its coded bytes beside them: some 6 MB of a 3200-pixel-wide
// 16-bit picture): no more in flight than two a worker, the slack would cost more memory than
// it gains time.
constexpr int kStripSlack = 0;
// libvips' default for deflate in a TIFF.
constexpr int kDeflateLevel = 6;
// Past 4 GB of offsets a classic TIFF cannot point: the module's rule, with room for what
// compression may add.
constexpr std::int64_t kBigTiffSamples = 3'500'000'000ll;

struct Strip {
    BandBuffer rows;
    int count = 0; // rows filled
    std::uint32_t index = 0;
    BandBuffer coded;
    const unsigned char* data = nullptr; // what the file gets: coded, or the rows themselves
    std::size_t size = 0;
};

struct Layout {
    int compression = 1;
    bool predictor = false;
    int bands = 1;
    bool sixteenBit = false;
    std::size_t rowBytes = 0;
};

// Each sample less the one of its band to its left, as TIFF's horizontal predictor (2) has it.
template <class Sample>
void differences(const Sample* __restrict row, Sample* __restrict out, std::size_t samples,
                 int bands) {
    for (int b = 0; b < bands; ++b)
        out[b] = row[b];
    for (std::size_t i = std::size_t(bands); i < samples; ++i)
        out[i] = static_cast<Sample>(row[i] - row[i - std::size_t(bands)]);
}

// One row in PackBits: a row is packed alone, as TIFF requires.
unsigned char* packBits(const unsigned char* in, std::size_t size, unsigned char* out) {
    std::size_t i = 0;
    while (i < size) {
        std::size_t run = 1;
        while (i + run < size && run < 128 && in[i + run] == in[i])
            ++run;
        if (run >= 2) {
            *out++ = static_cast<unsigned char>(257 - run);
            *out++ = in[i];
            i += run;
            continue;
        }
        // Literal bytes up to where three equal ones begin a run worth its own header.
        const std::size_t start = i;
        while (i < size && i - start < 128 &&
               !(i + 2 < size && in[i] == in[i + 1] && in[i] == in[i + 2]))
            ++i;
        *out++ = static_cast<unsigned char>(i - start - 1);
        out = std::copy(in + start, in + i, out);
    }
    return out;
}

// A profile of another colour kind than the picture's is left out, as the module's writer
// (libvips) leaves it out: no reader could apply it.
bool iccFits(const std::vector<unsigned char>& icc, const PictureShape& shape) {
    if (icc.size() < 20)
        return false;
    const std::string space(icc.begin() + 16, icc.begin() + 20);
    const bool grey = shape.bands - (shape.alpha ? 1 : 0) == 1;
    return space == (shape.cmyk ? "CMYK" : grey ? "GRAY" : "RGB ");
}

std::size_t packBitsBound(std::size_t rowBytes) {
    return rowBytes + (rowBytes + 127) / 128;
}

// One thread's coding state, kept from strip to strip.
class StripCoder {
public:
    explicit StripCoder(const Layout& layout) : m_layout(layout), m_scratch(layout.rowBytes) {
        if (layout.compression == COMPRESSION_ADOBE_DEFLATE &&
            deflateInit(&m_stream, kDeflateLevel) != Z_OK)
            throw std::bad_alloc();
    }
    ~StripCoder() {
        if (m_layout.compression == COMPRESSION_ADOBE_DEFLATE)
            deflateEnd(&m_stream);
    }
    StripCoder(const StripCoder&) = delete;
    StripCoder& operator=(const StripCoder&) = delete;

    void code(Strip& strip) {
        const std::size_t bytes = std::size_t(strip.count) * m_layout.rowBytes;
        unsigned char* rows = strip.rows.data.get();
        if (m_layout.predictor)
            predict(rows, strip.count);
        switch (m_layout.compression) {
        case COMPRESSION_LZW:
            strip.coded.reserve(TiffLzwEncoder::bound(bytes));
            m_lzw.begin(strip.coded.data.get());
            m_lzw.add(rows, bytes);
            strip.size = m_lzw.end();
            break;
        case COMPRESSION_ADOBE_DEFLATE:
            deflateStrip(strip, bytes);
            break;
        case COMPRESSION_PACKBITS: {
            strip.coded.reserve(packBitsBound(m_layout.rowBytes) * std::size_t(strip.count));
            unsigned char* out = strip.coded.data.get();
            for (int y = 0; y < strip.count; ++y)
                out = packBits(rows + std::size_t(y) * m_layout.rowBytes, m_layout.rowBytes, out);
            strip.size = std::size_t(out - strip.coded.data.get());
            break;
        }
        default:
            strip.data = rows;
            strip.size = bytes;
            return;
        }
        strip.data = strip.coded.data.get();
    }

private:
    void predict(unsigned char* rows, int count) {
        const std::size_t samples = m_layout.rowBytes / (m_layout.sixteenBit ? 2 : 1);
        for (int y = 0; y < count; ++y) {
            unsigned char* row = rows + std::size_t(y) * m_layout.rowBytes;
            if (m_layout.sixteenBit) {
                // Native order, as libtiff writes the file.
                differences(reinterpret_cast<const std::uint16_t*>(row),
                            reinterpret_cast<std::uint16_t*>(m_scratch.data()), samples,
                            m_layout.bands);
            } else {
                differences(row, m_scratch.data(), samples, m_layout.bands);
            }
            std::memcpy(row, m_scratch.data(), m_layout.rowBytes);
        }
    }

    void deflateStrip(Strip& strip, std::size_t bytes) {
        if (deflateReset(&m_stream) != Z_OK)
            throw std::bad_alloc();
        strip.coded.reserve(deflateBound(&m_stream, uLong(bytes)));
        m_stream.next_in = strip.rows.data.get();
        m_stream.avail_in = uInt(bytes);
        m_stream.next_out = strip.coded.data.get();
        m_stream.avail_out = uInt(strip.coded.capacity);
        // zlib fails here only for lack of memory.
        if (deflate(&m_stream, Z_FINISH) != Z_STREAM_END)
            throw std::bad_alloc();
        strip.size = strip.coded.capacity - m_stream.avail_out;
    }

    const Layout m_layout;
    std::vector<unsigned char> m_scratch; // 16-bit samples are aligned in a vector's storage
    TiffLzwEncoder m_lzw;
    z_stream m_stream{};
};

class TiffWriter : public RowSink {
public:
    TiffWriter(const TiffLibrary& lib, OutputSink& sink, const PictureShape& shape,
               const PictureMetadata& metadata, int compression, const std::string& outputName,
               int threads)
        : m_lib(lib), m_sink(sink), m_outputName(outputName), m_height(shape.height),
          m_tiff(nullptr, Cleanup{lib.cleanup}), m_queue(threads, kStripSlack) {
        m_layout.compression = compression;
        m_layout.predictor =
            compression == COMPRESSION_LZW || compression == COMPRESSION_ADOBE_DEFLATE;
        m_layout.bands = shape.bands;
        m_layout.sixteenBit = shape.sixteenBit;
        m_layout.rowBytes = shape.rowBytes();
        m_coders.resize(std::size_t(std::max(1, m_queue.threads())));
        open(std::int64_t(shape.rowBytes()) * shape.height > kBigTiffSamples);
        tag(shape, metadata);
    }
    TiffWriter(const TiffWriter&) = delete;
    TiffWriter& operator=(const TiffWriter&) = delete;

    void* rowSpace() override { return m_row < m_height ? nextRow() : nullptr; }

    void writeRow(const void* row) override {
        if (m_row >= m_height)
            throw Error(Status::Internal, m_outputName, "more rows than the TIFF's height");
        unsigned char* place = nextRow();
        if (row != place)
            std::memcpy(place, row, m_layout.rowBytes);
        ++m_filling->count;
        ++m_row;
        if (m_filling->count == kStripRows || m_row == m_height)
            submit();
    }

    void finish() override {
        if (m_row != m_height)
            throw Error(Status::Internal, m_outputName, "fewer rows than the TIFF's height");
        const auto write = [this](Strip& strip) { return writeStrip(strip); };
        if (!m_queue.drain(write) || !m_lib.writeDirectory(m_tiff.get()) ||
            !m_sink.failure().empty())
            fail();
        m_tiff.reset();
    }

private:
    // libtiff writes the strips front to back, then the directory after them, then seeks back
    // to the header to point at it: the sink's positioned writes serve all three.
    static tmsize_t writeProc(thandle_t self, void* data, tmsize_t size) {
        auto* writer = static_cast<TiffWriter*>(self);
        if (!writer->m_sink.writeAt(writer->m_position, data, std::size_t(size)))
            return -1;
        writer->m_position += std::uint64_t(size);
        writer->m_end = std::max(writer->m_end, writer->m_position);
        return size;
    }
    static toff_t seekProc(thandle_t self, toff_t offset, int whence) {
        auto* writer = static_cast<TiffWriter*>(self);
        const std::uint64_t base = whence == SEEK_CUR   ? writer->m_position
                                   : whence == SEEK_END ? writer->m_end
                                                        : 0;
        writer->m_position = base + offset;
        return writer->m_position;
    }
    // Nothing written is read back: the file has one directory.
    static tmsize_t readProc(thandle_t, void*, tmsize_t) { return 0; }
    static int closeProc(thandle_t) { return 0; }
    static toff_t sizeProc(thandle_t self) { return static_cast<TiffWriter*>(self)->m_end; }
    static int mapProc(thandle_t, void**, toff_t*) { return 0; }
    static void unmapProc(thandle_t, void*, toff_t) {}
    static int onError(TIFF*, void* self, const char*, const char* format, va_list args) {
        auto* writer = static_cast<TiffWriter*>(self);
        if (writer->m_libtiffError.empty()) {
            char message[256];
            std::vsnprintf(message, sizeof message, format, args);
            writer->m_libtiffError = message;
        }
        return 1;
    }
    static int onWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

    void open(bool bigTiff) {
        TIFFOpenOptions* options = m_lib.openOptionsAlloc();
        if (!options)
            throw std::bad_alloc();
        m_lib.setErrorHandler(options, onError, this);
        m_lib.setWarningHandler(options, onWarning, this);
        m_tiff.reset(m_lib.clientOpen(m_outputName.c_str(), bigTiff ? "w8" : "w", this, readProc,
                                      writeProc, seekProc, closeProc, sizeProc, mapProc, unmapProc,
                                      options));
        m_lib.openOptionsFree(options);
        if (!m_tiff)
            fail();
    }

    void tag(const PictureShape& shape, const PictureMetadata& metadata) {
        const bool grey = shape.bands - (shape.alpha ? 1 : 0) == 1;
        const int photometric = shape.cmyk ? PHOTOMETRIC_SEPARATED
                                : grey     ? PHOTOMETRIC_MINISBLACK
                                           : PHOTOMETRIC_RGB;
        // The module's resolution, 1 pixel a millimetre when the source gave none, in pixels
        // per inch cut (not rounded) to thousandths as libvips writes it, so that both writers
        // give a copy the same.
        const bool known = metadata.pixelsPerMetre[0] > 0 && metadata.pixelsPerMetre[1] > 0;
        const auto perInch = [&](int axis) {
            const double value = known ? metadata.pixelsPerMetre[axis] * 0.0254 : 25.4;
            return double(float(std::floor(value * 1000 + 1e-6) / 1000));
        };
        bool ok = m_lib.setField(m_tiff.get(), TIFFTAG_IMAGEWIDTH, std::uint32_t(shape.width)) &&
                  m_lib.setField(m_tiff.get(), TIFFTAG_IMAGELENGTH, std::uint32_t(shape.height)) &&
                  m_lib.setField(m_tiff.get(), TIFFTAG_BITSPERSAMPLE, shape.sixteenBit ? 16 : 8) &&
                  m_lib.setField(m_tiff.get(), TIFFTAG_SAMPLESPERPIXEL, shape.bands) &&
                  m_lib.setField(m_tiff.get(), TIFFTAG_COMPRESSION, m_layout.compression) &&
                  m_lib.setField(m_tiff.get(), TIFFTAG_PHOTOMETRIC, photometric) &&
                  m_lib.setField(m_tiff.get(), TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
                  m_lib.setField(m_tiff.get(), TIFFTAG_ROWSPERSTRIP, std::uint32_t(kStripRows)) &&
                  m_lib.setField(m_tiff.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
                  m_lib.setField(m_tiff.get(), TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT) &&
                  m_lib.setField(m_tiff.get(), TIFFTAG_XRESOLUTION, perInch(0)) &&
                  m_lib.setField(m_tiff.get(), TIFFTAG_YRESOLUTION, perInch(1)) &&
                  m_lib.setField(m_tiff.get(), TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        if (ok && shape.cmyk)
            ok = m_lib.setField(m_tiff.get(), TIFFTAG_INKSET, INKSET_CMYK);
        if (ok && shape.alpha) {
            const std::uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
            ok = m_lib.setField(m_tiff.get(), TIFFTAG_EXTRASAMPLES, 1, extra);
        }
        if (ok && m_layout.predictor)
            ok = m_lib.setField(m_tiff.get(), TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
        if (ok && iccFits(metadata.icc, shape))
            ok = m_lib.setField(m_tiff.get(), TIFFTAG_ICCPROFILE,
                                std::uint32_t(metadata.icc.size()), metadata.icc.data());
        if (ok && !metadata.xmp.empty())
            ok = m_lib.setField(m_tiff.get(), TIFFTAG_XMLPACKET, std::uint32_t(metadata.xmp.size()),
                                metadata.xmp.data());
        if (!ok)
            fail();
    }

    unsigned char* nextRow() {
        if (!m_filling) {
            m_filling = m_queue.take();
            m_filling->rows.reserve(std::size_t(kStripRows) * m_layout.rowBytes);
            m_filling->count = 0;
        }
        return m_filling->rows.data.get() + std::size_t(m_filling->count) * m_layout.rowBytes;
    }

    void submit() {
        std::unique_ptr<Strip> strip = std::move(m_filling);
        strip->index = m_strips++;
        const auto code = [this](Strip& job, int thread) {
            std::unique_ptr<StripCoder>& coder = m_coders[std::size_t(thread)];
            if (!coder)
                coder = std::make_unique<StripCoder>(m_layout);
            coder->code(job);
        };
        const auto write = [this](Strip& done) { return writeStrip(done); };
        if (!m_queue.submit(std::move(strip), code, write))
            fail();
    }

    bool writeStrip(const Strip& strip) {
        return m_lib.writeRawStrip(m_tiff.get(), strip.index,
                                   const_cast<unsigned char*>(strip.data),
                                   tmsize_t(strip.size)) >= 0;
    }

    [[noreturn]] void fail() {
        if (!m_sink.failure().empty())
            throw Error(Status::CannotWrite, m_outputName, m_sink.failure());
        throw Error(Status::Internal, m_outputName,
                    "libtiff cannot write the TIFF" +
                        (m_libtiffError.empty() ? std::string() : " (" + m_libtiffError + ")"));
    }

    const TiffLibrary& m_lib;
    OutputSink& m_sink;
    const std::string m_outputName;
    const int m_height;
    Layout m_layout;
    // Freed without a flush: a writer dropped before finish() writes nothing more.
    struct Cleanup {
        decltype(&TIFFCleanup) cleanup;
        void operator()(TIFF* tiff) const { cleanup(tiff); }
    };
    std::unique_ptr<TIFF, Cleanup> m_tiff;
    std::string m_libtiffError;
    std::uint64_t m_position = 0;
    std::uint64_t m_end = 0;
    int m_row = 0;
    std::uint32_t m_strips = 0;
    std::unique_ptr<Strip> m_filling;
    std::vector<std::unique_ptr<StripCoder>> m_coders; // one per thread
    // Last, so that it is destroyed first: its threads may still be working on the strips.
    BandQueue<Strip> m_queue;
};

} // namespace

std::optional<int> tiffWriterCompression(const PictureShape& shape, int sourceTag) {
    if (shape.frames != 1 || !tiffLibrary())
        return std::nullopt;
    switch (sourceTag) {
    case COMPRESSION_NONE:
        return COMPRESSION_NONE;
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
        return COMPRESSION_ADOBE_DEFLATE;
    case COMPRESSION_PACKBITS:
        return COMPRESSION_PACKBITS;
    case COMPRESSION_OJPEG:
    case COMPRESSION_JPEG:
    case COMPRESSION_ZSTD:
    case COMPRESSION_WEBP:
        return std::nullopt;
    default:
        return COMPRESSION_LZW;
    }
}

std::unique_ptr<RowSink> openTiffWriter(OutputSink& sink, const PictureShape& shape,
                                        const PictureMetadata& metadata,
                                        const std::string& outputName, int threads) {
    const std::optional<int> compression = tiffWriterCompression(shape, metadata.tiffCompression);
    if (!compression)
        throw Error(Status::Internal, outputName, "no TIFF compression of our writer's for this");
    return std::make_unique<TiffWriter>(*tiffLibrary(), sink, shape, metadata, *compression,
                                        outputName, threads);
}

} // namespace nconvert

// SPDX-License-Identifier: MIT
#include "bmp_writer.h"

#include "band_workers.h"
#include "error.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace nconvert {
namespace {

constexpr std::uint32_t kFileHeader = 14;
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::uint32_t kV4Header = 108;
// Rows are laid out and written about this many bytes at a time. Laying out is quick: no
// bands in flight beyond two a worker.
constexpr std::uint64_t kBandBytes = 512 << 10;
constexpr int kBandSlack = 0;

std::uint64_t strideOf(int width, bool alpha) {
    return alpha ? std::uint64_t(width) * 4 : (std::uint64_t(width) * 3 + 3) / 4 * 4;
}

void put16(unsigned char* p, std::uint32_t v) {
    p[0] = v & 0xff;
    p[1] = (v >> 8) & 0xff;
}
void put32(unsigned char* p, std::uint32_t v) {
    put16(p, v & 0xffff);
    put16(p + 2, v >> 16);
}

} // namespace

std::uint64_t bmpFileSize(int width, int height, bool alpha) {
    return kFileHeader + (alpha ? kV4Header : kInfoHeader) + strideOf(width, alpha) * height;
}

namespace {

class BmpWriter : public RowSink {
public:
    BmpWriter(OutputSink& sink, const PictureShape& shape, const PictureMetadata& metadata,
              std::string outputName, int threads)
        : m_sink(sink), m_shape(shape), m_alpha(shape.bands == 4),
          m_stride(strideOf(shape.width, m_alpha)),
          m_pixelOffset(kFileHeader + (m_alpha ? kV4Header : kInfoHeader)),
          m_rowBytes(shape.rowBytes()),
          m_bandRows(int(std::clamp<std::uint64_t>(kBandBytes / m_stride, 1, 1 << 16))),
          m_outputName(std::move(outputName)), m_queue(threads, kBandSlack) {
        const std::uint64_t fileSize = bmpFileSize(shape.width, shape.height, m_alpha);
        if (fileSize > 0xffffffffu)
            throw Error(Status::TooLarge, m_outputName, "the result is too large for a BMP");
        std::vector<unsigned char> header(m_pixelOffset, 0);
        unsigned char* f = header.data();
        f[0] = 'B';
        f[1] = 'M';
        put32(f + 2, std::uint32_t(fileSize));
        put32(f + 10, std::uint32_t(m_pixelOffset));
        unsigned char* h = f + kFileHeader;
        put32(h, std::uint32_t(m_pixelOffset - kFileHeader));
        put32(h + 4, std::uint32_t(shape.width));
        put32(h + 8, std::uint32_t(shape.height)); // positive: bottom-up, as every reader expects
        put16(h + 12, 1);
        put16(h + 14, m_alpha ? 32 : 24);
        put32(h + 16, m_alpha ? 3 : 0); // BI_BITFIELDS : BI_RGB
        put32(h + 20, std::uint32_t(m_stride * shape.height));
        put32(h + 24, pixelsPerMetre(metadata.pixelsPerMetre[0]));
        put32(h + 28, pixelsPerMetre(metadata.pixelsPerMetre[1]));
        if (m_alpha) {
            put32(h + 40, 0x00ff0000);
            put32(h + 44, 0x0000ff00);
            put32(h + 48, 0x000000ff);
            put32(h + 52, 0xff000000);
            put32(h + 56, 0x73524742); // LCS_sRGB
        }
        write(0, header.data(), header.size());
    }

    void* rowSpace() override { return m_y < m_shape.height ? nextRow() : nullptr; }

    void writeRow(const void* row) override {
        if (m_y >= m_shape.height)
            throw Error(Status::Internal, m_outputName, "more rows than the BMP's height");
        unsigned char* place = nextRow();
        if (row != place)
            std::memcpy(place, row, m_rowBytes);
        ++m_filling->count;
        ++m_y;
        if (m_filling->count == m_bandRows || m_y == m_shape.height)
            submit();
    }

    void finish() override {
        if (m_filling && m_filling->count > 0)
            submit();
        const auto write = [this](Band& band) { return writeBand(band); };
        if (!m_queue.drain(write))
            fail();
    }

private:
    // Rows given top to bottom, each band of them laid out as the file has them, bottom-up.
    struct Band {
        BandBuffer rows;
        BandBuffer file;
        int first = 0; // the band's top row, counted from the picture's top
        int count = 0;
    };

    unsigned char* nextRow() {
        if (!m_filling) {
            m_filling = m_queue.take();
            m_filling->rows.reserve(m_rowBytes * std::size_t(m_bandRows));
            m_filling->first = m_y;
            m_filling->count = 0;
        }
        return m_filling->rows.data.get() + m_rowBytes * std::size_t(m_filling->count);
    }

    void submit() {
        const auto code = [this](Band& band, int) { layOut(band); };
        const auto write = [this](Band& band) { return writeBand(band); };
        if (!m_queue.submit(std::move(m_filling), code, write))
            fail();
    }

    // BGR(A), each row padded to its stride with zeros, the band's last row first.
    void layOut(Band& band) const {
        band.file.reserve(std::size_t(m_stride) * std::size_t(m_bandRows));
        for (int i = 0; i < band.count; ++i) {
            const unsigned char* src = band.rows.data.get() + m_rowBytes * std::size_t(i);
            unsigned char* dst =
                band.file.data.get() + std::size_t(m_stride) * std::size_t(band.count - 1 - i);
            if (m_alpha) {
                for (int x = 0; x < m_shape.width; ++x, src += 4, dst += 4) {
                    dst[0] = src[2];
                    dst[1] = src[1];
                    dst[2] = src[0];
                    dst[3] = src[3];
                }
            } else {
                for (int x = 0; x < m_shape.width; ++x, src += 3, dst += 3) {
                    dst[0] = src[2];
                    dst[1] = src[1];
                    dst[2] = src[0];
                }
                std::memset(dst, 0, std::size_t(m_stride) - m_rowBytes);
            }
        }
    }

    bool writeBand(const Band& band) {
        const std::uint64_t bottom = std::uint64_t(m_shape.height - band.first - band.count);
        return m_sink.writeAt(m_pixelOffset + bottom * m_stride, band.file.data.get(),
                              std::size_t(m_stride) * std::size_t(band.count));
    }

    // Unknown resolution is written as 72 dots per inch, what readers assume anyway.
    static std::uint32_t pixelsPerMetre(double value) {
        return std::uint32_t(std::lround(value > 0 ? value : 72 / 0.0254));
    }
    void write(std::uint64_t offset, const void* data, std::size_t size) {
        if (!m_sink.writeAt(offset, data, size))
            fail();
    }
    [[noreturn]] void fail() { throw Error(Status::CannotWrite, m_outputName, m_sink.failure()); }

    OutputSink& m_sink;
    PictureShape m_shape;
    bool m_alpha;
    std::uint64_t m_stride;
    std::uint64_t m_pixelOffset;
    std::size_t m_rowBytes;
    int m_bandRows;
    std::string m_outputName;
    int m_y = 0;
    std::unique_ptr<Band> m_filling;
    // Last, so that it is destroyed first: its threads may still be working on the bands.
    BandQueue<Band> m_queue;
};

} // namespace

std::unique_ptr<RowSink> bmpRowSink(OutputSink& sink, const PictureShape& shape,
                                    const PictureMetadata& metadata, const std::string& outputName,
                                    int threads) {
    return std::make_unique<BmpWriter>(sink, shape, metadata, outputName, threads);
}

} // namespace nconvert

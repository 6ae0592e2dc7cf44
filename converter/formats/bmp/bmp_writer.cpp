// SPDX-License-Identifier: MIT
#include "bmp_writer.h"

#include "error.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace nconvert {
namespace {

constexpr std::uint32_t kFileHeader = 14;
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::uint32_t kV4Header = 108;

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
              std::string outputName)
        : m_sink(sink), m_shape(shape), m_alpha(shape.bands == 4),
          m_stride(strideOf(shape.width, m_alpha)),
          m_pixelOffset(kFileHeader + (m_alpha ? kV4Header : kInfoHeader)), m_row(m_stride, 0),
          m_outputName(std::move(outputName)) {
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

    void writeRow(const void* row) override {
        const auto* src = static_cast<const unsigned char*>(row);
        const int bands = m_alpha ? 4 : 3;
        unsigned char* dst = m_row.data();
        for (int x = 0; x < m_shape.width; ++x) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            if (m_alpha)
                dst[3] = src[3];
            src += bands;
            dst += bands;
        }
        const std::uint64_t offset =
            m_pixelOffset + std::uint64_t(m_shape.height - 1 - m_y++) * m_stride;
        write(offset, m_row.data(), m_row.size());
    }

    void finish() override {}

private:
    // Unknown resolution is written as 72 dots per inch, what readers assume anyway.
    static std::uint32_t pixelsPerMetre(double value) {
        return std::uint32_t(std::lround(value > 0 ? value : 72 / 0.0254));
    }
    void write(std::uint64_t offset, const void* data, std::size_t size) {
        if (!m_sink.writeAt(offset, data, size))
            throw Error(Status::CannotWrite, m_outputName, m_sink.failure());
    }

    OutputSink& m_sink;
    PictureShape m_shape;
    bool m_alpha;
    std::uint64_t m_stride;
    std::uint64_t m_pixelOffset;
    std::vector<unsigned char> m_row;
    std::string m_outputName;
    int m_y = 0;
};

} // namespace

std::unique_ptr<RowSink> bmpRowSink(OutputSink& sink, const PictureShape& shape,
                                    const PictureMetadata& metadata,
                                    const std::string& outputName) {
    return std::make_unique<BmpWriter>(sink, shape, metadata, outputName);
}

} // namespace nconvert

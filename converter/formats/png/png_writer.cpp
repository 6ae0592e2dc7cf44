// SPDX-License-Identifier: MIT
#include "png_writer.h"

#include "error.h"
#include "png_guard.h"
#include "png_image_data.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <png.h>
#include <vector>
#include <zlib.h>

namespace nconvert {
namespace {

// Without a resolution the copy says 72 dpi, as libvips stores it.
constexpr png_uint_32 kDefaultPerMetre = 2834;
// zlib level 2 with the "up" filter: about 3 times faster than level 6, and smaller on photos.
constexpr int kLevel = 2;

png_uint_32 perMetre(double value) {
    return value > 0 ? png_uint_32(std::lround(value)) : kDefaultPerMetre;
}

class PngWriter final : public RowSink {
public:
    PngWriter(OutputSink& sink, const PictureShape& shape, const std::string& outputName,
              int threads)
        : m_sink(sink), m_shape(shape), m_outputName(outputName),
          m_data(shape.rowBytes(), shape.height, shape.sixteenBit, kLevel, threads,
                 [this](const unsigned char* data, std::size_t size) {
                     return writeChunk("IDAT", data, size);
                 }) {}

    ~PngWriter() override { png_destroy_write_struct(&m_png, &m_info); }

    // Apart from the constructor, so that the destructor frees libpng's state on a throw.
    void open(const PictureMetadata& metadata) {
        if (m_shape.bands < 1 || m_shape.bands > 4 || m_shape.cmyk)
            throw Error(Status::Internal, m_outputName, "no PNG colour type for this picture");
        m_png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &m_messages, keepPngError,
                                        ignoreWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
        if (!m_png || !m_info)
            throw Error(Status::Internal, m_outputName, "out of memory");
        setText(metadata);
        if (!pngGuarded(m_png, [this, &metadata] { writeHeader(metadata); }))
            throwFailure();
    }

    void writeRow(const void* row) override {
        if (m_row >= m_shape.height)
            throw Error(Status::Internal, m_outputName, "more rows than the PNG's height");
        if (!m_data.addRow(static_cast<const unsigned char*>(row)))
            throwFailure();
        ++m_row;
    }

    void finish() override {
        if (m_row != m_shape.height)
            throw Error(Status::Internal, m_outputName, "fewer rows than the PNG's height");
        if (!m_data.finish() || !writeChunk("IEND", nullptr, 0))
            throwFailure();
    }

private:
    // The one line a failure prints is ours; libpng's warnings would print more.
    static void ignoreWarning(png_structp, png_const_charp) {}

    static void writeToSink(png_structp png, png_bytep data, png_size_t length) {
        auto* writer = static_cast<PngWriter*>(png_get_io_ptr(png));
        if (!writer->m_sink.append(data, length)) {
            writer->m_writeFailed = true;
            png_error(png, "write failed");
        }
    }

    static void flushNothing(png_structp) {}

    // The image data is ours: libpng writes only the chunks before it.
    bool writeChunk(const char* type, const unsigned char* data, std::size_t size) {
        unsigned char head[8] = {
            static_cast<unsigned char>(size >> 24), static_cast<unsigned char>(size >> 16),
            static_cast<unsigned char>(size >> 8), static_cast<unsigned char>(size)};
        std::copy(type, type + 4, head + 4);
        uLong crc = crc32(0, head + 4, 4);
        if (size > 0)
            crc = crc32(crc, data, uInt(size));
        const unsigned char tail[4] = {
            static_cast<unsigned char>(crc >> 24), static_cast<unsigned char>(crc >> 16),
            static_cast<unsigned char>(crc >> 8), static_cast<unsigned char>(crc)};
        m_writeFailed = !m_sink.append(head, sizeof head) ||
                        (size > 0 && !m_sink.append(data, size)) ||
                        !m_sink.append(tail, sizeof tail);
        return !m_writeFailed;
    }

    [[noreturn]] void throwFailure() const {
        if (m_writeFailed)
            throw Error(Status::CannotWrite, m_outputName, m_sink.failure());
        throw Error(Status::Internal, m_outputName,
                    std::string("cannot write PNG (") + m_messages.error + ")");
    }

    // libpng keeps pointers to the text until the chunks are written.
    void setText(const PictureMetadata& metadata) {
        if (!metadata.xmp.empty()) {
            png_text xmp{};
            xmp.compression = PNG_ITXT_COMPRESSION_NONE;
            xmp.key = const_cast<char*>("XML:com.adobe.xmp");
            xmp.text = const_cast<char*>(metadata.xmp.c_str());
            xmp.itxt_length = metadata.xmp.size();
            m_text.push_back(xmp);
        }
        for (const auto& [key, value] : metadata.text) {
            png_text text{};
            text.compression = PNG_TEXT_COMPRESSION_zTXt;
            text.key = const_cast<char*>(key.c_str());
            text.text = const_cast<char*>(value.c_str());
            text.text_length = value.size();
            m_text.push_back(text);
        }
    }

    void writeHeader(const PictureMetadata& metadata) {
        static const int kColour[] = {0, PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA,
                                      PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA};
        png_set_write_fn(m_png, this, writeToSink, flushNothing);
        png_set_IHDR(m_png, m_info, png_uint_32(m_shape.width), png_uint_32(m_shape.height),
                     m_shape.sixteenBit ? 16 : 8, kColour[m_shape.bands], PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_pHYs(m_png, m_info, perMetre(metadata.pixelsPerMetre[0]),
                     perMetre(metadata.pixelsPerMetre[1]), PNG_RESOLUTION_METER);
        if (!metadata.icc.empty()) {
            // A profile libpng refuses (of another colour kind, say) is left out, not fatal.
            png_set_benign_errors(m_png, 1);
            png_set_iCCP(m_png, m_info, "icc", PNG_COMPRESSION_TYPE_BASE, metadata.icc.data(),
                         png_uint_32(metadata.icc.size()));
            png_set_benign_errors(m_png, 0);
        }
        if (!m_text.empty())
            png_set_text(m_png, m_info, m_text.data(), int(m_text.size()));
        if (!metadata.exif.empty())
            png_set_eXIf_1(m_png, m_info, png_uint_32(metadata.exif.size()),
                           const_cast<png_bytep>(metadata.exif.data()));
        png_write_info(m_png, m_info);
    }

    OutputSink& m_sink;
    PictureShape m_shape;
    std::string m_outputName;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    std::vector<png_text> m_text;
    int m_row = 0;
    bool m_writeFailed = false;
    PngMessages m_messages;
    PngImageData m_data;
};

} // namespace

std::unique_ptr<RowSink> openPngWriter(OutputSink& sink, const PictureShape& shape,
                                       const PictureMetadata& metadata,
                                       const std::string& outputName, int threads) {
    auto writer = std::make_unique<PngWriter>(sink, shape, outputName, threads);
    writer->open(metadata);
    return writer;
}

} // namespace nconvert

// SPDX-License-Identifier: MIT
#include "png_reader.h"

#include "error.h"
#include "png_guard.h"

#include <bit>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <png.h>
#include <string>
#include <vector>

namespace nconvert {
namespace {

constexpr const char* kXmpKeyword = "XML:com.adobe.xmp";

bool startsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// The chunk libpng names at the start of a message ("tEXt: ..."), if it does.
bool fromChunk(const char* message, const char* name) {
    return startsWith(message, name) && std::strncmp(message + 4, ": ", 2) == 0;
}

// libpng warns, then goes on without what it warned about. Losing a chunk we neither show nor
// carry (gamma, chromaticities, background, histogram, time, private chunks) changes nothing in
// the copy; anything else (image data, the palette, transparency, metadata we carry, or a
// message about no chunk) would be a copy that is not the file's.
bool harmless(const char* message) {
    const bool chunk = std::strlen(message) >= 6 && std::strncmp(message + 4, ": ", 2) == 0 &&
                       std::isalpha(static_cast<unsigned char>(message[0]));
    if (!chunk || std::isupper(static_cast<unsigned char>(message[0])))
        return false;
    for (const char* carried : {"tRNS", "tEXt", "zTXt", "iTXt", "pHYs", "eXIf"})
        if (fromChunk(message, carried))
            return false;
    return true;
}

class PngReader final : public RowSource {
public:
    PngReader(const unsigned char* data, std::size_t size, const ConvertSettings& settings)
        : m_data(data), m_size(size), m_inputName(settings.inputName) {}

    ~PngReader() override { png_destroy_read_struct(&m_png, &m_info, nullptr); }

    // Apart from the constructor, so that the destructor frees libpng's state on a throw.
    void open(const ConvertSettings& settings) {
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &m_messages, keepPngError, onWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
        if (!m_png || !m_info)
            throw Error(Status::Internal, m_inputName, "out of memory");
        if (!pngGuarded(m_png, [this] { readHeader(); }))
            throwCorrupt();
        checkProfile();
        readMetadata();
        const std::size_t rowBytes = png_get_rowbytes(m_png, m_info);
        if (rowBytes != m_shape.rowBytes())
            throw Error(Status::Internal, m_inputName, "unexpected PNG row layout");
        if (m_passes > 1)
            readWhole(settings.limits.maxHeldBytes);
    }

    const PictureShape& shape() const override { return m_shape; }
    const PictureMetadata& metadata() const override { return m_metadata; }

    void readRow(void* row) override {
        if (m_row >= m_shape.height)
            throw Error(Status::Internal, m_inputName, "read past the last PNG row");
        const std::size_t rowBytes = m_shape.rowBytes();
        if (!m_held.empty()) {
            std::memcpy(row, m_held.data() + std::size_t(m_row) * rowBytes, rowBytes);
        } else if (!pngGuarded(m_png, [this, row] {
                       png_read_row(m_png, static_cast<png_bytep>(row), nullptr);
                   })) {
            throwCorrupt();
        }
        // The rest of the file is checked too: a copy of a damaged file is never complete.
        if (++m_row == m_shape.height && m_held.empty() &&
            !pngGuarded(m_png, [this] { png_read_end(m_png, nullptr); }))
            throwCorrupt();
    }

private:
    static void onWarning(png_structp png, png_const_charp message) {
        // A profile libpng finds fault with may still be kept; checkProfile() decides.
        if (fromChunk(message, "iCCP")) {
            auto* messages = static_cast<PngMessages*>(png_get_error_ptr(png));
            std::snprintf(messages->warning, sizeof messages->warning, "%s", message);
            return;
        }
        if (!harmless(message))
            png_error(png, message);
    }

    static void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
        auto* reader = static_cast<PngReader*>(png_get_io_ptr(png));
        if (length > reader->m_size - reader->m_pos)
            png_error(png, "the file ends early");
        std::memcpy(out, reader->m_data + reader->m_pos, length);
        reader->m_pos += length;
    }

    [[noreturn]] void throwCorrupt() const {
        throw Error(Status::BadInput, m_inputName,
                    std::string("corrupt or truncated PNG (") + m_messages.error + ")");
    }

    void readHeader() {
        png_set_read_fn(m_png, this, readFromMemory);
        // Our own limits apply, checked before any reader runs.
        png_set_user_limits(m_png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
        // A bad checksum is damage wherever it is, in a chunk libpng would skip too.
        png_set_crc_action(m_png, PNG_CRC_DEFAULT, PNG_CRC_ERROR_QUIT);
        png_read_info(m_png, m_info);
        const int colour = png_get_color_type(m_png, m_info);
        const int depth = png_get_bit_depth(m_png, m_info);
        if (colour == PNG_COLOR_TYPE_PALETTE)
            png_set_palette_to_rgb(m_png);
        if (colour == PNG_COLOR_TYPE_GRAY && depth < 8)
            png_set_expand_gray_1_2_4_to_8(m_png);
        if (png_get_valid(m_png, m_info, PNG_INFO_tRNS))
            png_set_tRNS_to_alpha(m_png);
        if (depth == 16 && std::endian::native == std::endian::little)
            png_set_swap(m_png);
        m_passes = png_set_interlace_handling(m_png);
        png_read_update_info(m_png, m_info);
        m_shape.width = int(png_get_image_width(m_png, m_info));
        m_shape.height = int(png_get_image_height(m_png, m_info));
        m_shape.bands = png_get_channels(m_png, m_info);
        m_shape.alpha = m_shape.bands == 2 || m_shape.bands == 4;
        m_shape.sixteenBit = png_get_bit_depth(m_png, m_info) == 16;
    }

    void checkProfile() {
        png_charp name = nullptr;
        int compression = 0;
        png_bytep profile = nullptr;
        png_uint_32 size = 0;
        if (png_get_iCCP(m_png, m_info, &name, &compression, &profile, &size)) {
            m_metadata.icc.assign(profile, profile + size);
        } else if (m_messages.warning[0]) {
            std::snprintf(m_messages.error, sizeof m_messages.error, "%s", m_messages.warning);
            throwCorrupt();
        }
    }

    void readMetadata() {
        png_textp text = nullptr;
        const int count = png_get_text(m_png, m_info, &text, nullptr);
        for (int i = 0; i < count; ++i) {
            const bool international = text[i].compression >= PNG_ITXT_COMPRESSION_NONE;
            std::string value(text[i].text,
                              international ? text[i].itxt_length : text[i].text_length);
            // libvips writes XMP as Latin-1 text; the keyword says what it is either way.
            if (std::strcmp(text[i].key, kXmpKeyword) == 0)
                m_metadata.xmp = std::move(value);
            else
                m_metadata.text.emplace_back(text[i].key, std::move(value));
        }
        png_uint_32 x = 0;
        png_uint_32 y = 0;
        int unit = 0;
        if (png_get_pHYs(m_png, m_info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER) {
            m_metadata.pixelsPerMetre[0] = x;
            m_metadata.pixelsPerMetre[1] = y;
        }
        png_uint_32 exifSize = 0;
        png_bytep exif = nullptr;
        if (png_get_eXIf_1(m_png, m_info, &exifSize, &exif))
            m_metadata.exif.assign(exif, exif + exifSize);
    }

    // libpng hands out an interlaced picture's rows only pass by pass, over the whole picture.
    void readWhole(std::int64_t maxHeldBytes) {
        const std::uint64_t bytes =
            std::uint64_t(m_shape.rowBytes()) * std::uint64_t(m_shape.height);
        if (bytes > std::uint64_t(maxHeldBytes))
            throw Error(Status::TooLarge, m_inputName,
                        "an interlaced PNG is decoded whole: " + std::to_string(m_shape.width) +
                            " x " + std::to_string(m_shape.height) + " pixels need " +
                            std::to_string(bytes >> 20) + " MB, above the limit of " +
                            std::to_string(maxHeldBytes >> 20) + " MB");
        m_held.resize(bytes);
        m_rows.resize(std::size_t(m_shape.height));
        for (std::size_t y = 0; y < m_rows.size(); ++y)
            m_rows[y] = m_held.data() + y * m_shape.rowBytes();
        if (!pngGuarded(m_png, [this] {
                png_read_image(m_png, m_rows.data());
                png_read_end(m_png, nullptr);
            }))
            throwCorrupt();
    }

    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    std::string m_inputName;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    int m_passes = 1;
    PictureShape m_shape;
    PictureMetadata m_metadata;
    std::vector<unsigned char> m_held;
    std::vector<png_bytep> m_rows;
    int m_row = 0;
    PngMessages m_messages;
};

} // namespace

std::unique_ptr<RowSource> openPngReader(const unsigned char* data, std::size_t size,
                                         const ConvertSettings& settings) {
    auto reader = std::make_unique<PngReader>(data, size, settings);
    reader->open(settings);
    return reader;
}

} // namespace nconvert

// SPDX-License-Identifier: MIT
#include "bmp_reader.h"

#include "bytes.h"
#include "error.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace nconvert {
namespace {

constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiJpeg = 4,
                        kBiPng = 5, kBiAlphaBitfields = 6;

// One colour channel described by a bit mask, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    Channel(std::uint32_t m = 0) : mask(m) {
        if (mask) {
            shift = std::countr_zero(mask);
            max = mask >> shift;
        }
    }
    unsigned char get(std::uint32_t pixel) const {
        if (!mask)
            return 255;
        const std::uint32_t v = (pixel & mask) >> shift;
        return static_cast<unsigned char>((std::uint64_t(v) * 255 + max / 2) / max);
    }
};

} // namespace

BmpLayout readBmpLayout(const unsigned char* data, std::size_t size, const std::string& subject) {
    const auto corrupt = [&](const std::string& why) -> Error {
        return Error(Status::BadInput, subject, "corrupt BMP: " + why);
    };
    const auto unsupported = [&](const std::string& why) -> Error {
        return Error(Status::Unsupported, subject, "unsupported BMP: " + why);
    };
    if (size < 14 + 4 || data[0] != 'B' || data[1] != 'M')
        throw corrupt("file too short for its headers");
    BmpLayout layout;
    const std::uint32_t pixelOffset = readLe32(data + 10);
    const std::uint32_t headerSize = readLe32(data + 14);
    // 12: OS/2 1.x core; 16 and 64: OS/2 2.x; 40, 52, 56, 108, 124: Windows, V2 to V5.
    const bool core = headerSize == 12;
    const bool os2 = headerSize == 16 || headerSize == 64;
    if (!core && !os2 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
        headerSize != 108 && headerSize != 124)
        throw unsupported("unknown header size " + std::to_string(headerSize));
    if (size < 14 + std::size_t(headerSize))
        throw corrupt("file too short for its headers");
    const unsigned char* h = data + 14;
    // A short OS/2 2.x header leaves out the fields after its end; they count as zero.
    const auto field = [&](std::uint32_t at) {
        return at + 4 <= headerSize ? readLe32(h + at) : 0;
    };
    std::uint32_t compression = kBiRgb;
    std::uint32_t colours = 0;
    std::int64_t height = 0;
    std::uint32_t planes = 0;
    if (core) {
        layout.width = int(readLe16(h + 4));
        height = readLe16(h + 6);
        planes = readLe16(h + 8);
        layout.bitCount = int(readLe16(h + 10));
    } else {
        layout.width = int(std::int32_t(readLe32(h + 4)));
        height = std::int32_t(readLe32(h + 8));
        planes = readLe16(h + 12);
        layout.bitCount = int(readLe16(h + 14));
        compression = field(16);
        layout.xPixelsPerMetre = std::int32_t(field(24));
        layout.yPixelsPerMetre = std::int32_t(field(28));
        colours = field(32);
    }
    const int bits = layout.bitCount;
    // OS/2 2.x numbers its own Huffman and RLE24 schemes where Windows has bit fields.
    if (os2 && compression > kBiRle4)
        throw unsupported(compression == 3   ? std::string("OS/2 Huffman compression")
                          : compression == 4 ? std::string("OS/2 RLE24 compression")
                                             : "compression type " + std::to_string(compression));
    if (compression == kBiJpeg || compression == kBiPng)
        throw unsupported("embedded JPEG or PNG data");
    if (compression > kBiAlphaBitfields)
        throw unsupported("compression type " + std::to_string(compression));
    if (layout.width <= 0 || height == 0 || height == INT32_MIN)
        throw corrupt("invalid dimensions");
    layout.topDown = height < 0;
    layout.height = int(height < 0 ? -height : height);
    if (planes != 1)
        throw corrupt("plane count is not 1");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw unsupported(std::to_string(bits) + " bits per pixel");
    layout.rle = compression == kBiRle8 || compression == kBiRle4;
    if (layout.rle && bits != (compression == kBiRle8 ? 8 : 4))
        throw corrupt("RLE" + std::to_string(compression == kBiRle8 ? 8 : 4) + " with " +
                      std::to_string(bits) + " bits per pixel");
    if (layout.rle && layout.topDown)
        throw corrupt("top-down RLE image");
    if (!layout.rle && compression != kBiRgb && bits != 16 && bits != 32)
        throw corrupt("bit fields with " + std::to_string(bits) + " bits per pixel");

    std::size_t afterHeader = 14 + std::size_t(headerSize);
    if (bits == 16 || bits == 32) {
        if (compression == kBiRgb) {
            layout.masks = bits == 16 ? std::array<std::uint32_t, 4>{0x7c00, 0x03e0, 0x001f, 0}
                                      : std::array<std::uint32_t, 4>{0xff0000, 0xff00, 0xff, 0};
        } else {
            // V2 headers hold three masks, V3 and later four. Those the compression asks for
            // beyond what the header holds follow it, as after a plain BITMAPINFOHEADER.
            const int inHeader = headerSize >= 40 ? std::min(4, int(headerSize - 40) / 4) : 0;
            const int needed = compression == kBiAlphaBitfields ? 4 : 3;
            const int following = std::max(0, needed - inHeader);
            if (size < afterHeader + 4 * std::size_t(following))
                throw corrupt("file too short for its colour masks");
            for (int i = 0; i < std::max(needed, inHeader); ++i)
                layout.masks[i] = i < inHeader ? readLe32(h + 40 + 4 * i)
                                               : readLe32(data + afterHeader + 4 * (i - inHeader));
            afterHeader += 4 * std::size_t(following);
            const std::uint32_t limit = bits == 16 ? 0xffffu : 0xffffffffu;
            for (int i = 0; i < 4; ++i) {
                if ((layout.masks[i] & ~limit) != 0)
                    throw corrupt("colour mask wider than the pixel");
                const std::uint32_t mask = layout.masks[i];
                if (mask &&
                    ((mask >> std::countr_zero(mask)) & ((mask >> std::countr_zero(mask)) + 1)))
                    throw corrupt("colour mask is not contiguous");
            }
            if (!layout.masks[0] || !layout.masks[1] || !layout.masks[2])
                throw corrupt("empty colour mask");
            layout.alpha = layout.masks[3] != 0;
        }
    } else if (bits <= 8) {
        const std::uint32_t maxColours = 1u << bits;
        if (colours == 0 || colours > maxColours)
            colours = maxColours;
        const int entrySize = core ? 3 : 4;
        const std::size_t paletteEnd = afterHeader + std::size_t(colours) * entrySize;
        // Some writers store fewer entries than they declare; read what fits before the pixels.
        const std::size_t available =
            std::min<std::size_t>(std::min<std::size_t>(paletteEnd, pixelOffset), size);
        if (available < afterHeader)
            throw corrupt("pixel data overlaps the headers");
        layout.paletteSize = int((available - afterHeader) / entrySize);
        if (layout.paletteSize == 0)
            throw corrupt("missing colour table");
        for (int i = 0; i < layout.paletteSize; ++i) {
            const unsigned char* e = data + afterHeader + std::size_t(i) * entrySize;
            layout.palette[i] = (std::uint32_t(e[2]) << 16) | (std::uint32_t(e[1]) << 8) | e[0];
        }
    }
    if (pixelOffset < afterHeader || pixelOffset > size)
        throw corrupt("pixel data offset out of range");
    layout.pixelOffset = pixelOffset;
    if (layout.rle) {
        layout.rleIndex =
            indexRle(data + pixelOffset, size - pixelOffset, layout.width, layout.height, bits);
        if (!layout.rleIndex.problem.empty())
            throw corrupt(layout.rleIndex.problem);
        layout.truncated = layout.rleIndex.truncated;
        return layout;
    }
    layout.stride = ((std::size_t(layout.width) * bits + 31) / 32) * 4;
    const std::size_t available = size - pixelOffset;
    layout.truncated = available / layout.stride < std::size_t(layout.height);
    return layout;
}

BmpRowDecoder::BmpRowDecoder(const unsigned char* data, std::size_t size, const BmpLayout& layout)
    : m_data(data), m_size(size), m_layout(layout) {
    if (layout.rle)
        m_indices.resize(std::size_t(layout.width));
}

void BmpRowDecoder::putIndex(int index, unsigned char* o) const {
    const std::uint32_t rgb = index < m_layout.paletteSize ? m_layout.palette[index] : 0;
    o[0] = rgb >> 16;
    o[1] = rgb >> 8;
    o[2] = rgb;
}

void BmpRowDecoder::decodeRow(int y, int x0, int count, unsigned char* out) {
    const BmpLayout& layout = m_layout;
    if (layout.rle) {
        const std::size_t offset = layout.pixelOffset;
        decodeRleRow(m_data + offset, m_size - offset, layout.rleIndex, layout.height - 1 - y,
                     layout.width, layout.bitCount, m_indices.data());
        for (int i = 0; i < count; ++i)
            putIndex(m_indices[x0 + i], out + i * 3);
        return;
    }
    const int fileRow = layout.topDown ? y : layout.height - 1 - y;
    const unsigned char* row = m_data + layout.pixelOffset + layout.stride * fileRow;
    const int bands = layout.alpha ? 4 : 3;
    const Channel channels[4] = {Channel(layout.masks[0]), Channel(layout.masks[1]),
                                 Channel(layout.masks[2]), Channel(layout.masks[3])};
    for (int i = 0; i < count; ++i) {
        const int x = x0 + i;
        unsigned char* o = out + i * bands;
        switch (layout.bitCount) {
        case 1:
        case 4:
        case 8: {
            const int bits = layout.bitCount;
            const int bit = x * bits;
            putIndex((row[bit >> 3] >> (8 - bits - (bit & 7))) & ((1 << bits) - 1), o);
            break;
        }
        case 24:
            o[0] = row[x * 3 + 2];
            o[1] = row[x * 3 + 1];
            o[2] = row[x * 3];
            break;
        case 16:
        case 32: {
            const std::uint32_t pixel =
                layout.bitCount == 16 ? readLe16(row + x * 2) : readLe32(row + x * 4);
            o[0] = channels[0].get(pixel);
            o[1] = channels[1].get(pixel);
            o[2] = channels[2].get(pixel);
            if (layout.alpha)
                o[3] = channels[3].get(pixel);
            break;
        }
        }
    }
}

} // namespace nconvert

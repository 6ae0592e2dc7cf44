// SPDX-License-Identifier: MIT
#include "gif_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace nconvert {
namespace {

constexpr int kMaxCodes = 4096;
constexpr std::size_t kFlushBytes = 1 << 16;

void put16(std::vector<unsigned char>& out, int v) {
    out.push_back(static_cast<unsigned char>(v & 0xff));
    out.push_back(static_cast<unsigned char>(v >> 8 & 0xff));
}

// log2 of the smallest colour table (a power of two, at least 2 entries) holding `entries`.
int tableBits(int entries) {
    int bits = 1;
    while ((1 << bits) < entries)
        ++bits;
    return bits;
}

void putTable(std::vector<unsigned char>& out, const GifPalette& palette) {
    const int entries = 1 << tableBits(palette.size());
    for (int i = 0; i < entries; ++i) {
        // The transparent entry and the padding are black.
        const std::uint32_t rgb = i < int(palette.colours.size()) ? palette.colours[i] : 0;
        out.push_back(static_cast<unsigned char>(rgb >> 16));
        out.push_back(static_cast<unsigned char>(rgb >> 8));
        out.push_back(static_cast<unsigned char>(rgb));
    }
}

} // namespace

// LZW as GIF codes it: variable-width codes packed from the low bit, in sub-blocks of up to
// 255 bytes, the table cleared when full.
class GifWriter::Lzw {
public:
    Lzw(int minCodeSize, std::vector<unsigned char>& out)
        : m_out(out), m_minCodeSize(minCodeSize), m_clear(1 << minCodeSize) {
        m_out.push_back(static_cast<unsigned char>(minCodeSize));
        reset();
        emit(m_clear);
    }

    void add(const unsigned char* indices, int count) {
        int i = 0;
        if (m_prefix < 0 && count > 0)
            m_prefix = indices[i++];
        const std::uint32_t mask = kSlots - 1;
        for (; i < count; ++i) {
            const int k = indices[i];
            const std::uint32_t key = (std::uint32_t(m_prefix) << 8 | std::uint32_t(k)) + 1;
            std::uint32_t slot = (key * 2654435761u) >> (32 - kSlotBits);
            for (;; slot = (slot + 1) & mask) {
                if (m_keys[slot] == key) {
                    m_prefix = m_codes[slot];
                    break;
                }
                if (m_keys[slot] == 0) {
                    emit(m_prefix);
                    if (m_next < kMaxCodes) {
                        m_keys[slot] = key;
                        m_codes[slot] = static_cast<std::uint16_t>(m_next);
                        grow();
                    } else {
                        emit(m_clear);
                        reset();
                    }
                    m_prefix = k;
                    break;
                }
            }
        }
    }

    void finish() {
        if (m_prefix >= 0) {
            emit(m_prefix);
            // The reader adds an entry for that code before it reads the next one.
            if (m_next < kMaxCodes)
                grow();
        }
        emit(m_clear + 1);
        if (m_bitCount > 0)
            putByte(static_cast<unsigned char>(m_bits));
        if (m_blockLength > 0)
            endBlock();
        m_out.push_back(0);
    }

private:
    static constexpr int kSlotBits = 13;
    static constexpr std::uint32_t kSlots = 1u << kSlotBits;

    void reset() {
        std::fill(std::begin(m_keys), std::end(m_keys), 0u);
        m_codeSize = m_minCodeSize + 1;
        m_next = m_clear + 2;
    }

    // A code was given to a new string: the reader, one code behind, widens its codes once
    // the last code it holds no longer fits.
    void grow() {
        ++m_next;
        if (m_next - 1 == (1 << m_codeSize) && m_codeSize < 12)
            ++m_codeSize;
    }

    void emit(int code) {
        m_bits |= std::uint64_t(code) << m_bitCount;
        m_bitCount += m_codeSize;
        while (m_bitCount >= 8) {
            putByte(static_cast<unsigned char>(m_bits));
            m_bits >>= 8;
            m_bitCount -= 8;
        }
    }

    void putByte(unsigned char byte) {
        m_block[m_blockLength++] = byte;
        if (m_blockLength == 255)
            endBlock();
    }

    void endBlock() {
        m_out.push_back(static_cast<unsigned char>(m_blockLength));
        m_out.insert(m_out.end(), m_block, m_block + m_blockLength);
        m_blockLength = 0;
    }

    std::vector<unsigned char>& m_out;
    const int m_minCodeSize;
    const int m_clear;
    int m_codeSize = 0;
    int m_next = 0;
    int m_prefix = -1;
    std::uint64_t m_bits = 0;
    int m_bitCount = 0;
    unsigned char m_block[255];
    int m_blockLength = 0;
    std::uint32_t m_keys[kSlots];
    std::uint16_t m_codes[kSlots];
};

GifWriter::GifWriter(OutputSink& sink, GifLayout layout, int bands)
    : m_sink(sink), m_layout(std::move(layout)), m_bands(bands),
      m_indices(std::size_t(std::max(m_layout.width, 0))) {
    m_anyTransparent = m_layout.palettes.global.transparent;
    for (const GifPalette& p : m_layout.palettes.local)
        m_anyTransparent = m_anyTransparent || p.transparent;
    m_ok = writeHeader();
}

GifWriter::~GifWriter() = default;

bool GifWriter::flush() {
    if (m_ok && !m_out.empty())
        m_ok = m_sink.append(m_out.data(), m_out.size());
    m_out.clear();
    return m_ok;
}

bool GifWriter::writeHeader() {
    const GifPalette& global = m_layout.palettes.global;
    const unsigned char signature[] = {'G', 'I', 'F', '8', '9', 'a'};
    m_out.insert(m_out.end(), signature, signature + sizeof signature);
    put16(m_out, m_layout.width);
    put16(m_out, m_layout.frameHeight);
    // A global table, 8 bits per primary.
    m_out.push_back(static_cast<unsigned char>(0xf0 | (tableBits(global.size()) - 1)));
    m_out.push_back(0); // background: entry 0
    m_out.push_back(0); // square pixels
    putTable(m_out, global);
    if (m_layout.loop != 1) {
        // Played once is the absence of the block; the block counts repeats after the first.
        const int repeats = std::clamp(m_layout.loop - 1, 0, 0xffff);
        const unsigned char app[] = {0x21, 0xff, 11,  'N', 'E', 'T', 'S', 'C',
                                     'A',  'P',  'E', '2', '.', '0', 3,   1};
        m_out.insert(m_out.end(), app, app + sizeof app);
        put16(m_out, repeats);
        m_out.push_back(0);
    }
    return flush();
}

bool GifWriter::beginFrame() {
    const GifPalettes& palettes = m_layout.palettes;
    const bool local = !palettes.local.empty() && m_frame > 0;
    const GifPalette& palette = local ? palettes.local[m_frame] : palettes.global;
    const std::vector<int>& delays = m_layout.delaysMs;
    // Centiseconds, halves to even, as libvips rounds them.
    const int delay = m_frame < int(delays.size())
                          ? std::clamp(int(std::nearbyint(delays[m_frame] / 10.0)), 0, 0xffff)
                          : 0;
    // Each frame is a whole canvas: where one is transparent, what lies under the animation
    // must show, not the frame before, so every frame is cleared after it has been shown.
    const int disposal = m_anyTransparent ? 2 : 1;
    m_out.insert(m_out.end(), {0x21, 0xf9, 4});
    m_out.push_back(static_cast<unsigned char>(disposal << 2 | (palette.transparent ? 1 : 0)));
    put16(m_out, delay);
    m_out.push_back(
        static_cast<unsigned char>(palette.transparent ? palette.transparentIndex() : 0));
    m_out.push_back(0);

    m_out.push_back(0x2c);
    put16(m_out, 0);
    put16(m_out, 0);
    put16(m_out, m_layout.width);
    put16(m_out, m_layout.frameHeight);
    const int bits = tableBits(palette.size());
    m_out.push_back(static_cast<unsigned char>(local ? 0x80 | (bits - 1) : 0));
    if (local)
        putTable(m_out, palette);
    // Frames on the global table share its mapper and what it has learnt.
    if (local || !m_mapper)
        m_mapper = std::make_unique<PaletteMapper>(
            palette, m_bands,
            std::int64_t(m_layout.width) * m_layout.frameHeight * (local ? 1 : m_layout.frames));
    m_lzw = std::make_unique<Lzw>(std::max(2, bits), m_out);
    return flush();
}

bool GifWriter::endFrame() {
    m_lzw->finish();
    m_lzw.reset();
    m_row = 0;
    ++m_frame;
    return flush();
}

bool GifWriter::addRow(const unsigned char* pixels) {
    if (!m_ok || m_frame >= m_layout.frames)
        return m_ok = false;
    if (m_row == 0 && !beginFrame())
        return false;
    m_mapper->mapRow(pixels, m_layout.width, m_indices.data());
    m_lzw->add(m_indices.data(), m_layout.width);
    if (++m_row == m_layout.frameHeight)
        return endFrame();
    return m_out.size() < kFlushBytes || flush();
}

bool GifWriter::finish() {
    if (!m_ok || m_frame != m_layout.frames)
        return false;
    m_out.push_back(0x3b);
    return flush();
}

} // namespace nconvert

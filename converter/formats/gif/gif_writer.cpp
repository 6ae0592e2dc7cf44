// SPDX-License-Identifier: MIT
#include "gif_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace nconvert {
namespace {

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

GifWriter::GifWriter(OutputSink& sink, GifLayout layout, int bands, int threads)
    : m_sink(sink), m_layout(std::move(layout)), m_bands(bands),
      m_bandRows(std::max(1, kGifBandPixels / std::max(m_layout.width, 1))), m_queue(threads) {
    m_anyTransparent = m_layout.palettes.global.transparent;
    for (const GifPalette& p : m_layout.palettes.local)
        m_anyTransparent = m_anyTransparent || p.transparent;
    m_encoders.resize(std::size_t(m_queue.threads()));
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

bool GifWriter::localPalette(int frame) const {
    return !m_layout.palettes.local.empty() && frame > 0;
}

const GifPalette& GifWriter::paletteOf(int frame) const {
    return localPalette(frame) ? m_layout.palettes.local[std::size_t(frame)]
                               : m_layout.palettes.global;
}

void GifWriter::writeFrameHeader(int frame) {
    const bool local = localPalette(frame);
    const GifPalette& palette = paletteOf(frame);
    const std::vector<int>& delays = m_layout.delaysMs;
    // Centiseconds, halves to even, as libvips rounds them.
    const int delay = frame < int(delays.size())
                          ? std::clamp(int(std::nearbyint(delays[frame] / 10.0)), 0, 0xffff)
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
    m_out.push_back(static_cast<unsigned char>(std::max(2, bits)));
}

void GifWriter::code(Band& band, LzwEncoder& lzw) {
    const std::size_t width = std::size_t(m_layout.width);
    band.indices.resize(width * std::size_t(band.rows));
    for (int y = 0; y < band.rows; ++y)
        band.mapper->mapRow(band.pixels.data() + width * std::size_t(m_bands * y), m_layout.width,
                            band.indices.data() + width * std::size_t(y));
    const int minCodeSize = std::max(2, tableBits(paletteOf(band.frame).size()));
    lzw.encode(minCodeSize, band.indices.data(), band.indices.size(), band.first, band.last,
               band.codes);
}

void GifWriter::submit() {
    const auto work = [this](Band& band, int thread) {
        code(band, m_encoders[std::size_t(thread)]);
    };
    const auto write = [this](Band& band) { return writeBand(band); };
    m_ok = m_queue.submit(std::move(m_filling), work, write);
}

bool GifWriter::writeBand(Band& band) {
    if (band.first)
        writeFrameHeader(band.frame);
    m_blocks.append(band.codes);
    if (band.last)
        m_blocks.finish();
    band.mapper.reset();
    return m_out.size() < kFlushBytes || flush();
}

bool GifWriter::addRow(const unsigned char* pixels) {
    if (!m_ok || m_frame >= m_layout.frames)
        return m_ok = false;
    if (!m_filling) {
        m_filling = m_queue.take();
        m_filling->rows = 0;
        m_filling->frame = m_frame;
        m_filling->first = m_row == 0;
        // Frames on the global table share its mapper and what it has learnt.
        const bool local = localPalette(m_frame);
        if (m_row == 0 && (local || !m_mapper))
            m_mapper = std::make_shared<PaletteMapper>(paletteOf(m_frame), m_bands,
                                                       std::int64_t(m_layout.width) *
                                                           m_layout.frameHeight *
                                                           (local ? 1 : m_layout.frames));
        m_filling->mapper = m_mapper;
        m_filling->pixels.resize(std::size_t(m_layout.width) * std::size_t(m_bands) *
                                 std::size_t(m_bandRows));
    }
    Band& band = *m_filling;
    const std::size_t rowBytes = std::size_t(m_layout.width) * std::size_t(m_bands);
    std::copy(pixels, pixels + rowBytes, band.pixels.data() + rowBytes * std::size_t(band.rows));
    ++band.rows;
    ++m_row;
    band.last = m_row == m_layout.frameHeight;
    if (band.last) {
        m_row = 0;
        ++m_frame;
    }
    if (band.last || band.rows == m_bandRows)
        submit();
    return m_ok;
}

bool GifWriter::finish() {
    const auto write = [this](Band& band) { return writeBand(band); };
    m_ok = m_ok && m_queue.drain(write);
    if (!m_ok || m_frame != m_layout.frames)
        return false;
    m_out.push_back(0x3b);
    return flush();
}

} // namespace nconvert

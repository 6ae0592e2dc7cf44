// SPDX-License-Identifier: MIT
#include "png_chunks.h"

#include <cstring>
#include <zlib.h>

namespace nconvert {

bool PngChunk::is(const char* name) const {
    return std::memcmp(type, name, 4) == 0;
}

bool PngChunk::crcMatches() const {
    const uLong crc = crc32_z(crc32_z(0, nullptr, 0), type, 4 + std::size_t(length));
    return crc == readBe32(data + length);
}

PngChunks::PngChunks(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (size < sizeof signature || std::memcmp(data, signature, sizeof signature) != 0)
        m_end = End::NoSignature;
}

std::optional<PngChunk> PngChunks::next() {
    if (m_end != End::None)
        return std::nullopt;
    if (m_pos == m_size) {
        m_end = End::BeforeIend;
        return std::nullopt;
    }
    // length, type, data, CRC
    const std::size_t left = m_size - m_pos;
    if (left < 12 || readBe32(m_data + m_pos) > left - 12) {
        m_end = End::InsideChunk;
        return std::nullopt;
    }
    PngChunk chunk;
    chunk.offset = m_pos;
    chunk.length = readBe32(m_data + m_pos);
    chunk.type = m_data + m_pos + 4;
    chunk.data = m_data + m_pos + 8;
    m_pos += 12 + std::size_t(chunk.length);
    if (chunk.is("IEND"))
        m_end = End::Iend;
    return chunk;
}

} // namespace nconvert

// SPDX-License-Identifier: MIT
#include "tiff_lzw_encoder.h"

#include <algorithm>

namespace nconvert {
namespace {

constexpr unsigned kClear = 256;
constexpr unsigned kEnd = 257;
constexpr unsigned kFirst = 258;
// libtiff's decoder holds codes below 4096 and clears when 4094 would be given out next.
constexpr unsigned kFull = 4094;
constexpr int kHashBits = 13; // twice the table's entries: short probes
constexpr std::uint32_t kEmpty = 0xffffffffu;

std::uint32_t slotOf(std::uint32_t key) {
    return (key * 2654435761u) >> (32 - kHashBits);
}

} // namespace

TiffLzwEncoder::TiffLzwEncoder() : m_table(std::size_t(1) << kHashBits, kEmpty) {}

std::size_t TiffLzwEncoder::bound(std::size_t size) {
    // A code a byte at worst, a ClearCode every (kFull - kFirst) codes, the first and the last
    // two codes, all at 12 bits.
    const std::size_t codes = size + size / (kFull - kFirst) + 4;
    return codes * 12 / 8 + 2;
}

void TiffLzwEncoder::clearTable() {
    std::fill(m_table.begin(), m_table.end(), kEmpty);
    m_next = kFirst;
    m_width = 9;
}

void TiffLzwEncoder::put(unsigned code) {
    m_bits = m_bits << m_width | code;
    m_count += m_width;
    while (m_count >= 8) {
        m_count -= 8;
        *m_out++ = static_cast<unsigned char>(m_bits >> m_count);
    }
}

void TiffLzwEncoder::begin(unsigned char* out) {
    m_out = m_start = out;
    m_bits = 0;
    m_count = 0;
    m_prefix = -1;
    clearTable();
    put(kClear);
}

void TiffLzwEncoder::add(const unsigned char* data, std::size_t size) {
    if (size == 0)
        return;
    std::size_t i = 0;
    if (m_prefix < 0)
        m_prefix = data[i++];
    unsigned prefix = unsigned(m_prefix);
    std::uint32_t* table = m_table.data();
    constexpr std::uint32_t mask = (1u << kHashBits) - 1;
    for (; i < size; ++i) {
        const unsigned byte = data[i];
        const std::uint32_t key = std::uint32_t(prefix) << 8 | byte;
        std::uint32_t slot = slotOf(key);
        for (;;) {
            const std::uint32_t entry = table[slot];
            if (entry == kEmpty)
                break;
            if (entry >> 12 == key)
                break;
            slot = (slot + 1) & mask;
        }
        if (table[slot] != kEmpty) {
            prefix = table[slot] & 0xfff;
            continue;
        }
        put(prefix);
        table[slot] = key << 12 | m_next;
        prefix = byte;
        if (++m_next == kFull) {
            put(kClear);
            clearTable();
        } else if (m_next > (1u << m_width) - 1) {
            ++m_width;
        }
    }
    m_prefix = int(prefix);
}

std::size_t TiffLzwEncoder::end() {
    if (m_prefix >= 0) {
        put(unsigned(m_prefix));
        // The decoder makes an entry of this code too, and widens for it as above.
        if (++m_next == kFull) {
            put(kClear);
            m_width = 9;
        } else if (m_next > (1u << m_width) - 1) {
            ++m_width;
        }
    }
    put(kEnd);
    if (m_count > 0)
        *m_out++ = static_cast<unsigned char>(m_bits << (8 - m_count));
    return std::size_t(m_out - m_start);
}

} // namespace nconvert

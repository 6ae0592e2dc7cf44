// SPDX-License-Identifier: MIT
#include "gif_lzw_encoder.h"

#include <algorithm>

namespace nconvert {
namespace {

constexpr int kMaxCodes = 4096;

} // namespace

void LzwEncoder::encode(int minCodeSize, const unsigned char* indices, std::size_t count,
                        bool first, bool last, LzwCodes& out) {
    m_out = &out;
    out.bytes.clear();
    // At worst a code of 12 bits for each index.
    out.bytes.reserve(count + count / 2 + 16);
    out.bits = 0;
    m_bits = 0;
    m_bitCount = 0;
    m_minCodeSize = minCodeSize;
    m_clear = 1 << minCodeSize;
    reset();
    if (first)
        emit(m_clear);
    if (count > 0) {
        int prefix = indices[0];
        const std::uint32_t mask = kSlots - 1;
        for (std::size_t i = 1; i < count; ++i) {
            const int k = indices[i];
            const std::uint32_t key = (std::uint32_t(prefix) << 8 | std::uint32_t(k)) + 1;
            std::uint32_t slot = (key * 2654435761u) >> (32 - kSlotBits);
            for (;; slot = (slot + 1) & mask) {
                if (m_keys[slot] == key) {
                    prefix = m_codes[slot];
                    break;
                }
                if (m_keys[slot] == 0) {
                    emit(prefix);
                    if (m_next < kMaxCodes) {
                        m_keys[slot] = key;
                        m_codes[slot] = static_cast<std::uint16_t>(m_next);
                        grow();
                    } else {
                        emit(m_clear);
                        reset();
                    }
                    prefix = k;
                    break;
                }
            }
        }
        emit(prefix);
        // The reader adds an entry for that code before it reads the next one.
        if (m_next < kMaxCodes)
            grow();
    }
    emit(last ? m_clear + 1 : m_clear);
    out.bits = out.bytes.size() * 8 + std::size_t(m_bitCount);
    if (m_bitCount > 0)
        out.bytes.push_back(static_cast<unsigned char>(m_bits));
}

void LzwEncoder::reset() {
    std::fill(std::begin(m_keys), std::end(m_keys), 0u);
    m_codeSize = m_minCodeSize + 1;
    m_next = m_clear + 2;
}

// A code was given to a new string: the reader, one code behind, widens its codes once the
// last code it holds no longer fits.
void LzwEncoder::grow() {
    ++m_next;
    if (m_next - 1 == (1 << m_codeSize) && m_codeSize < 12)
        ++m_codeSize;
}

void LzwEncoder::emit(int code) {
    m_bits |= std::uint64_t(code) << m_bitCount;
    m_bitCount += m_codeSize;
    while (m_bitCount >= 8) {
        m_out->bytes.push_back(static_cast<unsigned char>(m_bits));
        m_bits >>= 8;
        m_bitCount -= 8;
    }
}

void GifSubBlocks::append(const LzwCodes& codes) {
    const std::size_t whole = codes.bits / 8;
    const int rest = int(codes.bits % 8);
    const unsigned char* bytes = codes.bytes.data();
    if (m_bitCount == 0) {
        for (std::size_t i = 0; i < whole; ++i)
            put(bytes[i]);
    } else {
        for (std::size_t i = 0; i < whole; ++i) {
            m_bits |= std::uint32_t(bytes[i]) << m_bitCount;
            put(static_cast<unsigned char>(m_bits));
            m_bits >>= 8;
        }
    }
    if (rest > 0) {
        m_bits |= (std::uint32_t(bytes[whole]) & ((1u << rest) - 1)) << m_bitCount;
        m_bitCount += rest;
        if (m_bitCount >= 8) {
            put(static_cast<unsigned char>(m_bits));
            m_bits >>= 8;
            m_bitCount -= 8;
        }
    }
}

void GifSubBlocks::finish() {
    if (m_bitCount > 0)
        put(static_cast<unsigned char>(m_bits));
    m_bits = 0;
    m_bitCount = 0;
    if (m_length > 0)
        endBlock();
    m_out.push_back(0);
}

void GifSubBlocks::endBlock() {
    m_out.push_back(static_cast<unsigned char>(m_length));
    m_out.insert(m_out.end(), m_block, m_block + m_length);
    m_length = 0;
}

} // namespace nconvert

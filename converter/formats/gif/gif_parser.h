// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nconvert {

/// The one walker over a GIF's bytes: blocks, colour tables and chains of data sub-blocks,
/// never reading past the end. The structure check, the screen's size and the decoder all walk
/// the file with it.
class GifParser {
public:
    GifParser(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}

    bool left(std::size_t n) const { return m_size - m_pos >= n; }
    /// The next `n` bytes; the caller checked left(n).
    const unsigned char* take(std::size_t n) {
        const unsigned char* p = m_data + m_pos;
        m_pos += n;
        return p;
    }
    /// Steps over `n` bytes; false, at the end, when fewer are left.
    bool skip(std::size_t n) {
        if (!left(n)) {
            m_pos = m_size;
            return false;
        }
        m_pos += n;
        return true;
    }
    bool done() const { return m_pos == m_size; }

    /// A chain of sub-blocks up to its empty one, its payload appended to `payload` and counted
    /// in `length`, either when given; false when cut off.
    bool subBlocks(std::vector<unsigned char>* payload, std::uint64_t* length = nullptr) {
        while (left(1)) {
            const std::size_t size = *take(1);
            if (size == 0)
                return true;
            if (!left(size))
                return false;
            const unsigned char* p = take(size);
            if (payload)
                payload->insert(payload->end(), p, p + size);
            if (length)
                *length += size;
        }
        return false;
    }

    /// One sub-block of exactly `length` bytes followed by the chain's end, or nothing.
    const unsigned char* exactBlock(std::size_t length) {
        if (!left(length + 2) || m_data[m_pos] != length || m_data[m_pos + 1 + length] != 0)
            return nullptr;
        return take(length + 2) + 1;
    }

    /// Bytes of a colour table whose size field (the low bits of a flags byte) is `flags`.
    static std::size_t colourTableBytes(unsigned char flags) {
        return 3 * (std::size_t(2) << (flags & 7));
    }

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace nconvert

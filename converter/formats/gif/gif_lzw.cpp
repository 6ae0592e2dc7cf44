// SPDX-License-Identifier: MIT
#include "gif_lzw.h"

#include <cstdint>

namespace nconvert {
namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeSize = 12;

class BitReader {
public:
    explicit BitReader(const std::vector<unsigned char>& data) : m_data(data) {}

    // False when fewer than `bits` bits are left.
    bool read(int bits, int& value) {
        while (m_count < bits) {
            if (m_pos == m_data.size())
                return false;
            m_bits |= std::uint32_t(m_data[m_pos++]) << m_count;
            m_count += 8;
        }
        value = int(m_bits & ((1u << bits) - 1));
        m_bits >>= bits;
        m_count -= bits;
        return true;
    }

    // Whole bytes are left unread (the end code was not the stream's end).
    bool bytesLeft() const { return m_pos != m_data.size(); }

private:
    const std::vector<unsigned char>& m_data;
    std::size_t m_pos = 0;
    std::uint32_t m_bits = 0;
    int m_count = 0;
};

} // namespace

bool decodeLzw(int minCodeSize, const std::vector<unsigned char>& data, unsigned char* indices,
               std::size_t count) {
    if (minCodeSize < 2 || minCodeSize > 8)
        return false;
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    // Each string is its prefix's string plus one index: kept as prefix, last index, first
    // index and length, so that a string is written backwards from its last index.
    std::uint16_t prefix[kMaxCodes];
    unsigned char last[kMaxCodes];
    unsigned char first[kMaxCodes];
    std::uint16_t length[kMaxCodes];
    for (int i = 0; i < clear; ++i) {
        prefix[i] = 0;
        last[i] = first[i] = static_cast<unsigned char>(i);
        length[i] = 1;
    }
    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    std::size_t written = 0;
    BitReader reader(data);
    for (;;) {
        int code = 0;
        if (!reader.read(codeSize, code))
            return false;
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end)
            return written == count && !reader.bytesLeft();
        if (written == count)
            return false; // more pixels than the frame holds
        if (previous < 0) {
            if (code > clear)
                return false;
            indices[written++] = static_cast<unsigned char>(code);
            previous = code;
            continue;
        }
        int string = code;
        if (code == next && next < kMaxCodes) {
            // The string being defined by this very code: the previous one plus its own first.
            string = previous;
        } else if (code >= next) {
            return false;
        }
        const std::size_t n = length[string] + (string == code ? 0 : 1);
        if (n > count - written)
            return false;
        unsigned char* out = indices + written + length[string] - 1;
        for (int s = string;; s = prefix[s]) {
            *out = last[s];
            if (length[s] == 1)
                break;
            --out;
        }
        const unsigned char head = first[string];
        if (string != code)
            indices[written + n - 1] = head;
        written += n;
        // Once the table is full it stays as it is until a clear code.
        if (next < kMaxCodes) {
            prefix[next] = static_cast<std::uint16_t>(previous);
            last[next] = head;
            first[next] = first[previous];
            length[next] = static_cast<std::uint16_t>(length[previous] + 1);
            ++next;
            if (next == 1 << codeSize && codeSize < kMaxCodeSize)
                ++codeSize;
        }
        previous = code;
    }
}

} // namespace nconvert

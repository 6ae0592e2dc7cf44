// SPDX-License-Identifier: MIT
#include "webp_quality.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace nconvert {
namespace {

// VP8's boolean entropy decoder, enough to read the frame header's fields.
class BoolReader {
public:
    BoolReader(const unsigned char* data, std::size_t size) : m_p(data), m_end(data + size) {
        m_value = (next() << 8) | next();
    }
    bool bit(unsigned probability = 128) {
        const std::uint32_t split = 1 + (((m_range - 1) * probability) >> 8);
        const std::uint32_t big = split << 8;
        bool one = m_value >= big;
        if (one) {
            m_range -= split;
            m_value -= big;
        } else {
            m_range = split;
        }
        while (m_range < 128) {
            m_value <<= 1;
            m_range <<= 1;
            if (++m_bits == 8) {
                m_bits = 0;
                m_value |= next();
            }
        }
        return one;
    }
    int literal(int bits) {
        int v = 0;
        while (bits--)
            v = (v << 1) | int(bit());
        return v;
    }
    int signedLiteral(int bits) {
        const int v = literal(bits);
        return bit() ? -v : v;
    }
    bool exhausted() const { return m_p >= m_end; }

private:
    std::uint32_t next() { return m_p < m_end ? *m_p++ : 0; }
    const unsigned char* m_p;
    const unsigned char* m_end;
    std::uint32_t m_value = 0;
    std::uint32_t m_range = 255;
    int m_bits = 0;
};

} // namespace

int estimateWebpQuality(const unsigned char* frame, std::size_t size) {
    // Frame tag (3 bytes, key frame bit clear), start code, two 16-bit sizes.
    if (size < 11 || (frame[0] & 1) != 0 || frame[3] != 0x9d || frame[4] != 0x01 ||
        frame[5] != 0x2a)
        return 0;
    BoolReader in(frame + 10, size - 10);
    in.literal(2); // colour space, clamping
    int segmentQuant[4] = {0, 0, 0, 0};
    bool absoluteSegments = false;
    if (in.bit()) {
        const bool updateMap = in.bit();
        if (in.bit()) {
            absoluteSegments = in.bit();
            for (int& q : segmentQuant)
                q = in.bit() ? in.signedLiteral(7) : 0;
            for (int i = 0; i < 4; ++i)
                if (in.bit())
                    in.signedLiteral(6);
        }
        if (updateMap)
            for (int i = 0; i < 3; ++i)
                if (in.bit())
                    in.literal(8);
    }
    in.literal(1 + 6 + 3); // filter type, level, sharpness
    if (in.bit() && in.bit())
        for (int i = 0; i < 8; ++i)
            if (in.bit())
                in.signedLiteral(6);
    in.literal(2); // partitions
    const int base = in.literal(7);
    if (in.exhausted())
        return 0;
    // libwebp: index = 127 (1 - c), c = cbrt(linear), linear = 2q/3 below q = 0.75, else
    // 2q - 1. Segments raise c to powers 1 - k and 1 + k at the two ends of their spread (k set
    // by the encoder's noise shaping), so the geometric mean of the two ends gives c back.
    double c = 1.0 - std::clamp(base, 0, 127) / 127.0;
    if (absoluteSegments) {
        const auto [low, high] = std::minmax_element(segmentQuant, segmentQuant + 4);
        const auto kept = [](int q) { return std::max(1.0 - std::clamp(q, 0, 127) / 127.0, 1e-6); };
        c = std::sqrt(kept(*low) * kept(*high));
    }
    const double linear = c * c * c;
    const double quality = linear < 0.5 ? linear * 1.5 : (linear + 1) / 2;
    return std::clamp(int(std::lround(quality * 100)), 1, 100);
}

} // namespace nconvert

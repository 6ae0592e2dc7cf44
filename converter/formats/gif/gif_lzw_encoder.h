// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nconvert {

/// LZW codes as GIF packs them, from the low bit, before they are cut into sub-blocks.
struct LzwCodes {
    std::vector<unsigned char> bytes;
    std::size_t bits = 0; ///< the last byte may be partly filled
};

/// GIF's LZW for one band of a frame's indices at a time. Each band starts with an empty table
/// and ends with a clear code (the frame's last, with the end code): a clear code resets every
/// decoder, so bands coded apart, on any thread, join into one valid stream. The encoder is big
/// (its table): keep one per thread.
class LzwEncoder {
public:
    /// `first`: the frame's first band, which opens with a clear code (the others follow the
    /// one that closes the band before them).
    void encode(int minCodeSize, const unsigned char* indices, std::size_t count, bool first,
                bool last, LzwCodes& out);

private:
    static constexpr int kSlotBits = 13;
    static constexpr std::uint32_t kSlots = 1u << kSlotBits;

    void reset();
    void grow();
    void emit(int code);

    LzwCodes* m_out = nullptr;
    int m_minCodeSize = 0;
    int m_clear = 0;
    int m_codeSize = 0;
    int m_next = 0;
    std::uint64_t m_bits = 0;
    int m_bitCount = 0;
    std::uint32_t m_keys[kSlots];
    std::uint16_t m_codes[kSlots];
};

/// Joins bands' codes into one frame's image data: the sub-blocks of up to 255 bytes, then the
/// empty one that ends them, appended to `out`.
class GifSubBlocks {
public:
    explicit GifSubBlocks(std::vector<unsigned char>& out) : m_out(out) {}
    void append(const LzwCodes& codes);
    void finish();

private:
    void put(unsigned char byte) {
        m_block[m_length++] = byte;
        if (m_length == 255)
            endBlock();
    }
    void endBlock();

    std::vector<unsigned char>& m_out;
    std::uint32_t m_bits = 0;
    int m_bitCount = 0;
    unsigned char m_block[255];
    int m_length = 0;
};

} // namespace nconvert

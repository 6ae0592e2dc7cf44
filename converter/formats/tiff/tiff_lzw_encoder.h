// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nconvert {

/// TIFF's LZW (Compression 5) for one strip at a time: codes of 9 to 12 bits, most significant
/// bit first, ClearCode (256) first and whenever the table fills, EndOfInformation (257) last,
/// and each wider code one code early ("early change"), as libtiff's decoder reads them. A
/// strip is fed in pieces (its rows) between begin() and end(); the encoder is reused.
class TiffLzwEncoder {
public:
    TiffLzwEncoder();

    /// The most bytes a strip of `size` bytes can take.
    static std::size_t bound(std::size_t size);

    /// Starts a strip written to `out`, which has room for bound() of it.
    void begin(unsigned char* out);
    void add(const unsigned char* data, std::size_t size);
    /// Ends the strip; the bytes written.
    std::size_t end();

private:
    void put(unsigned code);
    void clearTable();

    std::vector<std::uint32_t> m_table; // prefix code << 8 | byte, in the high 20 bits; code low
    unsigned char* m_out = nullptr;
    unsigned char* m_start = nullptr;
    std::uint32_t m_bits = 0; // not yet written, the low m_count of them
    int m_count = 0;
    int m_width = 9;
    unsigned m_next = 0; // the next code the table gives out
    int m_prefix = -1;   // the code of the bytes matched so far; -1 before the first
};

} // namespace nconvert

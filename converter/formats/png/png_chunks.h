// SPDX-License-Identifier: MIT
#pragma once

#include "bytes.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace nconvert {

/// One whole chunk of a PNG file, pointing into the file's bytes.
struct PngChunk {
    std::size_t offset = 0; ///< of its length field in the file
    std::uint32_t length = 0;
    const unsigned char* type = nullptr; ///< four bytes, followed by the data and the CRC
    const unsigned char* data = nullptr;

    bool is(const char* name) const;
    /// Whether the stored CRC matches the type and data.
    bool crcMatches() const;
};

/// The chunks of a PNG in file order, each checked to lie whole inside the file, up to and
/// including IEND; whatever follows IEND is never looked at.
class PngChunks {
public:
    /// Why the walk stopped.
    enum class End {
        None,        ///< not yet
        Iend,        ///< IEND was the last chunk handed out
        NoSignature, ///< the file does not begin with the PNG signature
        InsideChunk, ///< the file ends inside a chunk
        BeforeIend,  ///< the file ends after a whole chunk, before any IEND
    };

    PngChunks(const unsigned char* data, std::size_t size);

    /// The next whole chunk; nothing once the walk has ended (see end()).
    std::optional<PngChunk> next();
    End end() const { return m_end; }

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 8;
    End m_end = End::None;
};

} // namespace nconvert

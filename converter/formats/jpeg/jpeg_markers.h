// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace nconvert {

/// One marker of a JPEG stream and, for a marker segment, the data its length covers.
struct JpegMarker {
    unsigned code = 0; ///< the byte after 0xFF: 0xD8 SOI, 0xDA SOS, 0xE1 APP1, ...
    const unsigned char* body = nullptr; ///< after the length field; nullptr for a lone marker
    std::size_t size = 0;                ///< bytes of `body`
    std::size_t offset = 0;              ///< of the marker's 0xFF in the file
    std::size_t padding = 0; ///< bytes skipped before it: stray bytes and extra 0xFF fill bytes
};

/// Walks a JPEG's markers from just after SOI: marker segments with their lengths checked
/// against the end of the data, and after SOS the entropy-coded data (restart markers
/// included) up to the next other marker. Stops at EOI, at the end of the data, or at a
/// segment whose length is impossible or runs past the end.
class JpegMarkerWalker {
public:
    JpegMarkerWalker(const unsigned char* data, std::size_t size);

    /// The next marker into `marker`; false when the walk has stopped.
    bool next(JpegMarker& marker);
    /// Whether the walk stopped at a segment that the data cannot hold.
    bool cut() const { return m_cut; }

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 2;
    bool m_inScan = false;
    bool m_done = false;
    bool m_cut = false;
};

/// What opens the metadata segments' data, the terminating zero bytes included (sizeof).
inline constexpr char kJpegExifId[] = "Exif\0";                      // APP1
inline constexpr char kJpegXmpId[] = "http://ns.adobe.com/xap/1.0/"; // APP1
inline constexpr char kJpegIccId[] = "ICC_PROFILE";                  // APP2, then "i of n"

/// Whether `code` starts a frame header (SOF0..SOF15 but DHT, JPG and DAC).
bool isJpegFrameHeader(unsigned code);

} // namespace nconvert

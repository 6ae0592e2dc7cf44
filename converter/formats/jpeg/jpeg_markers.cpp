// SPDX-License-Identifier: MIT
#include "jpeg_markers.h"

#include "bytes.h"

#include <cstring>

namespace nconvert {
namespace {

// TEM and RST0..7, SOI and EOI stand alone; every other marker has a length.
bool standsAlone(unsigned code) {
    return code == 0x01 || (code >= 0xd0 && code <= 0xd9);
}

} // namespace

JpegMarkerWalker::JpegMarkerWalker(const unsigned char* data, std::size_t size)
    : m_data(data), m_size(size) {}

bool JpegMarkerWalker::next(JpegMarker& marker) {
    if (m_done)
        return false;
    const std::size_t start = m_pos;
    // Entropy-coded data, stuffed 0xFF 0x00 and restart markers are skipped as one run; before
    // a marker, libjpeg skips stray bytes and fill bytes the same way.
    while (m_pos + 1 < m_size) {
        const unsigned char* p = static_cast<const unsigned char*>(
            std::memchr(m_data + m_pos, 0xff, m_size - m_pos - 1));
        if (!p)
            break;
        m_pos = std::size_t(p - m_data);
        const unsigned code = m_data[m_pos + 1];
        if (code == 0xff || (m_inScan && (code == 0x00 || (code >= 0xd0 && code <= 0xd7)))) {
            ++m_pos;
            continue;
        }
        marker = JpegMarker{};
        marker.code = code;
        marker.offset = m_pos;
        marker.padding = m_inScan ? 0 : m_pos - start;
        m_pos += 2;
        m_inScan = false;
        if (code == 0xd9)
            m_done = true;
        if (standsAlone(code))
            return true;
        const std::size_t length = m_size - m_pos >= 2 ? std::size_t(readBe16(m_data + m_pos)) : 0;
        if (length < 2 || m_size - m_pos < length) {
            m_done = m_cut = true;
            return false;
        }
        marker.body = m_data + m_pos + 2;
        marker.size = length - 2;
        m_pos += length;
        m_inScan = code == 0xda;
        return true;
    }
    m_done = true;
    return false;
}

bool isJpegFrameHeader(unsigned code) {
    return code >= 0xc0 && code <= 0xcf && code != 0xc4 && code != 0xc8 && code != 0xcc;
}

} // namespace nconvert

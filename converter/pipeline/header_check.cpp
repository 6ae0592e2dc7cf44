// SPDX-License-Identifier: MIT
#include "header_check.h"

#include "jpeg_markers.h"

#include <algorithm>

namespace nconvert {
namespace {

unsigned be16(const unsigned char* p) {
    return unsigned(p[0]) << 8 | p[1];
}

std::uint32_t be32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

std::string cannotHold(const char* format, std::uint64_t bytes, const HeaderClaim& claim) {
    return std::string("truncated ") + format + ": " + std::to_string(bytes) +
           " bytes of image data cannot hold " + std::to_string(claim.width) + " x " +
           std::to_string(claim.height) + " pixels";
}

std::uint32_t crc32(const unsigned char* p, std::size_t n) {
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
    }
    return crc ^ 0xffffffffu;
}

} // namespace

HeaderClaim checkJpegHeader(const unsigned char* data, std::size_t size) {
    HeaderClaim claim;
    JpegMarkerWalker walker(data, size);
    JpegMarker marker;
    while (walker.next(marker)) {
        if (marker.code == 0xd9 || marker.code == 0xda)
            return claim; // no frame header before the image data: libjpeg will say so
        if (!isJpegFrameHeader(marker.code))
            continue;
        const unsigned char* frame = marker.body;
        if (marker.size < 6)
            return claim;
        claim.height = be16(frame + 1);
        claim.width = be16(frame + 3);
        const unsigned components = frame[5];
        unsigned hmax = 1;
        unsigned vmax = 1;
        for (unsigned c = 0; c < components && 6 + 3 * c + 2 < marker.size; ++c) {
            const unsigned sampling = frame[6 + 3 * c + 1];
            hmax = std::max(hmax, sampling >> 4);
            vmax = std::max(vmax, sampling & 15u);
        }
        const bool arithmetic = marker.code >= 0xc9;
        if (arithmetic || claim.width == 0 || claim.height == 0)
            return claim;
        const std::uint64_t mcuWidth = 8 * std::min(hmax, 4u);
        const std::uint64_t mcuHeight = 8 * std::min(vmax, 4u);
        const std::uint64_t mcus = ((std::uint64_t(claim.width) + mcuWidth - 1) / mcuWidth) *
                                   ((std::uint64_t(claim.height) + mcuHeight - 1) / mcuHeight);
        if (size < mcus / 8)
            claim.problem = cannotHold("JPEG", size, claim);
        return claim;
    }
    return claim;
}

HeaderClaim checkPngHeader(const unsigned char* data, std::size_t size) {
    HeaderClaim claim;
    std::size_t pos = 8;
    std::uint64_t imageData = 0;
    std::uint64_t rawBits = 0;
    while (pos < size) {
        // length, type, data, CRC
        const std::uint64_t length = size - pos >= 12 ? be32(data + pos) : 0;
        if (size - pos < 12 || length > size - pos - 12) {
            claim.problem = "truncated PNG: the file ends inside a chunk";
            return claim;
        }
        const unsigned char* type = data + pos + 4;
        const bool ihdr = type[0] == 'I' && type[1] == 'H' && type[2] == 'D' && type[3] == 'R';
        if (pos == 8 && ihdr && length >= 13) {
            // Only a header that is what was written may decide limits.
            if (crc32(type, 4 + length) != be32(type + 4 + length)) {
                claim.problem = "corrupt PNG: the IHDR chunk fails its checksum";
                return claim;
            }
            const unsigned char* h = data + pos + 8;
            claim.width = be32(h);
            claim.height = be32(h + 4);
            static const unsigned channels[7] = {1, 0, 3, 1, 2, 0, 4};
            const unsigned depth = h[8];
            const unsigned colour = h[9];
            rawBits = colour < 7 ? std::uint64_t(claim.width) * std::uint64_t(claim.height) *
                                       channels[colour] * depth
                                 : 0;
        }
        if (type[0] == 'I' && type[1] == 'D' && type[2] == 'A' && type[3] == 'T')
            imageData += length;
        if (type[0] == 'I' && type[1] == 'E' && type[2] == 'N' && type[3] == 'D') {
            if (imageData < rawBits / 8 / 1032)
                claim.problem = cannotHold("PNG", imageData, claim);
            return claim;
        }
        pos += 12 + length;
    }
    claim.problem = "truncated PNG: the file ends before its IEND chunk";
    return claim;
}

} // namespace nconvert

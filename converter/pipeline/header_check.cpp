// SPDX-License-Identifier: MIT
#include "header_check.h"

#include "bytes.h"
#include "jpeg_markers.h"
#include "png_chunks.h"

#include <algorithm>
#include <optional>

namespace nconvert {
namespace {

std::string cannotHold(const char* format, std::uint64_t bytes, const HeaderClaim& claim) {
    return std::string("truncated ") + format + ": " + std::to_string(bytes) +
           " bytes of image data cannot hold " + std::to_string(claim.width) + " x " +
           std::to_string(claim.height) + " pixels";
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
        claim.height = readBe16(frame + 1);
        claim.width = readBe16(frame + 3);
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
    std::uint64_t imageData = 0;
    std::uint64_t rawBits = 0;
    PngChunks chunks(data, size);
    while (const std::optional<PngChunk> chunk = chunks.next()) {
        if (chunk->offset == 8 && chunk->is("IHDR") && chunk->length >= 13) {
            // Only a header that is what was written may decide limits.
            if (!chunk->crcMatches()) {
                claim.problem = "corrupt PNG: the IHDR chunk fails its checksum";
                return claim;
            }
            const unsigned char* h = chunk->data;
            claim.width = readBe32(h);
            claim.height = readBe32(h + 4);
            static const unsigned channels[7] = {1, 0, 3, 1, 2, 0, 4};
            const unsigned depth = h[8];
            const unsigned colour = h[9];
            rawBits = colour < 7 ? std::uint64_t(claim.width) * std::uint64_t(claim.height) *
                                       channels[colour] * depth
                                 : 0;
        }
        if (chunk->is("IDAT"))
            imageData += chunk->length;
    }
    switch (chunks.end()) {
    case PngChunks::End::Iend:
        if (imageData < rawBits / 8 / 1032)
            claim.problem = cannotHold("PNG", imageData, claim);
        break;
    case PngChunks::End::InsideChunk:
        claim.problem = "truncated PNG: the file ends inside a chunk";
        break;
    case PngChunks::End::BeforeIend:
        claim.problem = "truncated PNG: the file ends before its IEND chunk";
        break;
    case PngChunks::End::None:
    case PngChunks::End::NoSignature:
        break; // not a PNG: the decoder will say why
    }
    return claim;
}

} // namespace nconvert

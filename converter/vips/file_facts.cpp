// SPDX-License-Identifier: MIT
#include "file_facts.h"

#include "webp_quality.h"

#include <cstring>

namespace nconvert {
namespace {

std::uint32_t le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

// RIFF chunks must tile the file exactly: a wrong size or a cut leaves a chunk hanging.
FileFacts webpFacts(const unsigned char* data, std::size_t size) {
    FileFacts facts;
    const std::uint64_t riff = std::uint64_t(le32(data + 4)) + 8;
    if (riff > size)
        facts.problem = "truncated WebP: the file holds " + std::to_string(size) +
                        " bytes of the " + std::to_string(riff) + " its header gives";
    std::size_t at = 12;
    const std::size_t end = std::min<std::uint64_t>(riff, size);
    while (facts.problem.empty() && at < end) {
        if (at + 8 > end) {
            facts.problem = "corrupt WebP: a chunk header is cut off";
            break;
        }
        const std::uint64_t length = le32(data + at + 4);
        const std::uint64_t next = at + 8 + length + (length & 1);
        if (at + 8 + length > end) {
            facts.problem = "corrupt WebP: a chunk runs past the end of the file";
            break;
        }
        if (std::memcmp(data + at, "VP8L", 4) == 0)
            facts.webpLossless = true;
        if (std::memcmp(data + at, "VP8 ", 4) == 0 && facts.quality == 0)
            facts.quality = estimateWebpQuality(data + at + 8, std::size_t(length));
        at = std::size_t(std::min<std::uint64_t>(next, end));
    }
    return facts;
}

FileFacts tiffFacts(const unsigned char* data, std::size_t size) {
    FileFacts facts;
    const bool little = data[0] == 'I';
    auto get = [&](std::size_t at, int bytes) -> std::uint64_t {
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= std::uint64_t(data[at + (little ? i : bytes - 1 - i)]) << (8 * i);
        return v;
    };
    const bool big = get(2, 2) == 43;
    const std::size_t entrySize = big ? 20 : 12;
    if (size < (big ? 16u : 8u))
        return facts;
    const std::uint64_t ifd = big ? get(8, 8) : get(4, 4);
    const int countBytes = big ? 8 : 2;
    if (ifd + countBytes > size)
        return facts;
    const std::uint64_t count = get(std::size_t(ifd), countBytes);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t entry = ifd + countBytes + i * entrySize;
        if (entry + entrySize > size)
            break;
        if (get(std::size_t(entry), 2) == 259)
            facts.tiffCompression = int(get(std::size_t(entry) + (big ? 12 : 8), 2));
    }
    return facts;
}

} // namespace

FileFacts fileFacts(Format format, const unsigned char* data, std::size_t size) {
    if (format == Format::Webp && size >= 12)
        return webpFacts(data, size);
    if (format == Format::Tiff && size >= 8)
        return tiffFacts(data, size);
    return {};
}

} // namespace nconvert

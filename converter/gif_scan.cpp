// SPDX-License-Identifier: MIT
#include "gif_scan.h"

namespace nconvert {
namespace {

// Skips a chain of data sub-blocks ending with a zero-length block. False if cut off.
bool skipSubBlocks(const unsigned char* data, std::size_t size, std::size_t& pos) {
    while (pos < size) {
        const std::size_t length = data[pos++];
        if (length == 0)
            return true;
        if (size - pos < length)
            return false;
        pos += length;
    }
    return false;
}

} // namespace

std::string gifStructureProblem(const unsigned char* data, std::size_t size) {
    const std::string truncated = "truncated GIF: the file ends inside ";
    if (size < 13)
        return truncated + "the header";
    std::size_t pos = 13;
    const unsigned char flags = data[10];
    if (flags & 0x80)
        pos += 3u * (2u << (flags & 7));
    if (pos > size)
        return truncated + "the colour table";
    int frames = 0;
    while (pos < size) {
        const unsigned char block = data[pos++];
        if (block == 0x3b)
            return {};
        if (block == 0x21) {
            if (pos >= size)
                return truncated + "an extension";
            ++pos; // label
            if (!skipSubBlocks(data, size, pos))
                return truncated + "an extension";
        } else if (block == 0x2c) {
            if (size - pos < 9)
                return truncated + "a frame header";
            const unsigned char frameFlags = data[pos + 8];
            pos += 9;
            if (frameFlags & 0x80)
                pos += 3u * (2u << (frameFlags & 7));
            if (pos >= size)
                return truncated + "a frame's colour table";
            ++pos; // LZW minimum code size
            if (!skipSubBlocks(data, size, pos))
                return truncated + "frame " + std::to_string(frames + 1) + "'s data";
            ++frames;
        } else {
            return "corrupt GIF: unknown block type " + std::to_string(block);
        }
    }
    if (frames == 0)
        return "corrupt GIF: no frame";
    return {};
}

} // namespace nconvert

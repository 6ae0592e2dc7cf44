// SPDX-License-Identifier: MIT
#include "gif_scan.h"

#include "bytes.h"

#include <cstdint>

namespace nconvert {
namespace {

// Skips a chain of data sub-blocks ending with a zero-length block, adding up their payload.
// False if cut off.
bool skipSubBlocks(const unsigned char* data, std::size_t size, std::size_t& pos,
                   std::uint64_t& payload) {
    while (pos < size) {
        const std::size_t length = data[pos++];
        if (length == 0)
            return true;
        if (size - pos < length)
            return false;
        pos += length;
        payload += length;
    }
    return false;
}

// At least 1 bit per LZW code, at most 4096 pixels per code (the table holds 4096 strings, each
// one pixel longer than one before it).
constexpr std::uint64_t kPixelsPerByte = 4096 * 8;

} // namespace

GifStructure scanGif(const unsigned char* data, std::size_t size) {
    GifStructure gif;
    const std::string truncated = "truncated GIF: the file ends inside ";
    if (size < 13) {
        gif.problem = truncated + "the header";
        return gif;
    }
    std::size_t pos = 13;
    const unsigned char flags = data[10];
    if (flags & 0x80)
        pos += 3u * (2u << (flags & 7));
    if (pos > size) {
        gif.problem = truncated + "the colour table";
        return gif;
    }
    while (pos < size) {
        const unsigned char block = data[pos++];
        std::uint64_t payload = 0;
        if (block == 0x3b) {
            if (gif.frames == 0)
                gif.problem = "corrupt GIF: no frame";
            return gif;
        }
        if (block == 0x21) {
            if (pos >= size || (++pos, !skipSubBlocks(data, size, pos, payload))) {
                gif.problem = truncated + "an extension";
                return gif;
            }
        } else if (block == 0x2c) {
            if (size - pos < 9) {
                gif.problem = truncated + "a frame header";
                return gif;
            }
            const unsigned width = readLe16(data + pos + 4);
            const unsigned height = readLe16(data + pos + 6);
            const unsigned char frameFlags = data[pos + 8];
            pos += 9;
            if (frameFlags & 0x80)
                pos += 3u * (2u << (frameFlags & 7));
            if (pos >= size) {
                gif.problem = truncated + "a frame's colour table";
                return gif;
            }
            ++pos; // LZW minimum code size
            const std::string frame = "frame " + std::to_string(gif.frames + 1);
            if (!skipSubBlocks(data, size, pos, payload)) {
                gif.problem = truncated + frame + "'s data";
                return gif;
            }
            if (payload < std::uint64_t(width) * height / kPixelsPerByte) {
                gif.problem = "truncated GIF: " + std::to_string(payload) +
                              " bytes of image data cannot hold " + frame + "'s " +
                              std::to_string(width) + " x " + std::to_string(height) + " pixels";
                return gif;
            }
            ++gif.frames;
        } else {
            gif.problem = "corrupt GIF: unknown block type " + std::to_string(block);
            return gif;
        }
    }
    gif.problem = "truncated GIF: the file ends before its trailer, after " +
                  std::to_string(gif.frames) + (gif.frames == 1 ? " frame" : " frames");
    return gif;
}

} // namespace nconvert

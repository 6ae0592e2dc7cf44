// SPDX-License-Identifier: MIT
#include "gif_scan.h"

#include "bytes.h"
#include "gif_parser.h"

#include <cstdint>

namespace nconvert {
namespace {

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
    GifParser parser(data, size);
    parser.take(13);
    if ((data[10] & 0x80) && !parser.skip(GifParser::colourTableBytes(data[10]))) {
        gif.problem = truncated + "the colour table";
        return gif;
    }
    while (parser.left(1)) {
        const unsigned char block = *parser.take(1);
        std::uint64_t payload = 0;
        if (block == 0x3b) {
            if (gif.frames == 0)
                gif.problem = "corrupt GIF: no frame";
            return gif;
        }
        if (block == 0x21) {
            if (!parser.skip(1) || !parser.subBlocks(nullptr, &payload)) {
                gif.problem = truncated + "an extension";
                return gif;
            }
        } else if (block == 0x2c) {
            if (!parser.left(9)) {
                gif.problem = truncated + "a frame header";
                return gif;
            }
            const unsigned char* descriptor = parser.take(9);
            const unsigned width = readLe16(descriptor + 4);
            const unsigned height = readLe16(descriptor + 6);
            const unsigned char frameFlags = descriptor[8];
            // The table and then at least the LZW minimum code size.
            const std::size_t table =
                frameFlags & 0x80 ? GifParser::colourTableBytes(frameFlags) : 0;
            if (!parser.skip(table) || !parser.skip(1)) {
                gif.problem = truncated + "a frame's colour table";
                return gif;
            }
            const std::string frame = "frame " + std::to_string(gif.frames + 1);
            if (!parser.subBlocks(nullptr, &payload)) {
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

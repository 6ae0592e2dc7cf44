// SPDX-License-Identifier: MIT
// RLE8 and RLE4 streams. Codes come in byte pairs: (n, value) repeats a value n times (RLE4
// alternates the value's two nibbles); (0, 0) ends the row, (0, 1) ends the picture, (0, 2, dx,
// dy) moves right and up, skipping pixels; (0, n >= 3) is followed by n literal indices, padded
// to an even byte count. Rows are stored bottom-up, so the stream only ever moves up.
//
// Pixels the stream never writes (after an early end of row or of picture, or skipped by a
// delta) become palette index 0. Windows decodes into a bitmap whose bits start at zero, so that
// is what the picture shows there and what other readers show; making them transparent would
// turn every such file into a 32-bit output for pixels its writer meant as background.
#include "bmp_rle.h"

#include <algorithm>

namespace nconvert {
namespace {

struct RowEnd {
    enum Kind { EndOfRow, EndOfPicture, Delta, OutOfData, Overrun } kind = OutOfData;
    std::size_t offset = 0; ///< just after the code that ended the row
    int x = 0;              ///< for Delta: the column it moves to
    int dy = 0;             ///< for Delta: rows moved up, at least 1
    const char* problem = nullptr;
};

// Runs one row's codes from `offset`, starting at column `x`; writes indices when given.
// Stops at the first code that leaves the row, or at the first fault.
RowEnd walkRow(const unsigned char* s, std::size_t length, std::size_t offset, int x, int width,
               int bits, unsigned char* indices) {
    RowEnd end;
    const auto fault = [&](const char* why) {
        end.kind = RowEnd::Overrun;
        end.problem = why;
        return end;
    };
    while (length - offset >= 2) {
        const int count = s[offset], value = s[offset + 1];
        offset += 2;
        if (count > 0) {
            if (count > width - x)
                return fault("an RLE run passes the end of a row");
            if (indices) {
                for (int i = 0; i < count; ++i)
                    indices[x + i] = bits == 8 ? value : (i & 1 ? value & 15 : value >> 4);
            }
            x += count;
            continue;
        }
        end.offset = offset;
        if (value == 0 || value == 1) {
            end.kind = value == 0 ? RowEnd::EndOfRow : RowEnd::EndOfPicture;
            return end;
        }
        if (value == 2) {
            if (length - offset < 2)
                break;
            const int dx = s[offset], dy = s[offset + 1];
            offset += 2;
            if (dx > width - x)
                return fault("an RLE delta passes the end of a row");
            x += dx;
            if (dy == 0)
                continue;
            end.kind = RowEnd::Delta;
            end.offset = offset;
            end.x = x;
            end.dy = dy;
            return end;
        }
        // An absolute run of `value` literal indices.
        const std::size_t bytes = bits == 8 ? std::size_t(value) : (std::size_t(value) + 1) / 2;
        const std::size_t padded = (bytes + 1) & ~std::size_t(1);
        if (value > width - x)
            return fault("an RLE literal run passes the end of a row");
        if (length - offset < padded)
            break;
        if (indices) {
            for (int i = 0; i < value; ++i) {
                const unsigned char b = s[offset + (bits == 8 ? i : i / 2)];
                indices[x + i] = bits == 8 ? b : (i & 1 ? b & 15 : b >> 4);
            }
        }
        x += value;
        offset += padded;
    }
    end.kind = RowEnd::OutOfData;
    return end;
}

} // namespace

RleIndex indexRle(const unsigned char* stream, std::size_t length, int width, int height,
                  int bits) {
    RleIndex index;
    RleRowStart at;
    for (;;) {
        index.rows.push_back(at);
        const RowEnd end = walkRow(stream, length, at.offset, at.x, width, bits, nullptr);
        switch (end.kind) {
        case RowEnd::Overrun:
            index.problem = end.problem;
            return index;
        case RowEnd::OutOfData:
            index.truncated = true;
            return index;
        case RowEnd::EndOfPicture:
            return index;
        case RowEnd::EndOfRow:
            at = {at.row + 1, 0, end.offset};
            break;
        case RowEnd::Delta:
            if (end.dy >= height - at.row) {
                index.problem = "an RLE delta passes the top of the picture";
                return index;
            }
            at = {at.row + end.dy, end.x, end.offset};
            break;
        }
        if (at.row == height) {
            // The last row is complete: only an end-of-picture code, or nothing, may follow.
            const std::size_t left = length - at.offset;
            if (left >= 2 && !(stream[at.offset] == 0 && stream[at.offset + 1] == 1))
                index.problem = "RLE data past the last row";
            return index;
        }
    }
}

void decodeRleRow(const unsigned char* stream, std::size_t length, const RleIndex& index, int row,
                  int width, int bits, unsigned char* indices) {
    std::fill(indices, indices + width, 0);
    const auto it =
        std::lower_bound(index.rows.begin(), index.rows.end(), row,
                         [](const RleRowStart& start, int wanted) { return start.row < wanted; });
    if (it != index.rows.end() && it->row == row)
        walkRow(stream, length, it->offset, it->x, width, bits, indices);
}

} // namespace nconvert

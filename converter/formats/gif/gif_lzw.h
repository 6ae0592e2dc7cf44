// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <vector>

namespace nconvert {

/// Decodes one frame's LZW stream (its sub-blocks already joined) into exactly `count` colour
/// indices. Strict: false unless the stream fills the frame and then ends with the end code,
/// with nothing after it but the last byte's padding bits. A code not yet in the table, a
/// string running past the frame, data ending early, a code size outside 2..8: all false.
bool decodeLzw(int minCodeSize, const std::vector<unsigned char>& data, unsigned char* indices,
               std::size_t count);

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace nconvert {

/// Walks a GIF's block structure (no decoding) and says why it is incomplete or malformed, or
/// returns an empty string. libnsgif quietly accepts a file cut off inside a frame's data, so
/// this is how a truncated GIF becomes an error instead of a part-drawn frame. A missing
/// trailer byte after complete frames is accepted, as every browser does.
std::string gifStructureProblem(const unsigned char* data, std::size_t size);

} // namespace nconvert

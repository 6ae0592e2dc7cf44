// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace nconvert {

// The one way the readers take numbers out of a file's bytes. Callers check the bounds first.

inline std::uint32_t readLe16(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
}

inline std::uint32_t readLe32(const unsigned char* p) {
    return readLe16(p) | readLe16(p + 2) << 16;
}

inline std::uint32_t readBe16(const unsigned char* p) {
    return std::uint32_t(p[0]) << 8 | std::uint32_t(p[1]);
}

inline std::uint32_t readBe32(const unsigned char* p) {
    return readBe16(p) << 16 | readBe16(p + 2);
}

} // namespace nconvert

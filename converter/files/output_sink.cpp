// SPDX-License-Identifier: MIT
#include "output_sink.h"

#include <cstring>

namespace nconvert {

bool MemorySink::append(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    m_bytes.insert(m_bytes.end(), p, p + size);
    return true;
}

bool MemorySink::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
    if (m_bytes.size() < offset + size)
        m_bytes.resize(offset + size);
    std::memcpy(m_bytes.data() + offset, data, size);
    return true;
}

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace nconvert {

/// Memory for the large buffers of a conversion (the input's bytes, rows in flight, an
/// encoder's bands): mapped on its own, its whole 2 MiB ranges aligned to huge pages and asking
/// the kernel for them. Memory touched for the first time in 4 KB pages is a fault a page, and
/// on the virtual machines this runs on that cost more than the work done in it (10 MB read
/// into such pages took 9 to 30 ms, into huge pages 3 ms). Starts zeroed, as mapped; throws
/// std::bad_alloc when there is no memory.
class LargeBuffer {
public:
    LargeBuffer() = default;
    explicit LargeBuffer(std::size_t size);
    ~LargeBuffer();
    LargeBuffer(LargeBuffer&& other) noexcept;
    LargeBuffer& operator=(LargeBuffer&& other) noexcept;
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;

    unsigned char* data() { return m_data; }
    const unsigned char* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    void release();

    unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
    void* m_mapping = nullptr;
    std::size_t m_mapped = 0;
};

} // namespace nconvert

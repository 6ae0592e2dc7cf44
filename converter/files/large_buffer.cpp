// SPDX-License-Identifier: MIT
#include "large_buffer.h"

#include <cstdint>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace nconvert {
namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

void* mapAnonymous(std::size_t length) {
    void* mapping =
        ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        throw std::bad_alloc();
    return mapping;
}

} // namespace

LargeBuffer::LargeBuffer(std::size_t size) : m_size(size) {
    if (size == 0)
        return;
    // Huge pages for the whole 2 MiB ranges only: a huge page for the rest would be cleared
    // whole for a part of it, and memory would follow the page rather than the buffer.
    const std::size_t hugePart = size / kHugePage * kHugePage;
    // Mapped a huge page longer, so that a huge-page boundary can begin it.
    m_mapped = hugePart > 0 ? size + kHugePage : size;
    m_mapping = mapAnonymous(m_mapped);
    m_data = static_cast<unsigned char*>(m_mapping);
    if (hugePart == 0)
        return;
    const auto start = reinterpret_cast<std::uintptr_t>(m_mapping);
    m_data = reinterpret_cast<unsigned char*>((start + kHugePage - 1) / kHugePage * kHugePage);
    ::madvise(m_data, hugePart, MADV_HUGEPAGE);
}

LargeBuffer::~LargeBuffer() {
    release();
}

LargeBuffer::LargeBuffer(LargeBuffer&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
      m_mapping(std::exchange(other.m_mapping, nullptr)),
      m_mapped(std::exchange(other.m_mapped, 0)) {}

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& other) noexcept {
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_mapping = std::exchange(other.m_mapping, nullptr);
        m_mapped = std::exchange(other.m_mapped, 0);
    }
    return *this;
}

void LargeBuffer::release() {
    if (m_mapping)
        ::munmap(m_mapping, m_mapped);
    m_mapping = nullptr;
    m_data = nullptr;
    m_size = 0;
    m_mapped = 0;
}

} // namespace nconvert

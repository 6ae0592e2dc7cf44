// SPDX-License-Identifier: MIT
#include "large_memory.h"

#include <cstdint>
#include <new>
#include <sys/mman.h>

namespace nconvert {
namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kSmallPage = 4096;

// Whole pages; a last part of a huge page or more is a whole huge page too, so that it is not
// faulted in small pages, at the cost of less than half a huge page of memory.
std::size_t mappedLength(std::size_t bytes) {
    const std::size_t pages = (bytes + kSmallPage - 1) / kSmallPage * kSmallPage;
    if (pages % kHugePage >= kHugePage / 2)
        return (pages + kHugePage - 1) / kHugePage * kHugePage;
    return pages;
}

} // namespace

void* allocateLarge(std::size_t bytes) {
    if (bytes < kHugePage / 2)
        return ::operator new(bytes);
    const std::size_t length = mappedLength(bytes);
    // A huge page longer, so that a huge-page boundary can begin the block; the ends beyond
    // it are given back at once.
    const std::size_t mapped = length + kHugePage;
    void* mapping =
        ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapping);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start)
        ::munmap(mapping, aligned - start);
    const std::size_t after = start + mapped - (aligned + length);
    if (after > 0)
        ::munmap(reinterpret_cast<void*>(aligned + length), after);
    void* block = reinterpret_cast<void*>(aligned);
    ::madvise(block, length / kHugePage * kHugePage, MADV_HUGEPAGE);
    return block;
}

void releaseLarge(void* block, std::size_t bytes) noexcept {
    if (!block)
        return;
    if (bytes < kHugePage / 2)
        ::operator delete(block);
    else
        ::munmap(block, mappedLength(bytes));
}

} // namespace nconvert

// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace nconvert {

// Memory for the large buffers of a conversion (the input's bytes, a decoded GIF, rows in
// flight, an encoder's bands). Memory touched for the first time is a fault a 4 KB page, and
// on the virtual machines this runs on that cost more than the work done in it: 10 MB read
// into such pages took 9 to 30 ms, into huge pages 3 ms. So a block of a megabyte or more is
// mapped on its own, aligned to 2 MiB, with huge pages asked for; smaller ones come from
// operator new. Both throw std::bad_alloc when there is no memory.
void* allocateLarge(std::size_t bytes);
void releaseLarge(void* block, std::size_t bytes) noexcept;

/// A block from allocateLarge, given back when it goes; its bytes are left as they come, for a
/// buffer about to be filled whole (a vector would clear it first).
struct LargeRelease {
    std::size_t bytes = 0;
    void operator()(unsigned char* block) const noexcept { releaseLarge(block, bytes); }
};
using LargeBlock = std::unique_ptr<unsigned char[], LargeRelease>;

/// Once, first thing in the process: the heap's growth from here on comes in huge pages, so
/// that what goes through operator new and malloc (bands, rows, tables) is not faulted in 4 KB
/// at a time either.
void heapInHugePages();

template <class T> struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <class U> LargeAllocator(const LargeAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(allocateLarge(n * sizeof(T))); }
    void deallocate(T* block, std::size_t n) noexcept { releaseLarge(block, n * sizeof(T)); }
    friend bool operator==(const LargeAllocator&, const LargeAllocator&) { return true; }
};

template <class T> using LargeVector = std::vector<T, LargeAllocator<T>>;

} // namespace nconvert

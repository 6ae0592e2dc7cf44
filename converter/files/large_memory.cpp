// SPDX-License-Identifier: MIT
#include "large_memory.h"

#include <cstdint>
#include <malloc.h>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

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

void heapInHugePages() {
    // One heap for every thread, holding everything below 32 MiB, grown 64 MiB at a time and
    // not given back before the process ends (it converts one picture): what is freed is
    // reused, not faulted in again. libjpeg, for one, frees a band's working rows (a few hundred
    // KB a component on a wide picture) after every band; given back to the kernel each time,
    // the 15000-pixel-wide picture took 70 % more CPU.
    ::mallopt(M_ARENA_MAX, 1);
    ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
    ::mallopt(M_TOP_PAD, 64 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 256 << 20);
    // Where the heap grows next, the break is moved by hand (the allocator leaves what lies
    // below it to whoever moved it): a little below a huge-page boundary, far enough that the
    // marks the allocator writes as it grows land below the boundary, in memory not marked for
    // huge pages. Touched first, a span of small pages would stay one.
    const std::size_t probe = ::mallinfo2().keepcost + 4096; // more than the heap has left
    const std::size_t marks = probe + (64 << 10);
    const auto brk = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    if (brk == std::uintptr_t(-1))
        return;
    const std::uintptr_t boundary = (brk + marks + kHugePage - 1) / kHugePage * kHugePage;
    if (::sbrk(std::intptr_t(boundary - marks - brk)) == reinterpret_cast<void*>(-1))
        return;
    void* volatile block = ::malloc(probe); // volatile: the pair is not optimised away
    const auto end = reinterpret_cast<std::uintptr_t>(::sbrk(0)) / kHugePage * kHugePage;
    ::free(block);
    if (end > boundary)
        ::madvise(reinterpret_cast<void*>(boundary), end - boundary, MADV_HUGEPAGE);
}

} // namespace nconvert

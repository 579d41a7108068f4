#pragma once
// Small blocks (8 to 512 bytes, in steps of 8) kept by each thread for reuse.
// GMP and MPFR take their limbs from here; a record made by the hundred
// (a figure) can too, through BlockAllocator.
#include <cstddef>
#include <new>

namespace stats {

// A block of `size` bytes; never null (no memory ends the program, as GMP does).
void *TakeBlock(std::size_t size);
// A block from TakeBlock or malloc, of the size it was asked with.
void GiveBlock(void *block, std::size_t size);

template <class T>
struct BlockAllocator {
    using value_type = T;
    BlockAllocator() = default;
    template <class U>
    BlockAllocator(const BlockAllocator<U> &) noexcept {}
    T *allocate(std::size_t n) { return static_cast<T *>(TakeBlock(n * sizeof(T))); }
    void deallocate(T *p, std::size_t n) noexcept { GiveBlock(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const BlockAllocator<U> &) const noexcept { return true; }
};

} // namespace stats

// Small blocks kept for reuse, per thread: GMP's and MPFR's limbs and the
// figures' own records.
//
// An analysis makes a few thousand short-lived whole numbers, each with its
// own block of limbs, and a few hundred figures. The C library keeps only
// seven blocks of a size per thread at hand; past that every block goes the
// long way through its bins, which took half of an analysis's time. Here
// each thread keeps blocks of each size from 8 to 512 bytes, up to kKept
// bytes in all, on lists threaded through the free blocks themselves.
//
// Every block is an ordinary malloc block of the size asked for, so blocks
// allocated before GMP was given these functions, or on another thread,
// are freed and reused alike.
#include "stats/blockcache.h"

#include <gmp.h>
#include <mpfr.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>

// AddressSanitizer, as GCC and Clang each announce it.
#if defined(__SANITIZE_ADDRESS__)
#define KEPT_BLOCKS_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KEPT_BLOCKS_CHECKED 1
#endif
#endif

#if defined(KEPT_BLOCKS_CHECKED)
#include <sanitizer/asan_interface.h>
// The size malloc gave a block (the runtime has it; not every compiler ships its header).
extern "C" size_t __sanitizer_get_allocated_size(const volatile void *p);
#endif

namespace {

constexpr size_t kGrain = 8;  // a limb
constexpr size_t kSizes = 64; // blocks of 8, 16, …, 512 bytes
constexpr size_t kKept = size_t{1} << 20; // per thread: a whole analysis keeps at most about 90 KiB

struct FreeBlock {
    FreeBlock *next;
};

// Zero-initialised and trivially destructible: usable until the thread's
// last moment, even by objects destroyed after the cache was given back.
struct Cache {
    FreeBlock *shelves[kSizes]; // the top block of each size
    size_t kept; // bytes on the shelves
    bool opened; // the closer below is registered
    bool closed; // the thread is ending: blocks go straight back
};
// The core is loaded with the program, never opened later: its thread-local
// data can sit at a fixed offset, with no lookup on each block.
__attribute__((tls_model("initial-exec"))) thread_local Cache cache;

// Under AddressSanitizer a kept block is poisoned past its link, so that a
// use after GMP freed it is still caught (the leak checker follows the link),
// and a block handed out must be exactly the size asked for, so that a
// mix-up of sizes is caught too.
void shelved(FreeBlock *b, size_t size)
{
#if defined(KEPT_BLOCKS_CHECKED)
    ASAN_POISON_MEMORY_REGION(b + 1, size - sizeof(FreeBlock));
#else
    (void)b, (void)size;
#endif
}

void unshelved(FreeBlock *b, size_t size)
{
#if defined(KEPT_BLOCKS_CHECKED)
    ASAN_UNPOISON_MEMORY_REGION(b, size);
    if (__sanitizer_get_allocated_size(b) != size) {
        std::fprintf(stderr, "a kept block of %zu bytes handed out for %zu\n",
                     __sanitizer_get_allocated_size(b), size);
        std::abort();
    }
#else
    (void)b, (void)size;
#endif
}

void giveBack()
{
    cache.closed = true;
    for (size_t i = 0; i < kSizes; ++i) {
        while (FreeBlock *b = cache.shelves[i]) {
            unshelved(b, (i + 1) * kGrain);
            cache.shelves[i] = b->next;
            std::free(b);
        }
    }
    cache.kept = 0;
}

// When the thread ends: MPFR's constants of this thread (π, log 2, … to the
// precision last asked, which MPFR keeps per thread and never frees by
// itself), then the thread's kept blocks, go back to the C library.
struct Closer {
    ~Closer()
    {
        mpfr_free_cache2(MPFR_FREE_LOCAL_CACHE);
        giveBack();
    }
};

// As GMP itself does: its callers cannot take an exception.
[[noreturn]] void outOfMemory()
{
    std::fputs("GNU MP: Cannot allocate memory\n", stderr);
    std::abort();
}

// The shelf for blocks of exactly `size` bytes; null for other sizes.
FreeBlock **shelfFor(size_t size)
{
    if (size == 0 || size % kGrain != 0 || size > kSizes * kGrain || cache.closed)
        return nullptr;
    return &cache.shelves[size / kGrain - 1];
}

} // namespace

namespace stats {

void *TakeBlock(size_t size)
{
    if (FreeBlock **top = shelfFor(size); top && *top) {
        FreeBlock *b = *top;
        unshelved(b, size);
        *top = b->next;
        cache.kept -= size;
        return b;
    }
    void *p = std::malloc(size);
    if (!p)
        outOfMemory();
    return p;
}

void GiveBlock(void *p, size_t size)
{
    FreeBlock **top = shelfFor(size);
    if (!top || cache.kept + size > kKept) {
        std::free(p);
        return;
    }
    if (!cache.opened) {
        cache.opened = true;
        thread_local Closer closer; // constructed here, once per thread
        (void)closer;
    }
    FreeBlock *b = static_cast<FreeBlock *>(p);
    b->next = *top;
    *top = b;
    cache.kept += size;
    shelved(b, size);
}

} // namespace stats

namespace {

// A number grows from block to block: a kept block of the new size serves
// it too, or the shelves would fill with sizes only growth asks for.
void *reallocate(void *old, size_t oldSize, size_t size)
{
    if (FreeBlock **top = shelfFor(size); top && *top) {
        void *p = stats::TakeBlock(size);
        std::memcpy(p, old, std::min(oldSize, size));
        stats::GiveBlock(old, oldSize);
        return p;
    }
    void *p = std::realloc(old, size);
    if (!p)
        outOfMemory();
    return p;
}

const bool installed = [] {
    mp_set_memory_functions(stats::TakeBlock, reallocate, stats::GiveBlock);
    return true;
}();

} // namespace

// GMP's and MPFR's small blocks kept for reuse, per thread.
//
// An analysis makes a few thousand short-lived whole numbers, each with its
// own block of limbs. The C library keeps only seven blocks of a size per
// thread at hand; past that every block goes the long way through its bins,
// which took half of an analysis's time. Here each thread keeps up to
// kDepth blocks of each size from 8 to 512 bytes (the sizes limbs come in),
// on a list threaded through the free blocks themselves.
//
// Every block is an ordinary malloc block of the size asked for, so blocks
// allocated before these functions were installed, or on another thread,
// are freed and reused alike.
#include <gmp.h>

#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// The size malloc gave a block (the runtime has it; not every compiler ships its header).
extern "C" size_t __sanitizer_get_allocated_size(const volatile void *p);
#endif

namespace {

constexpr size_t kGrain = 8;         // a limb
constexpr size_t kSizes = 64;        // blocks of 8, 16, …, 512 bytes
constexpr unsigned kDepth = 256;     // blocks kept per size (at most 4 MiB per thread)

struct FreeBlock {
    FreeBlock *next;
};

struct Shelf {
    FreeBlock *top;
    unsigned count;
};

// Zero-initialised and trivially destructible: usable until the thread's
// last moment, even by objects destroyed after the cache was given back.
struct Cache {
    Shelf shelves[kSizes];
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
#if defined(__SANITIZE_ADDRESS__)
    ASAN_POISON_MEMORY_REGION(b + 1, size - sizeof(FreeBlock));
#else
    (void)b, (void)size;
#endif
}

void unshelved(FreeBlock *b, size_t size)
{
#if defined(__SANITIZE_ADDRESS__)
    ASAN_UNPOISON_MEMORY_REGION(b, size);
    if (__sanitizer_get_allocated_size(b) != size) {
        std::fprintf(stderr, "GNU MP: a kept block of %zu bytes handed out for %zu\n",
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
        Shelf &s = cache.shelves[i];
        while (s.top) {
            FreeBlock *b = s.top;
            unshelved(b, (i + 1) * kGrain);
            s.top = b->next;
            std::free(b);
        }
        s.count = 0;
    }
}

// Returns the thread's kept blocks to the C library when the thread ends.
struct Closer {
    ~Closer() { giveBack(); }
};

[[noreturn]] void outOfMemory()
{
    std::fputs("GNU MP: Cannot allocate memory\n", stderr);
    std::abort();
}

// The shelf for blocks of exactly `size` bytes; null for other sizes.
Shelf *shelfFor(size_t size)
{
    if (size == 0 || size % kGrain != 0 || size > kSizes * kGrain || cache.closed)
        return nullptr;
    return &cache.shelves[size / kGrain - 1];
}

void *allocate(size_t size)
{
    if (Shelf *s = shelfFor(size); s && s->top) {
        FreeBlock *b = s->top;
        unshelved(b, size);
        s->top = b->next;
        --s->count;
        return b;
    }
    void *p = std::malloc(size);
    if (!p)
        outOfMemory();
    return p;
}

void *reallocate(void *old, size_t, size_t size)
{
    void *p = std::realloc(old, size);
    if (!p)
        outOfMemory();
    return p;
}

void release(void *p, size_t size)
{
    Shelf *s = shelfFor(size);
    if (!s || s->count >= kDepth) {
        std::free(p);
        return;
    }
    if (!cache.opened) {
        cache.opened = true;
        thread_local Closer closer; // constructed here, once per thread
        (void)closer;
    }
    FreeBlock *b = static_cast<FreeBlock *>(p);
    b->next = s->top;
    s->top = b;
    ++s->count;
    shelved(b, size);
}

const bool installed = [] {
    mp_set_memory_functions(allocate, reallocate, release);
    return true;
}();

} // namespace

// The plug-in object when memory runs out while it is being made: the entry point's factory
// answers null and nothing stays allocated, whichever allocation fails.
#include "plugin/AVorpane.h"
#include "vstgui/platform/Platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Allocations still allowed before the next one fails; negative: none fails.
std::atomic<long> allocationsLeft{-1};
// Blocks handed out and not yet returned.
std::atomic<long> liveBlocks{0};

void* allocate(size_t size, size_t alignment) {
    const long left = allocationsLeft.load();
    if (left == 0) throw std::bad_alloc();
    if (left > 0) allocationsLeft.store(left - 1);
    if (size == 0) size = 1;
    void* block =
        alignment > alignof(std::max_align_t)
            ? std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment)
            : std::malloc(size);
    if (!block) throw std::bad_alloc();
    ++liveBlocks;
    return block;
}

void release(void* block) noexcept {
    if (!block) return;
    --liveBlocks;
    std::free(block);
}

} // namespace

void* operator new(size_t size) {
    return allocate(size, 0);
}
void* operator new[](size_t size) {
    return allocate(size, 0);
}
void* operator new(size_t size, std::align_val_t alignment) {
    return allocate(size, static_cast<size_t>(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment) {
    return allocate(size, static_cast<size_t>(alignment));
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, size_t) noexcept {
    release(p);
}
void operator delete[](void* p, size_t) noexcept {
    release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    release(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
    release(p);
}
void operator delete[](void* p, size_t, std::align_val_t) noexcept {
    release(p);
}

TEST(Construction, AnyFailedAllocationGivesNoEffectAndLeavesNothingAllocated) {
    // The windowing platform is made once per process on first use and shared by every
    // instance; it is not part of what one construction allocates.
    VSTGUI::platform::platform();
    long failing = 0;
    for (;; ++failing) {
        ASSERT_LT(failing, 1000) << "construction never succeeded";
        const long before = liveBlocks.load();
        allocationsLeft.store(failing);
        AudioEffect* effect = createEffectInstance(nullptr);
        allocationsLeft.store(-1);
        if (effect) {
            delete effect;
            EXPECT_EQ(liveBlocks.load(), before);
            break;
        }
        EXPECT_EQ(liveBlocks.load(), before) << "after failing allocation " << failing;
    }
    EXPECT_GT(failing, 0); // at least the object itself is allocated
}

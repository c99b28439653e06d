// A host that automates both parameters from its audio thread: every call a host thread may make
// (rendering, setting and reading the parameters, their texts) allocates nothing, from the first
// call on a thread, whether the thread existed before the library was loaded or not. The counter
// sees every allocation of the process: malloc and its relatives as well as operator new.
#include "tests/support/TestHost.h"
#include "tests/threads/AllocationCount.h"
#include "tools/plugin-loader/PluginLibrary.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VORPANE_SANITIZER_ALLOCATOR 1
// The sanitizer runtimes' allocator hooks (declared here: GCC ships no header for them).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
#endif

namespace allocationcount {
// Only the threads under test count, and only while they are inside the plug-in's calls.
thread_local bool countHere = false;
std::atomic<size_t> counted{0};
} // namespace allocationcount

namespace {

using allocationcount::counted;
using allocationcount::countHere;

void noteAllocation() {
    if (countHere) counted.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

#ifdef VORPANE_SANITIZER_ALLOCATOR
// The sanitizer owns malloc and operator new; its allocator reports each allocation here.
namespace {
void onMalloc(const volatile void*, size_t) {
    noteAllocation();
}
void onFree(const volatile void*) {}
const bool hooked = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
} // namespace
#else
// glibc's allocator, counted: the library's calls into malloc reach these definitions.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);

void* malloc(size_t size) {
    noteAllocation();
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
    noteAllocation();
    return __libc_calloc(count, size);
}
void* realloc(void* p, size_t size) {
    noteAllocation();
    return __libc_realloc(p, size);
}
void* memalign(size_t alignment, size_t size) {
    noteAllocation();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
    return memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) {
    void* p = memalign(alignment, size);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}
void free(void* p) {
    __libc_free(p);
}
}
namespace {
const bool hooked = true;
} // namespace

void* operator new(size_t size) {
    noteAllocation();
    if (void* p = __libc_malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    __libc_free(p);
}
void operator delete[](void* p) noexcept {
    __libc_free(p);
}
void operator delete(void* p, size_t) noexcept {
    __libc_free(p);
}
void operator delete[](void* p, size_t) noexcept {
    __libc_free(p);
}
#endif

namespace {

constexpr int32_t kBlock = 512;
constexpr int kBlocks = 8 * 44100 / kBlock; // 8 s

// What one audio thread does: every block, both parameters set and read back, their texts
// read, and the block rendered. Answers the allocations counted on this thread.
size_t automateAndRender(AEffect* effect) {
    std::vector<float> buffers(4 * kBlock, 0.25f);
    float* inputs[] = {buffers.data(), buffers.data() + kBlock};
    float* outputs[] = {buffers.data() + 2 * kBlock, buffers.data() + 3 * kBlock};
    char text[256] = {};
    const size_t before = counted.load();
    countHere = true;
    for (int block = 0; block < kBlocks; ++block) {
        const float value = static_cast<float>(block % 97) / 96.0f;
        for (int32_t index = 0; index < 2; ++index) {
            effect->setParameter(effect, index, index == 0 ? value : 1.0f - value);
            (void)effect->getParameter(effect, index);
            for (int32_t opcode : {effGetParamDisplay, effGetParamLabel, effGetParamName})
                effect->dispatcher(effect, opcode, index, 0, text, 0.0f);
        }
        effect->processReplacing(effect, inputs, outputs, kBlock);
    }
    countHere = false;
    return counted.load() - before;
}

} // namespace

TEST(AudioThread, AutomationWhileRenderingAllocatesNothing) {
    ASSERT_TRUE(hooked) << "the allocation counter could not be installed";
    // A host's audio thread that is older than the plug-in: it waits until the library is in.
    std::atomic<AEffect*> early{nullptr};
    std::atomic<bool> quit{false};
    size_t earlyCount = 0;
    std::thread before([&] {
        AEffect* effect = nullptr;
        while (!(effect = early.load()) && !quit.load())
            std::this_thread::yield();
        if (effect) earlyCount = automateAndRender(effect);
    });

    auto entry = testhost::lookUp("VSTPluginMain");
    ASSERT_NE(entry, nullptr);
    AEffect* first = entry(&loader::silentHostCallback);
    AEffect* second = entry(&loader::silentHostCallback);
    if (!first || !second) quit = true;
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    for (AEffect* effect : {first, second}) {
        effect->dispatcher(effect, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    }

    // The self-check: the counter sees an allocation made on a counting thread.
    size_t probe = 0;
    std::thread([&] {
        const size_t start = counted.load();
        countHere = true;
        void* volatile p = std::malloc(64);
        std::free(p);
        countHere = false;
        probe = counted.load() - start;
    }).join();
    EXPECT_EQ(probe, 1u) << "the allocation counter does not see malloc";

    size_t lateCount = 0;
    std::thread after([&] { lateCount = automateAndRender(second); });
    early = first;
    before.join();
    after.join();
    EXPECT_EQ(earlyCount, 0u) << "allocations on the thread made before the library was loaded";
    EXPECT_EQ(lateCount, 0u) << "allocations on the thread made after the library was loaded";

    for (AEffect* effect : {first, second})
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

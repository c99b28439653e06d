// The LV2 plug-in's audio side while a SOFA file loads on the worker thread: run() and the
// delivery of the worker's answers allocate nothing and take no lock, from the cycle that asks
// for the file to the one that reports it.
#include "tests/lv2/Lv2WorkerHost.h"
#include "tests/threads/AllocationCount.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <dlfcn.h>
#include <filesystem>
#include <pthread.h>

namespace {

thread_local bool lockCountHere = false;
std::atomic<size_t> locksCounted{0};

} // namespace

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define VORPANE_COUNTS_LOCKS 1
// Every mutex the process locks passes here (the executable exports this definition, so the
// plug-in's calls reach it); the sanitizer runtimes keep theirs.
namespace {
using MutexLock = int (*)(pthread_mutex_t*);
const MutexLock realLock = reinterpret_cast<MutexLock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
} // namespace
extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex) {
    if (lockCountHere) locksCounted.fetch_add(1, std::memory_order_relaxed);
    return realLock(mutex);
}
#endif

TEST(AudioThread, Lv2RunAllocatesAndLocksNothingWhileASetLoads) {
    const char* kemar = "/usr/share/libmysofa/MIT_KEMAR_normal_pinna.sofa";
    ASSERT_TRUE(std::filesystem::exists(kemar)) << kemar << " is missing: install libmysofa1";
    lv2test::Lv2WorkerHost host;
    ASSERT_TRUE(host.loaded());
    host.run(nullptr, nullptr, nullptr, nullptr, 1024);
#ifdef VORPANE_COUNTS_LOCKS
    // The self-check: the counter sees a lock taken on a counting thread.
    pthread_mutex_t probe = PTHREAD_MUTEX_INITIALIZER;
    lockCountHere = true;
    pthread_mutex_lock(&probe);
    lockCountHere = false;
    pthread_mutex_unlock(&probe);
    EXPECT_EQ(locksCounted.load(), 1u) << "the lock counter does not see pthread_mutex_lock";
    locksCounted = 0;
#endif

    host.onAudioSide = [](bool entering) {
        allocationcount::countHere = entering;
        lockCountHere = entering;
    };
    const size_t before = allocationcount::counted.load();
    host.setHrtfFile(kemar);
    size_t cyclesWhileLoading = 0;
    const size_t reports = host.reports().size();
    while (host.reports().size() == reports) {
        host.run(nullptr, nullptr, nullptr, nullptr, 256);
        if (host.workPending()) ++cyclesWhileLoading;
    }
    host.onAudioSide = nullptr;
    EXPECT_EQ(host.reports().back(), kemar);
    EXPECT_GT(cyclesWhileLoading, 10u);
    EXPECT_EQ(allocationcount::counted.load() - before, 0u) << "allocations in run()";
    EXPECT_EQ(locksCounted.load(), 0u) << "locks in run()";
}

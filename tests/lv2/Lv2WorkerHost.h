// An LV2 host for tests, on lilv, with a worker thread of its own: loads the bundle from the
// build folder, maps URIDs, offers work:schedule and log:log, sends patch:Set and patch:Get on the
// control port, reads the notify port, and saves and restores state as lilv does for Ardour and
// jalv. Worker responses are delivered after each run(), then end_run(), as those hosts do. On
// the audio side (run()) the host itself neither allocates nor locks.
#pragma once

#include "tests/support/StereoSignal.h"

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/log/log.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <semaphore.h>
#include <string>
#include <thread>
#include <vector>

namespace lv2test {

// Messages between the audio side and the worker, without allocating or locking.
class MessageRing {
  public:
    static constexpr size_t kSlots = 64;
    static constexpr size_t kSlotBytes = 8192;
    bool push(uint32_t size, const void* data);
    // Copies the oldest message into `out` (kSlotBytes) and answers its size, or -1.
    long pop(void* out);

  private:
    std::array<std::array<unsigned char, kSlotBytes>, kSlots> slots{};
    std::array<uint32_t, kSlots> sizes{};
    std::atomic<size_t> head{0}, tail{0};
};

using testsignal::Stereo;

class Lv2WorkerHost {
  public:
    // features: whether to offer the worker and the log at all.
    explicit Lv2WorkerHost(double rate = 44100.0, bool offerWorker = true);
    ~Lv2WorkerHost();
    Lv2WorkerHost(const Lv2WorkerHost&) = delete;
    Lv2WorkerHost& operator=(const Lv2WorkerHost&) = delete;

    bool loaded() const { return instance != nullptr; }
    void setDirection(float azimuthDegrees, float elevationDegrees);
    // Queued for the next run().
    void setHrtfFile(const std::string& path);
    void askForHrtfFile();

    // One run() of `frames` (at most 4096) frames: inputs null for silence; outputs may be null.
    void run(const float* left, const float* right, float* outLeft, float* outRight,
             uint32_t frames);
    // Runs silent cycles of 1024 frames until the plug-in reports a file (the count of reports
    // grows), for at most 60 s. Answers whether it did.
    bool runUntilReported();
    // Renders a whole signal in host blocks of 512 frames after restarting the output.
    Stereo render(const Stereo& input);
    void restart();

    // Every path the notify port reported, in order; every line the plug-in logged.
    std::vector<std::string> reports() const;
    std::vector<std::string> logLines() const;
    bool workPending() const { return pendingWork.load() != 0; }

    // Saves the state into `dir` (a state bundle, links to external files in dir/links).
    void saveState(const std::string& dir);
    // Restores the state saved in `dir`; with `throughWorker`, restore() gets work:schedule.
    void restoreState(const std::string& dir, bool throughWorker);

    // For tests that count what the audio side does: run() calls this first and last.
    void (*onAudioSide)(bool entering) = nullptr;

  private:
    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri);
    static const char* unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid);
    static LV2_Worker_Status schedule(LV2_Worker_Schedule_Handle handle, uint32_t size,
                                      const void* data);
    static LV2_Worker_Status respond(LV2_Worker_Respond_Handle handle, uint32_t size,
                                     const void* data);
    static int logPrintf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...);
    static int logVprintf(LV2_Log_Handle handle, LV2_URID type, const char* format, va_list args);
    void workerLoop();
    void connect(const char* symbol, void* data);
    void readNotify();
    LV2_URID id(const char* uri) { return mapUri(this, uri); }

    mutable std::mutex mapLock;
    std::map<std::string, LV2_URID> urids;
    std::vector<std::string> uris;
    LV2_URID_Map map{this, mapUri};
    LV2_URID_Unmap unmap{this, unmapUri};
    LV2_Worker_Schedule scheduleFeature{this, schedule};
    LV2_Log_Log log{this, logPrintf, logVprintf};
    LV2_Feature mapFeature, unmapFeature, scheduleFeatureEntry, logFeature;
    std::vector<const LV2_Feature*> features;

    LilvWorld* world = nullptr;
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;
    const LV2_Worker_Interface* worker = nullptr;

    float azimuth = 0.25f, elevation = 90.25f, latency = 0.0f;
    alignas(8) std::array<unsigned char, 16384> controlBuffer{};
    alignas(8) std::array<unsigned char, 16384> notifyBuffer{};
    std::vector<unsigned char> pendingControl; // the atoms of the next run's control sequence
    std::vector<float> silence;
    std::vector<float> discard; // outputs nobody reads

    MessageRing requests, responses;
    std::array<unsigned char, MessageRing::kSlotBytes> responseScratch{};
    std::array<unsigned char, MessageRing::kSlotBytes> requestScratch{};
    std::atomic<int> pendingWork{0};
    sem_t wake;
    std::atomic<bool> quit{false};
    std::thread workerThread;

    mutable std::mutex recordLock;
    std::vector<std::string> reported, logged;
};

} // namespace lv2test

// The LV2 plug-in's "HRTF file" parameter: a SOFA file the host chooses (patch:Set of an atom:Path
// on the control port), loaded on the host's worker thread with the same code that makes the
// built-in table (the file itself read by the bundle's SOFA reader process), and reported on the
// notify port (patch:Set after every load and in answer to patch:Get). An empty path means the
// built-in table. A file that cannot be used is refused with one line in the host's log; the table
// in use stays. The session keeps the path (state).
//
// Threads: run(), workResponse() and endRun() on the audio thread, which never allocates, locks
// or reads a file; work() on the worker thread, which makes tables and frees the ones replaced;
// save() on any thread, concurrently with the audio thread; restore() alone, or, where the host
// gives it a worker, concurrently with the audio thread.
#pragma once

#include "engine/BlockConvolver.h"
#include "lv2/LoadedHrtf.h"
#include "lv2/SofaReaderProcess.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/log/logger.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace vorpane::lv2 {

class HrtfFileParameter {
  public:
    // Paths up to this many bytes are loaded; longer ones are refused.
    static constexpr size_t kLongestPath = 4096;

    // The SOFA reader is the bundle's (SofaReaderProcess::kProgramName in bundlePath).
    HrtfFileParameter(BlockConvolver& engine, const LV2_Feature* const* features,
                      const std::string& bundlePath);
    ~HrtfFileParameter();
    HrtfFileParameter(const HrtfFileParameter&) = delete;
    HrtfFileParameter& operator=(const HrtfFileParameter&) = delete;

    void connectControl(const void* port) { control = static_cast<const LV2_Atom_Sequence*>(port); }
    void connectNotify(void* port) { notify = static_cast<LV2_Atom_Sequence*>(port); }

    // The start of each run(): opens the notify sequence, schedules the loads the control port
    // asks for and answers its patch:Get.
    void run();
    LV2_Worker_Status work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle,
                           uint32_t size, const void* data);
    LV2_Worker_Status workResponse(uint32_t size, const void* body);
    void endRun() { notifyOpen = false; }

    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle,
                          const LV2_Feature* const* features);
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                             const LV2_Feature* const* features);

  private:
    enum class Job : uint32_t { load, restore, release };
    struct JobHeader {
        Job job;
        uint32_t pathBytes; // the path's bytes follow the header
        uint32_t tooLong;   // the path was longer than kLongestPath; its start follows
        LoadedHrtf* table;  // for release
    };
    struct Outcome {
        LoadedHrtf* table; // null: the built-in table
        uint32_t accepted; // 0: refused, the table in use stays
    };

    void handleMessage(const LV2_Atom_Object* message);
    void scheduleLoad(const char* path, size_t bytes);
    void release(LoadedHrtf* table);
    void report();
    Outcome prepare(Job job, const std::string& path, bool tooLong);
    void logLine(const std::string& text);
    std::string inUse() const;

    BlockConvolver& engine;
    double rate; // the engine's, for the tables made from loaded sets
    const SofaReaderProcess reader;
    LV2_URID_Map* map = nullptr;
    LV2_Worker_Schedule* schedule = nullptr;
    LV2_Log_Logger logger{};
    LV2_Atom_Forge forge{};
    struct {
        LV2_URID atomPath, atomString, atomUrid, patchGet, patchSet, patchProperty, patchValue,
            hrtfFile;
    } uris{};

    const LV2_Atom_Sequence* control = nullptr;
    LV2_Atom_Sequence* notify = nullptr;
    LV2_Atom_Forge_Frame notifyFrame{};
    bool notifyOpen = false; // from run() to endRun(): reports go into this cycle's sequence
    bool reportDue = true;   // the host has not yet been told the file in use

    // The table in use: null for the built-in one. Changed on the audio thread (or by a restore
    // that runs alone); tables are freed on the worker thread, under tableLock, which save() takes
    // to read the path. The audio thread never takes it.
    std::atomic<LoadedHrtf*> current{nullptr};
    std::mutex tableLock;
    // Tables whose release could not be scheduled yet: retried at the next run().
    std::array<LoadedHrtf*, 8> releaseDue{};

    alignas(
        alignof(JobHeader)) std::array<unsigned char, sizeof(JobHeader) + kLongestPath> message{};
};

} // namespace vorpane::lv2

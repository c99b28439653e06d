#include "lv2/HrtfFileParameter.h"

#include "engine/EarTableCache.h"
#include "engine/HrirTable.h"
#include "lv2/HrtfLoader.h"
#include "lv2/Lv2Ports.h"

#include <lv2/atom/util.h>
#include <lv2/patch/patch.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>

namespace vorpane::lv2 {

namespace {

const void* feature(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* f = features; f && *f; ++f)
        if (std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    return nullptr;
}

// The room a report of a path this long takes in the notify sequence: the event's header, the
// object's, two keys with their values, the path and its padding.
size_t reportBytes(size_t pathBytes) {
    return 128 + pathBytes;
}

} // namespace

HrtfFileParameter::HrtfFileParameter(BlockConvolver& engine, const LV2_Feature* const* features,
                                     const std::string& bundlePath)
    : engine(engine), rate(engine.earTable().rate()),
      reader((std::filesystem::path(bundlePath) / SofaReaderProcess::kProgramName).string()) {
    map = static_cast<LV2_URID_Map*>(const_cast<void*>(feature(features, LV2_URID__map)));
    schedule = static_cast<LV2_Worker_Schedule*>(
        const_cast<void*>(feature(features, LV2_WORKER__schedule)));
    lv2_log_logger_init(
        &logger, map,
        static_cast<LV2_Log_Log*>(const_cast<void*>(feature(features, LV2_LOG__log))));
    if (!map) return;
    lv2_atom_forge_init(&forge, map);
    auto id = [&](const char* uri) { return map->map(map->handle, uri); };
    uris.atomPath = id(LV2_ATOM__Path);
    uris.atomString = id(LV2_ATOM__String);
    uris.atomUrid = id(LV2_ATOM__URID);
    uris.patchGet = id(LV2_PATCH__Get);
    uris.patchSet = id(LV2_PATCH__Set);
    uris.patchProperty = id(LV2_PATCH__property);
    uris.patchValue = id(LV2_PATCH__value);
    uris.hrtfFile = id(kHrtfFileUri);
}

HrtfFileParameter::~HrtfFileParameter() {
    delete current.load();
    for (LoadedHrtf* table : releaseDue)
        delete table;
}

void HrtfFileParameter::run() {
    notifyOpen = false;
    if (!map) return;
    for (LoadedHrtf*& table : releaseDue)
        if (table) {
            LoadedHrtf* again = table;
            table = nullptr;
            release(again);
        }
    if (notify) {
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(notify), notify->atom.size);
        notifyOpen = lv2_atom_forge_sequence_head(&forge, &notifyFrame, 0) != 0;
    }
    if (control) {
        LV2_ATOM_SEQUENCE_FOREACH(control, event) {
            if (lv2_atom_forge_is_object_type(&forge, event->body.type))
                handleMessage(reinterpret_cast<const LV2_Atom_Object*>(&event->body));
        }
    }
    if (reportDue) report();
}

void HrtfFileParameter::handleMessage(const LV2_Atom_Object* message) {
    const LV2_Atom* property = nullptr;
    const LV2_Atom* value = nullptr;
    lv2_atom_object_get(message, uris.patchProperty, &property, uris.patchValue, &value, 0);
    const bool ours = property && property->type == uris.atomUrid &&
                      reinterpret_cast<const LV2_Atom_URID*>(property)->body == uris.hrtfFile;
    if (message->body.otype == uris.patchGet) {
        if (!property || ours) reportDue = true;
    } else if (message->body.otype == uris.patchSet && ours && value &&
               (value->type == uris.atomPath || value->type == uris.atomString)) {
        const char* path = static_cast<const char*>(LV2_ATOM_BODY_CONST(value));
        scheduleLoad(path, strnlen(path, value->size));
    }
}

void HrtfFileParameter::scheduleLoad(const char* path, size_t bytes) {
    // A load that cannot be scheduled changes nothing: the host is told the file in use.
    reportDue = true;
    if (!schedule) return;
    const bool tooLong = bytes > kLongestPath;
    const JobHeader header{Job::load, static_cast<uint32_t>(tooLong ? 200 : bytes), tooLong,
                           nullptr};
    std::memcpy(message.data(), &header, sizeof header);
    std::memcpy(message.data() + sizeof header, path, header.pathBytes);
    if (schedule->schedule_work(schedule->handle,
                                static_cast<uint32_t>(sizeof header + header.pathBytes),
                                message.data()) == LV2_WORKER_SUCCESS)
        reportDue = false; // the load's outcome is reported
}

void HrtfFileParameter::release(LoadedHrtf* table) {
    if (!table) return;
    const JobHeader header{Job::release, 0, 0, table};
    if (schedule &&
        schedule->schedule_work(schedule->handle, sizeof header, &header) == LV2_WORKER_SUCCESS)
        return;
    for (LoadedHrtf*& slot : releaseDue)
        if (!slot) {
            slot = table;
            return;
        }
    // Every slot taken: the table stays allocated rather than be freed on the audio thread.
}

void HrtfFileParameter::report() {
    if (!notifyOpen) return;
    const LoadedHrtf* table = current.load();
    const char* path = table ? table->path.c_str() : "";
    const size_t bytes = std::strlen(path);
    if (forge.size - forge.offset < reportBytes(bytes)) return; // told next cycle
    LV2_Atom_Forge_Frame object;
    lv2_atom_forge_frame_time(&forge, 0);
    lv2_atom_forge_object(&forge, &object, 0, uris.patchSet);
    lv2_atom_forge_key(&forge, uris.patchProperty);
    lv2_atom_forge_urid(&forge, uris.hrtfFile);
    lv2_atom_forge_key(&forge, uris.patchValue);
    lv2_atom_forge_path(&forge, path, static_cast<uint32_t>(bytes));
    lv2_atom_forge_pop(&forge, &object);
    reportDue = false;
}

LV2_Worker_Status HrtfFileParameter::work(LV2_Worker_Respond_Function respond,
                                          LV2_Worker_Respond_Handle handle, uint32_t size,
                                          const void* data) {
    JobHeader header;
    if (!data || size < sizeof header) return LV2_WORKER_ERR_UNKNOWN;
    std::memcpy(&header, data, sizeof header);
    if (header.job == Job::release) {
        const std::lock_guard<std::mutex> lock(tableLock);
        delete header.table;
        return LV2_WORKER_SUCCESS;
    }
    if (header.pathBytes > size - sizeof header) return LV2_WORKER_ERR_UNKNOWN;
    const std::string path(static_cast<const char*>(data) + sizeof header, header.pathBytes);
    const Outcome outcome = prepare(header.job, path, header.tooLong != 0);
    if (respond(handle, sizeof outcome, &outcome) != LV2_WORKER_SUCCESS) {
        const std::lock_guard<std::mutex> lock(tableLock);
        delete outcome.table;
        return LV2_WORKER_ERR_NO_SPACE;
    }
    return LV2_WORKER_SUCCESS;
}

LV2_Worker_Status HrtfFileParameter::workResponse(uint32_t size, const void* body) {
    Outcome outcome;
    if (!body || size != sizeof outcome) return LV2_WORKER_ERR_UNKNOWN;
    std::memcpy(&outcome, body, sizeof outcome);
    if (outcome.accepted) {
        // The worker offered the new ear table; the engine takes it up before its next block.
        // The one it gives up is let go on the worker at the next offer.
        engine.takeUpOfferedTable();
        release(current.exchange(outcome.table));
    }
    reportDue = true;
    report();
    return LV2_WORKER_SUCCESS;
}

HrtfFileParameter::Outcome HrtfFileParameter::prepare(Job job, const std::string& path,
                                                      bool tooLong) {
    if (tooLong) {
        logLine("Vorpane: HRTF file refused: " + path + "...: the path is longer than " +
                std::to_string(kLongestPath) + " bytes (keeping " + inUse() + ")");
        return {nullptr, 0};
    }
    HrtfLoad load;
    if (!path.empty()) {
        load = loadHrtf(path, reader);
        if (!load.table) {
            if (job != Job::restore || !load.missing) {
                logLine("Vorpane: HRTF file refused: " + load.refusal + " (keeping " + inUse() +
                        ")");
                return {nullptr, 0};
            }
            logLine("Vorpane: the session's HRTF file " + path +
                    " is missing; using the built-in table");
        }
    }
    // The ear table at the engine's rate, resampled as the built-in one is, offered to the
    // engine from here: making it and letting go of the one given up before happen on this
    // thread.
    try {
        engine.offerTable(load.table
                              ? EarTableCache::process().tableFor(
                                    HrirTable(load.table->bytes->data()), rate, load.table->bytes)
                              : builtInEarTable(rate));
    } catch (const std::bad_alloc&) {
        logLine("Vorpane: HRTF file refused: " + path +
                ": not enough memory for its table (keeping " + inUse() + ")");
        return {nullptr, 0};
    }
    return {load.table.release(), 1};
}

std::string HrtfFileParameter::inUse() const {
    // On the worker thread, the only one that frees tables, or in a restore that runs alone.
    const LoadedHrtf* table = current.load();
    return table ? table->path : "the built-in table";
}

void HrtfFileParameter::logLine(const std::string& text) {
    std::string line = text;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    lv2_log_error(&logger, "%s\n", line.c_str());
}

LV2_State_Status HrtfFileParameter::save(LV2_State_Store_Function store, LV2_State_Handle handle,
                                         const LV2_Feature* const* features) {
    const std::lock_guard<std::mutex> lock(tableLock);
    const LoadedHrtf* table = current.load();
    if (!table || !map) return LV2_STATE_SUCCESS; // the built-in table: nothing to keep
    const auto* mapPath =
        static_cast<const LV2_State_Map_Path*>(feature(features, LV2_STATE__mapPath));
    const auto* freePath =
        static_cast<const LV2_State_Free_Path*>(feature(features, LV2_STATE__freePath));
    char* abstract =
        mapPath ? mapPath->abstract_path(mapPath->handle, table->path.c_str()) : nullptr;
    const char* kept = abstract ? abstract : table->path.c_str();
    const LV2_State_Status status = store(handle, uris.hrtfFile, kept, std::strlen(kept) + 1,
                                          uris.atomPath, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
    if (abstract) {
        if (freePath)
            freePath->free_path(freePath->handle, abstract);
        else
            std::free(abstract);
    }
    return status;
}

LV2_State_Status HrtfFileParameter::restore(LV2_State_Retrieve_Function retrieve,
                                            LV2_State_Handle handle,
                                            const LV2_Feature* const* features) {
    if (!map) return LV2_STATE_ERR_NO_FEATURE;
    size_t size = 0;
    uint32_t type = 0, flags = 0;
    const void* value = retrieve(handle, uris.hrtfFile, &size, &type, &flags);
    std::string path; // none kept: the built-in table
    if (value && type == uris.atomPath && size > 0) {
        const std::string abstract(static_cast<const char*>(value),
                                   strnlen(static_cast<const char*>(value), size));
        const auto* mapPath =
            static_cast<const LV2_State_Map_Path*>(feature(features, LV2_STATE__mapPath));
        const auto* freePath =
            static_cast<const LV2_State_Free_Path*>(feature(features, LV2_STATE__freePath));
        char* absolute = mapPath && !abstract.empty()
                             ? mapPath->absolute_path(mapPath->handle, abstract.c_str())
                             : nullptr;
        path = absolute ? absolute : abstract;
        if (absolute) {
            if (freePath)
                freePath->free_path(freePath->handle, absolute);
            else
                std::free(absolute);
        }
    }
    // Where the host gives restore a worker, restore may run beside the audio thread: the load
    // goes to the worker and comes into use as any other does.
    const auto* restoreSchedule =
        static_cast<const LV2_Worker_Schedule*>(feature(features, LV2_WORKER__schedule));
    if (restoreSchedule) {
        const bool tooLong = path.size() > kLongestPath;
        const JobHeader header{Job::restore, static_cast<uint32_t>(tooLong ? 200 : path.size()),
                               tooLong, nullptr};
        std::string job(reinterpret_cast<const char*>(&header), sizeof header);
        job.append(path, 0, header.pathBytes);
        return restoreSchedule->schedule_work(restoreSchedule->handle,
                                              static_cast<uint32_t>(job.size()),
                                              job.data()) == LV2_WORKER_SUCCESS
                   ? LV2_STATE_SUCCESS
                   : LV2_STATE_ERR_UNKNOWN;
    }
    // Otherwise nothing else runs on this instance: load, and free the table replaced, here.
    const Outcome outcome = prepare(Job::restore, path, path.size() > kLongestPath);
    if (outcome.accepted) {
        engine.takeUpOfferedTable();
        LoadedHrtf* old = current.exchange(outcome.table);
        const std::lock_guard<std::mutex> lock(tableLock);
        delete old;
    }
    reportDue = true;
    return LV2_STATE_SUCCESS;
}

} // namespace vorpane::lv2

#include "tests/lv2/Lv2WorkerHost.h"

#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/patch/patch.h>
#include <lv2/state/state.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace lv2test {

namespace {

const char* const kUri = "https://vorpane.farrowdale.audio/lv2/vorpane";
const char* const kHrtfFile = "https://vorpane.farrowdale.audio/lv2/vorpane#hrtfFile";

const void* portValue(const char*, void*, uint32_t*, uint32_t*) {
    return nullptr; // the direction ports are the host's own
}

} // namespace

bool MessageRing::push(uint32_t size, const void* data) {
    const size_t at = head.load(std::memory_order_relaxed);
    if (size > kSlotBytes || at - tail.load(std::memory_order_acquire) == kSlots) return false;
    std::memcpy(slots[at % kSlots].data(), data, size);
    sizes[at % kSlots] = size;
    head.store(at + 1, std::memory_order_release);
    return true;
}

long MessageRing::pop(void* out) {
    const size_t at = tail.load(std::memory_order_relaxed);
    if (at == head.load(std::memory_order_acquire)) return -1;
    const uint32_t size = sizes[at % kSlots];
    std::memcpy(out, slots[at % kSlots].data(), size);
    tail.store(at + 1, std::memory_order_release);
    return size;
}

Lv2WorkerHost::Lv2WorkerHost(double rate, bool offerWorker)
    : silence(4096, 0.0f), discard(2 * 4096, 0.0f) {
    sem_init(&wake, 0, 0);
    mapFeature = {LV2_URID__map, &map};
    unmapFeature = {LV2_URID__unmap, &unmap};
    scheduleFeatureEntry = {LV2_WORKER__schedule, &scheduleFeature};
    logFeature = {LV2_LOG__log, &log};
    features = {&mapFeature, &unmapFeature, &logFeature};
    if (offerWorker) features.push_back(&scheduleFeatureEntry);
    features.push_back(nullptr);

    world = lilv_world_new();
    LilvNode* bundle = lilv_new_file_uri(world, nullptr, VORPANE_LV2_BUNDLE "/");
    lilv_world_load_bundle(world, bundle);
    lilv_node_free(bundle);
    LilvNode* uri = lilv_new_uri(world, kUri);
    plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    lilv_node_free(uri);
    if (!plugin) return;
    instance = lilv_plugin_instantiate(plugin, rate, features.data());
    if (!instance) return;
    worker = static_cast<const LV2_Worker_Interface*>(
        lilv_instance_get_extension_data(instance, LV2_WORKER__interface));
    workerThread = std::thread([this] { workerLoop(); });
    connect("azimuth", &azimuth);
    connect("elevation", &elevation);
    connect("latency", &latency);
    connect("control", controlBuffer.data());
    connect("notify", notifyBuffer.data());
    lilv_instance_activate(instance);
}

Lv2WorkerHost::~Lv2WorkerHost() {
    if (workerThread.joinable()) {
        // Let the work under way finish, so nothing is left for a freed instance.
        while (pendingWork.load() != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        quit = true;
        sem_post(&wake);
        workerThread.join();
    }
    if (instance) {
        run(nullptr, nullptr, nullptr, nullptr, 1); // delivers what is still on its way
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
    lilv_world_free(world);
    sem_destroy(&wake);
}

LV2_URID Lv2WorkerHost::mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    auto* host = static_cast<Lv2WorkerHost*>(handle);
    const std::lock_guard<std::mutex> lock(host->mapLock);
    const auto [at, added] = host->urids.try_emplace(uri, host->uris.size() + 1);
    if (added) host->uris.emplace_back(uri);
    return at->second;
}

const char* Lv2WorkerHost::unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
    auto* host = static_cast<Lv2WorkerHost*>(handle);
    const std::lock_guard<std::mutex> lock(host->mapLock);
    return urid >= 1 && urid <= host->uris.size() ? host->uris[urid - 1].c_str() : nullptr;
}

LV2_Worker_Status Lv2WorkerHost::schedule(LV2_Worker_Schedule_Handle handle, uint32_t size,
                                          const void* data) {
    auto* host = static_cast<Lv2WorkerHost*>(handle);
    if (!host->requests.push(size, data)) return LV2_WORKER_ERR_NO_SPACE;
    host->pendingWork.fetch_add(1);
    sem_post(&host->wake);
    return LV2_WORKER_SUCCESS;
}

LV2_Worker_Status Lv2WorkerHost::respond(LV2_Worker_Respond_Handle handle, uint32_t size,
                                         const void* data) {
    auto* host = static_cast<Lv2WorkerHost*>(handle);
    return host->responses.push(size, data) ? LV2_WORKER_SUCCESS : LV2_WORKER_ERR_NO_SPACE;
}

void Lv2WorkerHost::workerLoop() {
    while (!quit.load()) {
        sem_wait(&wake);
        long size;
        while ((size = requests.pop(requestScratch.data())) >= 0) {
            if (worker)
                worker->work(lilv_instance_get_handle(instance), respond, this,
                             static_cast<uint32_t>(size), requestScratch.data());
            pendingWork.fetch_sub(1);
        }
    }
}

int Lv2WorkerHost::logPrintf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = logVprintf(handle, type, format, args);
    va_end(args);
    return n;
}

int Lv2WorkerHost::logVprintf(LV2_Log_Handle handle, LV2_URID, const char* format, va_list args) {
    auto* host = static_cast<Lv2WorkerHost*>(handle);
    char text[8192];
    const int n = std::vsnprintf(text, sizeof text, format, args);
    const std::lock_guard<std::mutex> lock(host->recordLock);
    host->logged.emplace_back(text);
    return n;
}

void Lv2WorkerHost::connect(const char* symbol, void* data) {
    LilvNode* name = lilv_new_string(world, symbol);
    const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, name);
    lilv_node_free(name);
    if (port) lilv_instance_connect_port(instance, lilv_port_get_index(plugin, port), data);
}

void Lv2WorkerHost::setDirection(float azimuthDegrees, float elevationDegrees) {
    azimuth = azimuthDegrees;
    elevation = elevationDegrees;
}

void Lv2WorkerHost::setHrtfFile(const std::string& path) {
    std::array<unsigned char, 8192> buffer{};
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map);
    lv2_atom_forge_set_buffer(&forge, buffer.data(), buffer.size());
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_object(&forge, &frame, 0, id(LV2_PATCH__Set));
    lv2_atom_forge_key(&forge, id(LV2_PATCH__property));
    lv2_atom_forge_urid(&forge, id(kHrtfFile));
    lv2_atom_forge_key(&forge, id(LV2_PATCH__value));
    lv2_atom_forge_path(&forge, path.c_str(), static_cast<uint32_t>(path.size()));
    lv2_atom_forge_pop(&forge, &frame);
    pendingControl.insert(pendingControl.end(), buffer.begin(), buffer.begin() + forge.offset);
}

void Lv2WorkerHost::askForHrtfFile() {
    std::array<unsigned char, 256> buffer{};
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map);
    lv2_atom_forge_set_buffer(&forge, buffer.data(), buffer.size());
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_object(&forge, &frame, 0, id(LV2_PATCH__Get));
    lv2_atom_forge_key(&forge, id(LV2_PATCH__property));
    lv2_atom_forge_urid(&forge, id(kHrtfFile));
    lv2_atom_forge_pop(&forge, &frame);
    pendingControl.insert(pendingControl.end(), buffer.begin(), buffer.begin() + forge.offset);
}

void Lv2WorkerHost::run(const float* left, const float* right, float* outLeft, float* outRight,
                        uint32_t frames) {
    // The control sequence: each queued object an event at frame 0.
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map);
    lv2_atom_forge_set_buffer(&forge, controlBuffer.data(), controlBuffer.size());
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    for (size_t at = 0; at < pendingControl.size();) {
        const auto* atom = reinterpret_cast<const LV2_Atom*>(pendingControl.data() + at);
        const size_t bytes = lv2_atom_pad_size(sizeof(LV2_Atom) + atom->size);
        lv2_atom_forge_frame_time(&forge, 0);
        lv2_atom_forge_write(&forge, atom, static_cast<uint32_t>(sizeof(LV2_Atom) + atom->size));
        at += bytes;
    }
    lv2_atom_forge_pop(&forge, &sequence);
    pendingControl.clear();
    auto* notify = reinterpret_cast<LV2_Atom*>(notifyBuffer.data());
    notify->size = static_cast<uint32_t>(notifyBuffer.size() - sizeof(LV2_Atom));
    notify->type = id(LV2_ATOM__Chunk);

    connect("in_left", const_cast<float*>(left ? left : silence.data()));
    connect("in_right", const_cast<float*>(right ? right : silence.data()));
    connect("out_left", outLeft ? outLeft : discard.data());
    connect("out_right", outRight ? outRight : discard.data() + 4096);

    if (onAudioSide) onAudioSide(true);
    lilv_instance_run(instance, frames);
    long size;
    while (worker && (size = responses.pop(responseScratch.data())) >= 0)
        worker->work_response(lilv_instance_get_handle(instance), static_cast<uint32_t>(size),
                              responseScratch.data());
    if (worker && worker->end_run) worker->end_run(lilv_instance_get_handle(instance));
    if (onAudioSide) onAudioSide(false);
    readNotify();
}

void Lv2WorkerHost::readNotify() {
    const auto* sequence = reinterpret_cast<const LV2_Atom_Sequence*>(notifyBuffer.data());
    if (sequence->atom.type != id(LV2_ATOM__Sequence)) return;
    const LV2_URID set = id(LV2_PATCH__Set), property = id(LV2_PATCH__property),
                   value = id(LV2_PATCH__value), file = id(kHrtfFile), path = id(LV2_ATOM__Path);
    LV2_ATOM_SEQUENCE_FOREACH(sequence, event) {
        const auto* object = reinterpret_cast<const LV2_Atom_Object*>(&event->body);
        if (object->body.otype != set) continue;
        const LV2_Atom* p = nullptr;
        const LV2_Atom* v = nullptr;
        lv2_atom_object_get(object, property, &p, value, &v, 0);
        if (!p || reinterpret_cast<const LV2_Atom_URID*>(p)->body != file || !v || v->type != path)
            continue;
        const std::lock_guard<std::mutex> lock(recordLock);
        reported.emplace_back(static_cast<const char*>(LV2_ATOM_BODY_CONST(v)));
    }
}

bool Lv2WorkerHost::runUntilReported() {
    const size_t before = reports().size();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        run(nullptr, nullptr, nullptr, nullptr, 1024);
        if (reports().size() > before) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

void Lv2WorkerHost::restart() {
    lilv_instance_deactivate(instance);
    lilv_instance_activate(instance);
}

Stereo Lv2WorkerHost::render(const Stereo& input) {
    restart();
    Stereo output = testsignal::silence(input.left.size());
    constexpr size_t kBlock = 512;
    for (size_t at = 0; at < input.left.size(); at += kBlock) {
        const auto frames = static_cast<uint32_t>(std::min(kBlock, input.left.size() - at));
        run(input.left.data() + at, input.right.data() + at, output.left.data() + at,
            output.right.data() + at, frames);
    }
    return output;
}

std::vector<std::string> Lv2WorkerHost::reports() const {
    const std::lock_guard<std::mutex> lock(recordLock);
    return reported;
}

std::vector<std::string> Lv2WorkerHost::logLines() const {
    const std::lock_guard<std::mutex> lock(recordLock);
    return logged;
}

void Lv2WorkerHost::saveState(const std::string& dir) {
    const std::string links = dir + "/links";
    std::filesystem::create_directories(links);
    LilvState* state =
        lilv_state_new_from_instance(plugin, instance, &map, nullptr, nullptr, links.c_str(),
                                     dir.c_str(), portValue, this, 0, features.data());
    lilv_state_save(world, &map, &unmap, state, nullptr, dir.c_str(), "state.ttl");
    lilv_state_free(state);
}

void Lv2WorkerHost::restoreState(const std::string& dir, bool throughWorker) {
    LilvState* state = lilv_state_new_from_file(world, &map, nullptr, (dir + "/state.ttl").c_str());
    if (!state) return;
    std::vector<const LV2_Feature*> restoreFeatures = {&mapFeature};
    if (throughWorker) restoreFeatures.push_back(&scheduleFeatureEntry);
    restoreFeatures.push_back(nullptr);
    lilv_state_restore(state, instance, nullptr, nullptr, 0, restoreFeatures.data());
    lilv_state_free(state);
}

} // namespace lv2test

#include "tests/support/TestHost.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace testhost {

TestHost* TestHost::current = nullptr;

void* libraryHandle() {
    static void* handle = [] {
        void* h = dlopen(VORPANE_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!h) {
            std::fprintf(stderr, "cannot load %s: %s\n", VORPANE_PLUGIN_PATH, dlerror());
            std::abort();
        }
        return h;
    }();
    return handle;
}

EntryPoint lookUp(const char* symbol) {
    return reinterpret_cast<EntryPoint>(dlsym(libraryHandle(), symbol));
}

TestHost::TestHost() {
    answers[audioMasterVersion] = kDefaultVersion;
    current = this;
}

TestHost::~TestHost() {
    if (effect) close();
    if (current == this) current = nullptr;
}

AEffect* TestHost::load(const char* entryName) {
    current = this;
    EntryPoint entry = lookUp(entryName);
    if (!entry) return nullptr;
    effect = entry(&TestHost::callback);
    return effect;
}

intptr_t TestHost::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    current = this;
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void TestHost::setParameter(int32_t index, float value) {
    current = this;
    effect->setParameter(effect, index, value);
}

float TestHost::getParameter(int32_t index) {
    current = this;
    return effect->getParameter(effect, index);
}

void TestHost::process(float** inputs, float** outputs, int32_t frames) {
    current = this;
    effect->processReplacing(effect, inputs, outputs, frames);
}

intptr_t TestHost::close() {
    const intptr_t result = dispatch(effClose);
    effect = nullptr;
    return result;
}

std::string TestHost::text(int32_t opcode, int32_t index, intptr_t value) {
    char buffer[256];
    std::memset(buffer, 0, sizeof(buffer));
    dispatch(opcode, index, value, buffer);
    return std::string(buffer);
}

size_t TestHost::countCalls(int32_t opcode) const {
    size_t n = 0;
    for (const HostCall& call : calls)
        if (call.opcode == opcode) ++n;
    return n;
}

intptr_t TestHost::callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                            void* ptr, float opt) {
    TestHost* host = current;
    if (!host) return 0;
    HostCall call{effect, opcode, index, value, ptr, opt, {}};
    if (opcode == audioMasterCanDo && ptr) call.text = static_cast<const char*>(ptr);
    host->calls.push_back(call);
    if (host->onCall) host->onCall(call);
    auto answer = host->answers.find(opcode);
    return answer == host->answers.end() ? 0 : answer->second;
}

} // namespace testhost

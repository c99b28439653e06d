// A host for tests: loads the built plug-in with dlopen, calls its entry point with a recording
// host callback and drives the effect record the way a host does.
#pragma once

#include "plugin/VstInterface.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace testhost {

struct HostCall {
    AEffect* effect;
    int32_t opcode;
    int32_t index;
    intptr_t value;
    void* ptr;
    float opt;
    std::string text; // ptr read as text for audioMasterCanDo
};

using EntryPoint = AEffect* (*)(audioMasterCallback);

// The loaded library; loaded once per process, as a host keeps it while it uses it.
void* libraryHandle();
EntryPoint lookUp(const char* symbol);

class TestHost {
  public:
    TestHost();
    ~TestHost();

    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // Calls the entry point (VSTPluginMain unless another name is given) with this host.
    AEffect* load(const char* entryName = "VSTPluginMain");

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f);
    void setParameter(int32_t index, float value);
    float getParameter(int32_t index);
    void process(float** inputs, float** outputs, int32_t frames);

    // effClose; the record is gone afterwards.
    intptr_t close();

    // Text answers of the text opcodes, read from a zeroed buffer.
    std::string text(int32_t opcode, int32_t index = 0, intptr_t value = 0);

    size_t countCalls(int32_t opcode) const;

    AEffect* effect = nullptr;
    std::vector<HostCall> calls;
    std::map<int32_t, intptr_t> answers; // host answers by opcode; 0 when absent
    // Called after each call of the plug-in has been recorded (a host doing work of its own).
    std::function<void(const HostCall&)> onCall;
    static constexpr intptr_t kDefaultVersion = 2400;

  private:
    static intptr_t callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                             void* ptr, float opt);
    static TestHost* current;
};

} // namespace testhost

// The command line of vorpane-host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct ParameterSetting {
    int32_t index = 0;
    float value = 0.0f;
};

struct HostOptions {
    std::string plugin;     // empty: the Vorpane.so of the build the tool belongs to
    std::string screenshot; // empty: stay open until the window is closed
    std::vector<ParameterSetting> settings; // in the order given
    bool verbose = false;
    bool help = false;
};

// Parses the arguments; on failure answers false with a message in error.
bool parseOptions(int argc, const char* const* argv, HostOptions& options, std::string& error);

const char* usageText();

} // namespace host

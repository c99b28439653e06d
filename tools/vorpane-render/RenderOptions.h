// The command line of vorpane-render.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace render {

// A parameter moved in a straight line from the start of the input to its end.
struct Sweep {
    float from = 0.5f;
    float to = 0.5f;
};

struct Parameter {
    float value = 0.5f;
    std::optional<Sweep> sweep;
    bool set = false; // given by --azimuth or --elevation

    // The value for a block starting at this fraction (0..1) of the input.
    float at(double fraction) const {
        if (!sweep) return value;
        return static_cast<float>(sweep->from + (sweep->to - sweep->from) * fraction);
    }
};

struct RenderOptions {
    std::string input;
    std::string output;
    std::string plugin; // empty: the Vorpane.so of the build the tool belongs to
    int32_t block = 512;
    Parameter azimuth;
    Parameter elevation;
    bool help = false;
    bool quiet = false; // nothing but errors on the output streams
};

constexpr int32_t kLargestBlock = 65536;

// Parses the arguments; on failure answers false with a message in error.
bool parseOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error);

const char* usageText();

} // namespace render

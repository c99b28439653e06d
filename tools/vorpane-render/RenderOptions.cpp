#include "tools/vorpane-render/RenderOptions.h"

#include "tools/shared/OptionScanner.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace render {

namespace {

bool parseUnit(const std::string& text, float& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != 0 || !std::isfinite(parsed) || parsed < 0.0 || parsed > 1.0)
        return false;
    value = static_cast<float>(parsed);
    return true;
}

bool parseBlock(const std::string& text, int32_t& block) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || parsed < 1 || parsed > kLargestBlock) return false;
    block = static_cast<int32_t>(parsed);
    return true;
}

// NAME=FROM:TO
bool parseSweep(const std::string& text, RenderOptions& options, std::string& error) {
    const size_t equals = text.find('=');
    const size_t colon = text.find(':', equals == std::string::npos ? 0 : equals);
    if (equals == std::string::npos || colon == std::string::npos) {
        error = "--sweep expects NAME=FROM:TO, for example azimuth=0:1, not '" + text + "'";
        return false;
    }
    const std::string name = text.substr(0, equals);
    Parameter* parameter = name == "azimuth"     ? &options.azimuth
                           : name == "elevation" ? &options.elevation
                                                 : nullptr;
    if (!parameter) {
        error = "--sweep: unknown parameter '" + name + "' (azimuth or elevation)";
        return false;
    }
    Sweep sweep;
    if (!parseUnit(text.substr(equals + 1, colon - equals - 1), sweep.from) ||
        !parseUnit(text.substr(colon + 1), sweep.to)) {
        error = "--sweep " + name + ": FROM and TO must be numbers from 0 to 1, not '" +
                text.substr(equals + 1) + "'";
        return false;
    }
    if (parameter->sweep) {
        error = "--sweep " + name + " is given twice";
        return false;
    }
    parameter->sweep = sweep;
    return true;
}

} // namespace

bool parseOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error) {
    std::vector<std::string> positional;
    tools::OptionScanner scanner(argc, argv,
                                 {{"--help", "-h", false},
                                  {"--quiet", "-q", false},
                                  {"--plugin", nullptr, true},
                                  {"--block", nullptr, true},
                                  {"--azimuth", nullptr, true},
                                  {"--elevation", nullptr, true},
                                  {"--sweep", nullptr, true}});
    tools::ScannedArgument argument;
    while (scanner.next(argument, error)) {
        const std::string& name = argument.name;
        const std::string& value = argument.value;
        if (argument.isOperand) {
            positional.push_back(value);
        } else if (name == "--help") {
            options.help = true;
            return true;
        } else if (name == "--quiet") {
            options.quiet = true;
        } else if (name == "--plugin") {
            options.plugin = value;
        } else if (name == "--block") {
            if (!parseBlock(value, options.block)) {
                error = "--block must be a whole number of frames from 1 to " +
                        std::to_string(kLargestBlock) + ", not '" + value + "'";
                return false;
            }
        } else if (name == "--sweep") {
            if (!parseSweep(value, options, error)) return false;
        } else {
            Parameter& parameter = name == "--azimuth" ? options.azimuth : options.elevation;
            if (!parseUnit(value, parameter.value)) {
                error = name + " must be a number from 0 to 1, not '" + value + "'";
                return false;
            }
            parameter.set = true;
        }
    }
    if (!error.empty()) return false;
    for (const auto& [parameter, name] :
         {std::pair{&options.azimuth, "azimuth"}, std::pair{&options.elevation, "elevation"}}) {
        if (parameter->set && parameter->sweep) {
            error = std::string("--") + name + " and --sweep " + name + " cannot be combined";
            return false;
        }
    }
    if (positional.size() != 2) {
        error = positional.size() < 2 ? "INPUT and OUTPUT files are required"
                                      : "too many arguments: expected INPUT and OUTPUT only";
        return false;
    }
    options.input = positional[0];
    options.output = positional[1];
    return true;
}

const char* usageText() {
    return "usage: vorpane-render [options] INPUT OUTPUT\n"
           "\n"
           "Renders an audio file through the Vorpane plug-in, loaded through VSTPluginMain\n"
           "as a host loads it, and writes the rendered stereo file (WAV, 32-bit float).\n"
           "A mono INPUT feeds both plug-in inputs; a stereo one feeds left and right.\n"
           "The plug-in's reported latency is removed from the start, so OUTPUT has as many\n"
           "frames as INPUT and lines up with it. INPUT is only read.\n"
           "\n"
           "options:\n"
           "  --plugin PATH         the plug-in to load (default: the Vorpane.so installed\n"
           "                        or built with this tool)\n"
           "  --block N             frames per processing call, 1 to 65536 (default 512)\n"
           "  --azimuth V           azimuth, normalised 0 (far left) to 1 (far right);\n"
           "                        default 0.5, straight ahead\n"
           "  --elevation V         elevation, normalised 0 (front, below) over the head\n"
           "                        to 1 (behind, below); default 0.5\n"
           "  --sweep NAME=FROM:TO  move azimuth or elevation in a straight line from FROM\n"
           "                        at the start of the input to TO at its end, set between\n"
           "                        blocks as host automation does; may be given for both\n"
           "  --quiet, -q           print nothing but errors\n"
           "  --help                show this text\n"
           "\n"
           "It prints what it rendered and the peak level of each output channel. While\n"
           "it renders, a terminal on standard error shows the progress and the speed.\n"
           "\n"
           "exit codes: 0 done, 2 wrong usage (unknown option, missing or out-of-range\n"
           "value), 3 input missing or unreadable, 4 plug-in cannot be loaded,\n"
           "5 output cannot be written.\n";
}

} // namespace render

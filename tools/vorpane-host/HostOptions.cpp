#include "tools/vorpane-host/HostOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace host {

namespace {

// INDEX=VALUE: a parameter number and a normalised value from 0 to 1.
bool parseSetting(const std::string& text, ParameterSetting& setting, std::string& error) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
        error = "--set expects INDEX=VALUE, for example 0=0.25, not '" + text + "'";
        return false;
    }
    const std::string index = text.substr(0, equals);
    const std::string value = text.substr(equals + 1);
    char* end = nullptr;
    errno = 0;
    const long parsedIndex = std::strtol(index.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || index[0] == '-' || index[0] == '+' || parsedIndex < 0 ||
        parsedIndex > INT32_MAX) {
        error = "--set: the parameter INDEX must be a whole number from 0, not '" + index + "'";
        return false;
    }
    errno = 0;
    const double parsedValue = std::strtod(value.c_str(), &end);
    if (errno != 0 || *end != 0 || !std::isfinite(parsedValue) || parsedValue < 0.0 ||
        parsedValue > 1.0) {
        error = "--set " + index + ": VALUE must be a number from 0 to 1, not '" + value + "'";
        return false;
    }
    setting.index = static_cast<int32_t>(parsedIndex);
    setting.value = static_cast<float>(parsedValue);
    return true;
}

} // namespace

bool parseOptions(int argc, const char* const* argv, HostOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            return true;
        }
        if (argument == "--verbose" || argument == "-v") {
            options.verbose = true;
            continue;
        }
        std::string name = argument;
        std::string value;
        bool hasValue = false;
        if (const size_t equals = argument.find('=');
            argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            hasValue = true;
        }
        if (name != "--plugin" && name != "--set" && name != "--screenshot") {
            error = argument.empty() || argument[0] != '-'
                        ? "unexpected argument '" + argument + "'"
                        : "unknown option '" + name + "'";
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                error = "option " + name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (value.empty()) {
            error = "option " + name + " needs a value";
            return false;
        }
        if (name == "--plugin") {
            options.plugin = value;
        } else if (name == "--screenshot") {
            options.screenshot = value;
        } else {
            ParameterSetting setting;
            if (!parseSetting(value, setting, error)) return false;
            options.settings.push_back(setting);
        }
    }
    return true;
}

const char* usageText() {
    return "usage: vorpane-host [options]\n"
           "\n"
           "Shows the Vorpane plug-in's editor panel in a window of its own, for trying the\n"
           "plug-in without a DAW. The plug-in is loaded through VSTPluginMain and its editor\n"
           "opened in a top-level X11 window of the editor's size (title \"Vorpane\"), on the\n"
           "display that DISPLAY names, as a host does. No audio is processed. The host calls\n"
           "the editor's idle about 30 times a second and closes the editor and the plug-in\n"
           "when the window is closed or on SIGINT (Ctrl+C) or SIGTERM.\n"
           "\n"
           "options:\n"
           "  --plugin PATH          the plug-in to load (default: Vorpane.so of this build)\n"
           "  --set INDEX=VALUE      set parameter INDEX (0 Azimuth, 1 Elevation) to the\n"
           "                         normalised VALUE, 0 to 1, before the editor opens;\n"
           "                         may be given more than once\n"
           "  --screenshot FILE.png  write the panel as a PNG image once the editor has\n"
           "                         painted it, then close and exit (waits at most 30 s;\n"
           "                         the window must be on the screen and uncovered)\n"
           "  --verbose              print what the plug-in reports to its host:\n"
           "                         'automate INDEX VALUE', 'begin edit INDEX',\n"
           "                         'end edit INDEX' and 'size window WIDTH HEIGHT'\n"
           "  --help                 show this text\n"
           "\n"
           "exit codes: 0 closed (window, SIGINT, SIGTERM) or screenshot written,\n"
           "2 wrong usage (unknown option, missing or out-of-range value, a parameter the\n"
           "plug-in does not have), 3 the X display cannot be opened, 4 plug-in cannot be\n"
           "loaded, 5 the plug-in has no editor or its editor does not open, 6 no paint to\n"
           "capture within 30 s or FILE.png cannot be written.\n";
}

} // namespace host

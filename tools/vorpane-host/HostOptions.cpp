#include "tools/vorpane-host/HostOptions.h"

#include "tools/shared/OptionScanner.h"

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
    tools::OptionScanner scanner(argc, argv,
                                 {{"--help", "-h", false},
                                  {"--verbose", "-v", false},
                                  {"--plugin", nullptr, true},
                                  {"--set", nullptr, true},
                                  {"--screenshot", nullptr, true}});
    tools::ScannedArgument argument;
    while (scanner.next(argument, error)) {
        if (argument.isOperand) {
            error = "unexpected argument '" + argument.value + "'";
            return false;
        } else if (argument.name == "--help") {
            options.help = true;
            return true;
        } else if (argument.name == "--verbose") {
            options.verbose = true;
        } else if (argument.name == "--plugin") {
            options.plugin = argument.value;
        } else if (argument.name == "--screenshot") {
            options.screenshot = argument.value;
        } else {
            ParameterSetting setting;
            if (!parseSetting(argument.value, setting, error)) return false;
            options.settings.push_back(setting);
        }
    }
    return error.empty();
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

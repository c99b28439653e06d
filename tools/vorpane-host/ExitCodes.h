// Exit codes of vorpane-host, for scripts.
#pragma once

namespace host {

constexpr int kExitOk = 0;         // window closed, SIGINT or SIGTERM, or screenshot written
constexpr int kExitUsage = 2;      // unknown option, missing or out-of-range value
constexpr int kExitDisplay = 3;    // the X display cannot be opened or used
constexpr int kExitPlugin = 4;     // plug-in cannot be loaded or created
constexpr int kExitNoEditor = 5;   // the plug-in has no editor, or its editor does not open
constexpr int kExitScreenshot = 6; // no paint to capture in time, or the PNG cannot be written

} // namespace host

// Exit codes of vorpane-render, for scripts.
#pragma once

namespace render {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 2;  // unknown option, missing argument, value out of range
constexpr int kExitInput = 3;  // input file missing, unreadable or of an unusable shape
constexpr int kExitPlugin = 4; // plug-in cannot be loaded or refuses to start
constexpr int kExitOutput = 5; // output file cannot be written

} // namespace render

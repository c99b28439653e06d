// Writes a captured picture as a PNG file.
#pragma once

#include "tools/vorpane-host/HostWindow.h"

#include <string>

namespace host {

// Writes beside the target first, so a failed write leaves no half-written file behind.
bool writePng(const Picture& picture, const std::string& path, std::string& error);

} // namespace host

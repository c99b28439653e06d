#pragma once

#include <string>
#include <string_view>

namespace VSTGUI::platform {

// Converts single-byte Windows-1252 text to UTF-8. The five bytes that code page leaves
// undefined become U+FFFD.
std::string windows1252ToUtf8(std::string_view text);

} // namespace VSTGUI::platform

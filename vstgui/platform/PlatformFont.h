#pragma once

#include <cairo.h>
#include <cstdint>
#include <memory>
#include <string>

namespace VSTGUI::platform {

// What a font is asked for: face name, character height in pixels (the em size, not the line
// height), weight and decorations. symbolFamily asks for a decorative (symbol) face.
struct FontRequest {
    std::string face;
    int32_t pixelHeight = 12;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool symbolFamily = false;
};

// A realised font: the face that fontconfig matched for the request.
class PlatformFont {
  public:
    // Matches the request through fontconfig; never null (falls back to cairo's default face).
    static std::shared_ptr<const PlatformFont> create(const FontRequest& request);
    ~PlatformFont();
    PlatformFont(const PlatformFont&) = delete;
    PlatformFont& operator=(const PlatformFont&) = delete;

    const FontRequest& request() const { return req; }
    cairo_font_face_t* face() const { return fontFace; }
    // Family, style and weight of the matched face file, e.g. "Liberation Sans", 200 for bold.
    const std::string& family() const { return matchedFamily; }
    int32_t weight() const { return matchedWeight; }
    int32_t slant() const { return matchedSlant; }

  private:
    PlatformFont() = default;

    FontRequest req;
    cairo_font_face_t* fontFace = nullptr;
    std::string matchedFamily;
    int32_t matchedWeight = 0;
    int32_t matchedSlant = 0;
};

} // namespace VSTGUI::platform

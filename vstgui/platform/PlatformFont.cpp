#include "vstgui/platform/PlatformFont.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>
#include <tuple>

namespace VSTGUI::platform {

namespace {

struct MatchedFace {
    cairo_font_face_t* face = nullptr;
    std::string family;
    int32_t weight = 0;
    int32_t slant = 0;
};

// Faces matched so far, by face name, weight, slant and family kind; matching through
// fontconfig is far slower than drawing, and contexts realise fonts on every construction.
class FaceCache {
  public:
    ~FaceCache() {
        for (auto& [key, matched] : faces)
            cairo_font_face_destroy(matched.face);
    }

    MatchedFace get(const FontRequest& request) {
        const Key key{request.face, request.bold, request.italic, request.symbolFamily};
        std::lock_guard<std::mutex> lock(mutex);
        auto it = faces.find(key);
        if (it == faces.end()) it = faces.emplace(key, match(request)).first;
        MatchedFace result = it->second;
        cairo_font_face_reference(result.face);
        return result;
    }

  private:
    using Key = std::tuple<std::string, bool, bool, bool>;

    static MatchedFace match(const FontRequest& request) {
        MatchedFace result;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(request.face.c_str()));
        if (!request.symbolFamily)
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
        FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult status = FcResultNoMatch;
        FcPattern* matched = FcFontMatch(nullptr, pattern, &status);
        FcPatternDestroy(pattern);
        if (matched) {
            FcChar8* family = nullptr;
            if (FcPatternGetString(matched, FC_FAMILY, 0, &family) == FcResultMatch)
                result.family = reinterpret_cast<const char*>(family);
            int value = 0;
            if (FcPatternGetInteger(matched, FC_WEIGHT, 0, &value) == FcResultMatch)
                result.weight = value;
            if (FcPatternGetInteger(matched, FC_SLANT, 0, &value) == FcResultMatch)
                result.slant = value;
            result.face = cairo_ft_font_face_create_for_pattern(matched);
            FcPatternDestroy(matched);
        }
        if (!result.face || cairo_font_face_status(result.face) != CAIRO_STATUS_SUCCESS) {
            if (result.face) cairo_font_face_destroy(result.face);
            result.face = cairo_toy_font_face_create(
                "sans-serif", request.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                request.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        }
        return result;
    }

    std::mutex mutex;
    std::map<Key, MatchedFace> faces;
};

FaceCache& faceCache() {
    static FaceCache cache;
    return cache;
}

} // namespace

std::shared_ptr<const PlatformFont> PlatformFont::create(const FontRequest& request) {
    const MatchedFace matched = faceCache().get(request);
    std::shared_ptr<PlatformFont> font(new PlatformFont);
    font->req = request;
    font->fontFace = matched.face;
    font->matchedFamily = matched.family;
    font->matchedWeight = matched.weight;
    font->matchedSlant = matched.slant;
    return font;
}

PlatformFont::~PlatformFont() {
    if (fontFace) cairo_font_face_destroy(fontFace);
}

} // namespace VSTGUI::platform

#pragma once

#include "vstgui/CColor.h"
#include "vstgui/CPoint.h"
#include "vstgui/CRect.h"
#include "vstgui/CReferenceCounter.h"

#include <cairo.h>
#include <cstdint>

namespace VSTGUI {

class CDrawContext;

// An image built into the library, decoded once into premultiplied 32-bit pixels. A film strip is
// a tall bitmap of which one frame at a time is drawn with a source offset.
class CBitmap : public CReferenceCounter {
  public:
    // Loads the PNG resource with this id; without one the bitmap stays empty (width 0).
    explicit CBitmap(int32_t resourceId);
    ~CBitmap() override;

    // Draws the rect-sized block of the image that starts at offset into context at rect.
    virtual void draw(CDrawContext* context, const CRect& rect,
                      const CPoint& offset = CPoint(0, 0));
    // As draw; an image without alpha leaves out the pixels of the transparent colour.
    virtual void drawTransparent(CDrawContext* context, const CRect& rect,
                                 const CPoint& offset = CPoint(0, 0));
    // Source-over compositing with a constant alpha (0 to 255) on top of the pixels' own.
    virtual void drawAlphaBlend(CDrawContext* context, const CRect& rect,
                                const CPoint& offset = CPoint(0, 0), uint8_t alpha = 255);
    // Frees the pixels; the bitmap becomes empty.
    virtual void dispose();
    virtual bool loadFromResource(int32_t resourceId);
    // Not supported: empties the bitmap and returns false.
    virtual bool loadFromFile(const char* path);

    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    int32_t getResourceId() const { return resourceId; }
    CColor getTransparentColor() const { return transparentColor; }
    void setTransparentColor(const CColor color) { transparentColor = color; }
    bool isLoaded() const { return handle != nullptr; }

  protected:
    int32_t resourceId = 0;
    int32_t width = 0;
    int32_t height = 0;
    CColor transparentColor = kTransparentCColor;
    bool noAlpha = false;              // opaque pixels without alpha (drawn by copying)
    cairo_surface_t* handle = nullptr; // owned image surface
};

} // namespace VSTGUI

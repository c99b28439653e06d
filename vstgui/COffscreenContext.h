#pragma once

#include "vstgui/CDrawContext.h"

namespace VSTGUI {

// A drawing context on a pixel buffer of its own, used for double buffering. Every pixel starts
// in the background colour.
class COffscreenContext : public CDrawContext {
  public:
    COffscreenContext(CFrame* frame, int32_t width, int32_t height,
                      const CColor backgroundColor = kBlackCColor);
    ~COffscreenContext() override;

    // Copies the destRect-sized block of this buffer that starts at srcOffset into context at
    // destRect (moved by the context's offset).
    void copyFrom(CDrawContext* context, CRect destRect, CPoint srcOffset = CPoint(0, 0));
    // Copies the block srcRect of context (moved by the context's offset) into this buffer at
    // destOffset (this buffer's own offset is not applied).
    void copyTo(CDrawContext* context, CRect srcRect, CPoint destOffset = CPoint(0, 0));

    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    CColor getBackgroundColor() const { return backgroundColor; }
    // The buffer's pixels; null when it could not be created.
    cairo_surface_t* getPixmap() const { return pixmap; }

  private:
    int32_t height = 0;
    int32_t width = 0;
    CColor backgroundColor = kBlackCColor;
    cairo_surface_t* pixmap = nullptr;
};

} // namespace VSTGUI

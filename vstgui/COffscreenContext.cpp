#include "vstgui/COffscreenContext.h"

#include "vstgui/platform/DrawSurface.h"

#include <algorithm>

namespace VSTGUI {

COffscreenContext::COffscreenContext(CFrame* frame, int32_t width, int32_t height,
                                     const CColor backgroundColor)
    : CDrawContext(frame, nullptr, nullptr), height(height), width(width),
      backgroundColor(backgroundColor) {
    storeClipRect(CRect(0, 0, width, height));
    pixmap = platform::DrawSurface::createImage(std::max(width, 0), std::max(height, 0));
    if (pixmap) attachSurface(pixmap);

    // Every pixel starts in the background colour, which is also the fill and line colour. (An
    // outline around a fill that leaves out the first row and column would miss the only pixel
    // of a 1 x 1 buffer.)
    setFillColor(backgroundColor);
    setFrameColor(backgroundColor);
    drawRect(CRect(0, 0, width, height), kDrawFilled);
}

COffscreenContext::~COffscreenContext() {
    // The base part's surface still refers to the pixmap; it holds a reference of its own.
    if (pixmap) cairo_surface_destroy(pixmap);
}

void COffscreenContext::copyFrom(CDrawContext* context, CRect destRect, CPoint srcOffset) {
    if (!context || !context->getDrawSurface() || !getDrawSurface()) return;
    destRect.offset(context->offset.h, context->offset.v);
    context->getDrawSurface()->copyFrom(*getDrawSurface(), destRect, srcOffset);
}

void COffscreenContext::copyTo(CDrawContext* context, CRect srcRect, CPoint destOffset) {
    if (!context || !context->getDrawSurface() || !getDrawSurface()) return;
    srcRect.offset(context->offset.h, context->offset.v);
    const CRect dest(destOffset, srcRect.getSize());
    getDrawSurface()->copyFrom(*context->getDrawSurface(), dest, srcRect.getTopLeft());
}

} // namespace VSTGUI

#pragma once

#include "vstgui/ButtonState.h"
#include "vstgui/CColor.h"
#include "vstgui/CPoint.h"
#include "vstgui/CRect.h"
#include "vstgui/CReferenceCounter.h"
#include "vstgui/FontConstants.h"
#include "vstgui/TextAlignment.h"
#include "vstgui/platform/WindowServices.h"

#include <cairo.h>
#include <cstdint>
#include <memory>

namespace VSTGUI {

class CFrame;

namespace platform {
class DrawSurface;
}

// Styles of CDrawContext::drawRect.
enum CDrawStyle : int32_t {
    kDrawStroked = 0,
    kDrawFilled = 1,
    kDrawFilledAndStroked = 2,
};

// Line styles.
enum CLineStyle : int32_t {
    kLineSolid = 0,
    kLineOnOffDash = 1, // dotted
};

// A drawing surface with a cached drawing state. Coordinates given to the drawing operations are
// moved by offset before they reach the surface. Every setter except setFontColor does nothing
// when the value equals the cached one.
class CDrawContext : public CReferenceCounter {
  public:
    // Draws on surface when given (a reference is taken); otherwise, when window is given, on the
    // window's surface. Without either, the state is kept but nothing is drawn.
    CDrawContext(CFrame* frame, cairo_surface_t* surface, platform::WindowHandle window);
    ~CDrawContext() override;

    // Origin of the current coordinate system on the surface, and its position on the screen.
    CPoint offset;
    CPoint screenOffset;

    void setLineStyle(int32_t style);
    int32_t getLineStyle() const { return lineStyle; }
    void setLineWidth(int32_t width);
    int32_t getLineWidth() const { return frameWidth; }
    void setFrameColor(const CColor color);
    CColor getFrameColor() const { return frameColor; }
    void setFillColor(const CColor color);
    CColor getFillColor() const { return fillColor; }
    void setFontColor(const CColor color);
    CColor getFontColor() const { return fontColor; }
    // Font table entry fontId (0 to 7, others mean 0); size 0 takes the entry's standard size;
    // style is a set of kBoldFace, kItalicFace and kUnderlineFace.
    void setFont(int32_t fontId, int32_t size = 0, int32_t style = 0);
    int32_t getFont() const { return fontId; }
    int32_t getFontSize() const { return fontSize; }
    int32_t getFontStyle() const { return fontStyle; }

    // Clip rectangle in the caller's coordinates (moved by offset on the surface).
    void setClipRect(const CRect& clip);
    CRect& getClipRect(CRect& clip) const;

    void moveTo(const CPoint& point);
    // A line from the pen position to point, without point itself.
    void lineTo(const CPoint& point);
    // kDrawStroked outlines, kDrawFilled fills all of rect, kDrawFilledAndStroked does both.
    void drawRect(const CRect& rect, int32_t style = kDrawStroked);
    // Fills rect without its first column and first row.
    void fillRect(const CRect& rect);
    // One line of Windows-1252 text in rect, vertically centred; opaque fills the text background
    // with the fill colour; hAlign is a TextAlignment. Left-aligned text starts one pixel in.
    void drawString(const char* string, const CRect& rect, int32_t opaque = 0,
                    int32_t hAlign = kCenterText);

    // Button state bits held now.
    int32_t getMouseButtons();
    // Pointer position relative to the current origin's screen position.
    CPoint& getMouseLocation(CPoint& point);

    CFrame* getFrame() const { return frame; }
    platform::WindowHandle getWindow() const { return window; }
    // The platform surface drawn on; null when the context has none.
    platform::DrawSurface* getDrawSurface() const { return surface.get(); }

  protected:
    // Starts drawing on target with the current drawing state (used by off-screen contexts once
    // their buffer exists).
    void attachSurface(cairo_surface_t* target);
    // Stores a clip rectangle (surface coordinates) without applying it to the surface.
    void storeClipRect(const CRect& clip) { clipRect = clip; }

  private:
    void applyStateToSurface();
    void realisePen();
    void realiseBrush();
    void realiseFont();

    std::unique_ptr<platform::DrawSurface> surface;
    platform::WindowHandle window = nullptr;
    platform::WindowHandle pointerWindow = nullptr;
    CFrame* frame = nullptr;
    int32_t fontSize = 12;
    int32_t fontStyle = 0;
    int32_t fontId = 0;
    CColor fontColor = kWhiteCColor;
    int32_t frameWidth = 1;
    CColor frameColor = kWhiteCColor;
    CColor fillColor = kBlackCColor;
    int32_t lineStyle = kLineSolid;
    CRect clipRect{0, 0, 1000, 1000};
    cairo_surface_t* ownedSurface = nullptr;
};

} // namespace VSTGUI

#pragma once

#include "vstgui/CColor.h"
#include "vstgui/CPoint.h"
#include "vstgui/CRect.h"
#include "vstgui/platform/PlatformFont.h"

#include <cairo.h>
#include <cstdint>
#include <memory>
#include <string_view>

namespace VSTGUI::platform {

// A line pen: style 0 solid, 1 dotted (one pixel on, one off); width in pixels.
struct Pen {
    int32_t style = 0;
    int32_t width = 1;
    CColor color = kWhiteCColor;
    bool operator==(const Pen&) const = default;
};

// Drawing on any cairo surface (an image surface in memory or the surface of a window) with the
// pixel rules of the toolkit: integer coordinates in surface pixels, no anti-aliasing for lines
// and fills, lines without their end point, clipping to exactly the rectangle set, pixels
// replaced (not blended) by lines, fills and block copies. The operations that replace a
// realised drawing object (pen, brush, font, text colours, clip) can be overridden: a platform
// for tests may hand out surfaces that watch them (WindowServices::createDrawSurface).
class DrawSurface {
  public:
    // Draws on target; keeps a reference of its own to it.
    explicit DrawSurface(cairo_surface_t* target);
    virtual ~DrawSurface();
    DrawSurface(const DrawSurface&) = delete;
    DrawSurface& operator=(const DrawSurface&) = delete;

    // A new image surface of 32-bit premultiplied pixels, all zero; null when it cannot be made.
    static cairo_surface_t* createImage(int32_t width, int32_t height);

    cairo_surface_t* target() const { return surface; }
    // Size of the target for image surfaces; an empty rectangle when the target has no known size.
    CRect bounds() const;

    virtual void selectPen(const Pen& pen);
    virtual void selectBrush(CColor color);
    virtual void selectFont(std::shared_ptr<const PlatformFont> font);

    virtual void setTextColor(CColor color) { textColor = color; }
    virtual void setTextBackColor(CColor color) { textBackColor = color; }
    virtual void setTextBackgroundOpaque(bool opaque) { textBackgroundOpaque = opaque; }

    // Restricts all later drawing to exactly r.
    virtual void setClip(const CRect& r);

    // Pen position and lines: a line goes from the pen position to p, leaving p itself out, and
    // p becomes the pen position.
    void moveTo(CPoint p) { penPosition = p; }
    void lineTo(CPoint p);

    // Fills all of r with the brush.
    void fillRect(const CRect& r);

    // One line of Windows-1252 text in r: horizontally aligned by align (1 centred, 2 right,
    // otherwise left at r.left), centred vertically, with the text colour and, when the text
    // background is opaque, the back colour behind the characters; clipped to r.
    void drawText(std::string_view text, const CRect& r, int32_t align);

    // Copies the dest-sized block of source starting at sourceOrigin into dest; only the part
    // that lies inside source is read and written.
    void copyFrom(DrawSurface& source, const CRect& dest, CPoint sourceOrigin);
    // Source-over compositing of the dest-sized block of a premultiplied image starting at
    // sourceOrigin, with a constant alpha (0 to 255) applied on top of the per-pixel alpha.
    void composite(cairo_surface_t* image, const CRect& dest, CPoint sourceOrigin, uint8_t alpha);
    // Straight copy of an image block as opaque pixels.
    void copyImage(cairo_surface_t* image, const CRect& dest, CPoint sourceOrigin);
    // Straight copy of an image block that leaves out every pixel whose red, green and blue
    // equal those of key.
    void copyImageColorKeyed(cairo_surface_t* image, const CRect& dest, CPoint sourceOrigin,
                             CColor key);

  private:
    void copySurfaceBlock(cairo_surface_t* source, const CRect& dest, CPoint sourceOrigin,
                          cairo_operator_t op, double alpha);
    void setSourceColor(CColor color);
    void fillPixels(int32_t x, int32_t y, int32_t w, int32_t h);

    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    Pen pen;
    CColor brush = kBlackCColor;
    std::shared_ptr<const PlatformFont> font;
    CColor textColor = kWhiteCColor;
    CColor textBackColor = kBlackCColor;
    bool textBackgroundOpaque = false;
    CPoint penPosition;
};

} // namespace VSTGUI::platform

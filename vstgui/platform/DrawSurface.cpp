#include "vstgui/platform/DrawSurface.h"

#include "vstgui/platform/TextEncoding.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace VSTGUI::platform {

namespace {

// Largest character height text is drawn at (FreeType scales up to 65535 pixels).
constexpr int64_t kMaxTextPixelHeight = 32767;

bool isImage(cairo_surface_t* s) {
    return cairo_surface_get_type(s) == CAIRO_SURFACE_TYPE_IMAGE;
}

CRect imageBounds(cairo_surface_t* s) {
    if (!isImage(s)) return CRect();
    return CRect(0, 0, cairo_image_surface_get_width(s), cairo_image_surface_get_height(s));
}

void addPixels(cairo_t* cr, int32_t x, int32_t y, int32_t w, int32_t h) {
    cairo_rectangle(cr, x, y, w, h);
}

} // namespace

DrawSurface::DrawSurface(cairo_surface_t* target) : surface(cairo_surface_reference(target)) {
    cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

DrawSurface::~DrawSurface() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

cairo_surface_t* DrawSurface::createImage(int32_t width, int32_t height) {
    if (width < 0 || height < 0) return nullptr;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    return s;
}

CRect DrawSurface::bounds() const {
    return imageBounds(surface);
}

void DrawSurface::selectPen(const Pen& newPen) {
    pen = newPen;
}

void DrawSurface::selectBrush(CColor color) {
    brush = color;
}

void DrawSurface::selectFont(std::shared_ptr<const PlatformFont> newFont) {
    font = std::move(newFont);
}

void DrawSurface::setClip(const CRect& r) {
    cairo_reset_clip(cr);
    cairo_rectangle(cr, r.left, r.top, std::max(r.width(), 0), std::max(r.height(), 0));
    cairo_clip(cr);
}

void DrawSurface::setSourceColor(CColor color) {
    cairo_set_source_rgb(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0);
}

void DrawSurface::lineTo(CPoint to) {
    const CPoint from = penPosition;
    penPosition = to;
    if (from == to) return;
    // Wide pens put a square of the pen's width around every pixel of the line.
    const int32_t w = std::max(pen.width, 1);
    const int32_t half = w / 2;
    const bool dotted = pen.style == 1;
    if (!dotted && (from.h == to.h || from.v == to.v)) {
        // Straight lines in one run: from the start up to, not including, the end point.
        const int32_t x0 = std::min(from.h, to.h + (to.h < from.h ? 1 : 0));
        const int32_t x1 = std::max(from.h + 1, to.h + (to.h > from.h ? 0 : 1));
        const int32_t y0 = std::min(from.v, to.v + (to.v < from.v ? 1 : 0));
        const int32_t y1 = std::max(from.v + 1, to.v + (to.v > from.v ? 0 : 1));
        addPixels(cr, x0 - half, y0 - half, x1 - x0 + w - 1, y1 - y0 + w - 1);
    } else {
        // Bresenham, leaving out the end point; dotted pens set every other pixel.
        const int32_t dx = std::abs(to.h - from.h), sx = from.h < to.h ? 1 : -1;
        const int32_t dy = -std::abs(to.v - from.v), sy = from.v < to.v ? 1 : -1;
        int32_t err = dx + dy;
        int32_t x = from.h, y = from.v;
        for (int32_t i = 0; x != to.h || y != to.v; ++i) {
            if (!dotted || i % 2 == 0) addPixels(cr, x - half, y - half, w, w);
            const int32_t e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    setSourceColor(pen.color);
    cairo_fill(cr);
}

void DrawSurface::fillPixels(int32_t x, int32_t y, int32_t w, int32_t h) {
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_fill(cr);
}

void DrawSurface::fillRect(const CRect& r) {
    if (r.isEmpty()) return;
    setSourceColor(brush);
    fillPixels(r.left, r.top, r.width(), r.height());
}

void DrawSurface::drawText(std::string_view text, const CRect& r, int32_t align) {
    if (!font || r.isEmpty()) return;
    const std::string utf8 = windows1252ToUtf8(text);
    cairo_save(cr);
    cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
    cairo_clip(cr);
    cairo_set_font_face(cr, font->face());
    // A negative size is taken as its magnitude; cairo would mirror the glyphs. Sizes beyond what
    // FreeType can scale would put the cairo context into an error state that stops every later
    // drawing operation on this surface, so they are limited.
    const int64_t requested = font->request().pixelHeight;
    const auto pixelHeight =
        static_cast<int32_t>(std::clamp<int64_t>(std::abs(requested), 1, kMaxTextPixelHeight));
    cairo_set_font_size(cr, pixelHeight);

    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_text_extents_t te;
    cairo_text_extents(cr, utf8.c_str(), &te);
    const int32_t advance = static_cast<int32_t>(std::lround(te.x_advance));
    const int32_t ascent = static_cast<int32_t>(std::lround(fe.ascent));
    const int32_t lineHeight = ascent + static_cast<int32_t>(std::lround(fe.descent));

    int32_t x = r.left;
    if (align == 1)
        x = r.left + (r.width() - advance) / 2;
    else if (align == 2)
        x = r.right - advance;
    const int32_t top = r.top + (r.height() - lineHeight) / 2;
    const int32_t baseline = top + ascent;

    if (textBackgroundOpaque && advance > 0) {
        setSourceColor(textBackColor);
        fillPixels(x, top, advance, lineHeight);
    }
    setSourceColor(textColor);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_move_to(cr, x, baseline);
    cairo_show_text(cr, utf8.c_str());
    if (font->request().underline && advance > 0) {
        const int32_t thickness = std::max(1, pixelHeight / 14);
        const int32_t below = std::max(1, pixelHeight / 10);
        cairo_new_path(cr);
        fillPixels(x, baseline + below, advance, thickness);
    }
    cairo_restore(cr);
}

void DrawSurface::copySurfaceBlock(cairo_surface_t* source, const CRect& dest, CPoint sourceOrigin,
                                   cairo_operator_t op, double alpha) {
    // Only the part of the block that lies inside the source is read. An image source has known
    // bounds, even when it is empty; other surfaces (windows) are read as they are.
    CRect block(sourceOrigin, dest.getSize());
    if (isImage(source)) block.bound(imageBounds(source));
    CRect target = block;
    target.offset(dest.left - sourceOrigin.h, dest.top - sourceOrigin.v);
    if (target.isEmpty()) return;

    cairo_surface_t* from = source;
    CPoint fromOrigin = block.getTopLeft();
    if (source == surface) {
        // Copying within one surface goes through a copy of the block.
        from = createImage(block.width(), block.height());
        if (!from) return;
        cairo_t* c = cairo_create(from);
        cairo_set_operator(c, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(c, source, -block.left, -block.top);
        cairo_paint(c);
        cairo_destroy(c);
        fromOrigin = CPoint(0, 0);
    }

    cairo_save(cr);
    cairo_set_operator(cr, op);
    cairo_set_source_surface(cr, from, target.left - fromOrigin.h, target.top - fromOrigin.v);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, target.left, target.top, target.width(), target.height());
    if (alpha >= 1.0) {
        cairo_fill(cr);
    } else {
        cairo_clip(cr);
        cairo_paint_with_alpha(cr, alpha);
    }
    cairo_restore(cr);
    if (from != source) cairo_surface_destroy(from);
}

void DrawSurface::copyFrom(DrawSurface& source, const CRect& dest, CPoint sourceOrigin) {
    copySurfaceBlock(source.surface, dest, sourceOrigin, CAIRO_OPERATOR_SOURCE, 1.0);
}

void DrawSurface::composite(cairo_surface_t* image, const CRect& dest, CPoint sourceOrigin,
                            uint8_t alpha) {
    if (alpha == 0) return;
    copySurfaceBlock(image, dest, sourceOrigin, CAIRO_OPERATOR_OVER, alpha / 255.0);
}

void DrawSurface::copyImage(cairo_surface_t* image, const CRect& dest, CPoint sourceOrigin) {
    copySurfaceBlock(image, dest, sourceOrigin, CAIRO_OPERATOR_SOURCE, 1.0);
}

void DrawSurface::copyImageColorKeyed(cairo_surface_t* image, const CRect& dest,
                                      CPoint sourceOrigin, CColor key) {
    if (!isImage(image)) return;
    CRect block(sourceOrigin, dest.getSize());
    block.bound(imageBounds(image));
    CRect target = block;
    target.offset(dest.left - sourceOrigin.h, dest.top - sourceOrigin.v);
    if (target.isEmpty()) return;

    // A mask that is opaque wherever the pixel differs from the key colour.
    cairo_surface_t* mask =
        cairo_image_surface_create(CAIRO_FORMAT_A8, block.width(), block.height());
    if (cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(mask);
        return;
    }
    cairo_surface_flush(image);
    const uint32_t keyRgb = (uint32_t(key.red) << 16) | (uint32_t(key.green) << 8) | key.blue;
    const unsigned char* pixels = cairo_image_surface_get_data(image);
    const int32_t stride = cairo_image_surface_get_stride(image);
    unsigned char* maskPixels = cairo_image_surface_get_data(mask);
    const int32_t maskStride = cairo_image_surface_get_stride(mask);
    for (int32_t y = 0; y < block.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(pixels + (block.top + y) * stride);
        for (int32_t x = 0; x < block.width(); ++x)
            maskPixels[y * maskStride + x] = (row[block.left + x] & 0xffffffu) == keyRgb ? 0 : 255;
    }
    cairo_surface_mark_dirty(mask);

    cairo_save(cr);
    cairo_rectangle(cr, target.left, target.top, target.width(), target.height());
    cairo_clip(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, image, target.left - block.left, target.top - block.top);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_mask_surface(cr, mask, target.left, target.top);
    cairo_restore(cr);
    cairo_surface_destroy(mask);
}

} // namespace VSTGUI::platform

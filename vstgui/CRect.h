#pragma once

#include "vstgui/CPoint.h"

#include <algorithm>
#include <cstdint>

namespace VSTGUI {

// A rectangle of four coordinates. The right column and bottom row are not part of the area:
// width = right - left, height = bottom - top. Built from four coordinates it is normalised (the
// smaller of left and right becomes left, the smaller of top and bottom becomes top); the fields
// themselves are plain values that callers may set freely.
struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int32_t l, int32_t t, int32_t r, int32_t b)
        : left(std::min(l, r)), top(std::min(t, b)), right(std::max(l, r)), bottom(std::max(t, b)) {
    }
    // The rectangle of the given size whose top-left corner is origin.
    constexpr CRect(const CPoint& origin, const CPoint& size)
        : CRect(origin.h, origin.v, origin.h + size.h, origin.v + size.v) {}

    constexpr int32_t width() const { return right - left; }
    constexpr int32_t height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr CPoint getTopLeft() const { return {left, top}; }
    constexpr CPoint getSize() const { return {width(), height()}; }

    constexpr CRect& setWidth(int32_t w) {
        right = left + w;
        return *this;
    }
    constexpr CRect& setHeight(int32_t h) {
        bottom = top + h;
        return *this;
    }

    // Moves the rectangle by (dh, dv).
    constexpr CRect& offset(int32_t dh, int32_t dv) {
        left += dh;
        right += dh;
        top += dv;
        bottom += dv;
        return *this;
    }
    // Moves the rectangle so that its top-left corner is (x, y), keeping its size.
    constexpr CRect& moveTo(int32_t x, int32_t y) { return offset(x - left, y - top); }
    // Shrinks the rectangle by dh on the left and right and dv on the top and bottom.
    constexpr CRect& inset(int32_t dh, int32_t dv) {
        left += dh;
        right -= dh;
        top += dv;
        bottom -= dv;
        return *this;
    }

    // Limits the rectangle to r. The result may be empty but never inverted: when nothing is
    // left, right collapses onto left and bottom onto top.
    constexpr CRect& bound(const CRect& r) {
        left = std::max(left, r.left);
        top = std::max(top, r.top);
        right = std::min(right, r.right);
        bottom = std::min(bottom, r.bottom);
        if (bottom < top) bottom = top;
        if (right < left) right = left;
        return *this;
    }

    // Overlap is inclusive: rectangles that merely touch overlap.
    constexpr bool rectOverlap(const CRect& r) const {
        return !(right < r.left || r.right < left || bottom < r.top || r.bottom < top);
    }

    // A point on any of the four edges is inside.
    constexpr bool pointInside(const CPoint& p) const {
        return left <= p.h && p.h <= right && top <= p.v && p.v <= bottom;
    }

    constexpr bool operator==(const CRect&) const = default;
};

constexpr bool CPoint::isInside(const CRect& r) const {
    return r.pointInside(*this);
}

} // namespace VSTGUI

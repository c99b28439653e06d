#pragma once

#include <cstdint>

namespace VSTGUI {

struct CRect;

// A position: h to the right, v downwards.
struct CPoint {
    int32_t h = 0;
    int32_t v = 0;

    constexpr CPoint() = default;
    constexpr CPoint(int32_t h, int32_t v) : h(h), v(v) {}

    constexpr CPoint& offset(int32_t dh, int32_t dv) {
        h += dh;
        v += dv;
        return *this;
    }

    // Inside r when r.left <= h <= r.right and r.top <= v <= r.bottom (all edges included).
    constexpr bool isInside(const CRect& r) const;

    constexpr bool operator==(const CPoint&) const = default;
};

} // namespace VSTGUI

// CPoint::isInside is defined with CRect.
#include "vstgui/CRect.h"

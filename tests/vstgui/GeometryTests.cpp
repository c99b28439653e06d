#include "vstgui/CColor.h"
#include "vstgui/CPoint.h"
#include "vstgui/CRect.h"
#include "vstgui/CReferenceCounter.h"

#include <gtest/gtest.h>

using namespace VSTGUI;

TEST(Geometry, RectangleFromCoordinatesIsNormalised) {
    const CRect r(10, 20, 5, 2);
    EXPECT_EQ(r, CRect(5, 2, 10, 20));
    EXPECT_EQ(r.width(), 5);
    EXPECT_EQ(r.height(), 18);
    EXPECT_EQ(CRect(CPoint(3, 4), CPoint(10, 20)), CRect(3, 4, 13, 24));
}

TEST(Geometry, BoundingNeverInverts) {
    CRect inside(2, 2, 8, 8);
    EXPECT_EQ(inside.bound(CRect(0, 0, 5, 10)), CRect(2, 2, 5, 8));
    CRect apart(20, 30, 40, 50);
    apart.bound(CRect(0, 0, 10, 10));
    EXPECT_EQ(apart.left, 20);
    EXPECT_EQ(apart.right, 20);
    EXPECT_EQ(apart.top, 30);
    EXPECT_EQ(apart.bottom, 30);
    EXPECT_TRUE(apart.isEmpty());
}

TEST(Geometry, OverlapAndContainmentIncludeEdges) {
    const CRect a(0, 0, 10, 10);
    EXPECT_TRUE(a.rectOverlap(CRect(10, 10, 20, 20))); // touching corner
    EXPECT_TRUE(a.rectOverlap(CRect(10, 0, 20, 10)));  // touching edge
    EXPECT_FALSE(a.rectOverlap(CRect(11, 0, 20, 10)));
    EXPECT_FALSE(a.rectOverlap(CRect(0, 11, 10, 20)));
    EXPECT_FALSE(CRect(11, 0, 20, 10).rectOverlap(a));
    EXPECT_TRUE(a.pointInside(CPoint(10, 10)));
    EXPECT_TRUE(a.pointInside(CPoint(0, 0)));
    EXPECT_FALSE(a.pointInside(CPoint(11, 5)));
    EXPECT_FALSE(a.pointInside(CPoint(5, -1)));
    EXPECT_TRUE(CPoint(10, 0).isInside(a));
}

TEST(Geometry, ColourConstantsAreRedGreenBlueAlpha) {
    EXPECT_EQ(kTransparentCColor, MakeCColor(255, 255, 255, 0));
    EXPECT_EQ(kGreyCColor, MakeCColor(127, 127, 127));
    EXPECT_EQ(kMagentaCColor.red, 255);
    EXPECT_EQ(kMagentaCColor.green, 0);
    EXPECT_EQ(kCyanCColor.blue, 255);
    EXPECT_NE(kWhiteCColor, kTransparentCColor);
}

namespace {

struct Counted : CReferenceCounter {
    explicit Counted(bool& deleted) : deleted(deleted) {}
    ~Counted() override { deleted = true; }
    bool& deleted;
};

} // namespace

TEST(ReferenceCounting, LastForgetDeletes) {
    bool deleted = false;
    auto* object = new Counted(deleted);
    EXPECT_EQ(object->getNbReference(), 1);
    object->remember();
    object->forget();
    EXPECT_FALSE(deleted);
    EXPECT_EQ(object->getNbReference(), 1);
    object->forget();
    EXPECT_TRUE(deleted);
}

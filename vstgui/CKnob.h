#pragma once

#include "vstgui/CColor.h"
#include "vstgui/CControl.h"
#include "vstgui/CPointerTracker.h"

namespace VSTGUI {

// Knob modes of the frame: only kLinearMode is told apart.
enum CKnobMode : int32_t {
    kCircularMode = 0,
    kRelativeCircularMode = 1,
    kLinearMode = 2,
};

// A rotary control. Angles are radians, counter-clockwise from the positive x axis; the value
// vmin sits at startAngle and vmax at startAngle + rangeAngle. By default 0 is at lower left,
// 0.5 at the top and 1 at lower right, with a dead sector of 90 degrees at the bottom.
class CKnob : public CControl, public CPointerTracker {
  public:
    CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
          CBitmap* handle, const CPoint& offset);
    ~CKnob() override;

    using CControl::onWheel;

    void draw(CDrawContext* context) override;
    // A left press starts a drag that the frame's idle moves on until the button is released.
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    // Arrow keys step the value by wheelInc (a tenth of it with shift).
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool isTypeOf(const char* type) const override;

    virtual void drawHandle(CDrawContext* context);
    virtual void setStartAngle(float value);
    virtual float getStartAngle() const;
    virtual void setRangeAngle(float value);
    virtual float getRangeAngle() const;
    // The handle point for the current value, relative to the knob's top-left corner.
    virtual void valueToPoint(CPoint& point) const;
    // The value for a point relative to the knob's top-left corner.
    virtual float valueFromPoint(CPoint& point) const;
    virtual void setInsetValue(int32_t value);
    virtual void setColorShadowHandle(CColor color);
    virtual void setColorHandle(CColor color);
    virtual void setHandleBitmap(CBitmap* bitmap);
    virtual void setZoomFactor(float value);
    virtual float getZoomFactor() const;

    // CPointerTracker: one step of a drag, and its end without a release.
    bool trackPointer(CDrawContext* context) override;
    void cancelTracking() override;

  protected:
    // A drag from the press to the release: how the pointer's path turns into values.
    struct Drag {
        bool active = false;
        bool linear = false;
        float old = 0.0f;        // circular: the last value accepted
        float entryValue = 0.0f; // linear: the value at firstPoint
        float middle = 0.0f;
        float coef = 0.0f; // linear: value per pixel
        int32_t oldButtons = 0;
        CPoint firstPoint;
        CPoint where;     // the pointer as last read, in the parent's coordinates
        CPoint lastWhere; // where the value was last computed for
    };

    // One wheel or arrow-key step (a tenth of it when fine), reported as a whole gesture.
    void stepValue(float distance, bool fine, CDrawContext* context);

    void compute();

    CPoint offset;
    CColor colorHandle = kWhiteCColor;
    CColor colorShadowHandle = kGreyCColor;
    CBitmap* handleBitmap = nullptr;
    int32_t inset = 3;
    float startAngle = 0.0f;
    float rangeAngle = 1.0f;
    float halfAngle = 0.0f;
    float aCoef = 0.0f;
    float bCoef = 0.0f;
    float radius = 0.0f;
    float zoomFactor = 1.5f;
    Drag drag;
};

} // namespace VSTGUI

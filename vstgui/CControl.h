#pragma once

#include "vstgui/CView.h"

namespace VSTGUI {

class CControlListener;

// A leaf view with a value that reports changes to a listener. Its dirtiness is derived: it is
// dirty while its value differs from the value it last drew, or when marked.
class CControl : public CView {
  public:
    CControl(const CRect& size, CControlListener* listener, int32_t tag,
             CBitmap* background = nullptr);

    void draw(CDrawContext* context) override = 0;
    bool isDirty() const override;
    // false: clean, the value counts as drawn; true: dirty until the next draw.
    void setDirty(bool value = true) override;
    bool isTypeOf(const char* type) const override;

    // Idle work asked for from inside a call of the control's own, through the frame.
    virtual void doIdleStuff();
    virtual void setValue(float value);
    virtual float getValue() const;
    virtual void setMin(float value);
    virtual float getMin() const;
    virtual void setMax(float value);
    virtual float getMax() const;
    virtual void setOldValue(float value);
    virtual float getOldValue() const;
    virtual void setDefaultValue(float value);
    virtual float getDefaultValue() const;
    virtual void setTag(int32_t value);
    virtual int32_t getTag() const;
    // Start and end of a gesture: the control takes the focus and the frame tells the editor.
    virtual void beginEdit();
    virtual void endEdit();
    virtual void setBackOffset(const CPoint& offset);
    virtual void copyBackOffset();
    virtual void setWheelInc(float value);
    virtual float getWheelInc() const;
    // Keeps the value within [vmin, vmax].
    virtual void bounceValue();
    // Control + left click sets the default value; true when it did.
    virtual bool checkDefaultValue(CDrawContext* context, int32_t buttons);

    CControlListener* getListener() const { return listener; }
    void setListener(CControlListener* newListener) { listener = newListener; }

  protected:
    CControlListener* listener = nullptr;
    int32_t tag = 0;
    float oldValue = 1.0f;
    float defaultValue = 0.5f;
    float value = 0.0f;
    float vmin = 0.0f;
    float vmax = 1.0f;
    float wheelInc = 0.1f;
    CPoint backOffset;
};

} // namespace VSTGUI

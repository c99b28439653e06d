#pragma once

#include "plugin/VstKeyCode.h"
#include "vstgui/CPoint.h"
#include "vstgui/CRect.h"
#include "vstgui/CReferenceCounter.h"

#include <cstdint>

class AEffGUIEditor;

namespace VSTGUI {

class CBitmap;
class CDragContainer;
class CDrawContext;
class CFrame;

// Answers of notify.
enum CViewMessageResult : int32_t {
    kMessageUnknown = 0,
    kMessageNotified = 1,
};

// The message a container answers with kMessageNotified. Messages are told apart by address.
extern const char* const kMsgCheckIfViewContainer;

enum CMouseWheelAxis : int32_t {
    kMouseWheelAxisX = 0,
    kMouseWheelAxisY = 1,
};

// A rectangular element of the view tree. Coordinates of size and mouseableArea are those of the
// parent container. Created with one reference; a container that holds it keeps another.
class CView : public CReferenceCounter {
  public:
    explicit CView(const CRect& size);
    ~CView() override;

    // Draws the background bitmap, if any, into size; the view is clean afterwards.
    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);
    // Whether updateRect (inclusive) touches the view.
    virtual bool checkUpdate(const CRect& updateRect);
    // A button press at where; buttons -1 means "read them from the context".
    virtual void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1);
    // Holds one reference to the bitmap (null allowed) and marks the view dirty.
    virtual void setBackground(CBitmap* bitmap);
    virtual CBitmap* getBackground() const;
    // Key handling: -1 when the key is not taken.
    virtual int32_t onKeyDown(VstKeyCode& keyCode);
    virtual int32_t onKeyUp(VstKeyCode& keyCode);
    virtual bool onWheel(CDrawContext* context, const CPoint& where, int32_t axis, float distance);
    virtual bool onWheel(CDrawContext* context, const CPoint& where, float distance);
    virtual bool onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void loseFocus(CDrawContext* context);
    virtual void takeFocus(CDrawContext* context);
    virtual bool isDirty() const;
    virtual void setDirty(bool value = true);
    virtual void setMouseEnabled(bool enabled);
    virtual bool getMouseEnabled() const;
    virtual void setMouseableArea(const CRect& rect);
    virtual CRect& getMouseableArea(CRect& rect) const;
    // Whether where lies in the mouseable area, edges included.
    virtual bool hitTest(const CPoint& where, int32_t buttons = -1);
    virtual void setTransparency(bool enabled);
    virtual bool getTransparency() const;
    virtual void setViewSize(const CRect& rect);
    virtual CRect& getViewSize(CRect& rect) const;
    // Called by a container just before the view leaves it and just after it joins it.
    virtual bool removed(CView* parent);
    virtual bool attached(CView* parent);
    // The pointer position in the coordinates of size; unchanged without a context.
    virtual CPoint& getMouseLocation(CDrawContext* context, CPoint& point);
    virtual CPoint& frameToLocal(CPoint& point) const;
    virtual CPoint& localToFrame(CPoint& point) const;
    virtual AEffGUIEditor* getEditor() const;
    virtual int32_t notify(CView* sender, const char* message);
    // Redraws rect (parent coordinates) with everything behind and above it.
    virtual void redrawRect(CDrawContext* context, const CRect& rect);
    virtual bool wantsFocus() const;
    virtual void setWantsFocus(bool value);
    virtual bool isTypeOf(const char* type) const;
    // Draws the view when it is dirty.
    virtual void update(CDrawContext* context);

    CFrame* getFrame() const { return parentFrame; }
    CView* getParentView() const { return parentView; }
    const CRect& getSize() const { return size; }

  protected:
    friend class CViewContainer;

    // True for a view that answers the container message.
    static bool isContainer(CView* view);

    CRect size;
    CRect mouseableArea;
    CFrame* parentFrame = nullptr;
    CView* parentView = nullptr;
    bool dirty = false;
    bool mouseEnabled = true;
    bool transparencyEnabled = false;
    bool wantsFocusFlag = false;
    CBitmap* background = nullptr;
};

} // namespace VSTGUI

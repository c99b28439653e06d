#pragma once

#include "vstgui/CViewContainer.h"
#include "vstgui/platform/Platform.h"

#include <cairo.h>
#include <vector>

class AEffGUIEditor;

namespace VSTGUI {

class COffscreenContext;
class CPointerTracker;

// Cursor types of CFrame::setCursor.
enum CCursorType : int32_t {
    kCursorDefault = 0,
    kCursorWait = 1,
    kCursorHSize = 2,
    kCursorVSize = 3,
    kCursorSizeAll = 4,
    kCursorNESWSize = 5,
    kCursorNWSESize = 6,
    kCursorNotAllowed = 8,
    kCursorHand = 9,
};

// The root of a view tree, bound to a window of its own inside the host's window. It paints
// through a back buffer, redraws dirty views on idle, keeps the modal and focus views and
// forwards edit gestures to its editor. Without a host window no window is made, unless the frame
// is asked for a top-level window of its own; the tree still draws into contexts handed to it.
class CFrame : public CViewContainer {
  public:
    CFrame(const CRect& size, platform::WindowHandle systemWindow, AEffGUIEditor* editor,
           bool topLevel = false);
    ~CFrame() override;

    using CViewContainer::onWheel;

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    // Every click takes the focus away; a modal view takes all clicks.
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    // Keys go to the focus view, then the modal view; tab moves the focus.
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    int32_t onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(CDrawContext* context, const CPoint& where, int32_t axis, float distance) override;
    void setViewSize(const CRect& rect) override;
    AEffGUIEditor* getEditor() const override;
    bool isTypeOf(const char* type) const override;
    // Draws what is dirty into the back buffer and copies what changed into context.
    void update(CDrawContext* context) override;
    CView* getCurrentView() const override;
    bool advanceNextFocusView(CView* oldFocus, bool reverse = false) override;

    virtual bool open(CPoint* point = nullptr);
    virtual bool close();
    virtual bool isOpen() const;
    // Moves a drag on by one step, then redraws dirty views once the frame has been drawn for
    // the first time.
    virtual void idle();
    virtual void doIdleStuff();
    virtual uint32_t getTicks() const;
    virtual int32_t getKnobMode() const;
    virtual bool setPosition(int32_t x, int32_t y);
    virtual bool getPosition(int32_t& x, int32_t& y) const;
    virtual bool setSize(int32_t width, int32_t height);
    virtual bool getSize(CRect* rect) const;
    virtual bool getSize(CRect& rect) const;
    // 0 when a view is given while another one is modal.
    virtual int32_t setModalView(CView* view);
    virtual CView* getModalView() const;
    virtual void beginEdit(int32_t index);
    virtual void endEdit(int32_t index);
    // The pointer position in frame coordinates.
    virtual bool getCurrentLocation(CPoint& where);
    virtual void setCursor(int32_t type);
    virtual void setFocusView(CView* view);
    virtual CView* getFocusView() const;
    virtual bool setDropActive(bool value);
    virtual bool isDropActive() const;
    virtual void setOpenFlag(bool value);
    virtual bool getOpenFlag() const;
    // Marks every direct child that overlaps rect.
    virtual void invalidate(const CRect& rect);
    virtual bool updatesDisabled(bool value);
    virtual bool updatesDisabled() const;
    // Draws one direct child (any other view draws the whole frame) on a fresh context.
    virtual void draw(CView* view);

    // A context for drawing now: the one of a running update, else one on the window.
    CDrawContext* createDrawContext();
    // The off-screen surface of the frame's size; made on first use.
    COffscreenContext* getBackBuffer();
    platform::WindowHandle getPlatformWindow() const { return window; }
    platform::WindowHandle getSystemWindow() const { return systemWindow; }

    // Window events, called by the platform for the frame's window.
    // Paint: area is redrawn into the back buffer and copied onto device.
    void handlePaint(cairo_surface_t* device, const CRect& area);
    void handleButtonPress(CPoint where);
    // One wheel detent is a distance of 1.
    void handleWheel(CPoint where, float distance);
    // The window was destroyed by someone else: the frame closes.
    void handleWindowDestroyed();

    // A view follows the pointer from a press to the release (a knob drag): the frame holds it
    // and gives it one step on each idle; presses and the wheel wait until the drag has ended.
    // When the window goes, the view leaves the tree or the frame is destroyed, the drag ends
    // without a release.
    void startTracking(CView* view, CPointerTracker* tracker);
    CView* getTrackingView() const { return trackingView; }
    void cancelTracking();

    // The area that the next update draws: the union of the dirty children's rectangles.
    CRect dirtyArea() const;

    // A subtree leaves the frame's tree: the frame forgets it as focus or modal view.
    void viewLeavingTree(CView* view);

    // Process-wide state shared by all frames.
    static void setGlobalKnobMode(int32_t mode);
    static int32_t getGlobalKnobMode();
    static CDragContainer* getCurrentDragContainer();
    static void setCurrentDragContainer(CDragContainer* drag);

  protected:
    // One step of the drag in progress.
    void trackPointer();
    // The drag has ended: its view is let go.
    void releaseTracking();

    AEffGUIEditor* editor = nullptr;
    platform::WindowHandle systemWindow = nullptr;
    CView* modalView = nullptr;
    CView* focusView = nullptr;
    bool firstDraw = true;
    bool openFlag = true;
    bool dropActive = false;
    bool updatesDisabledFlag = false;
    platform::WindowHandle window = nullptr;
    COffscreenContext* backBuffer = nullptr;
    CDrawContext* frameContext = nullptr;
    platform::CursorHandle defaultCursor = nullptr;
    CView* trackingView = nullptr; // one reference held while it tracks
    CPointerTracker* tracker = nullptr;
    // Indexes of the gestures begun through the frame and not yet ended; a frame destroyed in
    // the middle of one (the editor closed during a drag) ends them for the editor.
    std::vector<int32_t> openEdits;
};

} // namespace VSTGUI

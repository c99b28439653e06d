#include "vstgui/CFrame.h"

#include "editor/AEffGUIEditor.h"
#include "vstgui/CDragContainer.h"
#include "vstgui/COffscreenContext.h"
#include "vstgui/CPointerTracker.h"

#include <algorithm>
#include <cstring>

namespace VSTGUI {

namespace {

// Process-wide state shared by every frame of the module.
int32_t knobModeForAll = 0;
CDragContainer* currentDrag = nullptr;

constexpr unsigned char kVirtualKeyTab = 2;
constexpr unsigned char kModifierShift = 1;

} // namespace

void CFrame::setGlobalKnobMode(int32_t mode) {
    knobModeForAll = mode;
}

int32_t CFrame::getGlobalKnobMode() {
    return knobModeForAll;
}

CDragContainer* CFrame::getCurrentDragContainer() {
    return currentDrag;
}

void CFrame::setCurrentDragContainer(CDragContainer* drag) {
    currentDrag = drag;
}

CFrame::CFrame(const CRect& size, platform::WindowHandle systemWindow, AEffGUIEditor* editor,
               bool topLevel)
    : CViewContainer(size, nullptr, nullptr), editor(editor), systemWindow(systemWindow) {
    parentFrame = this;
    platform::platform().threadInit();
    if (systemWindow || topLevel) {
        window =
            platform::platform().createFrameWindow(this, systemWindow, size.width(), size.height());
        if (window) setDropActive(true);
    }
}

CFrame::~CFrame() {
    cancelTracking();
    while (!openEdits.empty()) {
        const int32_t index = openEdits.back();
        openEdits.pop_back();
        if (editor) editor->endEdit(index);
    }
    if (modalView) removeView(modalView, false);
    modalView = nullptr;
    focusView = nullptr;
    platform::Platform& system = platform::platform();
    if (window) {
        if (!defaultCursor) defaultCursor = system.currentCursor(window);
        system.setCursor(window, defaultCursor);
    }
    if (dropActive && window) {
        system.revokeDropTarget(window);
        dropActive = false;
    }
    frameContext = nullptr;
    system.threadUninit();
    if (backBuffer) backBuffer->forget();
    backBuffer = nullptr;
    if (window) system.destroyFrameWindow(window);
    window = nullptr;
    // The children go while the frame is still whole, so their removal can reach it.
    removeAll(true);
}

// ---- drawing -------------------------------------------------------------------------------

CDrawContext* CFrame::createDrawContext() {
    if (frameContext) {
        frameContext->remember();
        return frameContext;
    }
    return new CDrawContext(this, nullptr, window);
}

COffscreenContext* CFrame::getBackBuffer() {
    if (!backBuffer)
        backBuffer = new COffscreenContext(this, size.width(), size.height(), kBlackCColor);
    return backBuffer;
}

void CFrame::draw(CDrawContext* context) {
    firstDraw = false;
    if (!context) context = frameContext;
    if (context) {
        CViewContainer::draw(context);
        return;
    }
    CDrawContext* own = createDrawContext();
    CViewContainer::draw(own);
    own->forget();
}

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect) {
    firstDraw = false;
    CDrawContext* own = nullptr;
    if (!context) context = own = createDrawContext();
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip = updateRect;
    context->setClipRect(clip.bound(oldClip));
    if (updateRect.width() > 0 && updateRect.height() > 0)
        CViewContainer::drawRect(context, updateRect);
    context->setClipRect(oldClip);
    if (own) own->forget();
}

void CFrame::draw(CView* view) {
    CDrawContext* context = createDrawContext();
    if (view && isChild(view))
        view->draw(context);
    else
        draw(context);
    context->forget();
}

void CFrame::idle() {
    if (tracker) trackPointer();
    if (!openFlag || firstDraw || !isDirty()) return;
    CDrawContext* context = createDrawContext();
    update(context);
    context->forget();
}

void CFrame::update(CDrawContext* context) {
    if (!openFlag || updatesDisabledFlag) return;
    CDrawContext* saved = frameContext;
    COffscreenContext* buffer = getBackBuffer();
    frameContext = buffer;
    // Only what is drawn now changes in the buffer, so only that is copied to the window.
    CRect changed = size;
    if (dirty) {
        draw(static_cast<CDrawContext*>(buffer));
        setDirty(false);
    } else {
        changed = dirtyArea();
        CRect clip;
        buffer->getClipRect(clip);
        if (modalView && modalView->isDirty()) modalView->update(buffer);
        for (CViewListEntry* e = firstView; e; e = e->next) {
            CRect childClip = e->view->getSize();
            buffer->setClipRect(childClip.bound(clip));
            e->view->update(buffer);
        }
        buffer->setClipRect(clip);
    }
    if (context && changed.width() > 0 && changed.height() > 0)
        buffer->copyFrom(context, changed, changed.getTopLeft());
    frameContext = saved;
}

CRect CFrame::dirtyArea() const {
    // A dirty child is drawn within its own rectangle (its clip), whatever it overlaps.
    CRect area;
    bool any = false;
    auto add = [&](const CView* view) {
        if (!view->isDirty()) return;
        CRect r = view->getSize();
        r.bound(size);
        if (r.width() <= 0 || r.height() <= 0) return;
        if (!any) {
            area = r;
            any = true;
            return;
        }
        area = CRect(std::min(area.left, r.left), std::min(area.top, r.top),
                     std::max(area.right, r.right), std::max(area.bottom, r.bottom));
    };
    if (modalView) add(modalView);
    for (CViewListEntry* e = firstView; e; e = e->next)
        add(e->view);
    return area;
}

// ---- window events -------------------------------------------------------------------------

void CFrame::handlePaint(cairo_surface_t* device, const CRect& area) {
    COffscreenContext* buffer = getBackBuffer();
    if (buffer && buffer->getPixmap()) {
        drawRect(buffer, area);
        if (!device) return;
        CDrawContext* target = new CDrawContext(this, device, nullptr);
        buffer->copyFrom(target, area, area.getTopLeft());
        target->forget();
    } else if (device) {
        CDrawContext* target = new CDrawContext(this, device, nullptr);
        drawRect(target, area);
        target->forget();
    }
}

void CFrame::handleButtonPress(CPoint where) {
    CDrawContext* context = new CDrawContext(this, nullptr, window);
    mouse(context, where, -1);
    context->forget();
}

void CFrame::handleWheel(CPoint where, float distance) {
    CDrawContext* context = new CDrawContext(this, nullptr, window);
    CViewContainer::onWheel(context, where, distance);
    context->forget();
}

void CFrame::handleWindowDestroyed() {
    cancelTracking();
    // The handle is kept: the platform still holds the window's record (and its connection)
    // until the frame gives it back in its destructor; it sends nothing to a dead window.
    setOpenFlag(false);
    systemWindow = nullptr;
    dropActive = false;
}

// ---- input ---------------------------------------------------------------------------------

void CFrame::startTracking(CView* view, CPointerTracker* newTracker) {
    if (!view || !newTracker || trackingView) return;
    view->remember();
    trackingView = view;
    tracker = newTracker;
}

void CFrame::trackPointer() {
    const platform::WindowHandle own = window;
    // A window that is gone sees no release.
    if (!openFlag || (own && !platform::platform().windowExists(own))) {
        cancelTracking();
        return;
    }
    CView* view = trackingView;
    CDrawContext* context = createDrawContext();
    const bool goesOn = tracker->trackPointer(context);
    context->forget();
    if (!goesOn && trackingView == view) releaseTracking();
}

void CFrame::cancelTracking() {
    if (!tracker) return;
    CView* view = trackingView;
    CPointerTracker* ending = tracker;
    trackingView = nullptr;
    tracker = nullptr;
    // The view is let go only after its gesture has ended.
    ending->cancelTracking();
    view->forget();
}

void CFrame::releaseTracking() {
    CView* view = trackingView;
    trackingView = nullptr;
    tracker = nullptr;
    if (view) view->forget();
}

void CFrame::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    if (trackingView) return;
    if (!context) context = frameContext;
    if (focusView) setFocusView(nullptr);
    if (buttons == -1 && context) buttons = context->getMouseButtons();
    if (modalView) {
        if (modalView->hitTest(where, buttons)) modalView->mouse(context, where, buttons);
        return;
    }
    CViewContainer::mouse(context, where, buttons);
}

bool CFrame::onWheel(CDrawContext* context, const CPoint& where, int32_t axis, float distance) {
    if (trackingView) return false;
    CView* view = modalView ? modalView : getViewAt(where, false);
    if (!view) return false;
    CDrawContext* own = nullptr;
    if (!context) context = own = createDrawContext();
    const bool result = view->onWheel(context, where, axis, distance);
    if (own) own->forget();
    return result;
}

int32_t CFrame::onKeyDown(VstKeyCode& keyCode) {
    int32_t result = -1;
    if (focusView) result = focusView->onKeyDown(keyCode);
    if (result == -1 && modalView) result = modalView->onKeyDown(keyCode);
    if (result == -1 && keyCode.virt == kVirtualKeyTab)
        result = advanceNextFocusView(focusView, (keyCode.modifier & kModifierShift) != 0) ? 1 : -1;
    return result;
}

int32_t CFrame::onKeyUp(VstKeyCode& keyCode) {
    int32_t result = -1;
    if (focusView) result = focusView->onKeyUp(keyCode);
    if (result == -1 && modalView) result = modalView->onKeyUp(keyCode);
    return result;
}

bool CFrame::advanceNextFocusView(CView* oldFocus, bool reverse) {
    if (modalView) return false;
    if (!oldFocus) {
        if (!focusView) return CViewContainer::advanceNextFocusView(nullptr, reverse);
        oldFocus = focusView;
    }
    if (isChild(oldFocus)) {
        if (CViewContainer::advanceNextFocusView(oldFocus, reverse)) return true;
        setFocusView(nullptr);
        return false;
    }
    CView* parent = oldFocus->getParentView();
    while (parent && parent != this && isContainer(parent)) {
        if (static_cast<CViewContainer*>(parent)->advanceNextFocusView(oldFocus, reverse))
            return true;
        oldFocus = parent;
        parent = parent->getParentView();
    }
    if (CViewContainer::advanceNextFocusView(oldFocus, reverse)) return true;
    // Past the last view that wants the focus, as for a direct child: the next tab starts over.
    setFocusView(nullptr);
    return false;
}

void CFrame::setFocusView(CView* view) {
    CView* previous = focusView;
    focusView = view;
    if (focusView && focusView->wantsFocus()) focusView->setDirty();
    if (previous) {
        previous->loseFocus(nullptr);
        if (previous->wantsFocus()) previous->setDirty();
    }
}

CView* CFrame::getFocusView() const {
    return focusView;
}

int32_t CFrame::setModalView(CView* view) {
    if (view && modalView) return 0;
    if (modalView) removeView(modalView, false);
    modalView = view;
    if (view) addView(view);
    return 1;
}

CView* CFrame::getModalView() const {
    return modalView;
}

CView* CFrame::getCurrentView() const {
    return modalView ? modalView : CViewContainer::getCurrentView();
}

void CFrame::viewLeavingTree(CView* view) {
    auto within = [view](CView* v) {
        for (; v; v = v->getParentView())
            if (v == view) return true;
        return false;
    };
    if (trackingView && within(trackingView)) cancelTracking();
    if (focusView && within(focusView)) focusView = nullptr;
    if (modalView && within(modalView)) modalView = nullptr;
}

// ---- frame state ---------------------------------------------------------------------------

bool CFrame::open(CPoint*) {
    return false;
}

bool CFrame::close() {
    return false;
}

bool CFrame::isOpen() const {
    return openFlag;
}

void CFrame::doIdleStuff() {
    if (editor) editor->doIdleStuff();
}

uint32_t CFrame::getTicks() const {
    return editor ? platform::platform().tickCount() : 0;
}

int32_t CFrame::getKnobMode() const {
    return knobModeForAll;
}

bool CFrame::setPosition(int32_t, int32_t) {
    return false;
}

bool CFrame::getPosition(int32_t& x, int32_t& y) const {
    if (!openFlag) return false;
    if (window) return platform::platform().outerWindowPosition(window, x, y);
    x = size.left;
    y = size.top;
    return true;
}

bool CFrame::setSize(int32_t width, int32_t height) {
    if (!openFlag || (width == size.width() && height == size.height())) return false;
    if (backBuffer) backBuffer->forget();
    backBuffer = nullptr;

    if (editor && editor->resizeByHost(width, height)) {
        size.right = size.left + width;
        size.bottom = size.top + height;
        if (window) platform::platform().resizeWindow(window, width, height);
        return true;
    }
    size.right = size.left + width;
    size.bottom = size.top + height;
    if (window) platform::platform().resizeHostWindows(window, width, height);
    CViewContainer::setViewSize(CRect(0, 0, width, height));
    return true;
}

bool CFrame::getSize(CRect* rect) const {
    return rect && getSize(*rect);
}

bool CFrame::getSize(CRect& rect) const {
    if (!openFlag) return false;
    if (window) return platform::platform().hostWindowRect(window, rect);
    rect = size;
    return true;
}

void CFrame::setViewSize(const CRect& rect) {
    setSize(rect.width(), rect.height());
}

AEffGUIEditor* CFrame::getEditor() const {
    return editor;
}

bool CFrame::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CFrame") == 0) || CViewContainer::isTypeOf(type);
}

void CFrame::beginEdit(int32_t index) {
    if (!editor) return;
    openEdits.push_back(index);
    editor->beginEdit(index);
}

void CFrame::endEdit(int32_t index) {
    if (!editor) return;
    const auto open = std::find(openEdits.begin(), openEdits.end(), index);
    if (open != openEdits.end()) openEdits.erase(open);
    editor->endEdit(index);
}

bool CFrame::getCurrentLocation(CPoint& where) {
    platform::WindowServices& services = platform::windowServices();
    where = services.pointerScreenPosition(window);
    if (window) {
        const CPoint origin = services.windowScreenOrigin(window);
        where.offset(-origin.h, -origin.v);
    }
    return true;
}

void CFrame::setCursor(int32_t type) {
    platform::Platform& system = platform::platform();
    if (!defaultCursor) defaultCursor = system.currentCursor(window);
    platform::CursorHandle cursor = system.standardCursor(window, type);
    system.setCursor(window, cursor ? cursor : defaultCursor);
}

bool CFrame::setDropActive(bool value) {
    if (!dropActive && !value) return true;
    if (!window) return false;
    platform::Platform& system = platform::platform();
    if (dropActive) system.revokeDropTarget(window);
    if (value) system.registerDropTarget(window, this);
    dropActive = value;
    return true;
}

bool CFrame::isDropActive() const {
    return dropActive;
}

void CFrame::setOpenFlag(bool value) {
    openFlag = value;
}

bool CFrame::getOpenFlag() const {
    return openFlag;
}

void CFrame::invalidate(const CRect& rect) {
    for (CViewListEntry* e = firstView; e; e = e->next)
        if (e->view->getSize().rectOverlap(rect)) e->view->setDirty(true);
}

bool CFrame::updatesDisabled(bool value) {
    const bool previous = updatesDisabledFlag;
    updatesDisabledFlag = value;
    return previous;
}

bool CFrame::updatesDisabled() const {
    return updatesDisabledFlag;
}

} // namespace VSTGUI

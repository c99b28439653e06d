#include "vstgui/CViewContainer.h"

#include "vstgui/CBitmap.h"
#include "vstgui/CFrame.h"
#include "vstgui/COffscreenContext.h"

#include <cstring>

namespace VSTGUI {

namespace {

CRect bounded(CRect r, const CRect& by) {
    return r.bound(by);
}

} // namespace

CViewContainer::CViewContainer(const CRect& size, CFrame* frame, CBitmap* bitmap) : CView(size) {
    parentFrame = frame;
    if (bitmap) {
        bitmap->remember();
        background = bitmap;
    }
    setDirty(true);
}

CViewContainer::~CViewContainer() {
    removeAll(true);
    if (offscreenContext) offscreenContext->forget();
}

// ---- children ------------------------------------------------------------------------------

void CViewContainer::setFrameDeep(CView* view, CFrame* frame) {
    view->parentFrame = frame;
    if (!isContainer(view)) return;
    auto* container = static_cast<CViewContainer*>(view);
    for (CViewListEntry* e = container->firstView; e; e = e->next)
        setFrameDeep(e->view, frame);
}

void CViewContainer::addView(CView* view, const CRect& area, bool enabled) {
    if (!view) return;
    view->setMouseEnabled(enabled);
    view->setMouseableArea(area);
    addView(view);
}

void CViewContainer::addView(CView* view) {
    if (!view) return;
    auto* entry = new CViewListEntry(view);
    entry->previous = lastView;
    if (lastView)
        lastView->next = entry;
    else
        firstView = entry;
    lastView = entry;
    // The whole subtree joins this container's frame, so a container filled before it was
    // added still reaches the frame.
    setFrameDeep(view, parentFrame);
    view->parentView = this;
    view->attached(this);
    view->setDirty(true);
}

void CViewContainer::unlink(CViewListEntry* entry, bool withForget) {
    CView* view = entry->view;
    if (entry->previous)
        entry->previous->next = entry->next;
    else
        firstView = entry->next;
    if (entry->next)
        entry->next->previous = entry->previous;
    else
        lastView = entry->previous;
    if (currentDragView == view) currentDragView = nullptr;
    // The frame keeps no pointer into a subtree that leaves it, and the subtree none to the
    // frame, so neither can dangle when the other goes away first.
    if (parentFrame && parentFrame != view) parentFrame->viewLeavingTree(view);
    setFrameDeep(view, nullptr);
    view->parentView = nullptr;
    if (withForget) view->forget();
    delete entry;
}

void CViewContainer::removeView(CView* view, const bool& withForget) {
    if (parentFrame && view && parentFrame->getFocusView() == view)
        parentFrame->setFocusView(nullptr);
    for (CViewListEntry* e = firstView; e; e = e->next) {
        if (e->view == view) {
            view->removed(this);
            unlink(e, withForget);
            return;
        }
    }
}

void CViewContainer::removeAll(const bool& withForget) {
    while (firstView) {
        firstView->view->removed(this);
        unlink(firstView, withForget);
    }
}

bool CViewContainer::isChild(CView* view) const {
    for (CViewListEntry* e = firstView; e; e = e->next)
        if (e->view == view) return true;
    return false;
}

int32_t CViewContainer::getNbViews() const {
    int32_t count = 0;
    for (CViewListEntry* e = firstView; e; e = e->next)
        ++count;
    return count;
}

CView* CViewContainer::getView(int32_t index) const {
    if (index < 0) return nullptr;
    for (CViewListEntry* e = firstView; e; e = e->next, --index)
        if (index == 0) return e->view;
    return nullptr;
}

// ---- settings ------------------------------------------------------------------------------

void CViewContainer::setBackgroundColor(const CColor color) {
    backgroundColor = color;
    setDirty(true);
}

CColor CViewContainer::getBackgroundColor() const {
    return backgroundColor;
}

void CViewContainer::setBackgroundOffset(const CPoint& offset) {
    backgroundOffset = offset;
}

const CPoint& CViewContainer::getBackgroundOffset() const {
    return backgroundOffset;
}

void CViewContainer::setMode(int32_t newMode) {
    mode = newMode;
}

int32_t CViewContainer::getMode() const {
    return mode;
}

void CViewContainer::useOffscreen(bool value) {
    drawInOffscreen = value;
    if (!value && offscreenContext) {
        offscreenContext->forget();
        offscreenContext = nullptr;
    }
}

void CViewContainer::ensureOffscreen() {
    if (!offscreenContext && drawInOffscreen)
        offscreenContext =
            new COffscreenContext(parentFrame, size.width(), size.height(), kBlackCColor);
}

void CViewContainer::setViewSize(const CRect& rect) {
    CView::setViewSize(rect);
    if (offscreenContext && drawInOffscreen) {
        offscreenContext->forget();
        offscreenContext = nullptr;
        ensureOffscreen();
    }
}

bool CViewContainer::removed(CView*) {
    if (offscreenContext) {
        offscreenContext->forget();
        offscreenContext = nullptr;
    }
    return true;
}

bool CViewContainer::attached(CView*) {
    ensureOffscreen();
    return true;
}

// ---- drawing -------------------------------------------------------------------------------

void CViewContainer::modifyDrawContext(DrawContextSave& save, CDrawContext* context) const {
    if (!context) return;
    save.offset = context->offset;
    save.screenOffset = context->screenOffset;
    context->offset.offset(size.left, size.top);
    context->screenOffset.offset(size.left, size.top);
}

void CViewContainer::restoreDrawContext(CDrawContext* context, const DrawContextSave& save) const {
    if (!context) return;
    context->offset = save.offset;
    context->screenOffset = save.screenOffset;
}

CDrawContext* CViewContainer::beginDrawing(CDrawContext* context, DrawContextSave& save) {
    ensureOffscreen();
    if (offscreenContext && transparencyEnabled) offscreenContext->copyTo(context, size);
    if (drawInOffscreen && offscreenContext) return offscreenContext;
    modifyDrawContext(save, context);
    return context;
}

void CViewContainer::endDrawing(CDrawContext* context, const DrawContextSave& save) {
    if (drawInOffscreen && offscreenContext)
        offscreenContext->copyFrom(context, size, CPoint(0, 0));
    else
        restoreDrawContext(context, save);
}

CRect CViewContainer::clipForChildren(CDrawContext* context) const {
    CRect clip;
    context->getClipRect(clip);
    // Drawing into the buffer, the given context still has the parent's coordinates.
    if (drawInOffscreen && offscreenContext && static_cast<const CView*>(parentFrame) != this)
        clip.offset(-size.left, -size.top);
    return clip;
}

void CViewContainer::draw(CDrawContext* context) {
    if (!context) return;
    DrawContextSave save;
    CDrawContext* target = beginDrawing(context, save);
    const CRect r = localRect();
    CRect oldClip2;
    context->getClipRect(oldClip2);
    const CRect oldClip = clipForChildren(context);

    target->setClipRect(bounded(r, oldClip));
    if (background) {
        if (transparencyEnabled)
            background->drawTransparent(target, r, backgroundOffset);
        else
            background->draw(target, r, backgroundOffset);
    } else if (!transparencyEnabled) {
        target->setFillColor(backgroundColor);
        target->fillRect(r);
    }
    for (CViewListEntry* e = firstView; e; e = e->next) {
        target->setClipRect(bounded(e->view->size, oldClip));
        e->view->draw(target);
    }
    target->setClipRect(oldClip2);
    endDrawing(context, save);
    setDirty(false);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    if (!context) return;
    DrawContextSave save;
    CDrawContext* target = beginDrawing(context, save);
    const CRect u = bounded(updateRect, size);
    CRect clientRect = u;
    clientRect.offset(-size.left, -size.top);
    CRect oldClip2;
    context->getClipRect(oldClip2);
    const CRect oldClip = clipForChildren(context);

    const CRect newClip = bounded(clientRect, oldClip);
    target->setClipRect(newClip);
    drawBackgroundRect(target, clientRect);
    for (CViewListEntry* e = firstView; e; e = e->next) {
        CView* view = e->view;
        if (!view->checkUpdate(clientRect)) continue;
        const CRect viewSize = bounded(view->size, newClip);
        if (viewSize.width() == 0 || viewSize.height() == 0) continue;
        target->setClipRect(viewSize);
        const bool wasDirty = view->isDirty();
        view->drawRect(target, clientRect);
        // Only part of the view was drawn: the rest waits for a later update.
        if (wasDirty && viewSize != view->size) view->setDirty(true);
    }
    target->setClipRect(oldClip2);
    if (drawInOffscreen && offscreenContext)
        offscreenContext->copyFrom(context, u, CPoint(clientRect.left, clientRect.top));
    else
        restoreDrawContext(context, save);
    setDirty(false);
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& updateRect) {
    if (!context) return;
    if (background) {
        CRect oldClip;
        context->getClipRect(oldClip);
        context->setClipRect(bounded(updateRect, oldClip));
        const CRect whole(0, 0, background->getWidth(), background->getHeight());
        if (transparencyEnabled)
            background->drawTransparent(context, whole, backgroundOffset);
        else
            background->draw(context, whole, backgroundOffset);
        context->setClipRect(oldClip);
    } else if (!transparencyEnabled) {
        context->setFillColor(backgroundColor);
        context->fillRect(updateRect);
    }
}

void CViewContainer::redrawRect(CDrawContext* context, const CRect& rect) {
    CRect r = rect;
    r.offset(size.left, size.top);
    if (transparencyEnabled) {
        if (parentView)
            parentView->redrawRect(context, r);
        else if (parentFrame)
            parentFrame->drawRect(context, r);
        return;
    }
    if (parentView && context) {
        CPoint origin(0, 0);
        parentView->localToFrame(origin);
        const CPoint oldOffset = context->offset;
        const CPoint oldScreenOffset = context->screenOffset;
        context->offset.offset(origin.h, origin.v);
        context->screenOffset.offset(origin.h, origin.v);
        drawRect(context, r);
        context->offset = oldOffset;
        context->screenOffset = oldScreenOffset;
    } else {
        drawRect(context, r);
    }
}

bool CViewContainer::isDirty() const {
    if (dirty) return true;
    const CRect r = localRect();
    for (CViewListEntry* e = firstView; e; e = e->next) {
        if (!e->view->isDirty()) continue;
        const CRect visible = bounded(e->view->size, r);
        if (visible.width() > 0 && visible.height() > 0) return true;
    }
    return false;
}

void CViewContainer::update(CDrawContext* context) {
    if (mode == kNormalUpdate) {
        if (isDirty()) {
            redrawRect(context, localRect());
            setDirty(false);
        }
        return;
    }
    if (mode != kOnlyDirtyUpdate) return;
    if (dirty) {
        redrawRect(context, localRect());
    } else {
        const CRect r = localRect();
        for (CViewListEntry* e = firstView; e; e = e->next) {
            CView* view = e->view;
            if (!view->isDirty() || !view->checkUpdate(r)) continue;
            if (view->notify(this, kMsgCheckIfViewContainer) == kMessageNotified)
                view->update(context);
            else
                view->redrawRect(context, bounded(view->size, r));
        }
    }
    setDirty(false);
}

// ---- input ---------------------------------------------------------------------------------

void CViewContainer::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    CPoint where2 = where;
    where2.offset(-size.left, -size.top);
    if (buttons == -1 && context) buttons = context->getMouseButtons();
    for (CViewListEntry* e = lastView; e; e = e->previous) {
        CView* view = e->view;
        if (view->getMouseEnabled() && view->hitTest(where2, buttons)) {
            view->mouse(context, where2, buttons);
            return;
        }
    }
}

bool CViewContainer::onWheel(CDrawContext* context, const CPoint& where, float distance) {
    return onWheel(context, where, kMouseWheelAxisY, distance);
}

bool CViewContainer::onWheel(CDrawContext* context, const CPoint& where, int32_t axis,
                             float distance) {
    CView* view = getViewAt(where, false);
    if (!view) return false;
    CPoint where2 = where;
    where2.offset(-size.left, -size.top);
    DrawContextSave save;
    modifyDrawContext(save, context);
    const bool result = view->onWheel(context, where2, axis, distance);
    restoreDrawContext(context, save);
    return result;
}

int32_t CViewContainer::onKeyDown(VstKeyCode& keyCode) {
    for (CViewListEntry* e = lastView; e; e = e->previous) {
        const int32_t result = e->view->onKeyDown(keyCode);
        if (result != -1) return result;
    }
    return -1;
}

int32_t CViewContainer::onKeyUp(VstKeyCode& keyCode) {
    for (CViewListEntry* e = lastView; e; e = e->previous) {
        const int32_t result = e->view->onKeyUp(keyCode);
        if (result != -1) return result;
    }
    return -1;
}

void CViewContainer::loseFocus(CDrawContext* context) {
    for (CViewListEntry* e = firstView; e; e = e->next)
        e->view->loseFocus(context);
}

void CViewContainer::takeFocus(CDrawContext* context) {
    for (CViewListEntry* e = firstView; e; e = e->next)
        e->view->takeFocus(context);
}

bool CViewContainer::advanceNextFocusView(CView* oldFocus, bool reverse) {
    bool searching = oldFocus == nullptr;
    for (CViewListEntry* e = reverse ? lastView : firstView; e;
         e = reverse ? e->previous : e->next) {
        CView* view = e->view;
        if (!searching) {
            if (view == oldFocus) searching = true;
            continue;
        }
        if (view->wantsFocus()) {
            if (parentFrame) parentFrame->setFocusView(view);
            return true;
        }
        if (isContainer(view) &&
            static_cast<CViewContainer*>(view)->advanceNextFocusView(nullptr, reverse))
            return true;
    }
    return false;
}

// ---- hit testing and coordinates -----------------------------------------------------------

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
    if (!parentFrame) return nullptr;
    CPoint where2 = where;
    where2.offset(-size.left, -size.top);
    for (CViewListEntry* e = lastView; e; e = e->previous) {
        CView* view = e->view;
        if (!view->mouseableArea.pointInside(where2)) continue;
        if (deep && isContainer(view))
            return static_cast<CViewContainer*>(view)->getViewAt(where2, true);
        return view;
    }
    return nullptr;
}

CView* CViewContainer::getCurrentView() const {
    if (!parentFrame) return nullptr;
    CPoint where;
    parentFrame->getCurrentLocation(where);
    frameToLocal(where);
    for (CViewListEntry* e = lastView; e; e = e->previous)
        if (e->view->mouseableArea.pointInside(where)) return e->view;
    return nullptr;
}

CPoint& CViewContainer::frameToLocal(CPoint& point) const {
    point.offset(-size.left, -size.top);
    if (isContainer(parentView)) return parentView->frameToLocal(point);
    return point;
}

CPoint& CViewContainer::localToFrame(CPoint& point) const {
    point.offset(size.left, size.top);
    if (isContainer(parentView)) return parentView->localToFrame(point);
    return point;
}

int32_t CViewContainer::notify(CView*, const char* message) {
    return message == kMsgCheckIfViewContainer ? kMessageNotified : kMessageUnknown;
}

bool CViewContainer::isTypeOf(const char* type) const {
    return (type && std::strcmp(type, "CViewContainer") == 0) || CView::isTypeOf(type);
}

// ---- drag and drop -------------------------------------------------------------------------

void CViewContainer::onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    if (!parentFrame) return;
    DrawContextSave save;
    modifyDrawContext(save, context);
    CPoint where2 = where;
    where2.offset(-size.left, -size.top);
    if (currentDragView) currentDragView->onDragLeave(context, drag, where2);
    CView* target = getViewAt(where, false);
    currentDragView = target;
    if (target) target->onDragEnter(context, drag, where2);
    restoreDrawContext(context, save);
}

void CViewContainer::onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    if (!parentFrame) return;
    DrawContextSave save;
    modifyDrawContext(save, context);
    CPoint where2 = where;
    where2.offset(-size.left, -size.top);
    if (currentDragView) currentDragView->onDragLeave(context, drag, where2);
    currentDragView = nullptr;
    restoreDrawContext(context, save);
}

void CViewContainer::onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    if (!parentFrame) return;
    DrawContextSave save;
    modifyDrawContext(save, context);
    CPoint where2 = where;
    where2.offset(-size.left, -size.top);
    CView* target = getViewAt(where, false);
    if (target != currentDragView) {
        if (currentDragView) currentDragView->onDragLeave(context, drag, where2);
        if (target) target->onDragEnter(context, drag, where2);
        currentDragView = target;
    } else if (currentDragView) {
        currentDragView->onDragMove(context, drag, where2);
    }
    restoreDrawContext(context, save);
}

bool CViewContainer::onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    if (!parentFrame) return false;
    DrawContextSave save;
    modifyDrawContext(save, context);
    CPoint where2 = where;
    where2.offset(-size.left, -size.top);
    CView* target = getViewAt(where, false);
    if (target != currentDragView) {
        if (currentDragView) currentDragView->onDragLeave(context, drag, where2);
        currentDragView = target;
    }
    bool result = false;
    if (currentDragView) {
        result = currentDragView->onDrop(context, drag, where2);
        currentDragView->onDragLeave(context, drag, where2);
    }
    currentDragView = nullptr;
    restoreDrawContext(context, save);
    return result;
}

} // namespace VSTGUI

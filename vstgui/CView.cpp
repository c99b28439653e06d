#include "vstgui/CView.h"

#include "vstgui/CBitmap.h"
#include "vstgui/CDrawContext.h"
#include "vstgui/CFrame.h"
#include "vstgui/CViewContainer.h"

#include <cstring>

namespace VSTGUI {

const char* const kMsgCheckIfViewContainer = "kMsgCheckIfViewContainer";

CView::CView(const CRect& size) : size(size), mouseableArea(size) {}

CView::~CView() {
    if (background) background->forget();
}

bool CView::isContainer(CView* view) {
    return view && view->notify(nullptr, kMsgCheckIfViewContainer) == kMessageNotified;
}

void CView::draw(CDrawContext* context) {
    if (background && context) {
        if (transparencyEnabled)
            background->drawTransparent(context, size, CPoint(0, 0));
        else
            background->draw(context, size, CPoint(0, 0));
    }
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect&) {
    draw(context);
}

bool CView::checkUpdate(const CRect& updateRect) {
    return updateRect.rectOverlap(size);
}

void CView::mouse(CDrawContext*, CPoint&, int32_t) {}

void CView::setBackground(CBitmap* bitmap) {
    if (bitmap) bitmap->remember();
    if (background) background->forget();
    background = bitmap;
    setDirty(true);
}

CBitmap* CView::getBackground() const {
    return background;
}

int32_t CView::onKeyDown(VstKeyCode&) {
    return -1;
}

int32_t CView::onKeyUp(VstKeyCode&) {
    return -1;
}

bool CView::onWheel(CDrawContext* context, const CPoint& where, int32_t, float distance) {
    return onWheel(context, where, distance);
}

bool CView::onWheel(CDrawContext*, const CPoint&, float) {
    return false;
}

bool CView::onDrop(CDrawContext*, CDragContainer*, const CPoint&) {
    return false;
}

void CView::onDragEnter(CDrawContext*, CDragContainer*, const CPoint&) {}
void CView::onDragLeave(CDrawContext*, CDragContainer*, const CPoint&) {}
void CView::onDragMove(CDrawContext*, CDragContainer*, const CPoint&) {}
void CView::loseFocus(CDrawContext*) {}
void CView::takeFocus(CDrawContext*) {}

bool CView::isDirty() const {
    return dirty;
}

void CView::setDirty(bool value) {
    dirty = value;
}

void CView::setMouseEnabled(bool enabled) {
    mouseEnabled = enabled;
}

bool CView::getMouseEnabled() const {
    return mouseEnabled;
}

void CView::setMouseableArea(const CRect& rect) {
    mouseableArea = rect;
}

CRect& CView::getMouseableArea(CRect& rect) const {
    rect = mouseableArea;
    return rect;
}

bool CView::hitTest(const CPoint& where, int32_t) {
    return mouseableArea.pointInside(where);
}

void CView::setTransparency(bool enabled) {
    transparencyEnabled = enabled;
}

bool CView::getTransparency() const {
    return transparencyEnabled;
}

void CView::setViewSize(const CRect& rect) {
    size = rect;
    setDirty(true);
}

CRect& CView::getViewSize(CRect& rect) const {
    rect = size;
    return rect;
}

bool CView::removed(CView*) {
    return true;
}

bool CView::attached(CView*) {
    return true;
}

CPoint& CView::getMouseLocation(CDrawContext* context, CPoint& point) {
    if (!context) return point;
    if (isContainer(parentView)) {
        auto* container = static_cast<CViewContainer*>(parentView);
        CViewContainer::DrawContextSave save;
        container->modifyDrawContext(save, context);
        container->getMouseLocation(context, point);
        container->restoreDrawContext(context, save);
        return point;
    }
    return context->getMouseLocation(point);
}

CPoint& CView::frameToLocal(CPoint& point) const {
    if (isContainer(parentView)) return parentView->frameToLocal(point);
    return point;
}

CPoint& CView::localToFrame(CPoint& point) const {
    if (isContainer(parentView)) return parentView->localToFrame(point);
    return point;
}

AEffGUIEditor* CView::getEditor() const {
    return parentFrame ? parentFrame->getEditor() : nullptr;
}

int32_t CView::notify(CView*, const char*) {
    return kMessageUnknown;
}

void CView::redrawRect(CDrawContext* context, const CRect& rect) {
    if (parentView)
        parentView->redrawRect(context, rect);
    else if (parentFrame)
        parentFrame->drawRect(context, rect);
}

bool CView::wantsFocus() const {
    return wantsFocusFlag;
}

void CView::setWantsFocus(bool value) {
    wantsFocusFlag = value;
}

bool CView::isTypeOf(const char* type) const {
    return type && std::strcmp(type, "CView") == 0;
}

void CView::update(CDrawContext* context) {
    if (!isDirty()) return;
    if (context)
        redrawRect(context, size);
    else if (parentFrame)
        parentFrame->draw(this);
    setDirty(false);
}

} // namespace VSTGUI

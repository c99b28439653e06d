#pragma once

#include "vstgui/CColor.h"
#include "vstgui/CView.h"

namespace VSTGUI {

class COffscreenContext;

// Update modes of a container.
enum CViewContainerMode : int32_t {
    kNormalUpdate = 0,    // redraw everything when anything is dirty
    kOnlyDirtyUpdate = 1, // redraw only the dirty children
};

// A view that owns an ordered list of children: drawn first to last (later ones on top), hit
// and offered keys last to first. Each child is held with one reference.
class CViewContainer : public CView {
  public:
    CViewContainer(const CRect& size, CFrame* frame, CBitmap* background = nullptr);
    ~CViewContainer() override;

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    int32_t onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(CDrawContext* context, const CPoint& where, int32_t axis, float distance) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void loseFocus(CDrawContext* context) override;
    void takeFocus(CDrawContext* context) override;
    bool isDirty() const override;
    void setViewSize(const CRect& rect) override;
    bool removed(CView* parent) override;
    bool attached(CView* parent) override;
    CPoint& frameToLocal(CPoint& point) const override;
    CPoint& localToFrame(CPoint& point) const override;
    int32_t notify(CView* sender, const char* message) override;
    void redrawRect(CDrawContext* context, const CRect& rect) override;
    bool isTypeOf(const char* type) const override;
    void update(CDrawContext* context) override;

    virtual void addView(CView* view, const CRect& mouseableArea, bool mouseEnabled = true);
    virtual void addView(CView* view);
    // Unlinks the view; withForget also drops the reference of the view's creator.
    virtual void removeView(CView* view, const bool& withForget = true);
    virtual void removeAll(const bool& withForget = true);
    virtual bool isChild(CView* view) const;
    virtual int32_t getNbViews() const;
    // The child at index in list order; null when out of range.
    virtual CView* getView(int32_t index) const;
    virtual void setBackgroundColor(const CColor color);
    virtual CColor getBackgroundColor() const;
    virtual void setBackgroundOffset(const CPoint& offset);
    virtual const CPoint& getBackgroundOffset() const;
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& updateRect);
    virtual void setMode(int32_t mode);
    virtual int32_t getMode() const;
    virtual void useOffscreen(bool value);
    virtual CView* getCurrentView() const;
    virtual CView* getViewAt(const CPoint& where, bool deep = false) const;
    // Moves the frame's focus to the next child that wants it after oldFocus (or from the
    // start); false when the walk ends without one.
    virtual bool advanceNextFocusView(CView* oldFocus, bool reverse = false);

    // The origin and screen offset of a context, kept while drawing a container's children.
    struct DrawContextSave {
        CPoint offset;
        CPoint screenOffset;
    };
    // Moves the context's origin to the container's top-left corner.
    void modifyDrawContext(DrawContextSave& save, CDrawContext* context) const;
    void restoreDrawContext(CDrawContext* context, const DrawContextSave& save) const;

  protected:
    struct CViewListEntry {
        CView* view;
        CViewListEntry* next = nullptr;
        CViewListEntry* previous = nullptr;
        explicit CViewListEntry(CView* v) : view(v) { view->remember(); }
        ~CViewListEntry() { view->forget(); }
    };

    CRect localRect() const { return CRect(0, 0, size.width(), size.height()); }
    void ensureOffscreen();
    // Steps common to full and partial drawing: the off-screen buffer and the target context.
    CDrawContext* beginDrawing(CDrawContext* context, DrawContextSave& save);
    void endDrawing(CDrawContext* context, const DrawContextSave& save);
    CRect clipForChildren(CDrawContext* context) const;
    // Unlinks and destroys an entry after the view left the tree.
    void unlink(CViewListEntry* entry, bool withForget);
    // Sets the frame of a view and everything below it.
    static void setFrameDeep(CView* view, CFrame* frame);

    CViewListEntry* firstView = nullptr;
    CViewListEntry* lastView = nullptr;
    int32_t mode = kOnlyDirtyUpdate;
    COffscreenContext* offscreenContext = nullptr;
    CColor backgroundColor = kBlackCColor;
    CPoint backgroundOffset;
    bool drawInOffscreen = false;
    CView* currentDragView = nullptr;
};

} // namespace VSTGUI

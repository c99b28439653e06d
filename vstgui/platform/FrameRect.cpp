#include "vstgui/platform/FrameRect.h"

// The frame class lives with the view tree; until it is part of the build, contexts made for a
// frame start with the clip rectangle used without one.
#if __has_include("vstgui/CFrame.h")
#include "vstgui/CFrame.h"
#define VORPANE_HAS_CFRAME 1
#endif

namespace VSTGUI::platform {

CRect frameRect([[maybe_unused]] CFrame* frame) {
#ifdef VORPANE_HAS_CFRAME
    CRect r;
    frame->getViewSize(r);
    return r;
#else
    return CRect(0, 0, 1000, 1000);
#endif
}

} // namespace VSTGUI::platform

#pragma once

#include "vstgui/platform/Platform.h"

namespace VSTGUI::platform {

// A platform without a display: the real monotonic clock and real pauses, but no windows (so no
// frame window is ever made and an editor cannot open), no cursors and no drag and drop.
class NullPlatform : public Platform {
  public:
    uint32_t tickCount() override;
    void sleep(uint32_t milliseconds) override;
    void threadInit() override {}
    void threadUninit() override {}
    void processEvents(WindowHandle) override {}
    void dispatchPendingPaint(WindowHandle) override {}
    WindowHandle createFrameWindow(CFrame*, WindowHandle, int32_t, int32_t) override {
        return nullptr;
    }
    void destroyFrameWindow(WindowHandle) override {}
    bool windowExists(WindowHandle) override { return false; }
    void resizeWindow(WindowHandle, int32_t, int32_t) override {}
    void resizeHostWindows(WindowHandle, int32_t, int32_t) override {}
    bool outerWindowPosition(WindowHandle, int32_t&, int32_t&) override { return false; }
    bool hostWindowRect(WindowHandle, CRect&) override { return false; }
    CursorHandle currentCursor(WindowHandle) override { return nullptr; }
    CursorHandle standardCursor(WindowHandle, int32_t) override { return nullptr; }
    void setCursor(WindowHandle, CursorHandle) override {}
    bool registerDropTarget(WindowHandle, CFrame*) override { return false; }
    void revokeDropTarget(WindowHandle) override {}
};

} // namespace VSTGUI::platform

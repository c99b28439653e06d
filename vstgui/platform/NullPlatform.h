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
    void processEvents() override {}
    void dispatchPendingPaint() override {}
    WindowHandle createFrameWindow(CFrame*, WindowHandle, int32_t, int32_t) override {
        return nullptr;
    }
    void destroyFrameWindow(WindowHandle) override {}
    bool windowExists(WindowHandle) override { return false; }
    void resizeWindow(WindowHandle, int32_t, int32_t) override {}
    void resizeHostWindows(WindowHandle, int32_t, int32_t) override {}
    bool outerWindowPosition(WindowHandle, int32_t&, int32_t&) override { return false; }
    bool hostWindowRect(WindowHandle, CRect&) override { return false; }
    CursorHandle currentCursor() override { return nullptr; }
    CursorHandle standardCursor(int32_t) override { return nullptr; }
    void setCursor(CursorHandle) override {}
    bool registerDropTarget(WindowHandle, CFrame*) override { return false; }
    void revokeDropTarget(WindowHandle) override {}
};

} // namespace VSTGUI::platform

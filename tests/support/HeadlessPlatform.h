#pragma once

#include "vstgui/platform/Platform.h"

#include <cairo.h>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

namespace VSTGUI::platform {

// One step of a scripted pointer: where it is and which buttons and modifiers are held there.
struct PointerStep {
    CPoint position;
    int32_t buttons = 0;
    bool windowGone = false; // from this step on every window reports that it no longer exists
};

// A platform without a display, for tests and for running without a windowing system. Its clock
// only moves when told, sleeping returns at once (the time asked for is recorded), and the pointer
// plays back a script: a button query answers the buttons of the current step, a position query
// answers its position and then moves on to the next step. Once the script is used up (and after
// the first position query of a pointer set with setPointer), the pointer stays where it was with
// the mouse buttons released (modifiers kept), so a mouse-tracking loop always ends. Frame windows
// are image surfaces of the window's size.
class HeadlessPlatform : public Platform {
  public:
    HeadlessPlatform() = default;
    ~HeadlessPlatform() override;

    // Pointer.
    void setPointer(CPoint position, int32_t buttons = 0);
    void addPointerSteps(const std::vector<PointerStep>& steps);
    size_t remainingPointerSteps() const { return script.size(); }

    // Clock.
    void setTicks(uint32_t ticks) { clock = ticks; }
    void advanceTicks(uint32_t milliseconds) { clock += milliseconds; }
    uint32_t sleptMilliseconds() const { return slept; }
    int32_t sleepCalls() const { return sleeps; }

    int32_t paintDispatches() const { return paints; }
    int32_t eventPumps() const { return pumps; }
    int32_t threadInitDepth() const { return initDepth; }
    int32_t openWindowCount() const;
    // The pixels of a frame window; null when there is no such window.
    cairo_surface_t* windowImage(WindowHandle window) const;
    // The host destroys the window: its frame is told, as by the window's destroy message.
    void destroyWindowFromOutside(WindowHandle window);
    void setWindowScreenOrigin(WindowHandle window, CPoint origin);
    CursorHandle shownCursor() const { return cursor; }

    // WindowServices
    cairo_surface_t* acquireWindowSurface(WindowHandle window) override;
    CPoint windowScreenOrigin(WindowHandle window) override;
    CPoint pointerScreenPosition(WindowHandle window) override;
    int32_t buttonState(WindowHandle window) override;

    // Platform
    uint32_t tickCount() override { return clock; }
    void sleep(uint32_t milliseconds) override;
    void threadInit() override { ++initDepth; }
    void threadUninit() override { --initDepth; }
    void processEvents(WindowHandle) override { ++pumps; }
    void dispatchPendingPaint(WindowHandle) override { ++paints; }
    WindowHandle createFrameWindow(CFrame* frame, WindowHandle parent, int32_t width,
                                   int32_t height) override;
    void destroyFrameWindow(WindowHandle window) override;
    bool windowExists(WindowHandle window) override;
    void resizeWindow(WindowHandle window, int32_t width, int32_t height) override;
    void resizeHostWindows(WindowHandle window, int32_t width, int32_t height) override;
    bool outerWindowPosition(WindowHandle window, int32_t& x, int32_t& y) override;
    bool hostWindowRect(WindowHandle window, CRect& rect) override;
    CursorHandle currentCursor(WindowHandle) override { return cursor; }
    CursorHandle standardCursor(WindowHandle window, int32_t type) override;
    void setCursor(WindowHandle, CursorHandle newCursor) override { cursor = newCursor; }
    bool registerDropTarget(WindowHandle, CFrame*) override { return false; }
    void revokeDropTarget(WindowHandle) override {}

  private:
    struct Window {
        CFrame* frame = nullptr;
        cairo_surface_t* image = nullptr;
        CPoint origin;
        bool alive = true;
    };
    Window* find(WindowHandle window);
    const Window* find(WindowHandle window) const;
    void noteStep(const PointerStep& step);

    std::deque<PointerStep> script;
    PointerStep current;
    bool windowsGone = false;
    uint32_t clock = 0;
    uint32_t slept = 0;
    int32_t sleeps = 0;
    int32_t paints = 0;
    int32_t pumps = 0;
    int32_t initDepth = 0;
    std::map<uintptr_t, Window> windows;
    uintptr_t nextWindow = 1;
    CursorHandle cursor = nullptr;
};

} // namespace VSTGUI::platform

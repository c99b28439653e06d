#include "tests/support/HeadlessPlatform.h"

#include "vstgui/ButtonState.h"
#include "vstgui/CFrame.h"
#include "vstgui/platform/DrawSurface.h"

namespace VSTGUI::platform {

namespace {

constexpr int32_t kMouseButtons = kLButton | kMButton | kRButton;
constexpr uintptr_t kDefaultCursor = 0x100;

uintptr_t key(WindowHandle window) {
    return reinterpret_cast<uintptr_t>(window);
}

} // namespace

HeadlessPlatform::~HeadlessPlatform() {
    for (auto& [id, window] : windows)
        if (window.image) cairo_surface_destroy(window.image);
}

void HeadlessPlatform::setPointer(CPoint position, int32_t buttons) {
    script.clear();
    current = PointerStep{position, buttons, false};
}

void HeadlessPlatform::addPointerSteps(const std::vector<PointerStep>& steps) {
    const bool wasEmpty = script.empty();
    script.insert(script.end(), steps.begin(), steps.end());
    if (wasEmpty && !script.empty()) noteStep(script.front());
}

void HeadlessPlatform::noteStep(const PointerStep& step) {
    if (step.windowGone) windowsGone = true;
}

int32_t HeadlessPlatform::buttonState(WindowHandle) {
    return script.empty() ? current.buttons : script.front().buttons;
}

CPoint HeadlessPlatform::pointerScreenPosition(WindowHandle) {
    if (script.empty()) {
        current.buttons &= ~kMouseButtons;
        return current.position;
    }
    current = script.front();
    script.pop_front();
    if (script.empty())
        current.buttons &= ~kMouseButtons;
    else
        noteStep(script.front());
    return current.position;
}

void HeadlessPlatform::sleep(uint32_t milliseconds) {
    slept += milliseconds;
    ++sleeps;
}

HeadlessPlatform::Window* HeadlessPlatform::find(WindowHandle window) {
    auto it = windows.find(key(window));
    return it == windows.end() ? nullptr : &it->second;
}

const HeadlessPlatform::Window* HeadlessPlatform::find(WindowHandle window) const {
    auto it = windows.find(key(window));
    return it == windows.end() ? nullptr : &it->second;
}

int32_t HeadlessPlatform::openWindowCount() const {
    int32_t count = 0;
    for (const auto& [id, window] : windows)
        if (window.alive) ++count;
    return count;
}

cairo_surface_t* HeadlessPlatform::windowImage(WindowHandle window) const {
    const Window* w = find(window);
    return w && w->alive ? w->image : nullptr;
}

cairo_surface_t* HeadlessPlatform::acquireWindowSurface(WindowHandle window) {
    cairo_surface_t* image = windowImage(window);
    return image ? cairo_surface_reference(image) : nullptr;
}

CPoint HeadlessPlatform::windowScreenOrigin(WindowHandle window) {
    const Window* w = find(window);
    return w ? w->origin : CPoint(0, 0);
}

void HeadlessPlatform::setWindowScreenOrigin(WindowHandle window, CPoint origin) {
    if (Window* w = find(window)) w->origin = origin;
}

WindowHandle HeadlessPlatform::createFrameWindow(CFrame* frame, WindowHandle parent, int32_t width,
                                                 int32_t height) {
    if (!parent) return nullptr;
    Window window;
    window.frame = frame;
    window.image = DrawSurface::createImage(width, height);
    const uintptr_t id = nextWindow++;
    windows[id] = window;
    return reinterpret_cast<WindowHandle>(id);
}

void HeadlessPlatform::destroyFrameWindow(WindowHandle window) {
    if (Window* w = find(window)) {
        w->alive = false;
        w->frame = nullptr;
    }
}

void HeadlessPlatform::destroyWindowFromOutside(WindowHandle window) {
    Window* w = find(window);
    if (!w || !w->alive) return;
    w->alive = false;
    CFrame* frame = w->frame;
    w->frame = nullptr;
    if (frame) frame->handleWindowDestroyed();
}

bool HeadlessPlatform::windowExists(WindowHandle window) {
    const Window* w = find(window);
    return w && w->alive && !windowsGone;
}

void HeadlessPlatform::resizeWindow(WindowHandle window, int32_t width, int32_t height) {
    Window* w = find(window);
    if (!w || width < 0 || height < 0) return;
    if (w->image) cairo_surface_destroy(w->image);
    w->image = DrawSurface::createImage(width, height);
}

void HeadlessPlatform::resizeHostWindows(WindowHandle window, int32_t width, int32_t height) {
    resizeWindow(window, width, height);
}

bool HeadlessPlatform::outerWindowPosition(WindowHandle window, int32_t& x, int32_t& y) {
    const Window* w = find(window);
    if (!w) return false;
    x = w->origin.h;
    y = w->origin.v;
    return true;
}

bool HeadlessPlatform::hostWindowRect(WindowHandle window, CRect& rect) {
    const Window* w = find(window);
    if (!w || !w->image) return false;
    rect = CRect(w->origin.h, w->origin.v, w->origin.h + cairo_image_surface_get_width(w->image),
                 w->origin.v + cairo_image_surface_get_height(w->image));
    return true;
}

CursorHandle HeadlessPlatform::standardCursor(WindowHandle, int32_t type) {
    if ((type >= 1 && type <= 6) || type == 8 || type == 9)
        return reinterpret_cast<CursorHandle>(kDefaultCursor + static_cast<uintptr_t>(type));
    return nullptr;
}

} // namespace VSTGUI::platform

#include "tools/vorpane-host/HostWindow.h"

#include "vstgui/platform/X11ErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace host {

namespace {

using ErrorTrap = VSTGUI::platform::X11ErrorTrap;

// X errors never end the host: an error of a request made inside a trap is charged to that trap;
// any other one is reported on stderr and the host carries on.
void reportError(Display* display, const XErrorEvent& event) {
    char text[256] = {};
    XGetErrorText(display, event.error_code, text, sizeof(text));
    std::fprintf(stderr, "vorpane-host: X error: %s (request %d.%d, resource 0x%lx)\n", text,
                 event.request_code, event.minor_code, event.resourceid);
}

int reportOtherError(Display* display, XErrorEvent* event) {
    reportError(display, *event);
    return 0;
}

// A channel's value scaled to 8 bits from its mask in a true-colour pixel.
uint32_t channel(unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const unsigned long bits = mask >> shift;
    const unsigned long value = (pixel & mask) >> shift;
    return static_cast<uint32_t>((value * 255 + bits / 2) / bits);
}

} // namespace

bool Picture::uniform() const {
    return std::all_of(pixels.begin(), pixels.end(), [&](uint32_t p) { return p == pixels[0]; });
}

struct HostWindow::State {
    Display* display = nullptr;
    Window window = 0;
    Atom protocols = 0;
    Atom deleteWindow = 0;
    bool mapped = false;
    bool closeRequested = false;
    bool destroyed = false;

    void setFixedSize(int width, int height) {
        XSizeHints* hints = XAllocSizeHints();
        if (!hints) return;
        hints->flags = PSize | PMinSize | PMaxSize;
        hints->width = hints->min_width = hints->max_width = width;
        hints->height = hints->min_height = hints->max_height = height;
        XSetWMNormalHints(display, window, hints);
        XFree(hints);
    }
};

HostWindow::HostWindow() : state(std::make_unique<State>()) {}

HostWindow::~HostWindow() {
    if (!state->display) return;
    if (state->window && !state->destroyed) XDestroyWindow(state->display, state->window);
    XCloseDisplay(state->display);
}

bool HostWindow::connect(std::string& error) {
    state->display = XOpenDisplay(nullptr);
    if (!state->display) {
        const char* name = XDisplayName(nullptr);
        error = std::string("cannot open the X display '") + (name ? name : "") +
                "' (is DISPLAY set and the X server running?)";
        return false;
    }
    ErrorTrap::watch(state->display, &reportError);
    XSetErrorHandler(&reportOtherError); // any other connection of the process
    return true;
}

bool HostWindow::create(int width, int height, std::string& error) {
    Display* display = state->display;
    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = StructureNotifyMask;
    ErrorTrap trap(display);
    state->window =
        XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWBackPixel | CWEventMask, &attributes);
    if (!trap.sync() || !state->window) {
        state->window = 0;
        error = "cannot create a window of " + std::to_string(width) + " x " +
                std::to_string(height) + " pixels";
        return false;
    }

    XStoreName(display, state->window, "Vorpane");
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const char title[] = "Vorpane";
    XChangeProperty(display, state->window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(std::strlen(title)));
    const long pid = getpid();
    XChangeProperty(display, state->window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    char resName[] = "vorpane-host";
    char resClass[] = "Vorpane";
    XClassHint classHint{resName, resClass};
    XSetClassHint(display, state->window, &classHint);
    state->setFixedSize(width, height);
    state->protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    state->deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, state->window, &state->deleteWindow, 1);
    XFlush(display);
    return true;
}

unsigned long HostWindow::id() const {
    return state->window;
}

void HostWindow::map() {
    XMapWindow(state->display, state->window);
    XFlush(state->display);
}

bool HostWindow::resize(int width, int height) {
    if (!state->window || state->destroyed || width <= 0 || height <= 0) return false;
    state->setFixedSize(width, height);
    XResizeWindow(state->display, state->window, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    XFlush(state->display);
    return true;
}

int HostWindow::connectionFd() const {
    return ConnectionNumber(state->display);
}

void HostWindow::processEvents() {
    Display* display = state->display;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
        case MapNotify:
            if (event.xmap.window == state->window) state->mapped = true;
            break;
        case UnmapNotify:
            if (event.xunmap.window == state->window) state->mapped = false;
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == state->window) {
                state->destroyed = true;
                state->closeRequested = true;
            }
            break;
        case ClientMessage:
            if (event.xclient.window == state->window &&
                event.xclient.message_type == state->protocols && event.xclient.format == 32 &&
                static_cast<Atom>(event.xclient.data.l[0]) == state->deleteWindow)
                state->closeRequested = true;
            break;
        default:
            break;
        }
    }
    XFlush(display);
}

bool HostWindow::closeRequested() const {
    return state->closeRequested;
}

bool HostWindow::destroyed() const {
    return state->destroyed;
}

bool HostWindow::showsChild() const {
    if (!state->mapped || state->destroyed) return false;
    Display* display = state->display;
    ErrorTrap trap(display); // the editor may destroy its window at any moment
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    bool shown = false;
    if (XQueryTree(display, state->window, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !shown; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, children[i], &attributes))
                shown = attributes.map_state == IsViewable;
        }
        if (children) XFree(children);
    }
    return trap.sync() && shown;
}

bool HostWindow::capture(Picture& picture, std::string& error) const {
    Display* display = state->display;
    ErrorTrap trap(display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, state->window, &attributes) || !trap.sync()) {
        error = "the window cannot be read";
        return false;
    }
    if (attributes.visual->c_class != TrueColor && attributes.visual->c_class != DirectColor) {
        error = "the window's visual has no true colours; run the X server at a depth of 24 bits";
        return false;
    }
    XImage* image = XGetImage(display, state->window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!trap.sync() || !image) {
        if (image) XDestroyImage(image);
        error = "the window's pixels cannot be read (is it on the screen?)";
        return false;
    }
    picture.width = attributes.width;
    picture.height = attributes.height;
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    const Visual* visual = attributes.visual;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            picture.pixels[static_cast<size_t>(y) * picture.width + x] =
                channel(pixel, visual->red_mask) << 16 | channel(pixel, visual->green_mask) << 8 |
                channel(pixel, visual->blue_mask);
        }
    }
    XDestroyImage(image);
    return true;
}

} // namespace host

#include "vstgui/platform/X11Window.h"

#include "vstgui/CFrame.h"
#include "vstgui/platform/X11ErrorTrap.h"
#include "vstgui/platform/X11Surface.h"

#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <algorithm>
#include <cstdlib>

namespace VSTGUI::platform {

namespace {

// Host window trees are shallow; a longer walk means something is wrong with the tree.
constexpr int kMaxWalk = 64;
// Resizing the host's windows walks up while each one only frames the one inside it: once the
// ones walked add more than this much around the frame's window, the next one is the host's
// own and stays as it is.
constexpr int32_t kMaxFramingGrowth = 80;
// The outer window of the editor is the last one up the tree that is within this much of the
// frame's window's size in each direction.
constexpr int32_t kMaxOuterWindowMargin = 60;

unsigned int cursorShape(int32_t type) {
    switch (type) {
    case kCursorWait:
        return XC_watch;
    case kCursorHSize:
        return XC_sb_h_double_arrow;
    case kCursorVSize:
        return XC_sb_v_double_arrow;
    case kCursorSizeAll:
        return XC_fleur;
    case kCursorNESWSize:
        return XC_bottom_left_corner;
    case kCursorNWSESize:
        return XC_bottom_right_corner;
    case kCursorNotAllowed:
        return XC_X_cursor;
    case kCursorHand:
        return XC_hand2;
    default:
        return XC_num_glyphs; // no cursor of its own
    }
}

} // namespace

void X11Window::ExposedArea::add(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) return;
    if (!any) {
        left = x;
        top = y;
        right = x + w;
        bottom = y + h;
        any = true;
        return;
    }
    left = std::min(left, x);
    top = std::min(top, y);
    right = std::max(right, x + w);
    bottom = std::max(bottom, y + h);
}

// ---- life ----------------------------------------------------------------------------------

X11Window* X11Window::create(CFrame* frame, ::Window parent, int32_t width, int32_t height) {
    if (!frame) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    prepareX11Drawing(display);
    X11ErrorTrap::watch(display);
    const bool topLevel = parent == 0;
    if (topLevel) parent = DefaultRootWindow(display);
    width = std::max(width, 1);
    height = std::max(height, 1);
    ::Window id = 0;
    XWindowAttributes attributes{};
    bool made = false;
    {
        X11ErrorTrap trap(display);
        XSetWindowAttributes settings{};
        settings.background_pixmap = None; // the back buffer covers every exposed pixel
        settings.event_mask = ExposureMask | ButtonPressMask | StructureNotifyMask;
        id = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                           CopyFromParent, CWBackPixmap | CWEventMask, &settings);
        // The parent is the host's: a round trip tells whether it existed and took the child.
        made = id != 0 && XGetWindowAttributes(display, id, &attributes) != 0 && trap.sync();
    }
    if (!made) {
        // The server frees whatever the connection made.
        XCloseDisplay(display);
        return nullptr;
    }
    auto* window = new X11Window;
    window->frame = frame;
    window->display = display;
    window->id = id;
    window->root = DefaultRootWindow(display);
    window->visual = attributes.visual;
    window->width = width;
    window->height = height;
    window->topLevel = topLevel;
    X11ErrorTrap trap(display);
    if (topLevel) window->describeTopLevel();
    XMapWindow(display, id);
    XFlush(display);
    return window;
}

void X11Window::close() {
    frame = nullptr;
    if (!closing && !dead) {
        X11ErrorTrap trap(display);
        XDestroyWindow(display, id);
        XFlush(display);
    }
    closing = true;
    finishClosing();
}

bool X11Window::finishClosing() {
    if (!closing || busy > 0 || surfaces > 0) return false;
    {
        X11ErrorTrap trap(display);
        for (auto& [type, cursor] : cursors)
            XFreeCursor(display, cursor);
    }
    XCloseDisplay(display);
    delete this;
    return true;
}

void X11Window::describeTopLevel() {
    static const char kName[] = "Vorpane";
    XStoreName(display, id, kName);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, id, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(kName),
                    sizeof kName - 1);
    char resName[] = "vorpane";
    char resClass[] = "Vorpane";
    XClassHint classHint{resName, resClass};
    XSetClassHint(display, id, &classHint);
    XSizeHints sizeHints{};
    sizeHints.flags = PMinSize | PMaxSize;
    sizeHints.min_width = sizeHints.max_width = width;
    sizeHints.min_height = sizeHints.max_height = height;
    XSetWMNormalHints(display, id, &sizeHints);
    protocolsAtom = XInternAtom(display, "WM_PROTOCOLS", False);
    deleteWindowAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, id, &deleteWindowAtom, 1);
}

// ---- events --------------------------------------------------------------------------------

bool X11Window::isCloseRequest(const XEvent& event) const {
    return topLevel && event.type == ClientMessage && event.xclient.window == id &&
           event.xclient.message_type == protocolsAtom && event.xclient.format == 32 &&
           static_cast<Atom>(event.xclient.data.l[0]) == deleteWindowAtom;
}

void X11Window::closeRequested() {
    if (dead || closing) return;
    {
        X11ErrorTrap trap(display);
        XDestroyWindow(display, id);
        XFlush(display);
    }
    noteDestroyed();
}

void X11Window::noteDestroyed() {
    if (dead) return;
    dead = true;
    exposed = ExposedArea{};
    if (frame) frame->handleWindowDestroyed();
}

void X11Window::handle(const XEvent& event) {
    if (event.xany.window != id || dead || closing) return;
    switch (event.type) {
    case Expose:
        exposed.add(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height);
        break;
    case ButtonPress: {
        // The frame may close the editor while it handles the press (the host can do so from
        // its idle call during a drag); the caller looks at closing afterwards.
        const CPoint where(event.xbutton.x, event.xbutton.y);
        switch (event.xbutton.button) {
        case Button1:
        case Button2:
        case Button3:
            frame->handleButtonPress(where);
            break;
        case Button4:
            frame->handleWheel(where, 1.0f);
            break;
        case Button5:
            frame->handleWheel(where, -1.0f);
            break;
        default:
            break;
        }
        break;
    }
    case ConfigureNotify:
        width = event.xconfigure.width;
        height = event.xconfigure.height;
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == id) noteDestroyed();
        break;
    case ClientMessage:
        if (isCloseRequest(event)) closeRequested();
        break;
    default:
        break;
    }
}

void X11Window::processEvents() {
    if (closing || busy > 0) return;
    ++busy;
    while (!closing) {
        XEvent event;
        {
            X11ErrorTrap trap(display);
            if (XPending(display) <= 0) break;
            XNextEvent(display, &event);
        }
        handle(event);
    }
    if (!closing) paint();
    --busy;
    finishClosing();
}

void X11Window::dispatchPendingPaint() {
    if (closing) return;
    ++busy;
    {
        X11ErrorTrap trap(display);
        XEvent event;
        while (!dead && XCheckTypedWindowEvent(display, id, Expose, &event))
            handle(event);
    }
    paint();
    --busy;
    finishClosing();
}

bool X11Window::exists() {
    if (dead || closing) return false;
    // While a control tracks the pointer no event is handled, so a destruction is looked for
    // in the queue directly.
    X11ErrorTrap trap(display);
    XEvent event;
    if (XCheckTypedWindowEvent(display, id, DestroyNotify, &event)) {
        noteDestroyed();
        return false;
    }
    // No other message than the window manager's request to close is ever sent to the window.
    if (topLevel && XCheckTypedWindowEvent(display, id, ClientMessage, &event) &&
        isCloseRequest(event)) {
        closeRequested();
        return false;
    }
    return true;
}

// Paints the merged exposed area through the frame's back buffer.
void X11Window::paint() {
    if (dead || closing || !exposed.any || !frame) return;
    const CRect area(exposed.left, exposed.top, exposed.right, exposed.bottom);
    exposed = ExposedArea{};
    X11ErrorTrap trap(display);
    cairo_surface_t* surface =
        createX11WindowSurface(display, id, visual, std::max(width, 1), std::max(height, 1));
    if (!surface) return;
    frame->handlePaint(surface, area);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    XFlush(display);
}

// ---- drawing and pointer -------------------------------------------------------------------

cairo_surface_t* X11Window::acquireSurface() {
    if (dead || closing) return nullptr;
    X11ErrorTrap trap(display);
    cairo_surface_t* surface =
        createX11WindowSurface(display, id, visual, std::max(width, 1), std::max(height, 1));
    if (surface) ++surfaces;
    return surface;
}

void X11Window::releaseSurface(cairo_surface_t* surface) {
    if (!surface) return;
    {
        X11ErrorTrap trap(display);
        cairo_surface_flush(surface);
        cairo_surface_destroy(surface);
        XFlush(display);
    }
    if (surfaces > 0) --surfaces;
    finishClosing();
}

CPoint X11Window::screenOrigin() {
    if (dead || closing) return CPoint(0, 0);
    X11ErrorTrap trap(display);
    int x = 0, y = 0;
    ::Window child = 0;
    if (!XTranslateCoordinates(display, id, root, 0, 0, &x, &y, &child)) return CPoint(0, 0);
    return CPoint(x, y);
}

CPoint X11Window::pointer(unsigned int& mask) {
    mask = 0;
    X11ErrorTrap trap(display);
    ::Window rootReturn = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    if (!XQueryPointer(display, root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask))
        return CPoint(0, 0);
    return CPoint(rootX, rootY);
}

// ---- geometry ------------------------------------------------------------------------------

bool X11Window::parentOf(::Window w, ::Window& parent) {
    ::Window rootReturn = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    parent = 0;
    const Status ok = XQueryTree(display, w, &rootReturn, &parent, &children, &count);
    if (children) XFree(children);
    return ok != 0;
}

bool X11Window::geometry(::Window w, XWindowAttributes& attributes) {
    return XGetWindowAttributes(display, w, &attributes) != 0;
}

void X11Window::resize(int32_t newWidth, int32_t newHeight) {
    if (dead || closing || newWidth <= 0 || newHeight <= 0) return;
    width = newWidth;
    height = newHeight;
    X11ErrorTrap trap(display);
    XResizeWindow(display, id, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(display);
}

void X11Window::resizeHostWindows(int32_t newWidth, int32_t newHeight) {
    if (dead || closing || newWidth <= 0 || newHeight <= 0) return;
    width = newWidth;
    height = newHeight;
    X11ErrorTrap trap(display);
    ::Window w = id;
    int32_t extraWidth = 0;
    int32_t extraHeight = 0;
    auto resizeOne = [&](::Window target) {
        XResizeWindow(display, target, static_cast<unsigned>(width + extraWidth),
                      static_cast<unsigned>(height + extraHeight));
    };
    for (int step = 0; step < kMaxWalk; ++step) {
        ::Window parent = 0;
        XWindowAttributes inner{}, outer{};
        // A host window that is gone ends the walk.
        if (!parentOf(w, parent)) return;
        if (parent == 0 || parent == root) break;
        if (!geometry(w, inner) || !geometry(parent, outer)) return;
        resizeOne(w);
        extraWidth += outer.width - inner.width;
        extraHeight += outer.height - inner.height;
        if (extraWidth > kMaxFramingGrowth || extraHeight > kMaxFramingGrowth) {
            trap.sync();
            return;
        }
        extraWidth = std::max(extraWidth, 0);
        extraHeight = std::max(extraHeight, 0);
        w = parent;
    }
    resizeOne(w);
    trap.sync();
}

bool X11Window::outerWindowPosition(int32_t& x, int32_t& y) {
    if (dead || closing) return false;
    X11ErrorTrap trap(display);
    ::Window w = id;
    XWindowAttributes kept{};
    if (!geometry(w, kept)) return false;
    for (int step = 0; step < kMaxWalk; ++step) {
        ::Window parent = 0;
        XWindowAttributes outer{};
        if (!parentOf(w, parent)) return false;
        if (parent == 0 || parent == root) break;
        if (!geometry(parent, outer)) return false;
        if (std::abs(outer.width - kept.width) > kMaxOuterWindowMargin ||
            std::abs(outer.height - kept.height) > kMaxOuterWindowMargin)
            break;
        w = parent;
    }
    XWindowAttributes outerAttributes{};
    if (!geometry(w, outerAttributes)) return false;
    x = outerAttributes.x;
    y = outerAttributes.y;
    return true;
}

bool X11Window::hostWindowRect(CRect& rect) {
    if (dead || closing) return false;
    X11ErrorTrap trap(display);
    ::Window host = 0, above = 0, target = 0;
    XWindowAttributes attributes{};
    if (!parentOf(id, host) || host == 0) return false;
    if (!geometry(host, attributes)) return false;
    if (host == root || !parentOf(host, above) || above == 0 || above == root ||
        !parentOf(above, target) || target == 0)
        target = root;
    int x = 0, y = 0;
    ::Window child = 0;
    if (!XTranslateCoordinates(display, host, target, 0, 0, &x, &y, &child)) return false;
    rect = CRect(x, y, x + attributes.width, y + attributes.height);
    return true;
}

// ---- cursors -------------------------------------------------------------------------------

Cursor X11Window::standardCursor(int32_t type) {
    const unsigned int shape = cursorShape(type);
    if (closing || shape == XC_num_glyphs) return None;
    auto it = cursors.find(type);
    if (it == cursors.end()) {
        X11ErrorTrap trap(display);
        const Cursor cursor = XCreateFontCursor(display, shape);
        if (cursor == None) return None;
        it = cursors.emplace(type, cursor).first;
    }
    return it->second;
}

void X11Window::showCursor(Cursor cursor) {
    if (closing) return;
    shown = cursor;
    if (dead) return;
    X11ErrorTrap trap(display);
    if (shown != None)
        XDefineCursor(display, id, shown);
    else
        XUndefineCursor(display, id);
    XFlush(display);
}

} // namespace VSTGUI::platform

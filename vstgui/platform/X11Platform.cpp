#include "vstgui/platform/X11Platform.h"

#include "vstgui/ButtonState.h"
#include "vstgui/CFrame.h"
#include "vstgui/platform/X11ErrorTrap.h"
#include "vstgui/platform/X11Surface.h"

#include <X11/Xlib.h>
#include <X11/cursorfont.h>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace VSTGUI::platform {

namespace {

// Host window trees are shallow; a longer walk means something is wrong with the tree.
constexpr int kMaxWalk = 64;

::Window idOf(WindowHandle handle) {
    return static_cast<::Window>(reinterpret_cast<uintptr_t>(handle));
}

WindowHandle handleOf(::Window id) {
    return reinterpret_cast<WindowHandle>(static_cast<uintptr_t>(id));
}

// The union of the rectangles exposed since the last paint.
struct ExposedArea {
    bool any = false;
    int32_t left = 0, top = 0, right = 0, bottom = 0;

    void add(int32_t x, int32_t y, int32_t width, int32_t height) {
        if (width <= 0 || height <= 0) return;
        if (!any) {
            left = x;
            top = y;
            right = x + width;
            bottom = y + height;
            any = true;
            return;
        }
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x + width);
        bottom = std::max(bottom, y + height);
    }
};

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

struct X11Platform::Connection {
    struct FrameWindow {
        CFrame* frame = nullptr;
        Visual* visual = nullptr;
        int32_t width = 0;
        int32_t height = 0;
        bool dead = false; // destroyed by someone else; nothing may be sent to it
        ExposedArea exposed;
    };

    Display* display = nullptr;
    ::Window root = 0;
    std::map<::Window, FrameWindow> windows;
    std::map<int32_t, Cursor> cursors;
    Cursor shown = None;
    int32_t busy = 0;     // depth of event handling; the connection stays open meanwhile
    int32_t surfaces = 0; // window surfaces handed out and not given back

    bool open() {
        if (display) return true;
        display = XOpenDisplay(nullptr);
        if (!display) return false;
        root = DefaultRootWindow(display);
        return true;
    }

    // Closes the connection once no frame window, surface or event handling needs it.
    void closeIfUnused() {
        if (!display || !windows.empty() || busy > 0 || surfaces > 0) return;
        {
            X11ErrorTrap trap(display);
            for (auto& [type, cursor] : cursors)
                XFreeCursor(display, cursor);
            XCloseDisplay(display);
        }
        cursors.clear();
        shown = None;
        display = nullptr;
        root = 0;
    }

    FrameWindow* find(::Window id) {
        auto it = windows.find(id);
        return it == windows.end() ? nullptr : &it->second;
    }

    FrameWindow* live(WindowHandle handle) {
        FrameWindow* w = find(idOf(handle));
        return w && !w->dead ? w : nullptr;
    }

    void noteDestroyed(::Window id) {
        FrameWindow* w = find(id);
        if (!w || w->dead) return;
        w->dead = true;
        w->exposed = ExposedArea{};
        if (w->frame) w->frame->handleWindowDestroyed();
    }

    void handle(const XEvent& event) {
        const ::Window id = event.xany.window;
        FrameWindow* w = find(id);
        if (!w || w->dead) return;
        switch (event.type) {
        case Expose:
            w->exposed.add(event.xexpose.x, event.xexpose.y, event.xexpose.width,
                           event.xexpose.height);
            break;
        case ButtonPress: {
            // The frame may close the editor while it handles the press (the host can do so from
            // its idle call during a drag), so nothing of w is used afterwards.
            CFrame* frame = w->frame;
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
            w->width = event.xconfigure.width;
            w->height = event.xconfigure.height;
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == id) noteDestroyed(id);
            break;
        default:
            break;
        }
    }

    // Paints the merged exposed area of one window through its frame's back buffer.
    void paint(::Window id, FrameWindow& w) {
        if (w.dead || !w.exposed.any) return;
        const CRect area(w.exposed.left, w.exposed.top, w.exposed.right, w.exposed.bottom);
        w.exposed = ExposedArea{};
        X11ErrorTrap trap(display);
        cairo_surface_t* surface = createX11WindowSurface(
            display, id, w.visual, std::max(w.width, 1), std::max(w.height, 1));
        if (!surface) return;
        w.frame->handlePaint(surface, area);
        cairo_surface_flush(surface);
        cairo_surface_destroy(surface);
        XFlush(display);
    }

    bool parentOf(::Window w, ::Window& parent) {
        ::Window rootReturn = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        parent = 0;
        const Status ok = XQueryTree(display, w, &rootReturn, &parent, &children, &count);
        if (children) XFree(children);
        return ok != 0;
    }

    bool geometry(::Window w, XWindowAttributes& attributes) {
        return XGetWindowAttributes(display, w, &attributes) != 0;
    }
};

X11Platform::X11Platform() : connection(std::make_unique<Connection>()) {}

X11Platform::~X11Platform() {
    // The display is open only while frame windows exist. A host that unloads the library or
    // exits with an editor still open may still use those windows, and closing a connection
    // from a static destructor is not safe then: the connection is left as it is.
    if (connection->display) static_cast<void>(connection.release());
}

bool X11Platform::isOpen() const {
    return connection->display != nullptr;
}

// ---- windows -------------------------------------------------------------------------------

WindowHandle X11Platform::createFrameWindow(CFrame* frame, WindowHandle parent, int32_t width,
                                            int32_t height) {
    Connection& c = *connection;
    if (!parent || !frame || !c.open()) return nullptr;
    width = std::max(width, 1);
    height = std::max(height, 1);
    ::Window id = 0;
    XWindowAttributes attributes{};
    bool made = false;
    {
        X11ErrorTrap trap(c.display);
        XSetWindowAttributes settings{};
        settings.background_pixmap = None; // the back buffer covers every exposed pixel
        settings.event_mask = ExposureMask | ButtonPressMask | StructureNotifyMask;
        id = XCreateWindow(c.display, idOf(parent), 0, 0, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                           CopyFromParent, CWBackPixmap | CWEventMask, &settings);
        // The parent is the host's: a round trip tells whether it existed and took the child.
        made = id != 0 && c.geometry(id, attributes) && trap.sync();
        if (made) {
            XMapWindow(c.display, id);
            XFlush(c.display);
        } else if (id != 0) {
            XDestroyWindow(c.display, id);
            XSync(c.display, False);
        }
    }
    if (!made) {
        c.closeIfUnused();
        return nullptr;
    }
    Connection::FrameWindow& w = c.windows[id];
    w.frame = frame;
    w.visual = attributes.visual;
    w.width = width;
    w.height = height;
    if (c.shown != None) {
        X11ErrorTrap trap(c.display);
        XDefineCursor(c.display, id, c.shown);
    }
    return handleOf(id);
}

void X11Platform::destroyFrameWindow(WindowHandle window) {
    Connection& c = *connection;
    auto it = c.windows.find(idOf(window));
    if (it == c.windows.end()) return;
    if (!it->second.dead && c.display) {
        X11ErrorTrap trap(c.display);
        XDestroyWindow(c.display, it->first);
        XFlush(c.display);
    }
    c.windows.erase(it);
    c.closeIfUnused();
}

bool X11Platform::windowExists(WindowHandle window) {
    Connection& c = *connection;
    if (!c.live(window)) return false;
    // While a control tracks the pointer no event is handled, so a destruction is looked for
    // in the queue directly.
    X11ErrorTrap trap(c.display);
    XEvent event;
    if (XCheckTypedWindowEvent(c.display, idOf(window), DestroyNotify, &event)) {
        c.noteDestroyed(idOf(window));
        return false;
    }
    return true;
}

void X11Platform::resizeWindow(WindowHandle window, int32_t width, int32_t height) {
    Connection& c = *connection;
    Connection::FrameWindow* w = c.live(window);
    if (!w || width <= 0 || height <= 0) return;
    w->width = width;
    w->height = height;
    X11ErrorTrap trap(c.display);
    XResizeWindow(c.display, idOf(window), static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    XFlush(c.display);
}

void X11Platform::resizeHostWindows(WindowHandle window, int32_t width, int32_t height) {
    Connection& c = *connection;
    Connection::FrameWindow* own = c.live(window);
    if (!own || width <= 0 || height <= 0) return;
    own->width = width;
    own->height = height;
    X11ErrorTrap trap(c.display);
    ::Window w = idOf(window);
    int32_t extraWidth = 0;
    int32_t extraHeight = 0;
    auto resize = [&](::Window target) {
        XResizeWindow(c.display, target, static_cast<unsigned>(width + extraWidth),
                      static_cast<unsigned>(height + extraHeight));
    };
    for (int step = 0; step < kMaxWalk; ++step) {
        ::Window parent = 0;
        XWindowAttributes inner{}, outer{};
        // A host window that is gone ends the walk.
        if (!c.parentOf(w, parent)) return;
        if (parent == 0 || parent == c.root) break;
        if (!c.geometry(w, inner) || !c.geometry(parent, outer)) return;
        resize(w);
        extraWidth += outer.width - inner.width;
        extraHeight += outer.height - inner.height;
        if (extraWidth > 80 || extraHeight > 80) {
            XSync(c.display, False);
            return;
        }
        extraWidth = std::max(extraWidth, 0);
        extraHeight = std::max(extraHeight, 0);
        w = parent;
    }
    resize(w);
    XSync(c.display, False);
}

bool X11Platform::outerWindowPosition(WindowHandle window, int32_t& x, int32_t& y) {
    Connection& c = *connection;
    if (!c.live(window)) return false;
    X11ErrorTrap trap(c.display);
    ::Window w = idOf(window);
    XWindowAttributes kept{};
    if (!c.geometry(w, kept)) return false;
    for (int step = 0; step < kMaxWalk; ++step) {
        ::Window parent = 0;
        XWindowAttributes outer{};
        if (!c.parentOf(w, parent)) return false;
        if (parent == 0 || parent == c.root) break;
        if (!c.geometry(parent, outer)) return false;
        if (std::abs(outer.width - kept.width) > 60 || std::abs(outer.height - kept.height) > 60)
            break;
        w = parent;
    }
    XWindowAttributes outerAttributes{};
    if (!c.geometry(w, outerAttributes)) return false;
    x = outerAttributes.x;
    y = outerAttributes.y;
    return true;
}

bool X11Platform::hostWindowRect(WindowHandle window, CRect& rect) {
    Connection& c = *connection;
    if (!c.live(window)) return false;
    X11ErrorTrap trap(c.display);
    ::Window host = 0, above = 0, target = 0;
    XWindowAttributes attributes{};
    if (!c.parentOf(idOf(window), host) || host == 0) return false;
    if (!c.geometry(host, attributes)) return false;
    if (host == c.root || !c.parentOf(host, above) || above == 0 || above == c.root ||
        !c.parentOf(above, target) || target == 0)
        target = c.root;
    int x = 0, y = 0;
    ::Window child = 0;
    if (!XTranslateCoordinates(c.display, host, target, 0, 0, &x, &y, &child)) return false;
    rect = CRect(x, y, x + attributes.width, y + attributes.height);
    return true;
}

// ---- events --------------------------------------------------------------------------------

void X11Platform::processEvents() {
    Connection& c = *connection;
    if (!c.display || c.busy > 0) return;
    ++c.busy;
    for (;;) {
        XEvent event;
        {
            X11ErrorTrap trap(c.display);
            if (XPending(c.display) <= 0) break;
            XNextEvent(c.display, &event);
        }
        c.handle(event);
    }
    for (auto& [id, w] : c.windows)
        c.paint(id, w);
    --c.busy;
    c.closeIfUnused();
}

void X11Platform::dispatchPendingPaint() {
    Connection& c = *connection;
    if (!c.display) return;
    ++c.busy;
    {
        X11ErrorTrap trap(c.display);
        XEvent event;
        while (XCheckTypedEvent(c.display, Expose, &event))
            c.handle(event);
    }
    for (auto& [id, w] : c.windows)
        if (!w.dead && w.exposed.any) {
            c.paint(id, w);
            break;
        }
    --c.busy;
    c.closeIfUnused();
}

// ---- drawing and pointer -------------------------------------------------------------------

cairo_surface_t* X11Platform::acquireWindowSurface(WindowHandle window) {
    Connection& c = *connection;
    Connection::FrameWindow* w = c.live(window);
    // Only the frame's own windows are drawn on, never the host's.
    if (!w) return nullptr;
    // The surface draws (and may read from the connection) until it is given back.
    X11ErrorTrap::enter(c.display);
    cairo_surface_t* surface = createX11WindowSurface(
        c.display, idOf(window), w->visual, std::max(w->width, 1), std::max(w->height, 1));
    if (!surface) {
        X11ErrorTrap::leave();
        return nullptr;
    }
    ++c.surfaces;
    return surface;
}

void X11Platform::releaseWindowSurface(WindowHandle, cairo_surface_t* surface) {
    Connection& c = *connection;
    if (!surface) return;
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    if (c.surfaces == 0) return;
    if (c.display) XFlush(c.display);
    --c.surfaces;
    X11ErrorTrap::leave();
    c.closeIfUnused();
}

CPoint X11Platform::windowScreenOrigin(WindowHandle window) {
    Connection& c = *connection;
    if (!c.display || !window) return CPoint(0, 0);
    if (Connection::FrameWindow* w = c.find(idOf(window)); w && w->dead) return CPoint(0, 0);
    X11ErrorTrap trap(c.display);
    int x = 0, y = 0;
    ::Window child = 0;
    if (!XTranslateCoordinates(c.display, idOf(window), c.root, 0, 0, &x, &y, &child))
        return CPoint(0, 0);
    return CPoint(x, y);
}

namespace {

struct PointerState {
    CPoint position;
    unsigned int mask = 0;
};

PointerState queryPointer(Display* display, ::Window root) {
    PointerState state;
    if (!display) return state;
    X11ErrorTrap trap(display);
    ::Window rootReturn = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    if (XQueryPointer(display, root, &rootReturn, &child, &rootX, &rootY, &x, &y, &state.mask))
        state.position = CPoint(rootX, rootY);
    return state;
}

} // namespace

CPoint X11Platform::pointerScreenPosition() {
    return queryPointer(connection->display, connection->root).position;
}

int32_t X11Platform::buttonState() {
    // The server reports physical buttons after its own mapping, so a left-handed mapping is
    // already applied here.
    const unsigned int mask = queryPointer(connection->display, connection->root).mask;
    int32_t buttons = 0;
    if (mask & Button1Mask) buttons |= kLButton;
    if (mask & Button2Mask) buttons |= kMButton;
    if (mask & Button3Mask) buttons |= kRButton;
    if (mask & ShiftMask) buttons |= kShift;
    if (mask & ControlMask) buttons |= kControl;
    if (mask & Mod1Mask) buttons |= kAlt;
    return buttons;
}

// ---- cursors -------------------------------------------------------------------------------

CursorHandle X11Platform::currentCursor() {
    return handleOf(connection->shown);
}

CursorHandle X11Platform::standardCursor(int32_t type) {
    Connection& c = *connection;
    const unsigned int shape = cursorShape(type);
    if (!c.display || shape == XC_num_glyphs) return nullptr;
    auto it = c.cursors.find(type);
    if (it == c.cursors.end()) {
        X11ErrorTrap trap(c.display);
        const Cursor cursor = XCreateFontCursor(c.display, shape);
        if (cursor == None) return nullptr;
        it = c.cursors.emplace(type, cursor).first;
    }
    return handleOf(it->second);
}

void X11Platform::setCursor(CursorHandle cursor) {
    Connection& c = *connection;
    if (!c.display) return;
    c.shown = idOf(cursor);
    X11ErrorTrap trap(c.display);
    for (auto& [id, w] : c.windows) {
        if (w.dead) continue;
        if (c.shown != None)
            XDefineCursor(c.display, id, c.shown);
        else
            XUndefineCursor(c.display, id);
    }
    XFlush(c.display);
}

} // namespace VSTGUI::platform

#include "tests/support/X11HostTest.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdlib>
#include <poll.h>

namespace testsupport {

std::unique_ptr<XvfbServer> X11HostTest::server;
int X11HostTest::errors = 0;

int X11HostTest::countError(Display*, XErrorEvent*) {
    ++errors;
    return 0;
}

bool X11HostTest::serverOutside() {
    const char* name = std::getenv(kOutsideServerVariable);
    return name && *name;
}

std::string X11HostTest::displayName() {
    if (serverOutside()) return std::getenv(kOutsideServerVariable);
    return server ? server->displayName() : std::string();
}

void X11HostTest::SetUpTestSuite() {
    if (serverOutside()) {
        setenv("DISPLAY", displayName().c_str(), 1);
        return;
    }
    if (!server) server = std::make_unique<XvfbServer>();
}

void X11HostTest::TearDownTestSuite() {
    server.reset();
}

void X11HostTest::SetUp() {
    ASSERT_TRUE(serverOutside() || (server && server->running()))
        << "the GUI tests need an X server of their own and could not start one: "
        << (server ? server->failure() : std::string("not started"));
    host = XOpenDisplay(displayName().c_str());
    ASSERT_NE(host, nullptr) << "cannot connect to " << displayName();
    int event = 0, error = 0, major = 0, minor = 0;
    ASSERT_TRUE(XTestQueryExtension(host, &event, &error, &major, &minor))
        << "the X server has no XTest extension";
    errors = 0;
    previousHandler = XSetErrorHandler(countError);
    parent = makeHostWindow();
}

void X11HostTest::TearDown() {
    if (!host) return;
    XSync(host, False);
    EXPECT_EQ(errors, 0) << "X errors reached the process's error handler";
    // Whatever the plug-in installed meanwhile, the handler in place is the test's own again.
    EXPECT_EQ(XSetErrorHandler(previousHandler), &X11HostTest::countError)
        << "the plug-in left an X error handler of its own installed";
    XCloseDisplay(host);
    host = nullptr;
}

Window X11HostTest::makeHostWindow(int x, int y, int width, int height) {
    const int screen = DefaultScreen(host);
    const Window window =
        XCreateSimpleWindow(host, RootWindow(host, screen), x, y, width, height, 0,
                            BlackPixel(host, screen), WhitePixel(host, screen));
    XSelectInput(host, window, StructureNotifyMask);
    XMapWindow(host, window);
    XEvent event;
    do {
        XWindowEvent(host, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    return window;
}

std::vector<Window> X11HostTest::children(Window window) {
    Window root = 0, up = 0, *list = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;
    if (XQueryTree(host, window, &root, &up, &list, &count)) result.assign(list, list + count);
    if (list) XFree(list);
    return result;
}

bool X11HostTest::waitUntil(const std::function<bool()>& condition,
                            const std::function<void()>& step, double timeoutSeconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    for (;;) {
        if (step) step();
        XSync(host, False);
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        poll(nullptr, 0, 2); // lets the server and the other processes run
    }
}

std::vector<uint32_t> X11HostTest::grab(Window window, int x, int y, int width, int height) {
    std::vector<uint32_t> pixels;
    XImage* image = XGetImage(host, window, x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return pixels;
    pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            pixels.push_back(static_cast<uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFFu);
    XDestroyImage(image);
    return pixels;
}

void X11HostTest::movePointer(Window window, int x, int y) {
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(host, window, DefaultRootWindow(host), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(host, DefaultScreen(host), rootX, rootY, CurrentTime);
    XSync(host, False);
}

void X11HostTest::pressButton(unsigned int button) {
    XTestFakeButtonEvent(host, button, True, CurrentTime);
    XSync(host, False);
}

void X11HostTest::releaseButton(unsigned int button) {
    XTestFakeButtonEvent(host, button, False, CurrentTime);
    XSync(host, False);
}

} // namespace testsupport

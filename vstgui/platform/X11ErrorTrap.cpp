#include "vstgui/platform/X11ErrorTrap.h"

namespace VSTGUI::platform {

namespace {

// All X calls of the toolkit come from the thread that owns the editors, so these need no lock.
int depth = 0;
Display* trapped = nullptr;
XErrorHandler previous = nullptr;
unsigned long errorCount = 0;

int countError(Display* display, XErrorEvent* error) {
    if (display == trapped) {
        ++errorCount;
        return 0;
    }
    return previous ? previous(display, error) : 0;
}

} // namespace

void X11ErrorTrap::enter(Display* display) {
    if (depth++ == 0) {
        trapped = display;
        previous = XSetErrorHandler(countError);
    }
}

void X11ErrorTrap::leave() {
    if (depth == 0) return;
    if (--depth == 0) {
        XSetErrorHandler(previous);
        previous = nullptr;
        trapped = nullptr;
    }
}

X11ErrorTrap::X11ErrorTrap(Display* display) : display(display), errorsAtStart(errorCount) {
    enter(display);
}

X11ErrorTrap::~X11ErrorTrap() {
    leave();
}

bool X11ErrorTrap::sync() {
    if (display) XSync(display, False);
    return clean();
}

bool X11ErrorTrap::clean() const {
    return errorCount == errorsAtStart;
}

} // namespace VSTGUI::platform

// A test fixture that plays the host's side of the windowing: an X server of its own, a
// connection of its own, a top-level window to hand to the editor, pointer input through XTest,
// pixels read back from the screen, and a count of the X errors that reach the process's error
// handler (each one would have ended a host using Xlib's default handler).
#pragma once

#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testsupport {

class X11HostTest : public ::testing::Test {
  public:
    // The window id as a host passes it in effEditOpen.
    static void* handleFor(Window window) {
        return reinterpret_cast<void*>(static_cast<uintptr_t>(window));
    }

  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // A new top-level window of the host, mapped. Windows read back must not overlap: the
    // server keeps no contents of hidden parts.
    Window makeHostWindow(int x = 0, int y = 0, int width = 480, int height = 320);
    std::vector<Window> children(Window window);

    // Runs step, then checks condition, until it holds or timeoutSeconds have passed.
    bool waitUntil(const std::function<bool()>& condition, const std::function<void()>& step,
                   double timeoutSeconds = 30.0);

    // The pixels (0xRRGGBB) of a rectangle of a window, row by row.
    std::vector<uint32_t> grab(Window window, int x, int y, int width, int height);

    // Pointer input through XTest, in the coordinates of window.
    void movePointer(Window window, int x, int y);
    void pressButton(unsigned int button);
    void releaseButton(unsigned int button);

    static int errorCount() { return errors; }

    // Names an X server that a test runs on instead of starting its own: one outside this
    // process's IPC namespace (the test runs again under unshare --ipc), where MIT-SHM cannot
    // attach.
    static constexpr const char* kOutsideServerVariable = "VORPANE_TEST_OUTSIDE_SERVER";
    static bool serverOutside();
    // The display the tests use, such as ":3".
    static std::string displayName();

    Display* host = nullptr;
    Window parent = 0;

  private:
    static int countError(Display*, XErrorEvent*);
    static std::unique_ptr<XvfbServer> server;
    static int errors;
    XErrorHandler previousHandler = nullptr;
};

} // namespace testsupport

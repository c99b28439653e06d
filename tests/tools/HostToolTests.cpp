// vorpane-host as its users see it: usage errors, exit codes, the window it opens, screenshots,
// what --verbose prints and how it closes. Runs under an X server of its own, started before the
// first test.
#include "tests/support/TestHost.h"
#include "tests/support/XvfbServer.h"

#include <cairo.h>
#include <gtest/gtest.h>

// After gtest: Xlib's macros (None, Bool, Status) would clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr auto kPatience = 60s; // for anything that waits on the tool or the X server

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Polls a condition every few milliseconds until it holds or the patience runs out.
bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

struct Png {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0xRRGGBB
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool uniform() const {
        for (uint32_t p : pixels)
            if (p != pixels[0]) return false;
        return true;
    }
};

Png readPng(const fs::path& path) {
    Png png;
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        png.width = cairo_image_surface_get_width(surface);
        png.height = cairo_image_surface_get_height(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        for (int y = 0; y < png.height; ++y)
            for (int x = 0; x < png.width; ++x)
                png.pixels.push_back(
                    reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride)[x] &
                    0xFFFFFF);
    }
    cairo_surface_destroy(surface);
    return png;
}

bool vorpaneHasEditor() {
    testhost::TestHost host;
    AEffect* effect = host.load();
    return effect && (effect->flags & effFlagsHasEditor);
}

// The test's own connection: it finds the tool's window and acts as the user and the window
// manager would.
class XClient {
  public:
    XClient() : display(XOpenDisplay(nullptr)) {
        // The tool's windows may go at any moment; a query on a window that went just fails.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~XClient() {
        if (display) XCloseDisplay(display);
    }
    Display* display;

    // The top-level window of the process pid, once it and a window inside it are shown.
    Window findShownWindow(pid_t pid) {
        Window found = 0;
        if (!display) return 0;
        eventually([&] {
            found = shownWindowOf(pid);
            return found != 0;
        });
        return found;
    }
    std::string title(Window window) {
        char* name = nullptr;
        std::string text;
        if (XFetchName(display, window, &name) && name) text = name;
        if (name) XFree(name);
        return text;
    }
    void size(Window window, int& width, int& height) {
        XWindowAttributes attributes;
        XGetWindowAttributes(display, window, &attributes);
        width = attributes.width;
        height = attributes.height;
    }
    // Presses and releases a button at this point of the window, through XTest.
    void click(Window window, int x, int y, unsigned button) {
        int rootX = 0, rootY = 0;
        Window child;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY,
                              &child);
        XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
        XTestFakeButtonEvent(display, button, True, CurrentTime);
        XTestFakeButtonEvent(display, button, False, CurrentTime);
        XSync(display, False);
    }
    // What a window manager sends when the user closes the window.
    void askToClose(Window window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XSync(display, False);
    }

  private:
    Window shownWindowOf(pid_t pid) {
        const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
        Window root = 0, parent = 0, result = 0;
        Window* tops = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &tops, &count))
            return 0;
        for (unsigned i = 0; i < count && !result; ++i) {
            Atom type = 0;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, tops[i], pidAtom, 0, 1, False, XA_CARDINAL, &type,
                                   &format, &items, &after, &data) == Success &&
                data && items == 1 && *reinterpret_cast<long*>(data) == pid && viewable(tops[i]) &&
                viewableChild(tops[i]))
                result = tops[i];
            if (data) XFree(data);
        }
        if (tops) XFree(tops);
        return result;
    }
    bool viewable(Window window) {
        XWindowAttributes attributes;
        return XGetWindowAttributes(display, window, &attributes) &&
               attributes.map_state == IsViewable;
    }
    bool viewableChild(Window window) {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        bool shown = false;
        if (XQueryTree(display, window, &root, &parent, &children, &count))
            for (unsigned i = 0; i < count && !shown; ++i)
                shown = viewable(children[i]);
        if (children) XFree(children);
        return shown;
    }
};

// The X server of the whole program; DISPLAY names it for the tool and the tests' own clients.
class XServer : public ::testing::Environment {
  public:
    void SetUp() override {
        server = std::make_unique<testsupport::XvfbServer>();
        ASSERT_TRUE(server->running()) << server->failure();
    }
    void TearDown() override { server.reset(); }

  private:
    std::unique_ptr<testsupport::XvfbServer> server;
};

const ::testing::Environment* const xServer = ::testing::AddGlobalTestEnvironment(new XServer);

class HostTool : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("vorpane-host-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override {
        if (child > 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        fs::remove_all(dir);
    }

    // Runs the tool to its end; answers its exit code and keeps its output.
    int run(const std::string& arguments, const std::string& launcher = "") {
        start(arguments, launcher);
        return finish();
    }
    // Starts the tool in the background, through launcher if given (e.g. env), which must exec
    // it so that the child's process id is the tool's.
    void start(const std::string& arguments, const std::string& launcher = "") {
        const std::string command = "exec " + launcher + " " + VORPANE_HOST_PATH + " " + arguments +
                                    " >" + (dir / "stdout").string() + " 2>" +
                                    (dir / "stderr").string();
        child = fork();
        if (child == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    // Waits for the tool to end; answers its exit code, or -1 if it did not end in time or
    // died from a signal.
    int finish() {
        int status = 0;
        const bool ended = eventually([&] { return waitpid(child, &status, WNOHANG) == child; });
        if (!ended) return -1;
        child = -1;
        out = fileText(dir / "stdout");
        err = fileText(dir / "stderr");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    bool printed(const std::string& line) {
        return eventually([&] { return contains(fileText(dir / "stdout"), line); });
    }
    std::string path(const char* name) const { return (dir / name).string(); }
    static std::string fake() { return std::string("--plugin ") + FAKE_EDITOR_PATH + " "; }

    fs::path dir;
    pid_t child = -1;
    std::string out, err;
};

} // namespace

TEST_F(HostTool, HelpDocumentsOptionsAndExitCodes) {
    EXPECT_EQ(run("--help"), 0);
    for (const char* word : {"--plugin", "--set INDEX=VALUE", "--screenshot", "--verbose",
                             "automate INDEX VALUE", "exit codes", "SIGTERM"})
        EXPECT_TRUE(contains(out, word)) << word;
}

TEST_F(HostTool, WrongUsageExitsWith2AndSaysWhy) {
    struct Case {
        std::string arguments, message;
    };
    for (const Case& c : std::vector<Case>{
             {"--frobnicate", "unknown option '--frobnicate'"},
             {"stray", "unexpected argument 'stray'"},
             {"--set", "needs a value"},
             {"--set 0", "INDEX=VALUE"},
             {"--set =0.5", "INDEX=VALUE"},
             {"--set x=0.5", "INDEX must be a whole number"},
             {"--set -1=0.5", "INDEX must be a whole number"},
             {"--set 0=1.5", "VALUE must be a number from 0 to 1"},
             {"--set=0=nan", "VALUE must be"},
             {"--set 0=0.5x", "VALUE must be"},
             {"--verbose --screenshot", "needs a value"},
             {fake() + "--set 2=0.5", "the plug-in has 2 parameters"},
         }) {
        EXPECT_EQ(run("--screenshot " + path("shot.png") + " " + c.arguments), 2) << c.arguments;
        EXPECT_TRUE(contains(err, c.message)) << c.arguments << ": " << err;
        EXPECT_TRUE(contains(err, "--help")) << c.arguments;
        EXPECT_FALSE(fs::exists(dir / "shot.png")) << c.arguments;
    }
}

TEST_F(HostTool, PluginThatCannotBeUsedGivesItsExitCode) {
    EXPECT_EQ(run("--plugin " + path("missing.so")), 4);
    EXPECT_TRUE(contains(err, "cannot load plug-in")) << err;
    std::ofstream(dir / "text.so") << "not a library";
    EXPECT_EQ(run("--plugin " + path("text.so")), 4);
    EXPECT_TRUE(contains(err, "cannot load plug-in")) << err;

    EXPECT_EQ(run(std::string("--plugin ") + FAKE_DELAY_PATH), 5);
    EXPECT_TRUE(contains(err, "has no editor")) << err;
}

TEST_F(HostTool, WithoutDisplayExitsWith3) {
    EXPECT_EQ(run(fake(), "env -u DISPLAY"), 3);
    EXPECT_TRUE(contains(err, "cannot open the X display")) << err;
}

// The stand-in editor asks for 240 x 120 when it opens and paints its left half in a red that
// follows parameter 0 and its right half in yellow.
TEST_F(HostTool, ScreenshotShowsThePaintedEditorAtTheSizeItAskedFor) {
    ASSERT_EQ(run(fake() + "--verbose --set 1=0.2 --set 0=0 --screenshot " + path("dark.png")), 0)
        << err;
    EXPECT_TRUE(contains(out, "size window 240 120")) << out;
    EXPECT_EQ(err, "");
    const Png dark = readPng(dir / "dark.png");
    ASSERT_EQ(dark.width, 240);
    ASSERT_EQ(dark.height, 120);
    EXPECT_EQ(dark.at(10, 60), 0x000040u);
    EXPECT_EQ(dark.at(230, 60), 0xFFFF00u);

    ASSERT_EQ(run(fake() + "--set 0=1 --screenshot " + path("red.png")), 0) << err;
    EXPECT_EQ(readPng(dir / "red.png").at(10, 60), 0xFF0040u);
    EXPECT_FALSE(fs::exists(dir / "red.png.partial"));

    EXPECT_EQ(run(fake() + "--screenshot " + path("no/such/folder/shot.png")), 6);
    EXPECT_TRUE(contains(err, "cannot write")) << err;
}

TEST_F(HostTool, VerbosePrintsGesturesAndClosingTheWindowEndsCleanly) {
    start(fake() + "--verbose");
    XClient x;
    ASSERT_NE(x.display, nullptr);
    const Window window = x.findShownWindow(child);
    ASSERT_NE(window, 0u) << "no window of the tool was shown";
    EXPECT_EQ(x.title(window), "Vorpane");
    int width = 0, height = 0;
    x.size(window, width, height);
    EXPECT_EQ(width, 240);
    EXPECT_EQ(height, 120);

    x.click(window, 50, 50, 1);
    ASSERT_TRUE(printed("end edit 0")) << fileText(dir / "stdout");
    x.askToClose(window);
    EXPECT_EQ(finish(), 0) << err;
    EXPECT_TRUE(contains(out, "begin edit 0\nautomate 0 0.75\nend edit 0\n")) << out;
    EXPECT_EQ(err, "");
}

TEST_F(HostTool, StopSignalsCloseTheEditorAndExit0) {
    for (int signal : {SIGINT, SIGTERM}) {
        start(fake());
        XClient x;
        ASSERT_NE(x.display, nullptr);
        ASSERT_NE(x.findShownWindow(child), 0u) << "no window of the tool was shown";
        kill(child, signal);
        EXPECT_EQ(finish(), 0) << signal << ": " << err;
        EXPECT_EQ(err, "") << signal;
    }
}

// The same with the plug-in itself. Until Vorpane announces an editor the tool must say so; once
// it does, the panel is shown and automated through the tool.
TEST_F(HostTool, VorpanePanelScreenshotFollowsTheParameters) {
    if (!vorpaneHasEditor()) {
        EXPECT_EQ(run("--screenshot " + path("panel.png")), 5);
        EXPECT_TRUE(contains(err, "has no editor")) << err;
        EXPECT_FALSE(fs::exists(dir / "panel.png"));
        return;
    }
    ASSERT_EQ(run("--set 0=0.0 --screenshot " + path("left.png")), 0) << err;
    ASSERT_EQ(run("--set 0=1.0 --screenshot " + path("right.png")), 0) << err;
    const Png left = readPng(dir / "left.png"), right = readPng(dir / "right.png");
    EXPECT_EQ(left.width, 454);
    EXPECT_EQ(left.height, 302);
    EXPECT_FALSE(left.uniform());
    EXPECT_EQ(right.width, 454);
    EXPECT_EQ(right.height, 302);
    EXPECT_NE(left.pixels, right.pixels);
    EXPECT_EQ(err, "");
}

TEST_F(HostTool, VorpaneWheelOnTheAzimuthKnobIsPrintedAsAutomation) {
    if (!vorpaneHasEditor()) {
        EXPECT_EQ(run("--verbose"), 5);
        EXPECT_TRUE(contains(err, "has no editor")) << err;
        return;
    }
    start("--verbose --set 0=0.5");
    XClient x;
    ASSERT_NE(x.display, nullptr);
    const Window window = x.findShownWindow(child);
    ASSERT_NE(window, 0u) << "no window of the tool was shown";
    x.click(window, 95, 210, 4); // wheel up over the middle of the azimuth knob
    ASSERT_TRUE(printed("end edit 0")) << fileText(dir / "stdout");
    x.askToClose(window);
    EXPECT_EQ(finish(), 0) << err;
    const size_t begin = out.find("begin edit 0\n");
    const size_t automate = out.find("automate 0 ");
    ASSERT_NE(begin, std::string::npos) << out;
    ASSERT_NE(automate, std::string::npos) << out;
    EXPECT_LT(begin, automate) << out;
    EXPECT_GT(std::stod(out.substr(automate + 11)), 0.5) << out;
    EXPECT_EQ(err, "");
}

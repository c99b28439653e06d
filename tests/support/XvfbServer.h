// An X server of our own for tests and benchmarks: Xvfb on a display number it picks itself,
// stopped again when the object goes. Once it runs, DISPLAY names it, so code that opens "the"
// display (as the plug-in does) reaches it.
#pragma once

#include <string>
#include <sys/types.h>

namespace testsupport {

class XvfbServer {
  public:
    // Starts the server and waits (up to timeoutSeconds) until it accepts connections.
    explicit XvfbServer(int timeoutSeconds = 60);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool running() const { return error.empty(); }
    // Why the server is not running; empty while it runs.
    const std::string& failure() const { return error; }
    // The display name, such as ":3".
    const std::string& displayName() const { return name; }

  private:
    pid_t pid = -1;
    std::string name;
    std::string error;
};

} // namespace testsupport

#include "tests/support/XvfbServer.h"

#include <X11/Xlib.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

XvfbServer::XvfbServer(int timeoutSeconds) {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        error = std::string("cannot make a pipe for Xvfb: ") + std::strerror(errno);
        return;
    }
    const pid_t parent = getpid();
    pid = fork();
    if (pid < 0) {
        error = std::string("cannot fork for Xvfb: ") + std::strerror(errno);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return;
    }
    if (pid == 0) {
        // The server goes when the test process goes, however it ends.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) _exit(1);
        close(pipeEnds[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) {
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
        }
        const std::string fd = std::to_string(pipeEnds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
               "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);

    // Xvfb writes the display number it took, then a newline, once it accepts clients.
    std::string number;
    for (;;) {
        pollfd readable{pipeEnds[0], POLLIN, 0};
        const int ready = poll(&readable, 1, millisecondsLeft(deadline));
        if (ready <= 0) {
            if (ready < 0 && errno == EINTR) continue;
            error = "Xvfb did not report a display within " + std::to_string(timeoutSeconds) + " s";
            break;
        }
        char c = 0;
        const ssize_t got = read(pipeEnds[0], &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            error = "Xvfb could not be started (is the xvfb package installed? "
                    "scripts/install-deps.sh installs it)";
            break;
        }
        if (c == '\n') break;
        number += c;
    }
    close(pipeEnds[0]);
    if (error.empty() && number.empty()) error = "Xvfb reported no display number";
    if (!error.empty()) {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
            pid = -1;
        }
        return;
    }
    name = ":" + number;
    setenv("DISPLAY", name.c_str(), 1);
    if (Display* probe = XOpenDisplay(name.c_str())) {
        XCloseDisplay(probe);
    } else {
        error = "Xvfb runs on " + name + " but does not accept a connection";
    }
}

XvfbServer::~XvfbServer() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace testsupport

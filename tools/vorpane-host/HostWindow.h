// The host's top-level X11 window that the plug-in's editor opens in: a fixed-size window titled
// "Vorpane" on a display connection of the host's own, closed by the window manager through
// WM_DELETE_WINDOW.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host {

// The panel's pixels, row by row, as 0x00RRGGBB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    bool uniform() const;
    bool operator==(const Picture&) const = default;
};

class HostWindow {
  public:
    HostWindow();
    ~HostWindow(); // destroys the window if it still exists and closes the connection

    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // Connects to the display that DISPLAY names; on failure answers false with a message.
    bool connect(std::string& error);
    // Creates the window, not yet mapped, of this size.
    bool create(int width, int height, std::string& error);
    // The X11 Window id, for the editor.
    unsigned long id() const;
    void map();
    // Resizes the window and its fixed-size hints.
    bool resize(int width, int height);

    // The connection's file descriptor, to wait on.
    int connectionFd() const;
    // Handles every event that has arrived, without blocking, and flushes the requests.
    void processEvents();
    // The window manager or the user asked to close the window, or it was destroyed.
    bool closeRequested() const;
    // The window is gone (DestroyNotify): the editor must not be closed with X requests to it.
    bool destroyed() const;

    // The window is mapped and a child window (the editor's) is mapped inside it.
    bool showsChild() const;
    // Reads the window's pixels, the editor's included. False when it cannot be read or the
    // visual is not a true-colour one (error says why).
    bool capture(Picture& picture, std::string& error) const;

  private:
    struct State;
    std::unique_ptr<State> state;
};

} // namespace host

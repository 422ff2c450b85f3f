// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A real X desktop for tests that offscreen cannot show (activation between windows, what the
// window manager offers): an X server of its own (Xvfb on a free display), a window manager on
// it (openbox), programs started on it, input through XTEST (xdotool), and a look at the windows'
// properties.

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>
#include <xcb/xcb.h>

namespace xtest {

using namespace std::chrono_literals;
inline constexpr std::chrono::milliseconds kWait = 10s;

/// A program running in the background, ended (SIGTERM, then waited for) with its owner.
class Background {
public:
    /// Starts arguments[0] (found on the PATH) with the process's environment, less the
    /// variables in unset, plus those in set. Its output goes nowhere, except for the descriptor
    /// keep, which it inherits (-1 for none).
    Background(const std::vector<std::string>& arguments,
               const std::map<std::string, std::string>& set,
               const std::vector<std::string>& unset = {}, int keep = -1);
    ~Background();
    Background(Background&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }
    Background& operator=(Background&&) = delete;
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    bool started() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class XSession {
public:
    /// Starts the server with one screen of width x height pixels and the window manager on it;
    /// see ready().
    XSession(int width, int height);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    /// Whether the server and the window manager are up (false also when either is missing).
    bool ready() const { return connection_ != nullptr && managed_; }
    /// ":N", for DISPLAY.
    const std::string& display() const { return display_; }

    /// A program on this display (DISPLAY set, no other display variable).
    Background start(const std::vector<std::string>& arguments,
                     std::map<std::string, std::string> environment) const;

    /// The managed window whose title is title, once it is mapped; 0 when none comes in time.
    xcb_window_t waitForWindow(const std::string& title, std::chrono::milliseconds wait = kWait);
    /// Whether the window titled title is gone (or never came) within wait.
    bool waitForNoWindow(const std::string& title, std::chrono::milliseconds wait = kWait);
    /// The window the window manager made active.
    xcb_window_t activeWindow();
    /// The managed windows, bottom first.
    std::vector<xcb_window_t> stacking();
    /// The names of the atoms in an atom-list property of window.
    std::vector<std::string> atomNames(xcb_window_t window, const char* property);
    /// The 32-bit values of a property of window, of any type.
    std::vector<std::uint32_t> values(xcb_window_t window, const char* property);
    /// The window's area on the screen with the window manager's frame around it.
    Rect frame(xcb_window_t window);
    /// Asks the window manager to add a _NET_WM_STATE_... state to window, as a pager or a
    /// keyboard shortcut would.
    void requestState(xcb_window_t window, const char* state);

    /// Runs xdotool with arguments on this display (real input through XTEST); true when it
    /// succeeded.
    bool xdotool(const std::vector<std::string>& arguments) const;

private:
    xcb_atom_t atom(const char* name);
    std::string title(xcb_window_t window);

    std::string display_;
    std::vector<Background> programs_; // the server, then the window manager
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    bool managed_ = false;
};

/// Whether Xvfb, openbox and xdotool are installed.
bool HaveDesktopTools();

} // namespace xtest

// SPDX-License-Identifier: GPL-2.0-or-later
// wine_probe: reads what a running Windows program shows, from beside it in the same Wine
// session, for the smoke suite. It only looks: every input goes through the X server as a user's
// would.
//
//   wine_probe dialog                 the program's dialog and its controls, one a line
//   wine_probe watch SECONDS          "watching" once it knows the boxes already there, then
//                                     every change of the dialog's progress controls until
//                                     another message box appears, then that box
//   wine_probe boxes                  the message boxes on the screen: caption and text
//   wine_probe call-window            the windows of class BootMediaUiCall, message-only or
//                                     top-level, with what a user could see of them
//
// The program's dialog is the one window of the dialog class on the screen that is no message
// box. (Titles are not compared: a command line reaches a Windows program through the code pages
// of two systems.) Exit code 0 when it found what it was asked about, 1 when not, 2 for a wrong
// command line.
#include "platform/windows/WindowsApi.h"

#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kFound = 0;
constexpr int kNotFound = 1;
constexpr int kUsage = 2;

constexpr char kDialogClass[] = "#32770";
constexpr char kCallWindowClass[] = "BootMediaUiCall";
// The static that holds a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kIdcProgress = 1001;
constexpr int kIdcStatusText = 1002;
constexpr int kIdcCreateFloppy = 1003;
constexpr int kIdcExit = 1004;
constexpr int kClassNameSize = 64;
constexpr std::size_t kTextBufferSize = 4096;
constexpr DWORD kWatchPollMilliseconds = 5;
constexpr DWORD kMillisecondsPerSecond = 1000;

std::string ClassOf(HWND window) {
    char name[kClassNameSize] = {};
    GetClassNameA(window, name, kClassNameSize);
    return name;
}

/// The text as the window answers WM_GETTEXT, which reaches into another process. One request
/// into a buffer of fixed size: a length asked for first may be stale by the time of the text.
std::string TextOf(HWND window) {
    std::string text(kTextBufferSize, '\0');
    const auto copied = static_cast<int>(
        SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

/// text in double quotes, line ends and quotes escaped so that it stays on one line.
std::string Quoted(std::string_view text) {
    std::string quoted(1, '"');
    for (char c : text) {
        if (c == '\n') {
            quoted.append("\\n");
            continue;
        }
        if (c == '\r') {
            quoted.append("\\r");
            continue;
        }
        if (c == '"' || c == '\\')
            quoted.push_back('\\');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

struct WindowSearch {
    const char* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    if ((!search.visibleOnly || IsWindowVisible(window)) && ClassOf(window) == search.className)
        search.found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(const char* className, bool visibleOnly) {
    WindowSearch search{className, visibleOnly, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> VisibleTopLevelWindows(const char* className) {
    return TopLevelWindows(className, true);
}

bool IsMessageBox(HWND window) {
    return GetDlgItem(window, kMessageBoxTextId) != nullptr;
}

HWND FindDialog() {
    for (HWND window : VisibleTopLevelWindows(kDialogClass))
        if (!IsMessageBox(window))
            return window;
    return nullptr;
}

std::vector<HWND> MessageBoxes() {
    std::vector<HWND> boxes;
    for (HWND window : VisibleTopLevelWindows(kDialogClass))
        if (IsMessageBox(window))
            boxes.push_back(window);
    return boxes;
}

std::string Enabled(HWND window) {
    return IsWindowEnabled(window) ? "enabled" : "disabled";
}

std::string DescribeControl(HWND control) {
    const std::string className = ClassOf(control);
    // A picture static's text names its picture, not a text.
    const auto style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
    const bool picture = className == "Static" && (style & SS_TYPEMASK) == SS_BITMAP;
    std::ostringstream line;
    line << "control " << GetDlgCtrlID(control) << ' ' << className << ' ' << Enabled(control)
         << ' ' << (picture ? "picture" : Quoted(TextOf(control)));
    if (className == PROGRESS_CLASSA) {
        line << " pos=" << SendMessageA(control, PBM_GETPOS, 0, 0)
             << " range=" << SendMessageA(control, PBM_GETRANGE, TRUE, 0) << ".."
             << SendMessageA(control, PBM_GETRANGE, FALSE, 0);
    } else if (className == "ComboBox") {
        const LRESULT count = SendMessageA(control, CB_GETCOUNT, 0, 0);
        // The window text of a drop-down list is its selected item.
        line << " selected=" << SendMessageA(control, CB_GETCURSEL, 0, 0) << " items=" << count;
    }
    return line.str();
}

int PrintDialog() {
    HWND dialog = FindDialog();
    if (dialog == nullptr)
        return kNotFound;
    std::printf("dialog %s %s\n", Quoted(TextOf(dialog)).c_str(), Enabled(dialog).c_str());
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        std::printf("%s\n", DescribeControl(child).c_str());
    return kFound;
}

/// What a job changes in the dialog, on one line.
std::string ProgressSnapshot(HWND dialog) {
    HWND bar = GetDlgItem(dialog, kIdcProgress);
    HWND floppy = GetDlgItem(dialog, kIdcCreateFloppy);
    std::ostringstream line;
    line << "progress status=" << Quoted(TextOf(GetDlgItem(dialog, kIdcStatusText)))
         << " bar=" << SendMessageA(bar, PBM_GETPOS, 0, 0) << '/'
         << SendMessageA(bar, PBM_GETRANGE, FALSE, 0) << " floppy=" << Quoted(TextOf(floppy))
         << " floppy-" << Enabled(floppy) << " exit-" << Enabled(GetDlgItem(dialog, kIdcExit));
    return line.str();
}

std::string DescribeBox(HWND box) {
    return "box " + Quoted(TextOf(box)) + " " + Quoted(TextOf(GetDlgItem(box, kMessageBoxTextId)));
}

int PrintBoxes() {
    const std::vector<HWND> boxes = MessageBoxes();
    for (HWND box : boxes)
        std::printf("%s\n", DescribeBox(box).c_str());
    return boxes.empty() ? kNotFound : kFound;
}

bool Contains(const std::vector<HWND>& windows, HWND window) {
    for (HWND known : windows)
        if (known == window)
            return true;
    return false;
}

int Watch(DWORD seconds) {
    HWND dialog = FindDialog();
    if (dialog == nullptr)
        return kNotFound;
    const std::vector<HWND> before = MessageBoxes();
    // From here on a new box is told apart from those already there: the caller may go on.
    std::printf("watching\n");
    std::fflush(stdout);
    const DWORD start = GetTickCount();
    std::string last;
    while (GetTickCount() - start < seconds * kMillisecondsPerSecond) {
        const std::string snapshot = ProgressSnapshot(dialog);
        if (snapshot != last) {
            std::printf("%s\n", snapshot.c_str());
            std::fflush(stdout);
            last = snapshot;
        }
        for (HWND box : MessageBoxes()) {
            if (Contains(before, box))
                continue;
            // The box's own look, and the dialog's as it stands behind it.
            std::printf("%s\n%s\n", ProgressSnapshot(dialog).c_str(), DescribeBox(box).c_str());
            return kFound;
        }
        Sleep(kWatchPollMilliseconds);
    }
    return kNotFound;
}

int PrintCallWindows() {
    int found = 0;
    HWND messageOnly = nullptr;
    while ((messageOnly = FindWindowExA(HWND_MESSAGE, messageOnly, kCallWindowClass, nullptr)) !=
           nullptr) {
        std::printf("message-only\n");
        ++found;
    }
    // Hidden windows too: the point is that this one is hidden.
    for (HWND window : TopLevelWindows(kCallWindowClass, false)) {
        const auto extended = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
        std::printf("top-level visible=%d toolwindow=%d foreground=%d\n",
                    IsWindowVisible(window) ? 1 : 0, (extended & WS_EX_TOOLWINDOW) != 0 ? 1 : 0,
                    GetForegroundWindow() == window ? 1 : 0);
        ++found;
    }
    if (found == 0)
        std::printf("none\n");
    return found > 0 ? kFound : kNotFound;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "dialog")
        return PrintDialog();
    if (args.size() == 2 && args[0] == "watch")
        return Watch(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
    if (args.size() == 1 && args[0] == "boxes")
        return PrintBoxes();
    if (args.size() == 1 && args[0] == "call-window")
        return PrintCallWindows();
    std::fprintf(stderr, "usage: wine_probe dialog | watch SECONDS | boxes | call-window\n");
    return kUsage;
}

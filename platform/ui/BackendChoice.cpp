// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/ui/BackendChoice.h"

#include <array>
#include <cstdlib>
#include <string_view>
#include <unistd.h>

namespace fw::ui {
namespace {

constexpr std::string_view kTerminalRequest = "terminal";
constexpr std::string_view kWindowRequest = "qt";
constexpr std::array<const char*, 3> kDisplayVariables{"DISPLAY", "WAYLAND_DISPLAY",
                                                       "QT_QPA_PLATFORM"};

bool DisplayNamed() {
    for (const char* variable : kDisplayVariables) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}

} // namespace

UiKind ChooseUi(const char* request, bool displayNamed, bool onTerminal) {
    if (request != nullptr && request == kTerminalRequest)
        return UiKind::Terminal;
    if (request != nullptr && request == kWindowRequest)
        return UiKind::Window;
    if (!displayNamed && onTerminal)
        return UiKind::Terminal;
    return UiKind::Window;
}

UiKind ChooseUi() {
    return ChooseUi(std::getenv(kUiVariable), DisplayNamed(),
                    ::isatty(STDIN_FILENO) != 0 && ::isatty(STDOUT_FILENO) != 0);
}

} // namespace fw::ui

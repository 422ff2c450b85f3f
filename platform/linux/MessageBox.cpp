// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/MessageBoxPresenter.h"

#include <atomic>
#include <cstdio>

namespace platform {
namespace {
std::atomic<MessageBoxPresenter*> presenter{nullptr};
}

MessageBoxPresenter* SetMessageBoxPresenter(MessageBoxPresenter* replacement) {
    return presenter.exchange(replacement);
}

} // namespace platform

namespace win {

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    if (platform::MessageBoxPresenter* shown = platform::presenter.load())
        return shown->show(owner, text ? text : "", caption ? caption : "", type);
    std::fprintf(stderr, "[%s] %s\n", caption ? caption : "", text ? text : "");
    return (type & MB_TYPEMASK) == MB_OKCANCEL ? IDCANCEL : IDOK;
}

} // namespace win

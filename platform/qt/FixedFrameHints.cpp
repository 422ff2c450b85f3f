// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/FixedFrameHints.h"

#include <QGuiApplication>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <xcb/xcb.h>

namespace fw::qt {
namespace {

// The Motif window manager hints: flags, functions, decorations, input mode, status.
constexpr std::uint32_t kHintFunctions = 1u << 0;
constexpr std::uint32_t kHintDecorations = 1u << 1;
constexpr std::uint32_t kFunctionMove = 1u << 2;
constexpr std::uint32_t kFunctionClose = 1u << 5;
constexpr std::uint32_t kDecorationBorder = 1u << 1;
constexpr std::uint32_t kDecorationTitle = 1u << 3;
constexpr std::uint32_t kDecorationMenu = 1u << 4;
constexpr std::string_view kMotifHints = "_MOTIF_WM_HINTS";
constexpr std::uint8_t kFormat32 = 32;

struct FreeDeleter {
    void operator()(void* reply) const noexcept { std::free(reply); }
};

xcb_atom_t Atom(xcb_connection_t* connection, std::string_view name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data());
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr));
    return reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

} // namespace

void HintFixedFrame(QWidget& window) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr)
        return;
    xcb_connection_t* connection = x11->connection();
    const xcb_atom_t hints = Atom(connection, kMotifHints);
    if (hints == xcb_atom_t{XCB_ATOM_NONE})
        return;
    const std::array<std::uint32_t, 5> values{
        kHintFunctions | kHintDecorations, kFunctionMove | kFunctionClose,
        kDecorationBorder | kDecorationTitle | kDecorationMenu, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE,
                        static_cast<xcb_window_t>(window.winId()), hints, hints, kFormat32,
                        static_cast<std::uint32_t>(values.size()), values.data());
    xcb_flush(connection);
}

} // namespace fw::qt

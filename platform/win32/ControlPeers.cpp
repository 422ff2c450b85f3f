// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/win32/ControlPeers.h"

#include "platform/win32/WindowState.h"

#include <array>
#include <commctrl.h>

namespace fw::win32 {
namespace {

constexpr char kComboBoxClass[] = "ComboBox";
constexpr char kStaticClass[] = "Static";
// The longest class name compared here, with room to tell a longer one apart.
constexpr int kClassNameSize = 32;

/// The part every peer shares: enabled state and text through the window itself.
template <typename Interface> class ControlPeer : public Interface {
public:
    explicit ControlPeer(HWND window) : window_(window) {}

    void setEnabled(bool enabled) override { SetEnabled(window_, enabled); }
    bool isEnabled() const override { return IsEnabled(window_); }
    void setText(std::string_view text) override { SetText(window_, text); }
    std::string text() const override { return Text(window_); }

protected:
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam) const {
        return SendMessageA(window_, message, wParam, lParam);
    }

private:
    HWND window_;
};

class PlainPeer final : public ControlPeer<WindowPeer> {
public:
    using ControlPeer::ControlPeer;
};

// A drop-down list answers WM_GETTEXT with its selected item and ignores WM_SETTEXT, as the
// framework expects of it.
class ComboPeer final : public ControlPeer<ComboBoxPeer> {
public:
    using ControlPeer::ControlPeer;

    int addItem(std::string_view text) override {
        const std::string terminated(text);
        return static_cast<int>(
            send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(terminated.c_str())));
    }
    int count() const override { return static_cast<int>(send(CB_GETCOUNT, 0, 0)); }
    void select(int index) override { send(CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    int selected() const override { return static_cast<int>(send(CB_GETCURSEL, 0, 0)); }
};

class ProgressBarPeer final : public ControlPeer<ProgressPeer> {
public:
    using ControlPeer::ControlPeer;

    void show(int low, int high, int pos) override {
        send(PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
        send(PBM_SETPOS, static_cast<WPARAM>(pos), 0);
    }
};

// The static does not own the bitmap it is given: the framework keeps it alive while shown.
class BitmapStaticPeer final : public ControlPeer<PicturePeer> {
public:
    using ControlPeer::ControlPeer;

    void setBitmap(win::HBITMAP bitmap) override {
        send(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    }
};

bool HasClass(HWND window, const char* className) {
    std::array<char, kClassNameSize> name{};
    if (GetClassNameA(window, name.data(), kClassNameSize) == 0)
        return false;
    return lstrcmpiA(name.data(), className) == 0;
}

bool IsBitmapStatic(HWND window) {
    const auto styles = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    return HasClass(window, kStaticClass) && (styles & SS_TYPEMASK) == SS_BITMAP;
}

} // namespace

std::unique_ptr<WindowPeer> MakeControlPeer(HWND control) {
    if (HasClass(control, kComboBoxClass))
        return std::make_unique<ComboPeer>(control);
    if (HasClass(control, PROGRESS_CLASSA))
        return std::make_unique<ProgressBarPeer>(control);
    if (IsBitmapStatic(control))
        return std::make_unique<BitmapStaticPeer>(control);
    return std::make_unique<PlainPeer>(control);
}

} // namespace fw::win32

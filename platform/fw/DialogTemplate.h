// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A dialog template as data: the dialog's frame and font, and its controls in template order
// (which is also the tab order and the stacking order, first at the bottom). Positions and sizes
// are in dialog units (DialogUnits.h). The program's templates are tables in res/; a backend builds
// windows from them (or, on Windows, from the .rc compiled out of the same tables).

#include <cstdint>
#include <span>

namespace fw {

/// Identifier of a control that no code refers to.
inline constexpr int kIdStatic = -1;

enum class ControlKind {
    GroupBox,
    PushButton,
    ProgressBar,
    StaticText,
    StaticPicture,
    StaticFrame,
    ComboBox,
};

/// Style notes of a control; any combination the kind allows.
namespace style {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kTabStop = 1u << 0;
inline constexpr std::uint32_t kGroup = 1u << 1;
inline constexpr std::uint32_t kBorder = 1u << 2;
inline constexpr std::uint32_t kWhiteRect = 1u << 3;    ///< static frame filled white
inline constexpr std::uint32_t kSunken = 1u << 4;       ///< half-sunken edge
inline constexpr std::uint32_t kBitmap = 1u << 5;       ///< static showing a bitmap
inline constexpr std::uint32_t kDropDownList = 1u << 6; ///< combo box without an edit field
inline constexpr std::uint32_t kAutoHScroll = 1u << 7;
inline constexpr std::uint32_t kNoIntegralHeight = 1u << 8;
} // namespace style

/// Styles of the dialog's own window.
namespace dialog_style {
inline constexpr std::uint32_t kPopup = 1u << 0;
inline constexpr std::uint32_t kCaption = 1u << 1;    ///< a title bar
inline constexpr std::uint32_t kSystemMenu = 1u << 2; ///< a window menu and close button
inline constexpr std::uint32_t kModalFrame = 1u << 3; ///< a dialog frame, not resizable
} // namespace dialog_style

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;      ///< ANSI; "" for none
    std::uint16_t imageId; ///< a picture's resource identifier (its text), 0 for none
    std::uint32_t style;
    int x;
    int y;
    int width;
    int height;
};

/// Whether inner's rectangle lies within outer's (a control within a group box's frame).
constexpr bool Encloses(const ControlTemplate& outer, const ControlTemplate& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

struct DialogTemplate {
    int id;
    const char* caption; ///< ANSI; "" for none
    std::uint32_t style;
    const char* fontName;
    int fontPoints;
    int width;  ///< client area, dialog units
    int height; ///< client area, dialog units
    std::span<const ControlTemplate> controls;
};

} // namespace fw

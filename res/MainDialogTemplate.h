// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Dialog template 101, the program's only window: the one source of its layout. The Qt backend
// builds the window from it, and the Windows .rc is written from it (bootmedia_resgen).

#include "platform/fw/DialogTemplate.h"
#include "res/ResourceIds.h"

#include <array>

namespace res {

/// Client area in dialog units.
inline constexpr int kMainDialogWidth = 250;
inline constexpr int kMainDialogHeight = 244;
inline constexpr const char* kMainDialogFont = "MS Sans Serif";
inline constexpr int kMainDialogFontPoints = 8;

namespace detail {
using fw::ControlKind;
namespace style = fw::style;

inline constexpr std::uint32_t kListStyle =
    style::kDropDownList | style::kAutoHScroll | style::kNoIntegralHeight | style::kTabStop;

// In template order, which is also the tab order and the stacking order (first at the bottom).
// Every text but the progress bar's is a placeholder that the dialog replaces at initialisation.
inline constexpr std::array<fw::ControlTemplate, 13> kMainDialogControls{{
    {kIdcStatusGroup, ControlKind::GroupBox, "Installation Status", 0, style::kNone, 7, 122, 236,
     27},
    {kIdcProgressGroup, ControlKind::GroupBox, "Installation Progress", 0, style::kNone, 7, 90, 236,
     27},
    {kIdcProgress, ControlKind::ProgressBar, "Progress2", 0, style::kBorder, 15, 100, 220, 10},
    {kIdcCreateFloppy, ControlKind::PushButton, "Create &Floppy", 0, style::kTabStop, 168, 162, 67,
     15},
    {kIdcExit, ControlKind::PushButton, "&Exit", 0, style::kTabStop, 92, 222, 65, 15},
    {fw::kIdStatic, ControlKind::StaticFrame, "", 0, style::kWhiteRect | style::kSunken, 7, 7, 236,
     73},
    {kIdcPicture, ControlKind::StaticPicture, "", kIdbTemplatePicture, style::kBitmap, 15, 15, 15,
     13},
    {kIdcFloppyGroup, ControlKind::GroupBox, "Floppy", 0, style::kNone, 7, 154, 236, 27},
    {kIdcCdGroup, ControlKind::GroupBox, "CD-ROM", 0, style::kNone, 7, 186, 236, 27},
    {kIdcCreateCd, ControlKind::PushButton, "&Create CD-ROM", 0, style::kTabStop, 168, 194, 67, 15},
    {kIdcFloppyList, ControlKind::ComboBox, "", 0, kListStyle, 15, 163, 142, 41},
    {kIdcRecorderList, ControlKind::ComboBox, "", 0, kListStyle, 15, 195, 142, 41},
    {kIdcStatusText, ControlKind::StaticText, "KPZ image file not found in current directory.", 0,
     style::kGroup, 15, 134, 220, 10},
}};
} // namespace detail

/// No caption text: the dialog sets its title at initialisation.
inline constexpr fw::DialogTemplate kMainDialogTemplate{
    kIddMainDialog,
    "",
    fw::dialog_style::kPopup | fw::dialog_style::kCaption | fw::dialog_style::kSystemMenu |
        fw::dialog_style::kModalFrame,
    kMainDialogFont,
    kMainDialogFontPoints,
    kMainDialogWidth,
    kMainDialogHeight,
    detail::kMainDialogControls,
};

} // namespace res

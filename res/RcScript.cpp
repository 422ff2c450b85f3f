// SPDX-License-Identifier: GPL-2.0-or-later
#include "res/RcScript.h"

#include <array>
#include <cstdint>
#include <sstream>
#include <vector>

namespace res {
namespace {

struct StyleName {
    std::uint32_t flag;
    const char* name;
};

// What each style note is in the resource compiler's terms, per window class.
constexpr std::array<StyleName, 4> kDialogStyles = {{
    {fw::dialog_style::kModalFrame, "DS_MODALFRAME"},
    {fw::dialog_style::kPopup, "WS_POPUP"},
    {fw::dialog_style::kCaption, "WS_CAPTION"},
    {fw::dialog_style::kSystemMenu, "WS_SYSMENU"},
}};
constexpr std::array<StyleName, 3> kWindowStyles = {{
    {fw::style::kBorder, "WS_BORDER"},
    {fw::style::kGroup, "WS_GROUP"},
    {fw::style::kTabStop, "WS_TABSTOP"},
}};
constexpr std::array<StyleName, 3> kStaticStyles = {{
    {fw::style::kWhiteRect, "SS_WHITERECT"},
    {fw::style::kBitmap, "SS_BITMAP"},
    {fw::style::kSunken, "SS_SUNKEN"},
}};
constexpr std::array<StyleName, 3> kComboStyles = {{
    {fw::style::kDropDownList, "CBS_DROPDOWNLIST"},
    {fw::style::kAutoHScroll, "CBS_AUTOHSCROLL"},
    {fw::style::kNoIntegralHeight, "CBS_NOINTEGRALHEIGHT"},
}};

// The resource compiler's form of a string: in quotes, with a quote written twice.
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

template <std::size_t N>
void AddNames(std::vector<std::string>& names, std::uint32_t flags,
              const std::array<StyleName, N>& table) {
    for (const StyleName& style : table) {
        if ((flags & style.flag) != 0)
            names.emplace_back(style.name);
    }
}

std::string Joined(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : " | ") + name;
    return joined.empty() ? "0" : joined;
}

struct ClassForm {
    const char* windowClass;
    const char* baseStyle; ///< the kind's own style, or null
};

ClassForm FormOf(fw::ControlKind kind) {
    switch (kind) {
    case fw::ControlKind::GroupBox:
        return {"Button", "BS_GROUPBOX"};
    case fw::ControlKind::PushButton:
        return {"Button", "BS_PUSHBUTTON"};
    case fw::ControlKind::ProgressBar:
        // The literal class name: windres expands the PROGRESS_CLASS macro wrongly.
        return {"msctls_progress32", nullptr};
    case fw::ControlKind::StaticText:
        return {"Static", "SS_LEFT"};
    case fw::ControlKind::StaticPicture:
    case fw::ControlKind::StaticFrame:
        return {"Static", nullptr};
    case fw::ControlKind::ComboBox:
        return {"ComboBox", nullptr};
    }
    return {"Static", nullptr};
}

std::string ControlStyle(const fw::ControlTemplate& control) {
    std::vector<std::string> names;
    const ClassForm form = FormOf(control.kind);
    if (form.baseStyle != nullptr)
        names.emplace_back(form.baseStyle);
    AddNames(names, control.style, kStaticStyles);
    AddNames(names, control.style, kComboStyles);
    AddNames(names, control.style, kWindowStyles);
    return Joined(names);
}

std::string DialogStyle(const fw::DialogTemplate& dialog) {
    std::vector<std::string> names{"DS_SETFONT"};
    AddNames(names, dialog.style, kDialogStyles);
    return Joined(names);
}

std::string ControlText(const fw::ControlTemplate& control) {
    // A picture static names its image by number instead of a text.
    return control.imageId != 0 ? std::to_string(control.imageId) : Quoted(control.text);
}

} // namespace

std::string WriteRcScript(const fw::DialogTemplate& dialog, int iconId, std::string_view iconFile) {
    std::ostringstream rc;
    rc << "// SPDX-License-Identifier: GPL-2.0-or-later\n"
       << "// Written by bootmedia_resgen from the dialog template table; do not edit.\n"
       << "#include <windows.h>\n\n"
       << iconId << " ICON " << Quoted(iconFile) << "\n\n"
       << dialog.id << " DIALOGEX 0, 0, " << dialog.width << ", " << dialog.height << "\n"
       << "STYLE " << DialogStyle(dialog) << "\n";
    if (dialog.caption != nullptr && *dialog.caption != '\0')
        rc << "CAPTION " << Quoted(dialog.caption) << "\n";
    rc << "FONT " << dialog.fontPoints << ", " << Quoted(dialog.fontName) << "\n"
       << "BEGIN\n";
    for (const fw::ControlTemplate& control : dialog.controls) {
        rc << "    CONTROL " << ControlText(control) << ", " << control.id << ", "
           << Quoted(FormOf(control.kind).windowClass) << ", " << ControlStyle(control) << ", "
           << control.x << ", " << control.y << ", " << control.width << ", " << control.height
           << "\n";
    }
    rc << "END\n";
    return rc.str();
}

} // namespace res

// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/headless/ShownText.h"

#include "platform/headless/Console.h"
#include "platform/terminal/TerminalText.h"

namespace fw::headless {

std::wstring OneLine(std::string_view ansi) {
    std::wstring line = LocaleText(ansi);
    for (wchar_t& character : line) {
        if (character == L'\r' || character == L'\n')
            character = L' ';
    }
    return line;
}

std::wstring ShownLabel(ControlKind kind, std::string_view ansi) {
    if (kind == ControlKind::PushButton || kind == ControlKind::GroupBox)
        return term::ParseLabel(OneLine(ansi)).text;
    return OneLine(ansi);
}

std::wstring Wide(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

} // namespace fw::headless

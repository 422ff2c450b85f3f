// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Container texts are 8-bit text of the layer's ANSI code page (Windows-1252 unless
// BOOTMEDIA_CODEPAGE names another); Qt shows UTF-16. Every text the backend shows passes here.

#include <QString>
#include <string_view>

namespace fw::qt {

/// text, decoded from the ANSI code page by the layer's conversion (DecodeAnsi): a byte the
/// code page does not define becomes U+FFFD, or in Windows-1252 the control character Windows
/// gives it.
QString FromAnsi(std::string_view text);

/// What a static control shows of its text: '&' marks the next character as its mnemonic and is
/// not shown, "&&" shows one '&'.
QString WithoutMnemonics(const QString& text);

/// The character a label's first single '&' marks as its mnemonic, lower-cased; null for none.
QChar MnemonicOf(const QString& text);

/// A window title shown literally: Qt would hide a "[*]" in it.
QString LiteralTitle(const QString& text);

} // namespace fw::qt

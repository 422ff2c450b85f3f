// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/AnsiText.h"

#include "platform/linux/CodePage.h"

#include <optional>
#include <string>

namespace fw::qt {
namespace {

constexpr QChar kMnemonic = u'&';
constexpr const char16_t* kModifiedPlaceholder = u"[*]";
constexpr const char16_t* kEscapedPlaceholder = u"[*][*]";

} // namespace

QString FromAnsi(std::string_view text) {
    // The layer's own conversion, so that a text shows the characters its bytes stand for
    // everywhere else too (in the names of a disc's files, say).
    const std::optional<std::u16string> decoded = platform::layer::DecodeAnsi(text);
    if (!decoded)
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    return QString::fromUtf16(decoded->data(), static_cast<qsizetype>(decoded->size()));
}

QString WithoutMnemonics(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == kMnemonic && i + 1 < text.size())
            ++i;
        else if (text[i] == kMnemonic)
            continue;
        shown += text[i];
    }
    return shown;
}

QChar MnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != kMnemonic)
            continue;
        if (text[i + 1] != kMnemonic)
            return text[i + 1].toLower();
        ++i; // "&&" shows an '&'
    }
    return {};
}

QString LiteralTitle(const QString& text) {
    QString title = text;
    return title.replace(QString::fromUtf16(kModifiedPlaceholder),
                         QString::fromUtf16(kEscapedPlaceholder));
}

} // namespace fw::qt

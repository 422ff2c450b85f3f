// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/qt/AnsiText.h"

#include "platform/ScopedHandle.h"
#include "platform/linux/CodePage.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <string>

namespace fw::qt {
namespace {

constexpr const char* kUtf8 = "UTF-8";
constexpr std::size_t kChunkBytes = 256;
constexpr std::size_t kIconvFailed = static_cast<std::size_t>(-1);
const iconv_t kNoConversion = reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));
constexpr QChar kMnemonic = u'&';
constexpr const char16_t* kModifiedPlaceholder = u"[*]";
constexpr const char16_t* kEscapedPlaceholder = u"[*][*]";

struct IconvTraits {
    using Handle = iconv_t;
    static Handle invalid() noexcept { return kNoConversion; }
    static void close(Handle handle) noexcept { iconv_close(handle); }
};
using Iconv = platform::ScopedHandle<IconvTraits>;

} // namespace

QString FromAnsi(std::string_view text) {
    return FromAnsi(text, platform::layer::AnsiCodePage().c_str());
}

QString FromAnsi(std::string_view text, const char* codePage) {
    Iconv conversion(iconv_open(kUtf8, codePage));
    if (!conversion)
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    std::string input(text);
    char* in = input.data();
    std::size_t inLeft = input.size();
    QString output;
    char chunk[kChunkBytes];
    while (inLeft > 0) {
        char* out = chunk;
        std::size_t outLeft = sizeof(chunk);
        const std::size_t result = iconv(conversion.get(), &in, &inLeft, &out, &outLeft);
        output += QString::fromUtf8(chunk, out - chunk);
        if (result != kIconvFailed || errno == E2BIG)
            continue;
        // An undefined byte, or a multi-byte character cut short at the end: one replacement
        // for the byte, and on with the next.
        output += QChar::ReplacementCharacter;
        ++in;
        --inLeft;
    }
    return output;
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

// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/terminal/TerminalText.h"

#include "platform/ScopedHandle.h"
#include "platform/linux/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cwchar>
#include <iconv.h>
#include <langinfo.h>

namespace fw::term {
namespace {

constexpr const char* kTransliterate = "//TRANSLIT";
constexpr std::size_t kChunkBytes = 256;
constexpr std::size_t kIconvFailed = static_cast<std::size_t>(-1);
constexpr std::size_t kMultibyteInvalid = static_cast<std::size_t>(-1);
constexpr std::size_t kMultibyteIncomplete = static_cast<std::size_t>(-2);
const iconv_t kNoConversion = reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));
constexpr char kUnshownByte = '?';
constexpr wchar_t kUnshownCharacter = L'?';
constexpr wchar_t kMnemonic = L'&';
constexpr std::wstring_view kEllipsis = L"\u2026";
constexpr std::wstring_view kAsciiEllipsis = L"...";

struct IconvTraits {
    using Handle = iconv_t;
    static Handle invalid() noexcept { return kNoConversion; }
    static void close(Handle handle) noexcept { iconv_close(handle); }
};
using Iconv = platform::ScopedHandle<IconvTraits>;

// The bytes of text in the target encoding; what cannot be converted becomes '?'.
std::string Recode(std::string_view text, const char* codePage, const char* target) {
    Iconv conversion(iconv_open((std::string(target) + kTransliterate).c_str(), codePage));
    if (!conversion)
        return std::string(text);
    std::string input(text);
    char* in = input.data();
    std::size_t inLeft = input.size();
    std::string output;
    char chunk[kChunkBytes];
    while (inLeft > 0) {
        char* out = chunk;
        std::size_t outLeft = sizeof(chunk);
        const std::size_t result = iconv(conversion.get(), &in, &inLeft, &out, &outLeft);
        output.append(chunk, static_cast<std::size_t>(out - chunk));
        if (result != kIconvFailed || errno == E2BIG)
            continue;
        output += kUnshownByte;
        ++in;
        --inLeft;
    }
    return output;
}

// Locale bytes as wide characters of the current LC_CTYPE.
std::wstring Widen(const std::string& bytes) {
    std::wstring wide;
    std::mbstate_t state{};
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        wchar_t character = 0;
        const std::size_t used = std::mbrtowc(&character, next, left, &state);
        if (used == kMultibyteInvalid || used == kMultibyteIncomplete) {
            wide += kUnshownCharacter;
            state = std::mbstate_t{};
            ++next;
            --left;
            continue;
        }
        const std::size_t taken = used == 0 ? 1 : used;
        wide += character;
        next += taken;
        left -= taken;
    }
    return wide;
}

} // namespace

std::wstring ToTerminal(std::string_view text) {
    return ToTerminal(text, platform::layer::AnsiCodePage().c_str(), nl_langinfo(CODESET));
}

std::wstring ToTerminal(std::string_view text, const char* codePage, const char* localeCodeset) {
    return Widen(Recode(text, codePage, localeCodeset));
}

Label ParseLabel(std::wstring_view text) {
    Label label;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == kMnemonic) {
            if (i + 1 >= text.size())
                continue;
            ++i;
            if (text[i] != kMnemonic && label.mnemonicAt < 0)
                label.mnemonicAt = static_cast<int>(label.text.size());
        }
        label.text += text[i];
    }
    return label;
}

int Columns(std::wstring_view text) {
    int columns = 0;
    for (wchar_t character : text) {
        const int width = ::wcwidth(character);
        columns += width < 0 ? 1 : width;
    }
    return columns;
}

bool Showable(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](wchar_t character) { return ::wcwidth(character) >= 0; });
}

std::wstring Ellipsized(std::wstring_view text, int cols) {
    if (Columns(text) <= cols)
        return std::wstring(text);
    const std::wstring_view mark = Showable(kEllipsis) ? kEllipsis : kAsciiEllipsis;
    const int room = cols - Columns(mark);
    if (room < 0)
        return {};
    std::wstring cut;
    int used = 0;
    for (wchar_t character : text) {
        const int width = Columns(std::wstring_view(&character, 1));
        if (used + width > room)
            break;
        cut += character;
        used += width;
    }
    return cut + std::wstring(mark);
}

} // namespace fw::term

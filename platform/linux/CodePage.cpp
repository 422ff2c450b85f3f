// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/CodePage.h"

#include "platform/ScopedHandle.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <iconv.h>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

namespace platform::layer {
namespace {

constexpr const char* kCodePageVariable = "BOOTMEDIA_CODEPAGE";
constexpr const char* kDefaultCodePage = "CP1252";
constexpr const char* kWideEncoding = "UTF-16LE";
constexpr std::size_t kUnitBytes = 2;
constexpr std::size_t kChunkBytes = 256;
constexpr char16_t kHighSurrogateFirst = 0xD800;
constexpr char16_t kHighSurrogateLast = 0xDBFF;
constexpr char16_t kLowSurrogateFirst = 0xDC00;
constexpr char16_t kLowSurrogateLast = 0xDFFF;
constexpr unsigned kByteBits = 8;
constexpr unsigned kByteMask = 0xFF;
constexpr char16_t kReplacementCharacter = 0xFFFD;
// Windows-1252 leaves five bytes undefined, and Windows converts each of them to the control
// character of the same number and back, so every byte stays a character of its own. iconv
// refuses them; these names are its spellings of the code page.
constexpr std::string_view kWindows1252Names[] = {"CP1252", "WINDOWS-1252", "MS-ANSI"};
constexpr std::u16string_view kWindows1252Undefined = u"\u0081\u008D\u008F\u0090\u009D";

const iconv_t kNoConversion = reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));
constexpr std::size_t kIconvFailed = static_cast<std::size_t>(-1);

struct IconvTraits {
    using Handle = iconv_t;
    static Handle invalid() noexcept { return kNoConversion; }
    static void close(Handle handle) noexcept { iconv_close(handle); }
};
using Iconv = ScopedHandle<IconvTraits>;

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsWindows1252(std::string_view name) {
    std::string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(), UpperAscii);
    return std::find(std::begin(kWindows1252Names), std::end(kWindows1252Names), upper) !=
           std::end(kWindows1252Names);
}

// The character Windows gives an undefined byte of the code page, if it gives one.
std::optional<char16_t> UndefinedByteCharacter(bool windows1252, unsigned char byte) {
    const auto character = static_cast<char16_t>(byte);
    if (windows1252 && kWindows1252Undefined.find(character) != kWindows1252Undefined.npos)
        return character;
    return std::nullopt;
}

bool IsKnown(const std::string& name) {
    return Iconv(iconv_open(name.c_str(), kWideEncoding)).valid();
}

std::string IconvName(std::string_view setting) {
    const bool number = !setting.empty() && std::all_of(setting.begin(), setting.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
    return number ? "CP" + std::string(setting) : std::string(setting);
}

std::vector<char> LittleEndianBytes(std::u16string_view text) {
    std::vector<char> bytes;
    bytes.reserve(text.size() * kUnitBytes);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & kByteMask));
        bytes.push_back(static_cast<char>(unit >> kByteBits));
    }
    return bytes;
}

char16_t UnitAt(const char* bytes) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[0]) |
                                 static_cast<unsigned char>(bytes[1]) << kByteBits);
}

// Bytes of the character iconv stopped at: a whole surrogate pair, else one unit.
std::size_t CharacterBytes(const char* bytes, std::size_t left) {
    if (left < 2 * kUnitBytes)
        return kUnitBytes;
    const char16_t first = UnitAt(bytes);
    const char16_t second = UnitAt(bytes + kUnitBytes);
    const bool pair = first >= kHighSurrogateFirst && first <= kHighSurrogateLast &&
                      second >= kLowSurrogateFirst && second <= kLowSurrogateLast;
    return pair ? 2 * kUnitBytes : kUnitBytes;
}

// The units of UTF-16LE bytes; an odd last byte cannot come from iconv.
void AppendUnits(std::u16string& text, const char* bytes, std::size_t size) {
    for (std::size_t at = 0; at + 1 < size; at += kUnitBytes)
        text.push_back(UnitAt(bytes + at));
}

// Converts the whole input from one encoding to another in chunks, handing each converted chunk
// to append. At a character the target cannot take, replace appends its stand-in and tells how
// many input bytes to pass over. False when the conversion cannot be opened or fails otherwise.
template <typename Append, typename Replace>
bool ConvertAll(const char* to, const char* from, std::vector<char> input, Append append,
                Replace replace) {
    const Iconv conversion(iconv_open(to, from));
    if (!conversion)
        return false;
    char* in = input.data();
    std::size_t inLeft = input.size();
    char chunk[kChunkBytes];
    for (;;) {
        char* out = chunk;
        std::size_t outLeft = sizeof(chunk);
        // With no input left, the call ends a stateful encoding's shift sequence.
        const std::size_t result = inLeft > 0
                                       ? iconv(conversion.get(), &in, &inLeft, &out, &outLeft)
                                       : iconv(conversion.get(), nullptr, nullptr, &out, &outLeft);
        append(chunk, static_cast<std::size_t>(out - chunk));
        if (result != kIconvFailed) {
            if (inLeft == 0 && out == chunk)
                return true;
            continue;
        }
        if (errno == E2BIG)
            continue;
        if (errno != EILSEQ && errno != EINVAL)
            return false;
        const std::size_t skip = replace(in, inLeft);
        in += skip;
        inLeft -= skip;
    }
}

} // namespace

std::string AnsiCodePage() {
    const char* setting = std::getenv(kCodePageVariable);
    if (setting == nullptr || *setting == '\0')
        return kDefaultCodePage;
    std::string name = IconvName(setting);
    return IsKnown(name) ? name : kDefaultCodePage;
}

std::optional<std::string> EncodeAnsi(std::u16string_view text, char replacement, bool* replaced) {
    const std::string codePage = AnsiCodePage();
    const bool windows1252 = IsWindows1252(codePage);
    std::string output;
    const bool done = ConvertAll(
        codePage.c_str(), kWideEncoding, LittleEndianBytes(text),
        [&](const char* bytes, std::size_t size) { output.append(bytes, size); },
        [&](const char* bytes, std::size_t left) {
            const char16_t unit = UnitAt(bytes);
            if (unit <= kByteMask &&
                UndefinedByteCharacter(windows1252, static_cast<unsigned char>(unit))) {
                output.push_back(static_cast<char>(unit));
                return kUnitBytes;
            }
            output.push_back(replacement);
            *replaced = true;
            return CharacterBytes(bytes, left);
        });
    return done ? std::optional(std::move(output)) : std::nullopt;
}

std::optional<std::u16string> DecodeAnsi(std::string_view text) {
    const std::string codePage = AnsiCodePage();
    const bool windows1252 = IsWindows1252(codePage);
    std::u16string output;
    const bool done = ConvertAll(
        kWideEncoding, codePage.c_str(), std::vector<char>(text.begin(), text.end()),
        [&](const char* bytes, std::size_t size) { AppendUnits(output, bytes, size); },
        [&](const char* bytes, std::size_t) {
            // One byte at a time, so that the next character still converts.
            output.push_back(UndefinedByteCharacter(windows1252, static_cast<unsigned char>(*bytes))
                                 .value_or(kReplacementCharacter));
            return std::size_t{1};
        });
    return done ? std::optional(std::move(output)) : std::nullopt;
}

} // namespace platform::layer

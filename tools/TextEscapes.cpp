// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/TextEscapes.h"

#include <cstdint>

namespace tools {
namespace {

constexpr char kEscape = '\\';
constexpr char kFirstPrintable = ' ';
constexpr char kLastPrintable = '~';
constexpr std::size_t kHexDigits = 2;
constexpr unsigned kNibbleBits = 4;
constexpr std::string_view kHexAlphabet = "0123456789ABCDEF";
constexpr std::string_view kEllipsis = "...";

struct NamedEscape {
    char letter;
    char byte;
};
constexpr NamedEscape kNamedEscapes[] = {{'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'\\', '\\'}};

int HexValue(char c) {
    const std::size_t upper =
        kHexAlphabet.find(c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c);
    return upper == std::string_view::npos ? -1 : static_cast<int>(upper);
}

bool Printable(char c) {
    return c >= kFirstPrintable && c <= kLastPrintable;
}

std::string Column(std::size_t index) {
    return " at column " + std::to_string(index + 1);
}

// The escape for one byte, or the byte itself.
std::string Encode(char c) {
    if (c == kEscape)
        return "\\\\";
    for (const NamedEscape& named : kNamedEscapes)
        if (named.byte == c)
            return std::string{kEscape, named.letter};
    if (Printable(c))
        return std::string(1, c);
    const auto byte = static_cast<std::uint8_t>(c);
    return std::string{kEscape, 'x', kHexAlphabet[byte >> kNibbleBits],
                       kHexAlphabet[byte & ((1u << kNibbleBits) - 1)]};
}

} // namespace

bool DecodeEscapes(std::string_view text, std::string* bytes, std::string* error) {
    bytes->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != kEscape) {
            if (!Printable(c) && c != '\t') {
                *error = "a byte that must be written as \\xHH" + Column(i);
                return false;
            }
            bytes->push_back(c);
            continue;
        }
        if (i + 1 == text.size()) {
            *error = "a \\ at the end of the text (write \\\\ for a backslash)";
            return false;
        }
        const char letter = text[i + 1];
        if (letter == 'x') {
            const int high = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
            const int low = i + 3 < text.size() ? HexValue(text[i + 3]) : -1;
            if (high < 0 || low < 0) {
                *error = "\\x needs two hexadecimal digits" + Column(i);
                return false;
            }
            bytes->push_back(static_cast<char>(high << kNibbleBits | low));
            i += 1 + kHexDigits;
            continue;
        }
        bool known = false;
        for (const NamedEscape& named : kNamedEscapes)
            if (named.letter == letter) {
                bytes->push_back(named.byte);
                known = true;
            }
        if (!known) {
            *error = std::string("unknown escape \\") +
                     (Printable(letter) ? std::string(1, letter) : "?") + Column(i) +
                     " (known: \\n \\r \\t \\\\ \\xHH)";
            return false;
        }
        ++i;
    }
    return true;
}

std::string EncodeEscapes(std::string_view bytes, std::size_t maxChars) {
    // Only what can be shown is encoded: a text of megabytes costs no more than a short one.
    // The first cut characters are the longest front that leaves room for the ellipsis.
    std::string whole;
    std::size_t cut = 0;
    for (const char c : bytes) {
        whole += Encode(c);
        if (whole.size() > maxChars)
            return whole.substr(0, cut) + std::string(kEllipsis);
        if (whole.size() + kEllipsis.size() <= maxChars)
            cut = whole.size();
    }
    return whole;
}

std::string QuoteEscaped(std::string_view bytes, std::size_t maxChars) {
    // Appended piece by piece: "\"" + std::string trips a false -Wrestrict of GCC 12 at -O3.
    std::string quoted(1, '"');
    quoted += EncodeEscapes(bytes, maxChars);
    quoted += '"';
    return quoted;
}

} // namespace tools

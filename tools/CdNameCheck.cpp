// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/CdNameCheck.h"

#include "cd/WidenAnsi.h"
#include "platform/FileNameRules.h"
#include "tools/TextEscapes.h"

#include <cstdio>
#include <map>

namespace tools {
namespace {

using platform::NameFault;
using platform::NameVerdict;

constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kAsciiEnd = 0x80;
constexpr std::size_t kQuoteChars = 80;
constexpr std::size_t kCodePointChars = 8;

// A character of a name as a message shows it: printable ASCII as itself, other ASCII as its
// escape, anything else as its code point.
std::string ShownCharacter(char16_t unit) {
    if (unit >= kFirstPrintable && unit < kAsciiEnd)
        return std::string(1, static_cast<char>(unit));
    if (unit < kAsciiEnd)
        return EncodeEscapes(std::string(1, static_cast<char>(unit)), kQuoteChars);
    char code[kCodePointChars] = {};
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(unit));
    return code;
}

// Where a name goes, and how a message says that it does not go there.
struct Place {
    std::size_t limit;   ///< the most units a name may have there
    const char* takes;   ///< "the disc takes"
    const char* refuses; ///< "the disc cannot carry"
};

constexpr Place kStorage{platform::kMaxElementNameUnits, "the CD build job's storage takes",
                         "the CD build job's storage refuses"};
constexpr Place kDisc{platform::kMaxDiscNameUnits, "the disc takes", "the disc cannot carry"};

// Why the place refuses the name.
std::string Refusal(const NameVerdict& verdict, std::u16string_view name, const Place& place) {
    const std::string refuses = place.refuses;
    switch (verdict.fault) {
    case NameFault::TooLong:
        return "the name is " + std::to_string(name.size()) + " characters long; " + place.takes +
               " at most " + std::to_string(place.limit);
    case NameFault::RefusedCharacter:
        return "the name holds the character " + ShownCharacter(name[verdict.at]) + ", which " +
               refuses;
    case NameFault::ControlCharacter:
        return "the name holds the control character " + ShownCharacter(name[verdict.at]) +
               ", which " + refuses;
    case NameFault::BrokenSurrogate:
        return "the name holds half a surrogate pair, which " + refuses;
    case NameFault::TrailingDotOrBlank:
        return "the name ends with a dot or a blank, which Windows drops when it opens a file "
               "(it would open another file or none), so " +
               refuses + " it";
    case NameFault::Empty:
    case NameFault::None:
        break;
    }
    return "the name is empty";
}

} // namespace

void CheckCdFileNames(std::span<const CdFileName> names, Problems* problems) {
    // The names the storage took, by the key it compares them by.
    std::map<std::u16string, const CdFileName*> taken;
    for (const CdFileName& file : names) {
        if (file.bytes > file.name.size()) {
            problems->push_back(file.label + ": the name is " + std::to_string(file.bytes) +
                                " bytes long; " + kStorage.takes + " at most " +
                                std::to_string(kStorage.limit) + " characters");
            continue;
        }
        const WideText wide = WidenAnsi(file.name);
        if (wide.empty()) {
            problems->push_back(file.label +
                                ": the name does not convert one-to-one from the ANSI code page "
                                "(a byte the code page lacks, or one that converts like "
                                "another); the CD build job refuses it");
            continue;
        }
        const std::u16string name(wide.begin(), wide.end());
        if (const NameVerdict stored = platform::CheckElementName(name); !stored) {
            problems->push_back(file.label + ": " + Refusal(stored, name, kStorage));
            continue;
        }
        const auto [first, added] = taken.emplace(platform::NameKey(name), &file);
        if (!added) {
            problems->push_back(file.label + ": the same name as " + first->second->label +
                                " when case is ignored; the CD build job refuses the second");
            continue;
        }
        if (const NameVerdict carried = platform::CheckDiscName(name); !carried)
            problems->push_back(file.label + ": " + Refusal(carried, name, kDisc));
    }
}

} // namespace tools

// SPDX-License-Identifier: GPL-2.0-or-later
// The CD file set's part of the container check. The names become file names on a Joliet disc
// that Windows reads, so they must be names Windows can open there.

#include "resfile/Catalogue.h"
#include "tools/ContainerCheck.h"
#include "tools/TextEscapes.h"

#include <map>
#include <optional>

namespace tools {
namespace {

constexpr std::size_t kMaxJolietNameChars = 64;
constexpr std::string_view kForbiddenChars = "/\\:*?\"<>|;";
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
constexpr std::size_t kQuoteChars = 80;

// Windows-1252 case pairs outside the two ranges where the capital is the small letter - 0x20.
struct CasePair {
    unsigned char small, capital;
};
constexpr CasePair kOddCasePairs[] = {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F}};
constexpr unsigned char kCaseOffset = 0x20;
constexpr unsigned char kAccentedSmallFirst = 0xE0;
constexpr unsigned char kAccentedSmallLast = 0xFE;
constexpr unsigned char kDivisionSign = 0xF7; // in the small-letter range, but no letter

unsigned char Capital(unsigned char c) {
    if ((c >= 'a' && c <= 'z') ||
        (c >= kAccentedSmallFirst && c <= kAccentedSmallLast && c != kDivisionSign))
        return static_cast<unsigned char>(c - kCaseOffset);
    for (const CasePair& pair : kOddCasePairs)
        if (pair.small == c)
            return pair.capital;
    return c;
}

std::string FoldCase(std::string_view name) {
    std::string folded;
    for (char c : name)
        folded.push_back(static_cast<char>(Capital(static_cast<unsigned char>(c))));
    return folded;
}

// Why the name cannot be a file name on the disc; nothing when it can.
std::optional<std::string> NameFault(std::string_view name) {
    if (name.size() > kMaxJolietNameChars)
        return "is " + std::to_string(name.size()) +
               " characters long; a name on the disc has at most " +
               std::to_string(kMaxJolietNameChars);
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < kFirstPrintable || byte == kDelete)
            return "holds the control character " +
                   EncodeEscapes(std::string_view(&c, 1), kQuoteChars);
        if (kForbiddenChars.find(c) != std::string_view::npos)
            return std::string("holds the character ") + c + ", which a file name cannot";
    }
    if (name.back() == '.' || name.back() == ' ')
        return "ends with a dot or a blank, which Windows drops from file names";
    return std::nullopt;
}

// How the job finds the name that ends the set: the reader gives "" for a missing entry, and the
// job sees a name only up to its first NUL byte.
std::string_view EndingName(const Container& container, ResourceId id,
                            const std::optional<std::string>& name) {
    if (!container.find(id))
        return "is missing";
    if (!name || name->empty())
        return "is empty";
    return "starts with a NUL byte";
}

std::string FileLabel(int index, const std::string& name) {
    std::string label = "CD file " + std::to_string(index) + " (entry " +
                        std::to_string(catalogue::kCdFileNameFirst + index) + " ";
    label += QuoteEscaped(name, kQuoteChars);
    label += ')';
    return label;
}

} // namespace

void CheckCdFileSet(const Container& container, Problems* problems) {
    const auto nameId = [](int i) {
        return static_cast<ResourceId>(catalogue::kCdFileNameFirst + i);
    };
    std::map<std::string, int> folded;
    std::optional<std::string> name;
    int count = 0;
    for (; count < catalogue::kCdFileMax; ++count) {
        name = container.read(nameId(count));
        if (!name || name->empty() || name->front() == '\0')
            break;
        const std::string label = FileLabel(count, *name);
        const ResourceId contentId =
            static_cast<ResourceId>(catalogue::kCdFileContentFirst + count);
        if (!container.find(contentId))
            problems->push_back(label + ": no contents entry " + std::to_string(contentId));
        if (const std::optional<std::string> fault = NameFault(*name))
            problems->push_back(label + ": the name " + *fault);
        if (name->size() > kMaxJolietNameChars)
            continue; // reported above; its folded copy would only cost memory
        const auto [first, added] = folded.emplace(FoldCase(*name), count);
        if (!added)
            problems->push_back(label + ": the same name as CD file " +
                                std::to_string(first->second) + " when case is ignored");
    }
    if (count == catalogue::kCdFileMax)
        return;
    const std::string end = "entry " + std::to_string(nameId(count)) + " " +
                            std::string(EndingName(container, nameId(count), name));
    if (count == 0)
        problems->push_back("CD file set: empty (" + end + ")");
    else if (container.find(nameId(count)))
        problems->push_back("CD file set: ends early, after CD file " + std::to_string(count - 1) +
                            ": " + end + ", so no later name is read");
    for (int later = count + 1; later < catalogue::kCdFileMax; ++later) {
        const std::optional<ResourceEntry> entry = container.find(nameId(later));
        if (entry && entry->dataSize() > 0)
            problems->push_back("entry " + std::to_string(nameId(later)) +
                                " names a CD file after the end of the set (" + end +
                                "); it is never read");
    }
    for (int unread = count; unread < catalogue::kCdFileMax; ++unread) {
        const auto contentId = static_cast<ResourceId>(catalogue::kCdFileContentFirst + unread);
        if (container.find(contentId))
            problems->push_back("entry " + std::to_string(contentId) +
                                " holds the contents of CD file " + std::to_string(unread) +
                                ", which is not in the set (" + end + "); it is never read");
    }
}

} // namespace tools

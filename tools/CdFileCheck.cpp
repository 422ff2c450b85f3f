// SPDX-License-Identifier: GPL-2.0-or-later
// The CD file set's part of the container check. The names become file names on a Joliet disc
// that Windows reads, so they must be names Windows can open there.

#include "resfile/Catalogue.h"
#include "tools/CdNameCheck.h"
#include "tools/ContainerCheck.h"
#include "tools/TextEscapes.h"

#include <optional>
#include <string_view>
#include <vector>

namespace tools {
namespace {

constexpr std::size_t kQuoteChars = 80;

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
    std::vector<CdFileName> names;
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
        // The job takes the name as a text: up to its first NUL byte.
        const std::string_view text(name->c_str());
        names.push_back({std::string(text.substr(0, kCdNameBytesKept)), label, text.size()});
    }
    CheckCdFileNames(names, problems);
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

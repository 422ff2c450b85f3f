// SPDX-License-Identifier: GPL-2.0-or-later
// The CD file set's part of the container check. The names become file names on a Joliet disc
// that Windows reads, so they must be names Windows can open there.

#include "resfile/Catalogue.h"
#include "tools/CdNameCheck.h"
#include "tools/ContainerCheck.h"
#include "tools/TextEscapes.h"

#include <optional>
#include <vector>

namespace tools {
namespace {

constexpr std::size_t kQuoteChars = 80;

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
    int count = 0;
    for (; count < catalogue::kCdFileMax; ++count) {
        const std::optional<std::string> name = container.read(nameId(count));
        if (!name || name->empty())
            break;
        const std::string label = FileLabel(count, *name);
        const ResourceId contentId =
            static_cast<ResourceId>(catalogue::kCdFileContentFirst + count);
        if (!container.find(contentId))
            problems->push_back(label + ": no contents entry " + std::to_string(contentId));
        // The job takes the name as a text: up to its first NUL byte.
        names.push_back({name->c_str(), label});
    }
    CheckCdFileNames(names, problems);
    if (count == 0)
        problems->push_back("CD file set: empty (entry " +
                            std::to_string(catalogue::kCdFileNameFirst) + " is missing or empty)");
    for (int later = count + 1; later < catalogue::kCdFileMax; ++later) {
        const std::optional<std::string> name = container.read(nameId(later));
        if (name && !name->empty())
            problems->push_back("entry " + std::to_string(nameId(later)) +
                                " names a CD file after the end of the set (entry " +
                                std::to_string(nameId(count)) +
                                " is missing or empty); it is never read");
    }
}

} // namespace tools

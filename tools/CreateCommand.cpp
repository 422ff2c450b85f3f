// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/Commands.h"
#include "tools/Console.h"
#include "tools/ContainerWriter.h"
#include "tools/FileIo.h"
#include "tools/Manifest.h"
#include "tools/StagedOutput.h"

#include <limits>
#include <optional>
#include <string>
#include <vector>

using namespace win;

namespace tools {
namespace {

constexpr std::uint64_t kMaxManifestBytes = 16u << 20;
constexpr std::size_t kMaxEntries = std::numeric_limits<std::uint16_t>::max();

// Turns the manifest's entries into container entries, measuring each file; every file that
// cannot be read is reported.
std::vector<ContainerEntry> PlanEntries(const std::vector<ManifestEntry>& manifest,
                                        std::vector<std::string>* errors) {
    std::vector<ContainerEntry> planned;
    for (const ManifestEntry& entry : manifest) {
        ContainerEntry item;
        item.id = entry.id;
        if (entry.source == ManifestEntry::Source::Text) {
            item.text = entry.text;
            item.size = entry.text.size();
        } else {
            const platform::FileHandle file = OpenInput(entry.path);
            const std::optional<std::uint64_t> size =
                file ? FileSize(file.get()) : std::optional<std::uint64_t>{};
            if (!size) {
                errors->push_back("entry " + std::to_string(entry.id) + " (line " +
                                  std::to_string(entry.line) + "): cannot read " + entry.path);
                continue;
            }
            item.path = entry.path;
            item.size = *size;
        }
        planned.push_back(std::move(item));
    }
    return planned;
}

} // namespace

int RunCreate(const char* outPath, const char* manifestPath) {
    const std::optional<std::string> manifest = ReadSmallFile(manifestPath, kMaxManifestBytes);
    if (!manifest) {
        ReportError(std::string("cannot read the manifest ") + manifestPath);
        return kExitProblems;
    }
    std::vector<std::string> errors;
    const std::vector<ManifestEntry> entries = ParseManifest(*manifest, manifestPath, &errors);
    const std::vector<ContainerEntry> planned = PlanEntries(entries, &errors);
    if (errors.empty() && planned.size() > kMaxEntries)
        errors.push_back("a container holds at most 65535 entries");
    if (errors.empty() && ContainerBytes(planned) > kMaxContainerBytes)
        errors.push_back("the container would be " + std::to_string(ContainerBytes(planned)) +
                         " bytes; it must stay below 2 GiB (at most " +
                         std::to_string(kMaxContainerBytes) + ")");
    for (const std::string& error : errors)
        ReportError(error);
    if (!errors.empty())
        return kExitProblems;

    StagedOutput output(outPath);
    if (!output.create()) {
        ReportError("cannot create a file in the folder of " + std::string(outPath));
        return kExitProblems;
    }
    std::string error;
    if (!WriteContainer(output.handle(), planned, &error) || !output.commit(&error)) {
        ReportError(error);
        return kExitProblems;
    }
    return kExitOk;
}

} // namespace tools

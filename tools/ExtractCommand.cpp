// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/Commands.h"
#include "tools/Console.h"
#include "tools/Container.h"
#include "tools/FileIo.h"
#include "tools/StagedOutput.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace tools {
namespace {

constexpr std::uint32_t kCopyPiece = 1 << 16;

} // namespace

int RunExtract(const char* containerPath, ResourceId id, const char* outPath) {
    std::string error;
    const std::optional<Container> container = Container::Open(containerPath, &error);
    if (!container) {
        ReportError(error);
        return kExitProblems;
    }
    const std::optional<ResourceEntry> entry = container->find(id);
    if (!entry) {
        ReportError(std::string(containerPath) + " has no entry " + std::to_string(id));
        return kExitProblems;
    }
    if (const DataReach reach = container->reach(*entry); reach != DataReach::Readable) {
        ReportError("entry " + std::to_string(id) + ": " + DescribeUnreachable(*entry, reach));
        return kExitProblems;
    }
    StagedOutput output(outPath);
    if (!output.create()) {
        ReportError("cannot create a file in the folder of " + std::string(outPath));
        return kExitProblems;
    }
    // Copied in pieces: an entry may be far larger than is sensible to hold in memory.
    std::vector<std::uint8_t> piece(kCopyPiece);
    for (std::uint32_t done = 0; done < entry->dataSize();) {
        const std::uint32_t size = std::min(entry->dataSize() - done, kCopyPiece);
        if (!container->readAt(entry->dataOffset() + done, piece.data(), size)) {
            ReportError("cannot read entry " + std::to_string(id));
            return kExitProblems;
        }
        if (!WriteAll(output.handle(), piece.data(), size)) {
            ReportError("cannot write " + output.stagingPath());
            return kExitProblems;
        }
        done += size;
    }
    if (!output.commit(&error)) {
        ReportError(error);
        return kExitProblems;
    }
    return kExitOk;
}

} // namespace tools

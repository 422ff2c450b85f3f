// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/Commands.h"
#include "tools/Console.h"
#include "tools/Container.h"
#include "tools/EntryKind.h"
#include "tools/TextEscapes.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

namespace tools {
namespace {

// How much of an entry is read to guess its kind and to show a text's beginning.
constexpr std::uint32_t kHeadBytes = 256;
constexpr std::size_t kPreviewChars = 48;
constexpr std::size_t kLineChars = 128;

} // namespace

int RunList(const char* containerPath) {
    std::string error;
    const std::optional<Container> container = Container::Open(containerPath, &error);
    if (!container) {
        ReportError(error);
        return kExitProblems;
    }
    PrintLine("   ID  KIND           SIZE      OFFSET  CONTENT");
    bool allRead = true;
    for (const ResourceEntry& entry : container->entries()) {
        std::string head(std::min(entry.dataSize(), kHeadBytes), '\0');
        const DataReach reach = container->reach(entry);
        const bool readable = reach == DataReach::Readable &&
                              container->readAt(entry.dataOffset(), head.data(),
                                                static_cast<std::uint32_t>(head.size()));
        const EntryKind kind = GuessKind(entry.id(), readable ? head : std::string_view{});
        std::string content;
        if (reach == DataReach::BeyondReach)
            content = "(data beyond 2 GiB)";
        else if (!readable)
            content = "(data outside the file)";
        else if (kind == EntryKind::Text || kind == EntryKind::Format)
            content = QuoteEscaped(head, kPreviewChars);
        allRead = allRead && readable;

        char line[kLineChars];
        std::snprintf(line, sizeof line, "%5u  %-6.6s  %10lu  %10lu  ", unsigned{entry.id()},
                      KindName(kind).data(), static_cast<unsigned long>(entry.dataSize()),
                      static_cast<unsigned long>(entry.dataOffset()));
        PrintLine(line + content);
    }
    return allRead ? kExitOk : kExitProblems;
}

} // namespace tools

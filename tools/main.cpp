// SPDX-License-Identifier: GPL-2.0-or-later
// resfile: builds, lists, extracts from and checks resource containers.

#include "tools/Commands.h"
#include "tools/Console.h"
#include "tools/Manifest.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kUsage =
    "usage: resfile create OUT MANIFEST   build the container OUT from a manifest\n"
    "       resfile list FILE             list the entries: id, kind, size, offset\n"
    "       resfile extract FILE ID OUT   write the data of entry ID to OUT\n"
    "       resfile check FILE            check the container against the catalogue\n"
    "       resfile --help                this text and the manifest syntax\n";

constexpr std::string_view kExitCodes =
    "Exit codes: 0 done (check: no problem), 1 bad input, a failure or problems found, 2 usage.\n";

constexpr unsigned kDecimal = 10;
constexpr std::uint32_t kMaxId = 0xFFFF;

std::optional<ResourceId> ParseId(const char* text) {
    std::uint32_t value = 0;
    if (*text == '\0')
        return std::nullopt;
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9')
            return std::nullopt;
        value = value * kDecimal + static_cast<unsigned>(*text - '0');
        if (value > kMaxId)
            return std::nullopt;
    }
    return static_cast<ResourceId>(value);
}

int Usage() {
    std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
    return tools::kExitUsage;
}

bool Is(const char* argument, std::string_view word) {
    return argument == word;
}

} // namespace

int main(int argc, char** argv) {
    constexpr int kCommandArgs = 2; // program and subcommand
    if (argc < kCommandArgs)
        return Usage();
    const char* command = argv[1];
    const int operands = argc - kCommandArgs;
    char** operand = argv + kCommandArgs;
    if (Is(command, "--help") || Is(command, "-h") || Is(command, "help")) {
        tools::PrintLine(std::string(kUsage) + "\n" + std::string(tools::ManifestSyntaxHelp()) +
                         "\n" + std::string(kExitCodes));
        return tools::kExitOk;
    }
    if (Is(command, "create") && operands == 2)
        return tools::RunCreate(operand[0], operand[1]);
    if (Is(command, "list") && operands == 1)
        return tools::RunList(operand[0]);
    if (Is(command, "check") && operands == 1)
        return tools::RunCheck(operand[0]);
    if (Is(command, "extract") && operands == 3) {
        const std::optional<ResourceId> id = ParseId(operand[1]);
        if (!id) {
            tools::ReportError(std::string("not an identifier from 0 to 65535: ") + operand[1]);
            return tools::kExitUsage;
        }
        return tools::RunExtract(operand[0], *id, operand[2]);
    }
    return Usage();
}

// SPDX-License-Identifier: GPL-2.0-or-later
// resfile: builds, lists, extracts from and checks resource containers.

#include "Version.h"
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
    "Usage: resfile create OUT MANIFEST   build the container OUT from a manifest\n"
    "       resfile list FILE             list the entries: id, kind, size, offset\n"
    "       resfile extract FILE ID OUT   write the data of entry ID to OUT\n"
    "       resfile check FILE            check the container against the catalogue\n";

constexpr std::string_view kAbout =
    "Builds, lists, extracts from and checks the resource container (install.dat) from which\n"
    "bootmedia takes every text, its picture, the boot floppy image and the CD file set.\n";

constexpr std::string_view kOptions = "  -h, --help     show this help and exit\n"
                                      "      --version  show the version and exit\n";

constexpr std::string_view kExitCodes =
    "Exit status: 0 done (check: no problem found), 1 bad input, a failure or problems found,\n"
    "2 a command line the tool does not take.\n";

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
    std::fputs("Try 'resfile --help' for more information.\n", stderr);
    return tools::kExitUsage;
}

int Help() {
    tools::PrintLine(std::string(kUsage) + "\n" + std::string(kAbout) + "\n" +
                     std::string(kOptions) + "\n" + std::string(tools::ManifestSyntaxHelp()) +
                     "\n" + std::string(kExitCodes));
    return tools::kExitOk;
}

int Version() {
    tools::PrintLine("resfile (" + std::string(version::kPackage) + ") " +
                     std::string(version::kVersion) + "\n" + std::string(version::kCopyright) +
                     "\n" + std::string(version::kLicence));
    return tools::kExitOk;
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
    if (Is(command, "--help") || Is(command, "-h") || Is(command, "help"))
        return Help();
    if (Is(command, "--version"))
        return Version();
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

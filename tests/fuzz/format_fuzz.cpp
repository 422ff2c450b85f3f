// SPDX-License-Identifier: GPL-2.0-or-later
// Any bytes as a container format text, formatted against every argument list the catalogue
// gives a format: nothing may crash, a misfit must show as it stands, and no text may hold a NUL.
#include "resfile/Format.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int kLetter = 'A';
constexpr std::int32_t kNumber = std::numeric_limits<std::int32_t>::min();
constexpr const char* kName = "install.dat";

format::Arg ArgumentOf(catalogue::ArgKind kind) {
    switch (kind) {
    case catalogue::ArgKind::Character:
        return format::Arg::character(kLetter);
    case catalogue::ArgKind::Integer:
        return format::Arg::integer(kNumber);
    case catalogue::ArgKind::String:
        return format::Arg::string(kName);
    }
    std::abort();
}

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void FormatAgainst(const std::string& text, std::span<const catalogue::ArgKind> kinds) {
    std::vector<format::Arg> args;
    for (catalogue::ArgKind kind : kinds) {
        args.push_back(ArgumentOf(kind));
    }
    const std::string shown = format::FormatText(text.c_str(), args);
    Require(shown.find('\0') == std::string::npos);
    if (format::CheckFormat(text.c_str(), kinds) != format::Fit::Fits) {
        Require(shown == text.c_str());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    FormatAgainst(text, {});
    for (ResourceId id : catalogue::TextIdentifiers()) {
        if (!catalogue::FormatArguments(id).empty()) {
            FormatAgainst(text, catalogue::FormatArguments(id));
        }
    }
    Require(format::FormatDriveEntry(text.c_str(), kLetter).size() <=
            catalogue::kDriveEntryMaxChars);
    return 0;
}

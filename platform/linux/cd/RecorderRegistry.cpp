// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/RecorderRegistry.h"

#include "platform/NoDestructor.h"
#include "platform/linux/cd/BurnDrive.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string_view>
#include <system_error>

namespace platform::layer {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRecordersVariable = "BOOTMEDIA_RECORDERS";
constexpr char kListSeparator = ':';
constexpr std::string_view kIsoExtension = ".iso";
constexpr std::string_view kDevicePathPrefix = "\\Device\\CdRom";

struct Registry {
    std::mutex mutex;
    std::optional<RecorderSources> sources;
    std::optional<std::vector<RecorderEntry>> found;
};

Registry& registry() {
    static NoDestructor<Registry> instance;
    return instance.get();
}

std::vector<std::string> SplitList(std::string_view list) {
    std::vector<std::string> items;
    while (!list.empty()) {
        const std::size_t end = std::min(list.find(kListSeparator), list.size());
        if (end > 0)
            items.emplace_back(list.substr(0, end));
        list.remove_prefix(std::min(end + 1, list.size()));
    }
    return items;
}

bool HasIsoExtension(std::string_view path) {
    if (path.size() < kIsoExtension.size())
        return false;
    return std::equal(kIsoExtension.begin(), kIsoExtension.end(),
                      path.end() - static_cast<std::ptrdiff_t>(kIsoExtension.size()),
                      [](char wanted, char actual) {
                          return wanted == std::tolower(static_cast<unsigned char>(actual));
                      });
}

// The libburn address of a file recorder, or nothing when the file is not to be offered: a
// recorder overwrites its file, so anything but a regular .iso file (a device, a folder) is
// refused before libburn sees it.
std::optional<std::string> FileRecorderAddress(const std::string& path) {
    if (!HasIsoExtension(path))
        return std::nullopt;
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error)
        return std::nullopt;
    const fs::path file = fs::weakly_canonical(absolute, error);
    if (error)
        return std::nullopt;
    const fs::file_status status = fs::status(file, error);
    const bool usable = fs::exists(status) ? fs::is_regular_file(status)
                                           : fs::is_directory(file.parent_path(), error);
    if (!usable)
        return std::nullopt;
    std::string address = FileDriveAddress(file.string());
    if (GrabbedDrive::grab(address).role() != kFileDriveRole)
        return std::nullopt;
    return address;
}

std::vector<RecorderEntry> FindRecorders(const RecorderSources& sources) {
    std::vector<std::string> addresses;
    if (sources.opticalDrives)
        addresses = ScanCdWriters();
    for (const std::string& path : sources.files) {
        std::optional<std::string> address = FileRecorderAddress(path);
        if (address && std::find(addresses.begin(), addresses.end(), *address) == addresses.end())
            addresses.push_back(std::move(*address));
    }
    std::vector<RecorderEntry> recorders;
    for (std::string& address : addresses) {
        const std::string devicePath =
            std::string(kDevicePathPrefix) + std::to_string(recorders.size());
        recorders.push_back({devicePath, std::move(address)});
    }
    return recorders;
}

void SetSources(std::optional<RecorderSources> sources) {
    std::lock_guard lock(registry().mutex);
    registry().sources = std::move(sources);
    registry().found.reset();
}

} // namespace

RecorderSources RecorderSourcesFromEnvironment() {
    RecorderSources sources;
    if (const char* list = std::getenv(kRecordersVariable))
        sources.files = SplitList(list);
    return sources;
}

std::vector<RecorderEntry> Recorders() {
    std::lock_guard lock(registry().mutex);
    if (!registry().found)
        registry().found =
            FindRecorders(registry().sources.value_or(RecorderSourcesFromEnvironment()));
    return *registry().found;
}

void ForgetRecorders() {
    std::lock_guard lock(registry().mutex);
    registry().found.reset();
}

ScopedRecorderSources::ScopedRecorderSources(RecorderSources sources) {
    SetSources(std::move(sources));
}

ScopedRecorderSources::~ScopedRecorderSources() {
    SetSources(std::nullopt);
}

} // namespace platform::layer

// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/RecorderRegistry.h"

#include "platform/NoDestructor.h"
#include "platform/linux/Log.h"
#include "platform/linux/cd/BurnDrive.h"
#include "platform/linux/cd/FileDisc.h"
#include "platform/linux/cd/OpticalDrives.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string_view>
#include <system_error>

namespace platform::layer {
namespace {

namespace fs = std::filesystem;

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

// Why the file named is not to be offered as a recorder; nothing when it is. A recorder
// replaces its file, so anything but a regular .iso file (a device, a folder) is refused, and the
// folder must really take a new file: the recording is made beside the .iso first.
std::optional<std::string> FileRecorderProblem(const fs::path& file) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (fs::exists(status) && !fs::is_regular_file(status))
        return "it is not a regular file";
    if (!fs::is_directory(file.parent_path(), error))
        return "its folder does not exist";
    if (!FileDisc::Create(file.string()))
        return std::string("no file can be created in its folder: ") + std::strerror(errno);
    return std::nullopt;
}

// The libburn address of a file recorder, or nothing (and the reason in the log) when the file
// is not to be offered. Only the folder is resolved: the recording replaces the entry of that
// name, and a symbolic link there is refused, since what it points to (the container itself,
// say) would be replaced instead.
std::optional<std::string> FileRecorderAddress(const std::string& path) {
    std::error_code error;
    fs::path file = fs::absolute(path, error);
    if (!error)
        file = fs::weakly_canonical(file.parent_path(), error) / file.filename();
    std::optional<std::string> problem;
    if (!HasIsoExtension(path))
        problem = "its name does not end in .iso";
    else if (error)
        problem = error.message();
    else if (fs::is_symlink(fs::symlink_status(file, error)))
        problem = "it is a symbolic link: the recording would replace what it points to";
    else
        problem = FileRecorderProblem(file);
    if (problem) {
        LogLine("File recorder " + path + " is not offered: " + *problem);
        return std::nullopt;
    }
    return FileDriveAddress(file.string());
}

std::vector<RecorderEntry> FindRecorders(const RecorderSources& sources) {
    std::vector<std::string> addresses;
    if (sources.opticalDrives)
        addresses = FindCdWriters(kCdromInfoPath);
    for (const std::string& path : sources.files) {
        std::optional<std::string> address = FileRecorderAddress(path);
        if (!address)
            continue;
        if (std::find(addresses.begin(), addresses.end(), *address) != addresses.end())
            LogLine("File recorder " + path + " is not offered again: it is named twice");
        else
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

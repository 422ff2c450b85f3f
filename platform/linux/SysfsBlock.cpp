// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/SysfsBlock.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sys/sysmacros.h>

namespace platform::layer {
namespace {

constexpr std::uint64_t kSysfsSectorBytes = 512;
constexpr std::uint32_t kDefaultSectorBytes = 512;
constexpr std::string_view kWriteThrough = "write through";
constexpr std::string_view kDeviceNameKey = "DEVNAME=";
constexpr const char* kDevFolder = "/dev/";

std::filesystem::path Folder(dev_t device) {
    return SysfsBlockFolder(device);
}

template <typename Number> std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data())
        return std::nullopt;
    return value;
}

} // namespace

std::string SysfsBlockFolder(dev_t device) {
    return "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device));
}

std::optional<std::string> FirstLineOf(const std::filesystem::path& file) {
    std::ifstream stream(file);
    std::string line;
    if (!std::getline(stream, line))
        return std::nullopt;
    return line;
}

std::optional<dev_t> DeviceNumberIn(const std::filesystem::path& folder) {
    const auto line = FirstLineOf(folder / "dev");
    return line ? ParseDeviceNumber(*line) : std::nullopt;
}

std::optional<std::string> SysfsBlockAttribute(dev_t device, const char* attribute) {
    return FirstLineOf(Folder(device) / attribute);
}

std::uint64_t SysfsBlockBytes(dev_t device) {
    const auto size = SysfsBlockAttribute(device, "size");
    const auto sectors = size ? ParseNumber<std::uint64_t>(*size) : std::nullopt;
    return sectors ? *sectors * kSysfsSectorBytes : 0;
}

bool IsPartition(dev_t device) {
    std::error_code error;
    return std::filesystem::exists(Folder(device) / "partition", error);
}

dev_t WholeDiskOf(dev_t device) {
    if (!IsPartition(device))
        return device;
    // A partition's folder lies inside its disk's.
    std::error_code error;
    const auto folder = std::filesystem::canonical(Folder(device), error);
    if (error)
        return device;
    return DeviceNumberIn(folder.parent_path()).value_or(device);
}

std::vector<dev_t> PartitionsOf(dev_t disk) {
    std::vector<dev_t> partitions;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(Folder(disk), error)) {
        if (!std::filesystem::exists(entry.path() / "partition", error))
            continue;
        if (const auto number = DeviceNumberIn(entry.path()))
            partitions.push_back(*number);
    }
    return partitions;
}

std::vector<std::string> HoldersOf(dev_t device) {
    std::vector<std::string> holders;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(Folder(device) / "holders", error))
        holders.push_back(entry.path().filename().string());
    return holders;
}

std::uint32_t LogicalSectorBytes(dev_t device) {
    const auto text = SysfsBlockAttribute(WholeDiskOf(device), "queue/logical_block_size");
    const auto bytes = text ? ParseNumber<std::uint32_t>(*text) : std::nullopt;
    return bytes && *bytes > 0 ? *bytes : kDefaultSectorBytes;
}

bool MayCacheWrites(dev_t device) {
    return SysfsBlockAttribute(WholeDiskOf(device), "queue/write_cache") != kWriteThrough;
}

std::string DeviceNodeOf(dev_t device) {
    std::ifstream file(Folder(device) / "uevent");
    std::string line;
    while (std::getline(file, line))
        if (line.starts_with(kDeviceNameKey))
            return kDevFolder + line.substr(kDeviceNameKey.size());
    return {};
}

std::optional<dev_t> ParseDeviceNumber(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    const auto high = ParseNumber<unsigned>(std::string_view(text).substr(0, colon));
    const auto low = ParseNumber<unsigned>(std::string_view(text).substr(colon + 1));
    if (!high || !low)
        return std::nullopt;
    return makedev(*high, *low);
}

} // namespace platform::layer

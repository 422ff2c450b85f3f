// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/ImageFileUse.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace platform::layer {
namespace {

constexpr const char* kBlockDevices = "/sys/block";
constexpr std::string_view kLoopPrefix = "loop";
constexpr const char* kLoopBackingFile = "loop/backing_file";
constexpr const char* kMountTable = "/proc/self/mountinfo";
constexpr std::string_view kOptionalFieldsEnd = " - ";
constexpr int kOctalEscapeDigits = 3;
constexpr int kOctalBase = 8;

bool SameFile(const std::string& path, const struct stat& file) {
    struct stat other {};
    return !path.empty() && path.front() == '/' && stat(path.c_str(), &other) == 0 &&
           other.st_dev == file.st_dev && other.st_ino == file.st_ino;
}

bool BacksLoopDevice(const struct stat& file) {
    std::error_code error;
    for (const auto& device : std::filesystem::directory_iterator(kBlockDevices, error)) {
        if (!device.path().filename().string().starts_with(kLoopPrefix))
            continue;
        std::ifstream backing(device.path() / kLoopBackingFile);
        std::string path;
        if (std::getline(backing, path) && SameFile(path, file))
            return true;
    }
    return false;
}

bool IsOctalEscape(std::string_view field, std::size_t at) {
    if (field[at] != '\\' || field.size() - at <= static_cast<std::size_t>(kOctalEscapeDigits))
        return false;
    for (int digit = 1; digit <= kOctalEscapeDigits; ++digit) {
        const char c = field[at + static_cast<std::size_t>(digit)];
        if (c < '0' || c >= '0' + kOctalBase)
            return false;
    }
    return true;
}

// Mount table fields escape space, tab, newline and backslash as \ooo.
std::string Unescape(std::string_view field) {
    std::string plain;
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (!IsOctalEscape(field, at)) {
            plain += field[at];
            continue;
        }
        int code = 0;
        for (int digit = 1; digit <= kOctalEscapeDigits; ++digit)
            code = code * kOctalBase + (field[at + static_cast<std::size_t>(digit)] - '0');
        plain += static_cast<char>(code);
        at += kOctalEscapeDigits;
    }
    return plain;
}

bool IsMountSource(const struct stat& file) {
    std::ifstream table(kMountTable);
    std::string line;
    while (std::getline(table, line)) {
        const std::size_t end = line.find(kOptionalFieldsEnd);
        if (end == std::string::npos)
            continue;
        std::istringstream rest(line.substr(end + kOptionalFieldsEnd.size()));
        std::string type;
        std::string source;
        if (rest >> type >> source && SameFile(Unescape(source), file))
            return true;
    }
    return false;
}

} // namespace

bool ImageFileInUse(const struct stat& file) {
    return BacksLoopDevice(file) || IsMountSource(file);
}

} // namespace platform::layer

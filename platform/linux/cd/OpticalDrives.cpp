// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/OpticalDrives.h"

#include "platform/linux/GroupName.h"
#include "platform/linux/Log.h"
#include "platform/linux/MountTable.h"
#include "platform/linux/ScopedDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <sys/stat.h>

namespace platform::layer {
namespace {

constexpr const char* kDeviceFolder = "/dev/";
constexpr const char* kNameKey = "drive name";
constexpr const char* kWritesCdrKey = "Can write CD-R";
constexpr const char* kWritesCdrwKey = "Can write CD-RW";
constexpr const char* kYes = "1";
constexpr char kKeyEnd = ':';

// The listing's rows by key, each with one column per drive.
using DriveTable = std::map<std::string, std::vector<std::string>>;

DriveTable ReadDriveTable(const std::string& infoPath) {
    DriveTable table;
    std::ifstream listing(infoPath);
    std::string line;
    while (std::getline(listing, line)) {
        const std::size_t end = line.find(kKeyEnd);
        if (end == std::string::npos)
            continue;
        std::istringstream columns(line.substr(end + 1));
        std::vector<std::string>& row = table[line.substr(0, end)];
        for (std::string column; columns >> column;)
            row.push_back(column);
    }
    return table;
}

bool Says(const DriveTable& table, const std::string& key, std::size_t column) {
    const auto row = table.find(key);
    return row != table.end() && column < row->second.size() && row->second[column] == kYes;
}

// Where the device is mounted, by its device number.
std::vector<std::string> MountPointsOf(dev_t device, const std::vector<Mount>& mounts) {
    std::vector<std::string> points;
    for (const Mount& mount : mounts)
        if (mount.device == device)
            points.push_back(mount.point);
    return points;
}

// Why this process cannot record with the device now, as libburn would open it (read and
// write, exclusively); the device is closed again at once.
std::optional<std::string> UseProblem(const std::string& device, const struct stat& node,
                                      bool mounted) {
    ScopedDescriptor shared(::open(device.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (!shared) {
        if (errno == EACCES || errno == EPERM)
            return "may not be used by this user (the device belongs to group " +
                   GroupName(node.st_gid) + ")";
        return std::string("cannot be opened: ") + std::strerror(errno);
    }
    shared.reset();
    if (mounted)
        return std::nullopt;
    const ScopedDescriptor exclusive(
        ::open(device.c_str(), O_RDWR | O_NONBLOCK | O_EXCL | O_CLOEXEC));
    if (!exclusive && errno == EBUSY)
        return "is in use by another program";
    if (!exclusive)
        return std::string("cannot be opened exclusively: ") + std::strerror(errno);
    return std::nullopt;
}

// Every reason the drive is left out; none for a drive to offer.
std::vector<std::string> ReasonsToLeaveOut(const std::string& device, bool writer,
                                           const std::vector<Mount>& mounts) {
    std::vector<std::string> reasons;
    if (!writer)
        reasons.emplace_back("cannot write CD-R or CD-RW");
    struct stat node {};
    if (::stat(device.c_str(), &node) != 0 || !S_ISBLK(node.st_mode)) {
        reasons.emplace_back("has no block device node");
        return reasons;
    }
    const std::vector<std::string> mountPoints = MountPointsOf(node.st_rdev, mounts);
    for (const std::string& point : mountPoints)
        reasons.push_back("is mounted at " + point);
    if (writer)
        if (auto problem = UseProblem(device, node, !mountPoints.empty()))
            reasons.push_back(std::move(*problem));
    return reasons;
}

std::string Joined(const std::vector<std::string>& reasons) {
    std::string text;
    for (const std::string& reason : reasons)
        text += (text.empty() ? "" : "; ") + reason;
    return text;
}

// sr2 before sr10.
bool NameOrder(const std::string& left, const std::string& right) {
    return left.size() != right.size() ? left.size() < right.size() : left < right;
}

} // namespace

std::vector<std::string> FindCdWriters(const std::string& infoPath) {
    const DriveTable table = ReadDriveTable(infoPath);
    const auto names = table.find(kNameKey);
    if (names == table.end())
        return {};
    std::vector<std::pair<std::string, std::size_t>> drives;
    for (std::size_t column = 0; column < names->second.size(); ++column)
        drives.emplace_back(names->second[column], column);
    std::sort(drives.begin(), drives.end(), [](const auto& left, const auto& right) {
        return NameOrder(left.first, right.first);
    });
    const std::vector<Mount> mounts = ReadMounts();
    std::vector<std::string> writers;
    for (const auto& [name, column] : drives) {
        const std::string device = kDeviceFolder + name;
        const bool writer =
            Says(table, kWritesCdrKey, column) || Says(table, kWritesCdrwKey, column);
        const std::vector<std::string> reasons = ReasonsToLeaveOut(device, writer, mounts);
        if (reasons.empty())
            writers.push_back(device);
        else
            LogLine("CD drive " + device + " is not offered: it " + Joined(reasons));
    }
    return writers;
}

} // namespace platform::layer

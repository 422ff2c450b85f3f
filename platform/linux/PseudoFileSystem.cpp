// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/PseudoFileSystem.h"

#include "platform/linux/MountTable.h"

#include <algorithm>
#include <array>
#include <linux/magic.h>
#include <string_view>
#include <sys/vfs.h>

namespace platform::layer {
namespace {

struct PseudoType {
    unsigned long magic;
    const char* name;
};

constexpr std::array kPseudoTypes{
    PseudoType{PROC_SUPER_MAGIC, "proc"},
    PseudoType{SYSFS_MAGIC, "sysfs"},
    PseudoType{CGROUP_SUPER_MAGIC, "cgroup"},
    PseudoType{CGROUP2_SUPER_MAGIC, "cgroup2"},
    PseudoType{DEBUGFS_MAGIC, "debugfs"},
    PseudoType{TRACEFS_MAGIC, "tracefs"},
    PseudoType{SECURITYFS_MAGIC, "securityfs"},
    PseudoType{SELINUX_MAGIC, "selinuxfs"},
    PseudoType{SMACK_MAGIC, "smackfs"},
    PseudoType{PSTOREFS_MAGIC, "pstore"},
    PseudoType{BPF_FS_MAGIC, "bpf"},
    PseudoType{EFIVARFS_MAGIC, "efivarfs"},
    PseudoType{DEVPTS_SUPER_MAGIC, "devpts"},
    PseudoType{BINFMTFS_MAGIC, "binfmt_misc"},
    PseudoType{NSFS_MAGIC, "nsfs"},
    PseudoType{SOCKFS_MAGIC, "sockfs"},
    PseudoType{PIPEFS_MAGIC, "pipefs"},
    PseudoType{ANON_INODE_FS_MAGIC, "anon_inodefs"},
    PseudoType{AUTOFS_SUPER_MAGIC, "autofs"},
};

// Pseudo file systems that share their type number with one that stores data (devtmpfs is a
// tmpfs), or whose number no header gives: known by the type their mount names.
constexpr std::array<std::string_view, 6> kPseudoMountTypes{"devtmpfs", "configfs",   "fusectl",
                                                            "mqueue",   "rpc_pipefs", "nfsd"};

} // namespace

std::optional<std::string> PseudoFileSystemOf(int fd, const struct stat& status) {
    struct statfs fileSystem {};
    if (fstatfs(fd, &fileSystem) != 0)
        return "unknown file system";
    const auto type = static_cast<unsigned long>(fileSystem.f_type);
    for (const PseudoType& pseudo : kPseudoTypes)
        if (pseudo.magic == type)
            return pseudo.name;
    for (const Mount& mount : ReadMounts())
        if (mount.device == status.st_dev &&
            std::ranges::find(kPseudoMountTypes, mount.type) != kPseudoMountTypes.end())
            return mount.type;
    return std::nullopt;
}

} // namespace platform::layer

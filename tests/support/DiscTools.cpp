// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/DiscTools.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace disctest {
namespace {

namespace fs = std::filesystem;

constexpr const char* kXorriso = "xorriso";
constexpr const char* kEmulator = "qemu-system-i386";
constexpr const char* kBootTimeout = "10";

// Extracted files come out read-only; the test's folder must be removable afterwards.
void MakeWritable(const fs::path& folder) {
    std::error_code error;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, error);
    for (const auto& item : fs::recursive_directory_iterator(folder, error))
        fs::permissions(item.path(), fs::perms::owner_all, fs::perm_options::add, error);
}

} // namespace

std::string ElToritoReport(const std::string& disc) {
    return RunProgram({kXorriso, "-indev", disc, "-report_el_torito", "plain"}).output;
}

std::string TableOfContents(const std::string& disc) {
    return RunProgram({kXorriso, "-indev", disc, "-toc"}).output;
}

std::map<std::string, test::Bytes> DiscFiles(const std::string& disc, const std::string& folder) {
    std::map<std::string, test::Bytes> files;
    const Run extracted =
        RunProgram({kXorriso, "-osirrox", "on", "-indev", disc, "-extract", "/", folder});
    MakeWritable(folder);
    EXPECT_EQ(extracted.status, 0) << extracted.output;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(folder, error))
        files[item.path().filename().string()] = test::ReadFileBytes(item.path().string());
    return files;
}

namespace {
// Boots an emulated PC from drive (a -drive option's value) in the boot order given; the guest
// leaves through the debug-exit port.
Run Boot(const std::string& drive, const std::string& order, const std::string& consoleLog) {
    Run run = RunProgram({"timeout", kBootTimeout, kEmulator, "-machine", "pc", "-m", "16",
                          "-display", "none", "-no-reboot", "-nodefaults", "-debugcon",
                          "file:" + consoleLog, "-device", "isa-debug-exit,iobase=0xf4,iosize=0x04",
                          "-drive", drive, "-boot", "order=" + order + ",reboot-timeout=0"});
    const test::Bytes console = test::ReadFileBytes(consoleLog);
    run.output.assign(console.begin(), console.end());
    return run;
}
} // namespace

Run BootDisc(const std::string& disc, const std::string& consoleLog) {
    return Boot("file=" + disc + ",media=cdrom,if=ide,readonly=on", "d", consoleLog);
}

Run BootFloppy(const std::string& floppy, const std::string& consoleLog) {
    return Boot("file=" + floppy + ",if=floppy,format=raw,readonly=on", "a", consoleLog);
}

} // namespace disctest

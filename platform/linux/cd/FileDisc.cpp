// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/FileDisc.h"

#include "platform/linux/Log.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform::layer {
namespace {

// The temporary file: ".<name of the .iso>.<random letters>", hidden beside the .iso.
constexpr char kHiddenPrefix = '.';
constexpr std::size_t kRandomLetters = 8;
constexpr std::string_view kLetters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int kNameAttempts = 16;
// As libburn would create the .iso: readable and writable as the umask allows.
constexpr mode_t kDiscFileMode = 0666;

std::string RandomLetters() {
    std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
    std::string letters;
    for (std::size_t i = 0; i < kRandomLetters; ++i)
        letters += kLetters[pick(source)];
    return letters;
}

void LogFailure(const std::string& isoPath, const std::string& what, int error) {
    LogLine(isoPath + ": " + what + ": " + std::strerror(error));
}

// Forces the folder's entries out, so that the rename survives a crash; a failure only weakens
// that and is logged.
void SyncFolder(const std::string& isoPath) {
    const std::string folder = std::filesystem::path(isoPath).parent_path().string();
    const ScopedDescriptor entries(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!entries || ::fsync(entries.get()) != 0)
        LogFailure(isoPath, "cannot force the folder's entries onto the medium", errno);
}

} // namespace

std::optional<FileDisc> FileDisc::Create(const std::string& isoPath) {
    const std::filesystem::path iso(isoPath);
    const std::string stem =
        (iso.parent_path() / (kHiddenPrefix + iso.filename().string())).string();
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string temporary = stem + '.' + RandomLetters();
        ScopedDescriptor file(
            ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kDiscFileMode));
        if (file)
            return FileDisc(isoPath, std::move(temporary), std::move(file));
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

FileDisc::FileDisc(std::string isoPath, std::string temporaryPath, ScopedDescriptor file)
    : isoPath_(std::move(isoPath)), temporaryPath_(std::move(temporaryPath)),
      file_(std::move(file)) {
}

FileDisc::FileDisc(FileDisc&& other) noexcept
    : isoPath_(std::move(other.isoPath_)),
      temporaryPath_(std::exchange(other.temporaryPath_, std::string())),
      file_(std::move(other.file_)), committed_(other.committed_) {
}

FileDisc::~FileDisc() {
    if (!committed_ && !temporaryPath_.empty())
        ::unlink(temporaryPath_.c_str());
}

bool FileDisc::commit(off_t size) {
    struct stat held {};
    if (::fstat(file_.get(), &held) != 0) {
        LogFailure(isoPath_, "cannot examine the recorded file", errno);
        return false;
    }
    if (!S_ISREG(held.st_mode) || held.st_size != size) {
        LogLine(isoPath_ + ": the recorded file holds " + std::to_string(held.st_size) +
                " bytes, not the image's " + std::to_string(size));
        return false;
    }
    if (::fsync(file_.get()) != 0) {
        LogFailure(isoPath_, "cannot force the recorded file onto the medium", errno);
        return false;
    }
    struct stat named {};
    if (::stat(temporaryPath_.c_str(), &named) != 0 || named.st_dev != held.st_dev ||
        named.st_ino != held.st_ino) {
        LogLine(isoPath_ + ": the recorded file " + temporaryPath_ + " was moved or replaced");
        return false;
    }
    if (::rename(temporaryPath_.c_str(), isoPath_.c_str()) != 0) {
        LogFailure(isoPath_, "cannot put the recorded file in its place", errno);
        return false;
    }
    committed_ = true;
    SyncFolder(isoPath_);
    return true;
}

} // namespace platform::layer

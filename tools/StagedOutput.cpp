// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/StagedOutput.h"

#include "platform/Files.h"

#include <filesystem>
#include <random>
#include <string_view>
#include <system_error>
#include <utility>

using namespace win;

namespace tools {
namespace {

constexpr const char* kStagingSuffix = ".tmp";
constexpr int kNameAttempts = 32;
constexpr unsigned kNameDigits = 8;
constexpr unsigned kNibbleBits = 4;
constexpr unsigned kNibbleMask = 0xF;
constexpr std::string_view kHexDigits = "0123456789abcdef";

// PATH.xxxxxxxx.tmp with eight random hexadecimal digits.
std::string CandidateName(const std::string& path, std::random_device& random) {
    std::string name = path + '.';
    unsigned bits = random();
    for (unsigned digit = 0; digit < kNameDigits; ++digit, bits >>= kNibbleBits)
        name += kHexDigits[bits & kNibbleMask];
    return name + kStagingSuffix;
}

} // namespace

StagedOutput::StagedOutput(std::string path) : path_(std::move(path)) {
}

StagedOutput::~StagedOutput() {
    if (!created_ || committed_)
        return;
    file_.reset();
    std::error_code ignored; // gone already: nothing left to clean up
    std::filesystem::remove(staging_, ignored);
}

bool StagedOutput::create() {
    std::random_device random;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        staging_ = CandidateName(path_, random);
        // CREATE_NEW: a name that exists, even as a dangling link, is left alone and another
        // one is drawn.
        file_.reset(CreateFileA(staging_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file_.valid()) {
            created_ = true;
            return true;
        }
        std::error_code failure;
        if (!std::filesystem::exists(std::filesystem::symlink_status(staging_, failure)))
            return false;
    }
    return false;
}

bool StagedOutput::commit(std::string* error) {
    // A close can be the moment a delayed write fails; it must succeed before the rename.
    if (!CloseHandle(file_.release())) {
        *error = "cannot finish writing " + staging_;
        return false;
    }
    // The standard library's rename replaces an existing file on every host (on Windows
    // through MoveFileEx with replacement), unlike the C library's rename there.
    std::error_code failure;
    std::filesystem::rename(staging_, path_, failure);
    if (failure) {
        *error = "cannot rename " + staging_ + " to " + path_ + ": " + failure.message();
        return false;
    }
    committed_ = true;
    return true;
}

} // namespace tools

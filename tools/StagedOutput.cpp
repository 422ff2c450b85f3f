// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/StagedOutput.h"

#include "platform/Files.h"

#include <filesystem>
#include <system_error>
#include <utility>

using namespace win;

namespace tools {
namespace {

constexpr const char* kStagingSuffix = ".tmp";

} // namespace

StagedOutput::StagedOutput(std::string path)
    : path_(std::move(path)), staging_(path_ + kStagingSuffix) {
}

StagedOutput::~StagedOutput() {
    if (committed_)
        return;
    file_.reset();
    std::error_code ignored; // nothing to remove when the staging file was never made
    std::filesystem::remove(staging_, ignored);
}

bool StagedOutput::create() {
    file_.reset(CreateFileA(staging_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return file_.valid();
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

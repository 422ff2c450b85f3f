// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// An output file that appears whole or not at all: it is written under the name NAME.tmp and
// renamed to NAME only once everything is in it. Dropped without a commit, the staging file is
// removed, so a failure never leaves a half-written NAME (nor a stale NAME.tmp) behind.

#include "platform/ScopedHandle.h"

#include <string>

namespace tools {

class StagedOutput {
public:
    explicit StagedOutput(std::string path);
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    /// The name to create the staging file under.
    const std::string& stagingPath() const { return staging_; }

    /// Takes ownership of the staging file's handle, as opened by the caller for writing.
    void adopt(win::HANDLE handle) { file_.reset(handle); }

    /// Creates the staging file as a plain empty file for writing; false when it cannot.
    bool create();

    /// The staging file's handle (invalid before adopt or create).
    win::HANDLE handle() const { return file_.get(); }

    /// Closes the staging file and renames it over the final name. False with *error when
    /// either fails; the staging file is then removed.
    bool commit(std::string* error);

private:
    std::string path_;
    std::string staging_;
    platform::FileHandle file_;
    bool committed_ = false;
};

} // namespace tools

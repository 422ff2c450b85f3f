// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// An output file that appears whole or not at all: it is written under a staging name of its own
// in the same folder (NAME.XXXXXXXX.tmp, made new, so no file of the user's is ever opened or
// replaced under that name) and renamed to NAME only once everything is in it. Dropped without a
// commit, the staging file is removed; a file the tool did not create is never removed.

#include "platform/ScopedHandle.h"

#include <string>

namespace tools {

class StagedOutput {
public:
    explicit StagedOutput(std::string path);
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    /// Creates the staging file, new and empty, for writing under a name no file had; false when
    /// it cannot (the folder is missing or not writable). stagingPath() then names the last
    /// name tried.
    bool create();

    /// The staging file's name.
    const std::string& stagingPath() const { return staging_; }

    /// The staging file's handle (invalid before create).
    win::HANDLE handle() const { return file_.get(); }

    /// Closes the staging file and renames it over the final name. False with *error when
    /// either fails; the staging file is then removed.
    bool commit(std::string* error);

private:
    std::string path_;
    std::string staging_;
    platform::FileHandle file_;
    bool created_ = false;
    bool committed_ = false;
};

} // namespace tools

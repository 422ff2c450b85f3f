// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A unique temporary folder for one test. Every file the test may leave in it is named through
// path(); when the folder goes, anything else found in it fails the running test (a leaked or
// misnamed temporary file), and the folder is removed with everything in it either way.

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

namespace test {

class TempDir {
public:
    /// Makes the folder under the system's temporary directory; throws std::system_error when
    /// it cannot (the test then fails).
    TempDir();
    /// Fails the running test if a file not named through path() is left, then removes all.
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    /// The folder itself.
    const std::filesystem::path& root() const { return root_; }

    /// The full path of name inside the folder, which the test may then create and leave
    /// behind (a folder of that name may hold anything). path("") is the folder with a trailing
    /// separator.
    std::string path(std::string_view name);

private:
    std::filesystem::path root_;
    std::set<std::string, std::less<>> expected_;
};

} // namespace test

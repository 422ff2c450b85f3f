// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/TempDir.h"

#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>
#include <system_error>
#include <vector>

namespace test {
namespace {

constexpr const char* kTemplate = "bootmedia-test-XXXXXX";

} // namespace

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / kTemplate).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    root_ = buffer.data();
}

TempDir::~TempDir() {
    std::error_code error;
    std::string unexpected;
    for (const auto& item : std::filesystem::directory_iterator(root_, error)) {
        const std::string name = item.path().filename().string();
        if (!expected_.contains(name))
            unexpected += " " + name;
    }
    if (!unexpected.empty())
        ADD_FAILURE() << "the test left files it did not name in " << root_ << ":" << unexpected;
    std::filesystem::remove_all(root_, error);
    if (error)
        ADD_FAILURE() << "cannot remove " << root_ << ": " << error.message();
}

std::string TempDir::path(std::string_view name) {
    expected_.emplace(name);
    return (root_ / name).string();
}

} // namespace test

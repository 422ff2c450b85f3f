// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/Log.h"

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

using platform::layer::LogFilePath;
using platform::layer::LogLine;

namespace {

std::vector<std::string> LinesOf(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

// checks that the log follows XDG_STATE_HOME, falls back to HOME's state folder, and has no
// place when neither names an absolute folder.
TEST(Log, FollowsTheStateFolderConvention) {
    {
        test::ScopedEnv state("XDG_STATE_HOME", "/var/tmp/state");
        EXPECT_EQ(LogFilePath(), "/var/tmp/state/bootmedia/bootmedia.log");
    }
    test::ScopedEnv home("HOME", "/home/someone");
    for (const char* state : {static_cast<const char*>(nullptr), "", "relative/state"}) {
        test::ScopedEnv unset("XDG_STATE_HOME", state);
        EXPECT_EQ(LogFilePath(), "/home/someone/.local/state/bootmedia/bootmedia.log");
    }
    test::ScopedEnv noState("XDG_STATE_HOME", nullptr);
    test::ScopedEnv noHome("HOME", nullptr);
    EXPECT_EQ(LogFilePath(), "");
    LogLine("nowhere to go: skipped without harm");
}

// checks that lines from many threads arrive whole, one per call, in a folder made on first
// use, with line breaks inside a text kept on its line.
TEST(Log, KeepsLinesWholeAcrossThreads) {
    test::TempDir dir;
    test::ScopedEnv state("XDG_STATE_HOME", dir.path("state").c_str());
    constexpr int kThreads = 4;
    constexpr int kLinesEach = 200;
    const std::string payload(300, 'x');
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&payload] {
            for (int i = 0; i < kLinesEach; ++i)
                LogLine("part one\npart two " + payload);
        });
    for (std::thread& thread : threads)
        thread.join();

    const std::vector<std::string> lines = LinesOf(LogFilePath());
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLinesEach));
    for (const std::string& line : lines)
        ASSERT_TRUE(line.ends_with("] part one part two " + payload)) << line;
}

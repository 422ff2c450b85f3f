// SPDX-License-Identifier: GPL-2.0-or-later
// An ending signal in the middle of a recording: the program's own handler runs first (a user
// interface puts its screen back), the write is aborted, the older disc stays, no partial file
// is left, and only then does the process end, by that very signal.
#include "RecordingFixture.h"
#include "platform/System.h"
#include "platform/linux/cd/DriveScript.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using platform::layer::ScopedDriveScript;
using recordtest::kBlock;
using recordtest::RecordingTest;

namespace {

// What a user interface's handler does: its screen goes back (here: a mark in a file), then
// the process ends through the layer.
const char* markPath = nullptr;

void InterfaceHandler(int signal) {
    const int mark = ::open(markPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (mark >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(mark, "restored", 8);
        ::close(mark);
    }
    platform::EndProcessBySignal(signal);
}

} // namespace

// checks that hang-up, interrupt and terminate in the middle of a write, with and without a
// handler of the program's own, end the process by the signal only after the recording was
// stopped: the older disc is byte for byte as it was, nothing is left beside it, the log says
// the write was cancelled, and the program's handler ran.
TEST_F(RecordingTest, EndingSignalStopsTheRecordingFirst) {
    GTEST_FLAG_SET(death_test_style, "fast");
    struct Case {
        int signal;
        bool interfaceHandler;
    };
    const Case cases[] = {{SIGINT, false}, {SIGTERM, true}, {SIGHUP, true}};
    const std::string mark = dir_.path("restored");
    markPath = mark.c_str();
    putOlderDisc();
    addFile("a.bin", test::Bytes(64 * kBlock, 0x66));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signal);
        std::remove(mark.c_str());
        EXPECT_EXIT(
            {
                std::signal(c.signal, c.interfaceHandler ? &InterfaceHandler : SIG_DFL);
                // Sent from the recording's own thread in the middle of its write; another
                // thread takes it, as the dialog's thread would.
                platform::layer::DriveScript stalling;
                stalling.writeStalls = true;
                stalling.onStall = [&c] { ::kill(::getpid(), c.signal); };
                const ScopedDriveScript script(stalling);
                std::thread recording([this] { record(); });
                recording.join();
                std::_Exit(0);
            },
            testing::KilledBySignal(c.signal), "");
        expectOlderDisc();
        EXPECT_NE(log_.text().find("failed: the write was cancelled"), std::string::npos)
            << log_.text();
        EXPECT_EQ(std::filesystem::exists(mark), c.interfaceHandler);
    }
}

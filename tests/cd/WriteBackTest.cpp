// SPDX-License-Identifier: GPL-2.0-or-later
// A file recorder's disc is good only once all of it is on the medium: the write-back started
// while libburn writes and the forcing out at the end are each judged. The kernel's failures are
// played by a seccomp filter in a child process, on real files through the real libraries.
#include "RecordingFixture.h"
#include "platform/ImageMastering.h"
#include "support/DiscTools.h"
#include "support/FileSizeLimit.h"
#include "support/SystemCallFault.h"

#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sys/resource.h>
#include <sys/syscall.h>

using namespace win;
using recordtest::RecordingTest;

namespace {

// The child's exit status for what the recording returned.
constexpr int kRecordedGood = 0;
constexpr int kFailedGeneric = 1;
constexpr int kFailedOtherwise = 2;
constexpr int kNoFilter = 3;

// Large enough that the write-back starts whole steps of the file before the end.
constexpr std::size_t kFileBytes = std::size_t{3} << 20;

} // namespace

// checks that a write-back that fails for the file's bytes, started early or forced at the end,
// and a write that comes short after whole megabytes were written back early, each fail the
// recording with IMAPI_E_GENERIC and leave the older disc byte for byte with nothing beside it,
// the reason in the log; and that an early write-back the system does not offer at all is no
// failure: the disc is recorded, forced out at the end alone. Each recording runs in a child
// process: libburn turns down a new write for half a second after one failed.
TEST_F(RecordingTest, WriteBackFailureKeepsOlderDisc) {
    GTEST_FLAG_SET(death_test_style, "fast");
    struct Case {
        const char* what;
        // The system call that fails, with its errno; none when the file size is capped.
        long call;
        int error;
        rlim_t fileLimit;
        int status;
        const char* logged;
    };
    constexpr long kNoCall = -1;
    constexpr rlim_t kNoLimit = RLIM_INFINITY;
    const Case cases[] = {
        {"early write-back, I/O error", SYS_sync_file_range, EIO, kNoLimit, kFailedGeneric,
         "could not be written back: Input/output error"},
        {"early write-back forbidden", SYS_sync_file_range, EPERM, kNoLimit, kRecordedGood,
         "forced onto the medium at the end only"},
        {"forcing out, I/O error", SYS_fsync, EIO, kNoLimit, kFailedGeneric,
         "cannot force the recorded file onto the medium: Input/output error"},
        {"short write after write-back", kNoCall, 0, kFileBytes - kFileBytes / 6, kFailedGeneric,
         "File too large"},
    };
    test::Bytes bytes(kFileBytes);
    for (std::size_t at = 0; at < bytes.size(); ++at)
        bytes[at] = static_cast<std::uint8_t>(at * 11 + at / 4096);
    addFile("big.bin", bytes);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        putOlderDisc();
        EXPECT_EXIT(
            {
                std::optional<test::FileSizeLimit> limit;
                if (c.fileLimit != kNoLimit)
                    limit.emplace(c.fileLimit);
                if (c.call != kNoCall && !test::FailSystemCallForGood(c.call, c.error))
                    std::_Exit(kNoFilter);
                const HRESULT result = record();
                std::_Exit(result == S_OK              ? kRecordedGood
                           : result == IMAPI_E_GENERIC ? kFailedGeneric
                                                       : kFailedOtherwise);
            },
            testing::ExitedWithCode(c.status), "");
        if (c.status == kRecordedGood)
            EXPECT_EQ(disctest::DiscFiles(discPath(), dir_.path("files")),
                      (std::map<std::string, test::Bytes>{{"big.bin", bytes}}));
        else
            expectOlderDisc();
        EXPECT_NE(log_.text().find(c.logged), std::string::npos) << log_.text();
    }
}

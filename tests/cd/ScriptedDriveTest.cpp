// SPDX-License-Identifier: GPL-2.0-or-later
// Recording onto drives that answer from a script, for the media and faults no drive here has:
// the medium is judged from the one status read after the grab, and no wait on a drive is
// endless.
#include "RecordingFixture.h"
#include "platform/ImageMastering.h"
#include "platform/linux/cd/DriveScript.h"
#include "platform/linux/cd/MediumRule.h"

#include <chrono>
#include <gtest/gtest.h>
#include <libburn/libburn.h>
#include <optional>

using namespace win;
using platform::layer::DriveScript;
using platform::layer::ScopedDriveScript;
using recordtest::kBlock;
using recordtest::RecordingTest;
using namespace platform::layer::profile;

namespace {

constexpr std::chrono::milliseconds kShortStall{300};
constexpr std::chrono::seconds kCancelLimit{20};

} // namespace

// checks that the medium a drive reports decides the recording: refused media (a drive that
// never leaves UNREADY, no disc, an appendable CD-R, a DVD+RW or BD-RE holding data) fail at once
// with their code, the older disc kept and the reason logged, while new overwritable media are
// recorded.
TEST_F(RecordingTest, ScriptedMediaDecideTheRecording) {
    struct Case {
        const char* what;
        int status;
        int profile;
        int format;
        std::optional<bool> startHoldsData;
        HRESULT result;
        const char* logged;
    };
    const Case cases[] = {
        {"never ready",
         burn::BURN_DISC_UNREADY,
         kCdR,
         0,
         {},
         IMAPI_E_MEDIUM_INVALIDTYPE,
         "is not ready"},
        {"no disc", burn::BURN_DISC_EMPTY, 0, 0, {}, IMAPI_E_MEDIUM_NOTPRESENT, "no disc"},
        {"appendable CD-R",
         burn::BURN_DISC_APPENDABLE,
         kCdR,
         0,
         {},
         IMAPI_E_MEDIUM_INVALIDTYPE,
         "still open"},
        {"DVD+RW with data", burn::BURN_DISC_BLANK, kDvdPlusRw, BURN_FORMAT_IS_FORMATTED, true,
         IMAPI_E_MEDIUM_INVALIDTYPE, "holds data"},
        {"BD-RE whose start the drive cannot read",
         burn::BURN_DISC_BLANK,
         kBdRe,
         BURN_FORMAT_IS_FORMATTED,
         {},
         IMAPI_E_MEDIUM_INVALIDTYPE,
         "holds data"},
        {"new DVD+RW", burn::BURN_DISC_BLANK, kDvdPlusRw, BURN_FORMAT_IS_UNFORMATTED, {}, S_OK, ""},
        {"BD-RE with nothing written", burn::BURN_DISC_BLANK, kBdRe, BURN_FORMAT_IS_FORMATTED,
         false, S_OK, ""},
    };
    addFile("a.bin", test::Bytes(kBlock, 0x44));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        putOlderDisc();
        DriveScript answers;
        answers.discStatus = c.status;
        answers.profile = c.profile;
        answers.formatStatus = c.format;
        answers.startHoldsData = c.startHoldsData;
        const ScopedDriveScript script(answers);
        ASSERT_EQ(record(), c.result);
        if (SUCCEEDED(c.result)) {
            EXPECT_NE(test::ReadFileBytes(discPath()).size(), recordtest::kOlderDiscBytes);
        } else {
            expectOlderDisc();
            EXPECT_NE(log_.text().find(c.logged), std::string::npos) << log_.text();
        }
    }
}

// checks that a write that shows no progress is cancelled after the drive's stall limit: the
// recording fails instead of waiting for ever, and the older disc stays.
TEST_F(RecordingTest, StalledWriteIsCancelled) {
    putOlderDisc();
    addFile("a.bin", test::Bytes(4 * kBlock, 0x55));
    DriveScript stalling;
    stalling.writeStalls = true;
    stalling.limits = {.stall = kShortStall, .cancel = kCancelLimit};
    const ScopedDriveScript script(stalling);
    EXPECT_EQ(record(), IMAPI_E_GENERIC);
    expectOlderDisc();
    EXPECT_NE(log_.text().find("stalled"), std::string::npos) << log_.text();
}

// SPDX-License-Identifier: GPL-2.0-or-later
// The COM holders and the drive-letter lookup on their own, against stand-ins.
#include "ComFakes.h"
#include "cd/CdBurnRef.h"
#include "cd/DiscMasterRef.h"
#include "cd/DriveLetter.h"
#include "cd/RecorderEnumRef.h"
#include "cd/RecorderRef.h"
#include "platform/ComApartment.h"
#include "platform/linux/cd/RecorderRegistry.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace win;
using platform::layer::MakeComObject;
using testing::Contains;
using testing::Not;

namespace {

fake::Recorders OneRecorder(const fake::Log& log, std::optional<std::u16string> path) {
    fake::Recorders recorders;
    recorders.push_back(MakeComObject<fake::Recorder>(log, "r0", std::move(path)));
    return recorders;
}

} // namespace

// checks that the burning holder answers true only for a succeeding call that reports a drive
// (S_FALSE succeeds), and keeps the exact result of its last call.
TEST(CdBurnRef, AnswersFromResultAndFlag) {
    const platform::ComApartment apartment;
    struct Case {
        HRESULT result;
        BOOL hasDrive;
        bool expected;
    };
    for (const Case& c : {Case{S_OK, TRUE, true}, Case{S_FALSE, TRUE, true},
                          Case{S_OK, FALSE, false}, Case{E_UNEXPECTED, TRUE, false}}) {
        SCOPED_TRACE(c.result);
        const fake::Log log = fake::NewLog();
        fake::StandIn burner(
            CLSID_CDBurn, [=] { return MakeComObject<fake::Burner>(log, c.result, c.hasDrive); });
        CdBurnRef ref;
        EXPECT_EQ(ref.hasRecordableDrive(), c.expected);
        EXPECT_EQ(ref.lastResult(), c.result);
    }
    fake::StandIn missing(CLSID_CDBurn, E_OUTOFMEMORY);
    CdBurnRef ref;
    EXPECT_TRUE(ref.empty());
    EXPECT_EQ(ref.lastResult(), E_OUTOFMEMORY);
    EXPECT_FALSE(ref.hasRecordableDrive());
}

// checks that a recorder delivered together with a failing result is released without being
// held or closed.
TEST(RecorderEnumRef, FailingNextHoldsNothing) {
    const platform::ComApartment apartment;
    const fake::Log log = fake::NewLog();
    fake::StandIn master = fake::MasterWith(log, S_OK, OneRecorder(log, fake::CdRomPath(0)), true);
    DiscMasterRef discMaster;
    RecorderRef recorder;
    RecorderEnumRef enumerator(discMaster);
    EXPECT_FALSE(enumerator.nextRecorder(recorder));
    EXPECT_EQ(enumerator.lastResult(), E_FAIL);
    EXPECT_TRUE(recorder.empty());
    EXPECT_THAT(*log, Contains("r0.released"));
    EXPECT_THAT(*log, Not(Contains("r0.Close")));
}

// checks that a failing format fetch changes nothing, that an empty recorder holder sets no
// recorder, and that a recorder whose path cannot be read gives an empty path.
TEST(DiscMasterRef, FormatsRecorderAndPath) {
    const platform::ComApartment apartment;
    const fake::Log log = fake::NewLog();
    fake::StandIn master = fake::MasterWith(log, S_OK, OneRecorder(log, std::nullopt));
    DiscMasterRef discMaster;
    ASSERT_TRUE(discMaster.open());
    discMaster.fetchFormats();
    EXPECT_EQ(discMaster.lastResult(), E_FAIL);
    RecorderRef recorder;
    EXPECT_FALSE(discMaster.setActiveRecorder(recorder));
    EXPECT_EQ(discMaster.lastResult(), E_POINTER);
    RecorderEnumRef enumerator(discMaster);
    ASSERT_TRUE(enumerator.nextRecorder(recorder));
    EXPECT_EQ(recorder.devicePath(), "");
    EXPECT_EQ(recorder.lastResult(), E_FAIL);
    EXPECT_TRUE(discMaster.setActiveRecorder(recorder));
    EXPECT_THAT(*log, Contains("master.SetActiveDiscRecorder"));
}

// checks that a letter is found by the exact device path only: never for an empty path, a
// different case, or a target too long for the query's buffer (the system volume).
TEST(DriveLetter, ExactTargetOnly) {
    test::TempDir dir;
    platform::layer::ScopedRecorderSources sources(fake::FileRecorders(dir, 2));
    EXPECT_EQ(DriveLetterFromDevicePath("\\Device\\CdRom1"), 'F');
    EXPECT_EQ(DriveLetterFromDevicePath("\\Device\\CdRom0"), 'E');
    EXPECT_EQ(DriveLetterFromDevicePath("\\device\\cdrom0"), 0);
    EXPECT_EQ(DriveLetterFromDevicePath("\\Device\\CdRom"), 0);
    EXPECT_EQ(DriveLetterFromDevicePath(""), 0);
    EXPECT_EQ(DriveLetterFromDevicePath("\\Device\\HarddiskVolume1"), 0);
}

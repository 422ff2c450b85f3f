// SPDX-License-Identifier: GPL-2.0-or-later
// The CD build job from start to end against stand-ins for the services, with the real container
// reader and the real temporary storages.
#include "CdJobBench.h"
#include "app/JobState.h"
#include "support/ScopedEnv.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits>

using namespace win;
using cdjobtest::CdFile;
using cdjobtest::JobBench;
using cdjobtest::Services;
using testing::Contains;
using testing::ElementsAre;
using testing::Not;
using testing::Pair;

namespace {

const std::vector<CdFile> kFiles = {{"README.TXT", test::TextBytes("hello")},
                                    {"SETUP.EXE", cdjobtest::Pattern(70000, 2)}};

// What every run leaves: busy cleared, at most one box, owned by no window and shown while the
// job was busy, every reference and temporary storage given back, and phase 2 never entered.
void ExpectCleanEnd(const JobBench& bench) {
    EXPECT_FALSE(JobState.busy);
    EXPECT_LE(bench.boxes.size(), 1u);
    for (const test::RecordedBox& box : bench.boxes) {
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.caption, cdjobtest::kCaption);
        EXPECT_EQ(box.style, MB_ICONERROR | MB_OK);
    }
    EXPECT_THAT(bench.busyDuringBox, testing::Each(true));
    EXPECT_EQ(bench.descriptorsLeft, 0);
    EXPECT_THAT(*bench.log, Not(Contains("master.propertiesLeaked")));
    EXPECT_THAT(bench.pauses, Not(Contains(Pair(testing::_, 2))));
}

} // namespace

// checks that a good run stages the files and the boot image, sets the boot record, hands the
// file set over, records on the chosen recorder, and releases everything in reverse order.
TEST(CdBuildJob, RecordsFileSetAndBootImage) {
    JobBench bench(kFiles);
    bench.run(Services{}, 1, true);

    ExpectCleanEnd(bench);
    EXPECT_TRUE(bench.boxes.empty());
    EXPECT_FALSE(JobState.failed);
    EXPECT_EQ(JobState.cdPhase, 6);
    EXPECT_THAT(bench.pauses, ElementsAre(Pair(1000u, 0), Pair(200u, 1), Pair(200u, 3)));
    EXPECT_EQ(bench.seen->files, cdjobtest::StreamsFor(kFiles));
    ASSERT_TRUE(bench.seen->enabled && bench.seen->platform && bench.seen->media);
    EXPECT_EQ(bench.seen->enabled->vt, VT_BOOL);
    EXPECT_EQ(bench.seen->enabled->iVal, 1);
    EXPECT_EQ(bench.seen->platform->vt, VT_UI1);
    EXPECT_EQ(bench.seen->platform->bVal, 0);
    EXPECT_EQ(bench.seen->media->vt, VT_UI1);
    EXPECT_EQ(bench.seen->media->bVal, 2);
    EXPECT_EQ(bench.seen->other, u"volume");
    EXPECT_TRUE(bench.seen->bootImage == bench.bootImage);
    // The releases: enumerator (with the recorder it still held), recorder, master, burner.
    EXPECT_THAT(*bench.log,
                ElementsAre("burner.HasRecordableDrive", "master.Open", "r0.Close", "r0.released",
                            "master.SetActiveDiscRecorder(r1)",
                            "master.GetJolietProperties in phase 3",
                            "master.SetJolietProperties in phase 3",
                            "master.GetJolietProperties in phase 3", "master.AddData(1) in phase 4",
                            "master.RecordDisc(0,1) in phase 5", "enumerator.released",
                            "r2.released", "r1.Close", "r1.released", "master.Close",
                            "master.released", "burner.released"));
}

// checks that each way the job can fail shows its one box, leaves the phase where it failed,
// sets failed, clears busy, hands nothing on after a failed step, and releases everything.
TEST(CdBuildJob, FailuresShowTheirBoxAndEndTheJob) {
    using fake::JolietBehaviour;
    struct Case {
        const char* what;
        Services services;
        std::vector<CdFile> files;
        std::optional<std::int32_t> tempGoneAt;
        const char* box;
        std::int32_t phase;
    };
    // Every case's services are made by these two and copied in: GCC 12 takes an optional
    // built in place inside the case table for one it may destroy uninitialised.
    const auto services = [](auto change) {
        Services made;
        change(made);
        return made;
    };
    const auto master = [](auto change) {
        JolietBehaviour behaviour;
        change(behaviour);
        return Services{.master = behaviour};
    };
    const Services standard = services([](Services&) {});
    const test::Bytes five = test::TextBytes("12345");
    const std::vector<Case> cases = {
        {"no recordable drive",
         services([](Services& s) { s.hasDrive = FALSE; }),
         kFiles,
         {},
         cdjobtest::kNoRecorder,
         0},
        {"no burning service",
         services([](Services& s) { s.burnerCreation = REGDB_E_CLASSNOTREG; }),
         kFiles,
         {},
         cdjobtest::kNoRecorder,
         0},
        {"burner call fails",
         services([](Services& s) { s.burnerResult = E_FAIL; }),
         kFiles,
         {},
         cdjobtest::kNoRecorder,
         0},
        {"no disc master",
         services([](Services& s) { s.master.reset(); }),
         kFiles,
         {},
         cdjobtest::kNoMaster,
         0},
        {"Open fails",
         master([](JolietBehaviour& b) { b.openResult = IMAPI_E_GENERIC; }),
         kFiles,
         {},
         cdjobtest::kNoMaster,
         0},
        {"no recorder enumerator",
         master([](JolietBehaviour& b) { b.enumeratesRecorders = false; }),
         kFiles,
         {},
         cdjobtest::kBuildError,
         0},
        {"no Joliet format",
         master([](JolietBehaviour& b) { b.offersJoliet = false; }),
         kFiles,
         {},
         cdjobtest::kBuildError,
         0},
        {"temporary storage fails", standard, kFiles, 1, cdjobtest::kBuildError, 1},
        {"name the storage refuses", standard, {{"A:B", five}}, {}, cdjobtest::kBuildError, 1},
        {"name without contents",
         standard,
         {{"ONE", five}, {"TWO", std::nullopt}},
         {},
         cdjobtest::kBuildError,
         1},
        {"boot storage fails", standard, kFiles, 3, cdjobtest::kBuildError, 3},
        {"no properties",
         master([](JolietBehaviour& b) { b.getPropertiesResult = E_FAIL; }),
         kFiles,
         {},
         cdjobtest::kBuildError,
         3},
        {"no boot image property",
         master([](JolietBehaviour& b) {
             b.bootIds = {4, 6, 7};
         }),
         kFiles,
         {},
         cdjobtest::kBuildError,
         3},
        {"platform is a text",
         master([](JolietBehaviour& b) { b.platformAsText = true; }),
         kFiles,
         {},
         cdjobtest::kBuildError,
         3},
        {"boot image not taken",
         master([](JolietBehaviour& b) { b.readOnlyBootImage = true; }),
         kFiles,
         {},
         cdjobtest::kBuildError,
         3},
        {"properties refused",
         master([](JolietBehaviour& b) { b.setPropertiesResult = E_INVALIDARG; }),
         kFiles,
         {},
         cdjobtest::kBuildError,
         3},
        {"AddData fails",
         master([](JolietBehaviour& b) { b.addDataResult = IMAPI_E_DISCFULL; }),
         kFiles,
         {},
         cdjobtest::kBuildError,
         4},
        {"RecordDisc S_FALSE",
         master([](JolietBehaviour& b) { b.recordResult = S_FALSE; }),
         kFiles,
         {},
         cdjobtest::kRecordError,
         6},
        {"RecordDisc fails",
         master([](JolietBehaviour& b) { b.recordResult = IMAPI_E_MEDIUM_NOTPRESENT; }),
         kFiles,
         {},
         cdjobtest::kRecordError,
         6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        JobBench bench(c.files);
        bench.run(c.services, 0, false, c.tempGoneAt);

        ExpectCleanEnd(bench);
        ASSERT_EQ(bench.boxes.size(), 1u);
        EXPECT_EQ(bench.boxes[0].text, c.box);
        EXPECT_TRUE(JobState.failed);
        EXPECT_EQ(JobState.cdPhase, c.phase);
        const bool burnerMade = c.services.burnerCreation == S_OK;
        EXPECT_THAT(*bench.log, Contains("burner.released").Times(burnerMade ? 1u : 0u));
        const bool masterMade = burnerMade && c.services.burnerResult == S_OK &&
                                c.services.hasDrive && c.services.master;
        EXPECT_THAT(*bench.log, Contains("master.released").Times(masterMade ? 1u : 0u));
        EXPECT_EQ(bench.seen->files.has_value(), c.phase >= 4);
        EXPECT_EQ(c.box == cdjobtest::kRecordError,
                  std::count(bench.log->begin(), bench.log->end(),
                             "master.RecordDisc(0,1) in phase 5") == 1);
    }
}

// checks that the recorder made active is the one at the selected position, and none for -1 or
// a position past the three recorders the service has.
TEST(CdBuildJob, ActivatesTheSelectedRecorder) {
    struct Case {
        std::int32_t selected;
        const char* active;
    };
    for (const Case& c : {Case{-1, "none"}, Case{0, "r0"}, Case{2, "r2"}, Case{3, "none"},
                          Case{std::numeric_limits<std::int32_t>::max(), "none"}}) {
        SCOPED_TRACE(c.selected);
        JobBench bench(kFiles);
        bench.run(Services{}, c.selected, true);
        ExpectCleanEnd(bench);
        EXPECT_THAT(*bench.log,
                    Contains(std::string("master.SetActiveDiscRecorder(") + c.active + ")"));
        for (const char* recorder : {"r0.released", "r1.released", "r2.released"})
            EXPECT_THAT(*bench.log, Contains(recorder));
    }
}

// checks that a name the storage already holds in another case, or one that the code page does
// not convert one-to-one, fails the build in phase 1 with 1031 and hands nothing over: never a
// file set missing one of its files.
TEST(CdBuildJob, NamesThatWouldBeOneFileFailTheBuild) {
    struct Case {
        const char* what;
        const char* codePage;
        std::vector<CdFile> files;
    };
    const test::Bytes one = test::TextBytes("one");
    const test::Bytes two = test::TextBytes("two");
    const std::vector<Case> cases = {
        {"ASCII case", "1252", {{"readme.txt", one}, {"README.TXT", two}}},
        {"Windows-1252 case", "1252", {{"\x9A.txt", one}, {"\x8A.txt", two}}},
        {"Latin-1 case", "1252", {{"caf\xE9", one}, {"CAF\xC9", two}}},
        {"Cyrillic case", "1251", {{"\xC6.txt", one}, {"\xE6.txt", two}}},
        {"byte the code page lacks", "1251", {{"a.txt", one}, {"\x98.txt", two}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const test::ScopedEnv codePage("BOOTMEDIA_CODEPAGE", c.codePage);
        JobBench bench(c.files);
        bench.run(Services{}, 0, false);

        ExpectCleanEnd(bench);
        ASSERT_EQ(bench.boxes.size(), 1u);
        EXPECT_EQ(bench.boxes[0].text, cdjobtest::kBuildError);
        EXPECT_TRUE(JobState.failed);
        EXPECT_EQ(JobState.cdPhase, 1);
        EXPECT_FALSE(bench.seen->files.has_value());
    }
}

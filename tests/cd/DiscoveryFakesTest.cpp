// SPDX-License-Identifier: GPL-2.0-or-later
// Recorder discovery against stand-ins for the services: failures of each service, recorders
// without a path or a letter, too many recorders, and the order holders end in.
#include "ComFakes.h"
#include "cd/RecorderList.h"
#include "platform/linux/cd/RecorderRegistry.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace win;
using platform::layer::MakeComObject;
using platform::layer::ScopedRecorderSources;
using testing::Contains;
using testing::ElementsAre;
using testing::Not;

namespace {

using fake::BurnerSaying;
using fake::CdRomPath;
using fake::MakeRecorders;
using fake::MasterWith;

// The layer's drive letters: E: for the first of count file recorders, and so on.
class LetteredRecorders {
public:
    explicit LetteredRecorders(int count) : sources_(fake::FileRecorders(dir_, count)) {}

private:
    test::TempDir dir_;
    ScopedRecorderSources sources_;
};

// Fills a list with one lettered recorder through the stand-ins.
void FillWithOne(RecorderList& list) {
    const fake::Log log = fake::NewLog();
    fake::StandIn burner = BurnerSaying(log, S_OK, TRUE);
    fake::StandIn master = MasterWith(log, S_OK, MakeRecorders(log, 1));
    ASSERT_EQ(list.EnumerateRecorders(), 1);
    ASSERT_EQ(list.letterAt(0), 'E');
}

} // namespace

// checks that a missing or failing burning service, one that reports no drive, a missing disc
// master and one that does not open each give 0 and leave the list as it was.
TEST(DiscoveryFakes, ServiceFailuresFindNothing) {
    LetteredRecorders letters(1);
    struct Case {
        const char* name;
        HRESULT burnerCreation; // S_OK: the burner is made
        HRESULT hasDriveResult;
        BOOL hasDrive;
        HRESULT masterCreation; // S_OK: the master is made
        HRESULT openResult;
    };
    const Case cases[] = {
        {"no burning service", REGDB_E_CLASSNOTREG, S_OK, TRUE, S_OK, S_OK},
        {"burning service fails", S_OK, E_FAIL, TRUE, S_OK, S_OK},
        {"no recordable drive", S_OK, S_OK, FALSE, S_OK, S_OK},
        {"no disc master", S_OK, S_OK, TRUE, E_OUTOFMEMORY, S_OK},
        {"disc master does not open", S_OK, S_OK, TRUE, S_OK, E_FAIL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecorderList list;
        FillWithOne(list);
        const fake::Log log = fake::NewLog();
        fake::Recorders recorders = MakeRecorders(log, 2);
        fake::StandIn burner = c.burnerCreation == S_OK
                                   ? BurnerSaying(log, c.hasDriveResult, c.hasDrive)
                                   : fake::StandIn(CLSID_CDBurn, c.burnerCreation);
        fake::StandIn master = c.masterCreation == S_OK
                                   ? MasterWith(log, c.openResult, std::move(recorders))
                                   : fake::StandIn(CLSID_MSDiscMasterObj, c.masterCreation);
        EXPECT_EQ(list.EnumerateRecorders(), 0);
        EXPECT_EQ(list.count(), 1);
        EXPECT_EQ(list.letterAt(0), 'E');
        EXPECT_THAT(*log, Not(Contains("master.EnumDiscRecorders")));
    }
}

// checks that a recorder whose path cannot be read and one whose path matches no letter keep
// their positions without a letter, and that the letters of the others are found.
TEST(DiscoveryFakes, RecordersWithoutLetterKeepTheirPlace) {
    LetteredRecorders letters(2);
    const fake::Log log = fake::NewLog();
    fake::Recorders recorders;
    recorders.push_back(MakeComObject<fake::Recorder>(log, "nopath", std::nullopt));
    recorders.push_back(MakeComObject<fake::Recorder>(log, "second", CdRomPath(1)));
    recorders.push_back(MakeComObject<fake::Recorder>(log, "elsewhere", u"\\Device\\Nowhere"));
    recorders.push_back(MakeComObject<fake::Recorder>(log, "first", CdRomPath(0)));
    fake::StandIn burner = BurnerSaying(log, S_OK, TRUE);
    fake::StandIn master = MasterWith(log, S_OK, std::move(recorders));
    RecorderList list;
    ASSERT_EQ(list.EnumerateRecorders(), 4);
    EXPECT_EQ(list.letterAt(0), 0);
    EXPECT_EQ(list.letterAt(1), 'F');
    EXPECT_EQ(list.letterAt(2), 0);
    EXPECT_EQ(list.letterAt(3), 'E');
}

// checks that the holders end in the order the discovery made them, reversed, each recorder and
// the disc master closed before they are released, and that a 27th recorder is never fetched.
TEST(DiscoveryFakes, HoldersCloseAndReleaseInOrder) {
    LetteredRecorders letters(0);
    const fake::Log log = fake::NewLog();
    fake::StandIn burner = BurnerSaying(log, S_OK, TRUE);
    fake::StandIn master = MasterWith(log, S_OK, MakeRecorders(log, 27));
    RecorderList list;
    ASSERT_EQ(list.EnumerateRecorders(), RecorderList::kMaxRecorders);
    ASSERT_EQ(log->size(), 3 + 26 + 2 * 25 + 7u);
    EXPECT_THAT(std::vector<std::string>(log->begin(), log->begin() + 7),
                ElementsAre("burner.HasRecordableDrive", "master.Open", "master.EnumDiscRecorders",
                            "r0.GetPath", "r0.Close", "r0.released", "r1.GetPath"));
    EXPECT_THAT(std::vector<std::string>(log->end() - 8, log->end()),
                ElementsAre("r25.GetPath", "enumerator.released", "r26.released", "r25.Close",
                            "r25.released", "master.Close", "master.released", "burner.released"));
    EXPECT_EQ(list.letterAt(0), 0);
}

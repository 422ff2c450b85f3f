// SPDX-License-Identifier: GPL-2.0-or-later
// Recorder discovery end to end: the holders, the Linux layer's services and libburn's file
// recorders, with no optical drive looked for.
#include "ComFakes.h"
#include "cd/RecorderList.h"
#include "platform/linux/cd/RecorderRegistry.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

using fake::FileRecorders;
using platform::layer::RecorderSources;
using platform::layer::ScopedRecorderSources;

namespace {

// Names BOOTMEDIA_RECORDERS for the lifetime of the object.
class ScopedRecorderVariable {
public:
    explicit ScopedRecorderVariable(const std::string& list) {
        setenv("BOOTMEDIA_RECORDERS", list.c_str(), 1);
        platform::layer::ForgetRecorders();
    }
    ~ScopedRecorderVariable() {
        unsetenv("BOOTMEDIA_RECORDERS");
        platform::layer::ForgetRecorders();
    }
};

} // namespace

// checks that file recorders are found in their order, each with its letter from E: on, and
// that positions outside the list have no letter.
TEST(Discovery, FileRecordersInOrderWithLetters) {
    test::TempDir dir;
    ScopedRecorderSources sources(FileRecorders(dir, 3));
    RecorderList list;
    ASSERT_EQ(list.EnumerateRecorders(), 3);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.letterAt(0), 'E');
    EXPECT_EQ(list.letterAt(1), 'F');
    EXPECT_EQ(list.letterAt(2), 'G');
    EXPECT_EQ(list.letterAt(3), 0);
    EXPECT_EQ(list.letterAt(-1), 0);
}

// checks that with no recorder at all discovery finds 0 and leaves what the list held alone.
TEST(Discovery, NoRecorderLeavesListUntouched) {
    test::TempDir dir;
    RecorderList list;
    {
        ScopedRecorderSources one(FileRecorders(dir, 1));
        ASSERT_EQ(list.EnumerateRecorders(), 1);
    }
    ScopedRecorderSources none(RecorderSources{.opticalDrives = false, .files = {}});
    EXPECT_EQ(list.EnumerateRecorders(), 0);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.letterAt(0), 'E');
}

// checks that the enumeration ends at 26 recorders and that only E: to Y: are letters.
TEST(Discovery, EndsAtTwentySixRecorders) {
    test::TempDir dir;
    ScopedRecorderSources sources(FileRecorders(dir, 27));
    RecorderList list;
    ASSERT_EQ(list.EnumerateRecorders(), RecorderList::kMaxRecorders);
    for (int i = 0; i < RecorderList::kMaxRecorders; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list.letterAt(i), i <= 'Y' - 'E' ? 'E' + i : 0);
    }
}

// checks that BOOTMEDIA_RECORDERS names the file recorders, after any optical drive, and that
// an item libburn cannot record into (its folder is missing) is not offered.
TEST(Discovery, EnvironmentNamesFileRecorders) {
    test::TempDir dir;
    const std::string list =
        dir.path("first.iso") + "::" + dir.path("missing") + "/x.iso:" + dir.path("second.iso");
    ScopedRecorderVariable variable(list);
    RecorderList recorders;
    const std::int32_t found = recorders.EnumerateRecorders();
    ASSERT_GE(found, 2);
    EXPECT_EQ(recorders.letterAt(found - 2), 'E' + found - 2);
    EXPECT_EQ(recorders.letterAt(found - 1), 'E' + found - 1);
}

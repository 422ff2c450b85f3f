// SPDX-License-Identifier: GPL-2.0-or-later
// The copy of a container entry into a stream, piece by piece, and how it fails.
#include "cd/PieceCopy.h"

#include "CdJobBench.h"
#include "cd/BuildFailure.h"

#include <gtest/gtest.h>
#include <string>

using namespace win;

// checks that a missing entry, a read that fails or comes short, and a stream that refuses the
// bytes each fail the copy with their reason, and that no container error stays behind.
TEST(PieceCopy, FailuresRaiseTheirReason) {
    constexpr ResourceId kEntry = 5100;
    constexpr std::uint32_t kAt = 100;
    const test::Bytes nine = cdjobtest::Pattern(9, 6);
    test::ContainerBuilder cutShort; // the file ends 5 bytes into the entry
    cutShort.place(kAt, nine).record({.id = kEntry, .dataOffset = kAt + 4, .dataSize = 12});
    struct Case {
        const char* what;
        test::ContainerBuilder container;
        bool readOnlyStream;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"no entry", test::ContainerBuilder().add(kEntry + 1, nine), false,
         buildfailure::kMissingContent},
        {"data beyond the file",
         test::ContainerBuilder().record({.id = kEntry, .dataOffset = 0x100000, .dataSize = 9}),
         false, buildfailure::kReadingEntry},
        {"data past 2 GB",
         test::ContainerBuilder().record({.id = kEntry, .dataOffset = 0xFFFFFFF8, .dataSize = 16}),
         false, buildfailure::kReadingEntry},
        {"entry cut short by the file's end", cutShort, false, buildfailure::kReadingEntry},
        {"stream refuses", test::ContainerBuilder().add(kEntry, nine), true,
         buildfailure::kWritingStream},
        {"good", test::ContainerBuilder().add(kEntry, nine), false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const cdjobtest::JobContainer container(dir, c.container);
        const fake::OwnStream target = fake::NewStream(c.readOnlyStream);
        std::string reason;
        try {
            CopyEntryToStream(kEntry, target.stream.get());
        } catch (const BuildFailure& failure) {
            reason = failure.reason;
        }
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(GetResourceError(), kResourceOk);
        if (reason.empty()) {
            EXPECT_EQ(fake::ReadAll(target.stream.get()), nine);
        }
    }
}

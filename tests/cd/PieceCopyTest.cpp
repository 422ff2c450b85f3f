// SPDX-License-Identifier: GPL-2.0-or-later
// The copy of a container entry into a stream, piece by piece, and how it fails.
#include "cd/PieceCopy.h"

#include "CdJobBench.h"
#include "cd/BuildFailure.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

using namespace win;

namespace {

constexpr ResourceId kEntry = 5100;

// The reason the copy of kEntry into target fails for; empty when it succeeds.
std::string CopyFailure(IStream* target) {
    try {
        CopyEntryToStream(kEntry, target);
    } catch (const BuildFailure& failure) {
        return failure.reason;
    }
    return {};
}

} // namespace

// checks that entries of every size around a piece's arrive byte for byte, none longer: each
// entry is the last data of its file, so a read past its end would come short and fail.
TEST(PieceCopy, StreamReceivesExactlyTheEntry) {
    constexpr std::size_t kPiece = kCopyPieceBytes;
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, kPiece - 1, kPiece, kPiece + 1,
                                   std::size_t{5 * 1024 * 1024 + 3}}) {
        SCOPED_TRACE(size);
        test::TempDir dir;
        const test::Bytes entry = cdjobtest::Pattern(size, 5);
        const cdjobtest::JobContainer container(
            dir, test::ContainerBuilder().add(kEntry + 1, "before").add(kEntry, entry));
        const fake::OwnStream target = fake::NewStream();
        EXPECT_EQ(CopyFailure(target.stream.get()), "");
        EXPECT_EQ(GetResourceError(), kResourceOk);
        EXPECT_TRUE(fake::ReadAll(target.stream.get()) == entry);
    }
}

// checks that a missing entry, a read that fails or comes short (also in the middle of a piece),
// and a stream that refuses the bytes or whose file fills up in the middle of a piece each fail
// the copy with their reason, and that no container error stays behind.
TEST(PieceCopy, FailuresRaiseTheirReason) {
    constexpr std::uint32_t kAt = 100;
    const test::Bytes nine = cdjobtest::Pattern(9, 6);
    const test::Bytes twoPieces = cdjobtest::Pattern(2 * kCopyPieceBytes, 7);
    test::ContainerBuilder cutShort; // the file ends 5 bytes into the entry
    cutShort.place(kAt, nine).record({.id = kEntry, .dataOffset = kAt + 4, .dataSize = 12});
    test::ContainerBuilder cutInSecondPiece; // the file ends 1000 bytes into the second piece
    cutInSecondPiece.place(kAt, cdjobtest::Pattern(kCopyPieceBytes + 1000, 8))
        .record({.id = kEntry, .dataOffset = kAt, .dataSize = 2 * kCopyPieceBytes});
    struct Case {
        const char* what;
        test::ContainerBuilder container;
        bool readOnlyStream;
        std::optional<rlim_t> fileLimit;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"no entry",
         test::ContainerBuilder().add(kEntry + 1, nine),
         false,
         {},
         buildfailure::kMissingContent},
        {"data beyond the file",
         test::ContainerBuilder().record({.id = kEntry, .dataOffset = 0x100000, .dataSize = 9}),
         false,
         {},
         buildfailure::kReadingEntry},
        {"data past 2 GB",
         test::ContainerBuilder().record({.id = kEntry, .dataOffset = 0xFFFFFFF8, .dataSize = 16}),
         false,
         {},
         buildfailure::kReadingEntry},
        {"entry cut short by the file's end", cutShort, false, {}, buildfailure::kReadingEntry},
        {"file ends inside the second piece",
         cutInSecondPiece,
         false,
         {},
         buildfailure::kReadingEntry},
        {"stream refuses",
         test::ContainerBuilder().add(kEntry, nine),
         true,
         {},
         buildfailure::kWritingStream},
        {"disk full inside the second piece", test::ContainerBuilder().add(kEntry, twoPieces),
         false, kCopyPieceBytes + 1000, buildfailure::kWritingStream},
        {"good", test::ContainerBuilder().add(kEntry, nine), false, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const cdjobtest::JobContainer container(dir, c.container);
        const fake::OwnStream target = fake::NewStream(c.readOnlyStream);
        std::string reason;
        {
            std::optional<test::FileSizeLimit> full;
            if (c.fileLimit)
                full.emplace(*c.fileLimit);
            reason = CopyFailure(target.stream.get());
        }
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(GetResourceError(), kResourceOk);
        if (reason.empty()) {
            EXPECT_EQ(fake::ReadAll(target.stream.get()), nine);
        }
    }
}

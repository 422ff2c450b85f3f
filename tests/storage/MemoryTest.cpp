// SPDX-License-Identifier: GPL-2.0-or-later
// A storage keeps its bytes in its file: memory stays flat however much its streams hold.
#include "StorageTesting.h"
#include "platform/linux/storage/ExtentMap.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>

using namespace win;
using namespace storagetest;

namespace {

constexpr std::size_t kStreams = 20;
constexpr std::size_t kStreamSize = std::size_t{10} << 20;
constexpr std::size_t kWriteSize = std::size_t{1} << 20;
// Far below the 200 MB written, far above what the directory and the buffers need.
constexpr std::size_t kGrowthBound = std::size_t{24} << 20;

// The process's resident memory, from /proc.
std::size_t ResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    std::size_t kilobytes = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> kilobytes;
            break;
        }
    }
    return kilobytes * 1024;
}

} // namespace

// checks that writing 200 MB into the streams of one storage, interleaved, leaves the
// process's resident memory nearly where it was, and that the bytes read back whole.
TEST(TempStorage, LargeStreamsKeepMemoryFlat) {
    TempFolderScope folder;
    ComPtr<IStorage> storage = NewStorage();
    ASSERT_TRUE(storage);
    std::vector<std::u16string> names;
    std::vector<ComPtr<IStream>> streams;
    for (std::size_t at = 0; at < kStreams; ++at) {
        names.push_back(u"stream" + std::u16string(1, static_cast<char16_t>(u'A' + at)));
        streams.push_back(CreateStream(storage.get(), names.back().c_str()));
        ASSERT_TRUE(streams.back());
    }
    std::vector<std::vector<unsigned char>> pieces;
    for (std::size_t at = 0; at < kStreams; ++at)
        pieces.push_back(Pattern(kWriteSize, static_cast<unsigned>(at)));

    const std::size_t before = ResidentBytes();
    for (std::size_t offset = 0; offset < kStreamSize; offset += kWriteSize) {
        for (std::size_t at = 0; at < kStreams; ++at) {
            ULONG written = 0;
            ASSERT_EQ(streams[at]->Write(pieces[at].data(), kWriteSize, &written), S_OK);
            ASSERT_EQ(written, kWriteSize);
        }
    }
    EXPECT_LT(ResidentBytes(), before + kGrowthBound);

    streams.clear();
    for (const std::size_t at : {std::size_t{0}, kStreams - 1}) {
        ComPtr<IStream> reader = OpenStream(storage.get(), names[at].c_str());
        ASSERT_TRUE(reader);
        std::vector<unsigned char> tail(kWriteSize);
        LARGE_INTEGER back;
        back.QuadPart = -static_cast<std::int64_t>(kWriteSize);
        ASSERT_EQ(reader->Seek(back, STREAM_SEEK_END, nullptr), S_OK);
        ULONG read = 0;
        EXPECT_EQ(reader->Read(tail.data(), kWriteSize, &read), S_OK);
        EXPECT_EQ(read, kWriteSize);
        EXPECT_EQ(tail, pieces[at]);
    }
}

// checks that a stream grown in 4-byte pieces stays one extent while it grows alone, and few
// when two grow in turn, and that space a stream gives up is never handed out again.
TEST(ExtentMap, SmallWritesMakeFewExtentsAndSpaceIsNotReused) {
    using platform::layer::ExtentMap;
    platform::layer::FileSpace space;
    ExtentMap alone;
    for (std::uint64_t size = kPieceSize; size <= kBootImageSize; size += kPieceSize) {
        ASSERT_TRUE(alone.reserve(size, space));
        alone.grow(size);
    }
    EXPECT_EQ(alone.runs().size(), 1u);

    ExtentMap first;
    ExtentMap second;
    for (std::uint64_t size = kPieceSize; size <= kBootImageSize; size += kPieceSize) {
        ASSERT_TRUE(first.reserve(size, space) && second.reserve(size, space));
        first.grow(size);
        second.grow(size);
    }
    EXPECT_LE(first.runs().size(), 8u);

    const std::uint64_t cut = 1000;
    const auto given = first.truncate(cut);
    ASSERT_FALSE(given.empty());
    EXPECT_EQ(first.capacity(), cut);
    ASSERT_TRUE(first.reserve(cut + 1, space));
    const platform::layer::FileRun fresh = first.locate(cut, 1);
    for (const platform::layer::FileRun& run : given)
        EXPECT_FALSE(fresh.fileOffset >= run.fileOffset &&
                     fresh.fileOffset < run.fileOffset + run.length);
}

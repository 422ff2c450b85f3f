// SPDX-License-Identifier: GPL-2.0-or-later
// Recording an image into a file recorder, below the disc master: what the disc holds when
// every stream reads, and that a recording that fails, for whatever reason, leaves the older disc
// exactly as it was and nothing else behind.
#include "platform/linux/cd/DiscRecording.h"

#include "RecordingFixture.h"
#include "platform/ImageMastering.h"
#include "support/DiscTools.h"
#include "support/FileSizeLimit.h"
#include "support/TmpfsMount.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

using namespace win;
using recordtest::kBlock;
using recordtest::RecordingTest;
using test::Bytes;

namespace {

constexpr std::size_t kKiB = 1024;

} // namespace

// checks that files of the same size each keep their own bytes (libisofs must not take them
// for one), and that sizes around the block size, and a file larger than the stream reads
// ahead, come out whole, with no temporary file left beside the disc.
TEST_F(RecordingTest, FilesKeepTheirOwnBytes) {
    std::map<std::string, Bytes> expected;
    const std::size_t sizes[] = {0,          1,          kBlock - 1, kBlock,
                                 kBlock + 1, 5 * kBlock, 5 * kBlock, 100 * kBlock + 7};
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        Bytes bytes(sizes[i]);
        for (std::size_t at = 0; at < bytes.size(); ++at)
            bytes[at] = static_cast<std::uint8_t>(at * 7 + at / kBlock * 31 + i);
        const std::string name = "file" + std::to_string(i) + ".bin";
        addFile(name, bytes);
        expected[name] = std::move(bytes);
    }
    ASSERT_EQ(record(), S_OK);
    EXPECT_EQ(std::filesystem::file_size(discPath()) % kBlock, 0u);
    EXPECT_EQ(disctest::DiscFiles(discPath(), dir_.path("files")), expected);
}

// checks that a stream that fails to read makes the recording fail with IMAPI_E_FILEACCESS
// (where libisofs alone would have written zeros and succeeded) and leaves the older disc as it
// was, with libisofs's message and the reason in the log.
TEST_F(RecordingTest, FailedReadKeepsOlderDisc) {
    putOlderDisc();
    addFile("a.bin", Bytes(3 * kBlock, 0x5A), kBlock);
    EXPECT_EQ(record(), IMAPI_E_FILEACCESS);
    expectOlderDisc();
    EXPECT_NE(log_.text().find("a file of the disc could not be read"), std::string::npos)
        << log_.text();
}

// checks that a simulation records nothing: the older disc stays and no file is left beside it.
TEST_F(RecordingTest, SimulationLeavesOlderDisc) {
    putOlderDisc();
    addFile("a.bin", Bytes(kBlock, 0x11));
    EXPECT_EQ(record({.simulate = true, .eject = true}), S_OK);
    expectOlderDisc();
}

// checks that a disc that does not fit into the file system beside the older one fails with
// IMAPI_E_DISCFULL and leaves the older disc byte for byte, and the full file system as it was.
TEST_F(RecordingTest, FullFileSystemKeepsOlderDisc) {
    const test::TmpfsMount small(dir_.path("small"), "size=1m");
    if (!small)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    useDisc(dir_.path("small") + "/disc.iso");
    putOlderDisc(600 * kKiB);
    addFile("big.bin", Bytes(700 * kKiB, 0x22));
    EXPECT_EQ(record(), IMAPI_E_DISCFULL);
    expectOlderDisc();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path("small")), {}), 1);
}

// checks that a write that fails midway (the file can grow no further) fails the recording,
// leaves the older disc byte for byte and no partial file, and puts libburn's own reason in the
// log: nothing is printed.
TEST_F(RecordingTest, WriteFailingMidwayKeepsOlderDisc) {
    putOlderDisc();
    addFile("big.bin", Bytes(1024 * kKiB, 0x33));
    {
        const test::FileSizeLimit limit(512 * kKiB);
        EXPECT_EQ(record(), IMAPI_E_GENERIC);
    }
    expectOlderDisc();
    const std::string log = log_.text();
    EXPECT_NE(log.find("libburn SORRY: Cannot write"), std::string::npos) << log;
    EXPECT_NE(log.find("File too large"), std::string::npos) << log;
    EXPECT_NE(log.find("Recording onto " + discPath() + " failed"), std::string::npos) << log;
}

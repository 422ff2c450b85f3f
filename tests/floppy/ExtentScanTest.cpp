// SPDX-License-Identifier: GPL-2.0-or-later
#include "floppy/ExtentScan.h"

#include "FloppyTestbed.h"
#include "app/JobState.h"
#include "platform/Files.h"

#include <vector>

namespace floppytest {
namespace {

using ExtentScan = FloppyTest;

// checks that only the first length / 4 words count, wherever in them a byte differs
TEST(BlockHasData, LooksAtWholeWordsOnly) {
    struct Case {
        std::size_t length;
        std::size_t differentByte; // index of the one byte that is not fill; npos for none
        bool expected;
    };
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    const Case cases[] = {
        {0, kNone, false}, {3, 0, false},       {4, kNone, false},    {4, 0, true},
        {4, 3, true},      {7, 5, false},       {8, 7, true},         {18432, kNone, false},
        {18432, 0, true},  {18432, 9217, true}, {18432, 18431, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "length " << c.length << " byte " << c.differentByte);
        std::vector<std::uint8_t> block(c.length + 8, kFill);
        if (c.differentByte != kNone)
            block[c.differentByte] = 0xF7;
        EXPECT_EQ(BlockHasData(block.data(), c.length), c.expected);
    }
}

// checks the count for images of every shape: the last data cylinder plus one fill cylinder
TEST_F(ExtentScan, CountsUpToTheLastDataCylinderAndOneFillCylinder) {
    struct Case {
        const char* name;
        std::vector<std::uint32_t> dataCylinders;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"all fill", {}, 1},
        {"data in 0 to 9", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 11},
        {"data up to 78", {0, 40, 78}, 80},
        {"data in 79", {0, 79}, 80},
        {"data in 3 only", {3}, 5},
        {"data after a fill cylinder", {0, 1, 2, 3, 4, 20}, 22},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::Bytes image(kImageBytes, kFill);
        for (std::uint32_t cylinder : c.dataCylinders)
            image[cylinder * kCylinderBytes + kCylinderBytes - 1] = 0; // its very last byte
        OpenContainer(image);
        EXPECT_EQ(FindLastUsedCylinder(), c.expected);
        CloseResourceFile(JobState.resourceFile.exchange(nullptr));
    }
}

// checks that an image without any fill cylinder is written whole
TEST_F(ExtentScan, ImageWithoutFillGivesEighty) {
    OpenContainer(BootImage(80));
    EXPECT_EQ(FindLastUsedCylinder(), 80);
}

// checks that cylinders the container cannot give count as data, so the writer reaches them
// and reports the failure instead of leaving them out unnoticed
TEST_F(ExtentScan, UnreadableCylindersCountAsData) {
    OpenContainer(BootImage(2), 30 * kCylinderBytes + 100);
    EXPECT_EQ(FindLastUsedCylinder(), 80);
}

// checks that the scan leaves the container positioned at the start of the image
TEST_F(ExtentScan, LeavesThePositionAtTheImage) {
    OpenContainer(BootImage(5));
    const win::HANDLE file = JobState.resourceFile;
    win::SetFilePointer(file, 3, nullptr, win::FILE_BEGIN);
    FindLastUsedCylinder();
    EXPECT_EQ(win::SetFilePointer(file, 0, nullptr, win::FILE_CURRENT),
              static_cast<win::DWORD>(JobState.bootImageOffset));
}

// checks the sample image: the count ends one cylinder behind its data
TEST_F(ExtentScan, SampleImage) {
    const test::Bytes image = OpenSampleContainer();
    if (image.empty())
        GTEST_SKIP() << "no sample container";
    std::int32_t lastWithData = -1;
    for (std::uint32_t cylinder = 0; cylinder < 80; ++cylinder)
        for (std::uint8_t byte : CylinderOf(image, cylinder))
            if (byte != kFill) {
                lastWithData = static_cast<std::int32_t>(cylinder);
                break;
            }
    EXPECT_EQ(FindLastUsedCylinder(), std::min(lastWithData + 2, 80));
    EXPECT_LT(lastWithData, 79) << "the sample should leave most of its disk empty";
}

} // namespace
} // namespace floppytest

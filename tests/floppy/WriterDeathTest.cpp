// SPDX-License-Identifier: GPL-2.0-or-later
#include "FloppyTestbed.h"
#include "app/PlatformProfile.h"
#include "floppy/FloppyWriter.h"
#include "platform/MessageBoxPresenter.h"

#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define BOOTMEDIA_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define BOOTMEDIA_SANITIZED 1
#endif
#endif

namespace floppytest {
namespace {

class WriterDeathTest : public FloppyTest {
protected:
    void SetUp() override {
#if defined(BOOTMEDIA_SANITIZED)
        GTEST_SKIP() << "a sanitizer's shadow memory needs the address space this test takes away";
#endif
    }
};

// Caps the address space at what the process maps now: the heap keeps its free blocks for
// small allocations, but no new pages can be mapped.
void TakeAwayNewPages() {
    std::ifstream statm("/proc/self/statm");
    rlim_t pages = 0;
    statm >> pages;
    const rlim_t limit = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
    const rlimit capped{limit, limit};
    setrlimit(RLIMIT_AS, &capped);
}

// Without a presenter a box goes to standard error as "[caption] text".
void RunJobWithoutPages(bool nt) {
    platform::SetMessageBoxPresenter(nullptr);
    PlatformProfile.isNT = nt;
    TakeAwayNewPages();
    FloppyWriter().WriteFloppy();
}

// checks that the NT writer without a cylinder buffer shows 1030 and ends with exit code 0
TEST_F(WriterDeathTest, NtWriterWithoutMemoryEndsTheProcess) {
    OpenContainer(BootImage(2));
    auto a = MountImageDrive('A', BlankDisk("a.img"));
    auto b = MountNoDrive('B');
    FloppyWriter writer;
    ASSERT_EQ(writer.DetectFloppyDrives(true, 0), 1);
    ASSERT_EQ(writer.DetectFloppyDrives(false, 0), 1);
    EXPECT_EXIT(RunJobWithoutPages(true), testing::ExitedWithCode(0),
                "\\[Floppy error\\] No memory \\(NT\\)");
}

// checks that the 9x writer without a cylinder buffer shows 1027 and ends with exit code 0
TEST_F(WriterDeathTest, Win9xWriterWithoutMemoryEndsTheProcess) {
    OpenContainer(BootImage(2));
    EXPECT_EXIT(RunJobWithoutPages(false), testing::ExitedWithCode(0),
                "\\[Floppy error\\] No memory \\(9x\\)");
}

} // namespace
} // namespace floppytest

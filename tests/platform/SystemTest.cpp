// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/System.h"

#include "platform/VersionOverride.h"

#include <atomic>
#include <cstdint>
#include <gtest/gtest.h>

using namespace win;

namespace {
struct VersionGuard {
    explicit VersionGuard(std::optional<platform::ReportedVersion> version) {
        platform::SetVersionOverride(version);
    }
    ~VersionGuard() { platform::SetVersionOverride(std::nullopt); }
};
} // namespace

// checks that both record sizes are filled, the extended one only where the system takes it,
// and that any other size is refused.
TEST(Version, RecordSizesAreHonoured) {
    {
        VersionGuard guard(std::nullopt);
        OSVERSIONINFOEXA info{};
        info.dwOSVersionInfoSize = sizeof(info);
        info.wSuiteMask = 0x5555;
        ASSERT_TRUE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)));
        EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
        EXPECT_GE(info.dwMajorVersion * 10 + info.dwMinorVersion, 51u);
        EXPECT_EQ(info.wSuiteMask, 0);

        OSVERSIONINFOA small{};
        small.dwOSVersionInfoSize = 100;
        EXPECT_FALSE(GetVersionExA(&small));
        EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    }
    VersionGuard win95(platform::VersionFromName("win95"));
    OSVERSIONINFOEXA extended{};
    extended.dwOSVersionInfoSize = sizeof(extended);
    EXPECT_FALSE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended)));
    EXPECT_EQ(extended.dwPlatformId, 0u);
    OSVERSIONINFOA base{};
    base.dwOSVersionInfoSize = sizeof(base);
    ASSERT_TRUE(GetVersionExA(&base));
    EXPECT_EQ(base.dwPlatformId, VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_EQ(base.dwBuildNumber, 950u);
}

// checks that every documented platform word is known and a misspelt one is not.
TEST(Version, PlatformWords) {
    for (const char* word : {"nt", "nt4", "win95", "win95osr2", "win98", "unknown"}) {
        SCOPED_TRACE(word);
        EXPECT_TRUE(platform::VersionFromName(word).has_value());
    }
    EXPECT_FALSE(platform::VersionFromName("NT").has_value());
    EXPECT_FALSE(platform::VersionFromName("").has_value());
}

// checks that the page allocator gives page-aligned zeroed memory and refuses what it does not
// offer.
TEST(Memory, PageAllocatorAlignsAndZeroes) {
    constexpr std::size_t kSize = 18432;
    auto* block = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 4096, 0u);
    for (std::size_t i = 0; i < kSize; ++i)
        ASSERT_EQ(block[i], 0);
    EXPECT_FALSE(VirtualFree(block, kSize, MEM_RELEASE));
    EXPECT_TRUE(VirtualFree(block, 0, MEM_RELEASE));
    EXPECT_FALSE(VirtualFree(block, 0, MEM_RELEASE));
    EXPECT_EQ(VirtualAlloc(nullptr, 0, MEM_COMMIT, PAGE_READWRITE), nullptr);
}

// checks that a started thread runs with its argument and can lower its own priority.
TEST(Threads, StartedThreadRunsDetached) {
    struct Shared {
        std::atomic<int> value{0};
        std::atomic<bool> lowered{false};
    } shared;
    ASSERT_TRUE(platform::StartThread(
        [](void* argument) {
            auto* s = static_cast<Shared*>(argument);
            s->lowered = SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST) != 0;
            s->value = 42;
        },
        &shared));
    for (int i = 0; i < 500 && shared.value == 0; ++i)
        Sleep(10);
    EXPECT_EQ(shared.value, 42);
    EXPECT_TRUE(shared.lowered);
}

// checks that ExitProcess ends the process with the code given, without running exit handlers.
TEST(ThreadsDeathTest, ExitProcessEndsWithCode) {
    EXPECT_EXIT(
        {
            std::atexit([] { std::fputs("handler ran", stderr); });
            ExitProcess(0);
        },
        testing::ExitedWithCode(0), "^$");
}

// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/PlatformProfile.h"

#include "platform/VersionOverride.h"

#include <gtest/gtest.h>

namespace {
struct VersionGuard {
    explicit VersionGuard(platform::ReportedVersion version) {
        platform::SetVersionOverride(version);
    }
    ~VersionGuard() { platform::SetVersionOverride(std::nullopt); }
};
} // namespace

// checks that each reported system chooses the floppy path and CD support as the profile says.
TEST(PlatformProfile, DetectionTable) {
    const struct {
        const char* name;
        platform::ReportedVersion version;
        bool isNT, useExtendedWrite, cdCapable;
    } cases[] = {
        {"rejects extended record", {1, 4, 10, 1998, true}, false, true, false},
        {"9x build 1111", {1, 4, 0, 1111, false}, false, true, false},
        {"9x build 1112", {1, 4, 0, 1112, false}, false, false, false},
        {"9x build low word only", {1, 4, 0, 0x10000 + 1111, false}, false, true, false},
        {"win32s", {0, 1, 30, 0, false}, false, true, false},
        {"NT 4", {2, 4, 0, 1381, false}, true, false, false},
        {"NT 5.0", {2, 5, 0, 2195, false}, true, false, true},
        {"NT 6.1", {2, 6, 1, 7601, false}, true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VersionGuard guard(c.version);
        PlatformProfile = {true, true, true};
        DetectPlatformProfile();
        EXPECT_EQ(PlatformProfile.isNT, c.isNT);
        EXPECT_EQ(PlatformProfile.useExtendedWrite, c.useExtendedWrite);
        EXPECT_EQ(PlatformProfile.cdCapable, c.cdCapable);
    }
}

// checks that an unknown platform id ends the process at once with exit code 0.
TEST(PlatformProfileDeathTest, UnknownPlatformExitsWithZero) {
    VersionGuard guard({3, 1, 0, 0, false});
    EXPECT_EXIT(DetectPlatformProfile(), testing::ExitedWithCode(0), "");
}

// SPDX-License-Identifier: GPL-2.0-or-later
// The conversion of ANSI text to UTF-16 that stream names go through: its counts and refusals.
#include "platform/Com.h"
#include "platform/Files.h"

#include <gtest/gtest.h>
#include <string>

using namespace win;

// checks the size query, the counts with and without the terminator, and each refusal with its
// last error.
TEST(MultiByteToWideChar, SizesAndRefusals) {
    const char* text = "caf\xE9";
    char16_t buffer[5] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0), 5);
    EXPECT_EQ(MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, buffer, 5), 5);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, text, 2, buffer, 2), 2);
    struct Case {
        UINT codePage;
        DWORD flags;
        const char* multi;
        int count;
        int size;
        DWORD error;
    };
    for (const Case& c : {Case{CP_ACP, 0, text, -1, 4, ERROR_INSUFFICIENT_BUFFER},
                          Case{65001, 0, text, -1, 5, ERROR_INVALID_PARAMETER},
                          Case{CP_ACP, 0x8, text, -1, 5, ERROR_INVALID_FLAGS},
                          Case{CP_ACP, 0, nullptr, -1, 5, ERROR_INVALID_PARAMETER},
                          Case{CP_ACP, 0, text, 0, 5, ERROR_INVALID_PARAMETER},
                          Case{CP_ACP, 0, text, -2, 5, ERROR_INVALID_PARAMETER}}) {
        SCOPED_TRACE(c.error);
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(MultiByteToWideChar(c.codePage, c.flags, c.multi, c.count, buffer, c.size), 0);
        EXPECT_EQ(GetLastError(), c.error);
    }
}

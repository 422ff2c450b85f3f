// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/fw/CommandLine.h"

#include <gtest/gtest.h>
#include <vector>

// checks that the first parameter that is no switch is the file name, and switches are kept
// apart without their prefix.
TEST(CommandLine, FileNameAndSwitches) {
    struct Case {
        std::vector<const char*> parameters;
        std::string fileName;
        std::vector<std::string> switches;
    };
    const std::vector<Case> cases = {
        {{}, "", {}},
        {{"nocd"}, "nocd", {}},
        {{"/nocd"}, "", {"nocd"}},
        {{"-p", "nocd", "other"}, "nocd", {"p"}},
        {{"nocdx", "nocd"}, "nocdx", {}},
        {{"", "nocd"}, "nocd", {}},
        {{"/", "-"}, "", {"", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.parameters));
        const fw::CommandLineInfo info = fw::ParseCommandLine(c.parameters);
        EXPECT_EQ(info.fileName, c.fileName);
        EXPECT_EQ(info.switches, c.switches);
    }
}

// SPDX-License-Identifier: GPL-2.0-or-later
// The report line between the guest's runner and the host: container texts cross it unchanged.
#include "tests/rig/Protocol.h"

#include <gtest/gtest.h>

namespace {

// checks that every byte value, quotes, backslashes and line breaks come back as they were,
// beside bare words, and that the serial line's carriage return is dropped.
TEST(RigProtocol, QuotedFieldsComeBackUnchanged) {
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte)
        everyByte += static_cast<char>(byte);
    const std::string texts[] = {"",
                                 "plain text",
                                 "a \"quoted\" word",
                                 "back\\slash\\",
                                 "two\r\nlines",
                                 "\\x41 is not an escape here",
                                 everyByte};
    for (const std::string& text : texts) {
        SCOPED_TRACE(rig::Quote(text));
        const std::string line = "box 0x10 " + rig::Quote(text) + " " + rig::Quote("end") + "\r";
        EXPECT_EQ(line.find('\n'), std::string::npos);
        EXPECT_EQ(rig::SplitRecord(line), (std::vector<std::string>{"box", "0x10", text, "end"}));
    }
}

// checks that a quoted field cut short by the end of the line keeps what arrived.
TEST(RigProtocol, FieldCutShortKeepsWhatArrived) {
    EXPECT_EQ(rig::SplitRecord("status \"Writing cyl"),
              (std::vector<std::string>{"status", "Writing cyl"}));
}

} // namespace

// SPDX-License-Identifier: GPL-2.0-or-later
#include "ToolRunner.h"
#include "support/BmpBuilder.h"
#include "support/ContainerBuilder.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <string>

namespace {

using test::Bytes;
using test::ContainerBuilder;
using tooltest::RunTool;

constexpr int kExitOk = 0;
constexpr int kExitProblems = 1;

// checks that list shows each entry with the kind the catalogue or its bytes give, its size and
// its offset, and the beginning of a text with its escapes
TEST(ResfileList, ShowsIdKindSizeOffset) {
    test::TempDir dir;
    const Bytes picture = test::BmpBuilder(8, 2, 2).bytes();
    const Bytes binary = {0x00, 0x01, 0xFF};
    ContainerBuilder builder;
    builder.add(1000, "Title\n")
        .add(1016, "Cylinder %d of %d")
        .add(100, picture)
        .add(10000, binary)
        .add(42, "some words")
        .add(43, binary)
        .add(44, test::BmpBuilder(24, 1, 1).bytes());
    ASSERT_TRUE(builder.write(dir.path("c.dat")));

    const auto outcome = RunTool({"list", dir.path("c.dat")});
    ASSERT_EQ(outcome.status, kExitOk) << outcome.output;
    struct Line {
        const char* id;
        const char* kind;
        std::size_t size;
        std::size_t index;
        const char* content;
    };
    const Line lines[] = {
        {"1000", "text", 6, 0, "\"Title\\n\""},
        {"1016", "format", 17, 1, "\"Cylinder %d of %d\""},
        {"100", "bitmap", picture.size(), 2, ""},
        {"10000", "data", binary.size(), 3, ""},
        {"42", "text", 10, 4, "\"some words\""},
        {"43", "data", binary.size(), 5, ""},
        {"44", "bitmap", test::BmpBuilder(24, 1, 1).bytes().size(), 6, ""},
    };
    for (const Line& line : lines) {
        SCOPED_TRACE(line.id);
        const std::string pattern =
            std::string("\\n *") + line.id + " +" + line.kind + " +" + std::to_string(line.size) +
            " +" + std::to_string(builder.dataOffsetOf(line.index)) + " +" +
            std::regex_replace(line.content, std::regex(R"(\\)"), R"(\\)") + "\\n";
        EXPECT_TRUE(std::regex_search(outcome.output, std::regex(pattern))) << outcome.output;
    }
}

// checks that extract writes exactly the entry's bytes, also across its copy pieces
TEST(ResfileExtract, WritesTheExactBytes) {
    test::TempDir dir;
    Bytes data(200'003);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    ASSERT_TRUE(
        ContainerBuilder().add(1, "x").add(5100, data).add(2, Bytes{}).write(dir.path("c.dat")));

    ASSERT_EQ(RunTool({"extract", dir.path("c.dat"), "5100", dir.path("out.bin")}).status, kExitOk);
    EXPECT_EQ(test::ReadFileBytes(dir.path("out.bin")), data);
    ASSERT_EQ(RunTool({"extract", dir.path("c.dat"), "2", dir.path("empty.bin")}).status, kExitOk);
    EXPECT_TRUE(test::ReadFileBytes(dir.path("empty.bin")).empty());
}

// checks that extract refuses a missing entry, data outside the file and a file that is no
// container, leaving no output
TEST(ResfileExtract, RefusesWhatCannotBeExtracted) {
    test::TempDir dir;
    ASSERT_TRUE(ContainerBuilder()
                    .add(1000, "text")
                    .record({.id = 1001, .dataOffset = 20, .dataSize = 1000})
                    .record({.id = 1002, .dataOffset = 0x80000000, .dataSize = 4})
                    .write(dir.path("c.dat")));
    ASSERT_TRUE(test::WriteFileBytes(dir.path("no.dat"), test::TextBytes("not a container")));
    struct Case {
        const char* name;
        std::string container;
        const char* id;
        const char* message;
    };
    const Case cases[] = {
        {"missing entry", dir.path("c.dat"), "999", "has no entry 999"},
        {"data outside the file", dir.path("c.dat"), "1001", "do not lie inside the file"},
        {"data beyond 2 GiB", dir.path("c.dat"), "1002", "run to 2 GiB or beyond"},
        {"not a container", dir.path("no.dat"), "1000", "not a resource container"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto outcome = RunTool({"extract", c.container, c.id, dir.path("out.bin")});
        EXPECT_EQ(outcome.status, kExitProblems);
        EXPECT_NE(outcome.output.find(c.message), std::string::npos) << outcome.output;
        EXPECT_FALSE(std::filesystem::exists(dir.path("out.bin")));
    }
}

// checks that extract stages its output under a name of its own making: a file of the user's
// beside the output, even one named as a staging file would be, is neither replaced nor removed,
// and nothing but the output is left behind
TEST(ResfileExtract, LeavesEveryOtherFileAlone) {
    test::TempDir dir;
    ASSERT_TRUE(ContainerBuilder().add(1, "new bytes").write(dir.path("c.dat")));
    const Bytes mine = test::TextBytes("the user's own");
    for (const char* name : {"out.bin.tmp", "out.bin.0.tmp", "other.bin"})
        ASSERT_TRUE(test::WriteFileBytes(dir.path(name), mine));
    ASSERT_TRUE(test::WriteFileBytes(dir.path("out.bin"), mine));

    ASSERT_EQ(RunTool({"extract", dir.path("c.dat"), "1", dir.path("out.bin")}).status, kExitOk);
    EXPECT_EQ(test::ReadFileBytes(dir.path("out.bin")), test::TextBytes("new bytes"));
    for (const char* name : {"out.bin.tmp", "out.bin.0.tmp", "other.bin"})
        EXPECT_EQ(test::ReadFileBytes(dir.path(name)), mine) << name;

    const auto outcome = RunTool({"extract", dir.path("c.dat"), "1", dir.path("none/out.bin")});
    EXPECT_EQ(outcome.status, kExitProblems);
    EXPECT_NE(outcome.output.find("cannot create a file in the folder of"), std::string::npos)
        << outcome.output;
}

} // namespace

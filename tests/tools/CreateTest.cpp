// SPDX-License-Identifier: GPL-2.0-or-later
#include "ToolRunner.h"
#include "platform/ScopedHandle.h"
#include "resfile/ResourceFile.h"
#include "support/ContainerBuilder.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using test::Bytes;
using test::TextBytes;
using tooltest::RunTool;

constexpr int kExitOk = 0;
constexpr int kExitProblems = 1;
constexpr int kExitUsage = 2;

bool WriteText(const std::string& path, std::string_view text) {
    return test::WriteFileBytes(path, TextBytes(text));
}

// The data of entry id as the system's reader gives them; empty with a test failure when absent.
Bytes ReadEntry(const std::string& container, ResourceId id) {
    const platform::FileHandle file(OpenResourceFile(container.c_str(), true));
    EXPECT_EQ(GetResourceError(), kResourceOk);
    std::uint16_t count = 0;
    const std::unique_ptr<ResourceEntry, FreeDeleter> directory(
        ReadResourceDirectory(file.get(), &count));
    std::uint32_t size = 0;
    const std::unique_ptr<void, FreeDeleter> data(
        ReadResourceData(file.get(), id, directory.get(), &size));
    EXPECT_EQ(GetResourceError(), kResourceOk) << "entry " << id;
    if (!data)
        return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data.get());
    return Bytes(bytes, bytes + size);
}

// checks that every kind of manifest line becomes the entry it describes, read back by the reader
TEST(ResfileCreate, BuildsTheEntriesOfTheManifest) {
    test::TempDir dir;
    const Bytes binary = {0x00, 0xFF, 0xF6, 0x0A, 0x0D, 0x1A};
    ASSERT_TRUE(test::WriteFileBytes(dir.path("blob.bin"), binary));
    ASSERT_TRUE(WriteText(dir.path("install.manifest"),
                          "# comment\n"
                          "\n"
                          "1000 text: Boot Media Maker\n"
                          "  1021\ttext:   Line one\\nLine two\\tTabbed \\\\ end  \n"
                          "1040 text: \\x20caf\\xE9\\x20\r\n"
                          "1044 text:\n"
                          "0 text: lowest # not a comment\n"
                          "65535 file: blob.bin\n"
                          "10000 file: " +
                              dir.path("blob.bin") + "\n"));
    // An older container of the same name is replaced.
    ASSERT_TRUE(WriteText(dir.path("out.dat"), "old"));

    const auto outcome = RunTool({"create", dir.path("out.dat"), dir.path("install.manifest")});
    ASSERT_EQ(outcome.status, kExitOk) << outcome.output;

    struct Expected {
        ResourceId id;
        Bytes data;
    };
    const Expected expected[] = {
        {1000, TextBytes("Boot Media Maker")},
        {1021, TextBytes("Line one\nLine two\tTabbed \\ end")},
        {1040, {' ', 'c', 'a', 'f', 0xE9, ' '}},
        {1044, {}},
        {0, TextBytes("lowest # not a comment")},
        {65535, binary},
        {10000, binary},
    };
    for (const Expected& entry : expected) {
        SCOPED_TRACE(entry.id);
        EXPECT_EQ(ReadEntry(dir.path("out.dat"), entry.id), entry.data);
    }
}

// checks that a faulty manifest is refused with a message naming the fault, and that no output
// (nor a staging file) appears and an existing output stays as it was
TEST(ResfileCreate, RefusesFaultyManifestsWithoutOutput) {
    struct Case {
        const char* name;
        const char* manifest;
        const char* message;
    };
    const Case cases[] = {
        {"duplicate id", "1000 text: a\n1001 text: b\n1000 text: c\n",
         "identifier 1000 appears again (first on line 1)"},
        {"id out of range", "70000 text: a\n", "identifier 70000 is out of range"},
        {"missing file", "1000 file: no-such-file.bin\n", "cannot read"},
        {"unknown escape", "1000 text: a\\qb\n", "unknown escape \\q"},
        {"short hex escape", "1000 text: a\\x4\n", "\\x needs two hexadecimal digits"},
        {"trailing backslash", "1000 text: a\\\n", "a \\ at the end of the text"},
        {"raw ANSI byte", "1000 text: caf\xE9\n", "must be written as \\xHH"},
        {"no keyword", "1000 name: a\n", "expected \"text:\" or \"file:\""},
        {"no identifier", "text: a\n", "expected an identifier"},
        {"file without path", "1000 file:\n", "file: needs a path"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        ASSERT_TRUE(WriteText(dir.path("m.manifest"), c.manifest));
        ASSERT_TRUE(WriteText(dir.path("out.dat"), "old"));
        const auto outcome = RunTool({"create", dir.path("out.dat"), dir.path("m.manifest")});
        EXPECT_EQ(outcome.status, kExitProblems);
        EXPECT_NE(outcome.output.find(c.message), std::string::npos) << outcome.output;
        EXPECT_EQ(test::ReadFileBytes(dir.path("out.dat")), TextBytes("old"));
    }
}

// checks that every fault of a manifest is reported at once, each with its line
TEST(ResfileCreate, ReportsEveryFaultWithItsLine) {
    test::TempDir dir;
    ASSERT_TRUE(WriteText(dir.path("m.manifest"), "1000 text: \\q\n# fine\n99999 text: a\n"));
    const auto outcome = RunTool({"create", dir.path("out.dat"), dir.path("m.manifest")});
    EXPECT_EQ(outcome.status, kExitProblems);
    EXPECT_NE(outcome.output.find("m.manifest:1: "), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("m.manifest:3: "), std::string::npos) << outcome.output;
    EXPECT_FALSE(std::filesystem::exists(dir.path("out.dat")));
}

// checks that a container that would reach 2 GiB is refused before anything is written
TEST(ResfileCreate, RefusesAContainerOf2GiB) {
    test::TempDir dir;
    {
        // Sparse: takes no space, and the tool must refuse it by its size alone.
        std::filesystem::path big = dir.path("big.img");
        ASSERT_TRUE(WriteText(big.string(), ""));
        std::filesystem::resize_file(big, std::uintmax_t{1} << 31);
    }
    ASSERT_TRUE(WriteText(dir.path("m.manifest"), "10000 file: big.img\n"));
    const auto outcome = RunTool({"create", dir.path("out.dat"), dir.path("m.manifest")});
    EXPECT_EQ(outcome.status, kExitProblems);
    EXPECT_NE(outcome.output.find("below 2 GiB"), std::string::npos) << outcome.output;
    EXPECT_FALSE(std::filesystem::exists(dir.path("out.dat")));
}

// checks that a missing manifest is bad input and a malformed command line is a usage error
TEST(ResfileCreate, CommandLineFaults) {
    test::TempDir dir;
    EXPECT_EQ(RunTool({"create", dir.path("out.dat"), dir.path("none.manifest")}).status,
              kExitProblems);
    EXPECT_FALSE(std::filesystem::exists(dir.path("out.dat")));
    struct Case {
        const char* name;
        std::initializer_list<std::string> arguments;
    };
    const Case cases[] = {
        {"no command", {}},
        {"unknown command", {"merge", "a", "b"}},
        {"too few operands", {"create", "out.dat"}},
        {"too many operands", {"list", "a", "b"}},
        {"identifier not a number", {"extract", "in.dat", "ten", "out"}},
        {"identifier out of range", {"extract", "in.dat", "65536", "out"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RunTool(c.arguments).status, kExitUsage);
    }
    EXPECT_EQ(RunTool({"--help"}).status, kExitOk);
}

} // namespace

// SPDX-License-Identifier: GPL-2.0-or-later
#include "ToolRunner.h"
#include "resfile/Catalogue.h"
#include "support/BmpBuilder.h"
#include "support/ContainerBuilder.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

using test::Bytes;
using test::ContainerBuilder;
using test::TextBytes;
using tooltest::RunTool;

constexpr int kExitOk = 0;
constexpr int kExitProblems = 1;
constexpr std::uint8_t kFill = 0xF6;

using Entries = std::map<ResourceId, Bytes>;

// A boot image whose first dataCylinders cylinders hold data and the rest fill.
Bytes BootImage(std::uint32_t dataCylinders) {
    Bytes image(catalogue::kBootImageBytes, kFill);
    std::fill_n(image.begin(), dataCylinders * catalogue::kCylinderBytes, 0);
    return image;
}

// Everything the catalogue asks for, well formed: each format with conversions that fit.
Entries ValidEntries() {
    Entries entries;
    for (ResourceId id : catalogue::TextIdentifiers()) {
        std::string text = "text " + std::to_string(id);
        for (catalogue::ArgKind kind : catalogue::FormatArguments(id))
            text += kind == catalogue::ArgKind::Character ? " %c"
                    : kind == catalogue::ArgKind::Integer ? " %d"
                                                          : " %s";
        entries[id] = TextBytes(text);
    }
    entries[catalogue::kPicture] = test::BmpBuilder(8, 4, 2).bytes();
    entries[catalogue::kBootImage] = BootImage(2);
    const char* names[] = {"README.TXT", "Notes.txt", "TOOL.COM"};
    for (int i = 0; i < 3; ++i) {
        entries[static_cast<ResourceId>(catalogue::kCdFileNameFirst + i)] = TextBytes(names[i]);
        entries[static_cast<ResourceId>(catalogue::kCdFileContentFirst + i)] =
            TextBytes("contents");
    }
    return entries;
}

ContainerBuilder Builder(const Entries& entries) {
    ContainerBuilder builder;
    for (const auto& [id, data] : entries)
        builder.add(id, data);
    return builder;
}

struct Checked {
    int status;
    std::string output;
};

Checked Check(const ContainerBuilder& builder) {
    test::TempDir dir;
    EXPECT_TRUE(builder.write(dir.path("c.dat")));
    const auto outcome = RunTool({"check", dir.path("c.dat")});
    return {outcome.status, outcome.output};
}

// checks that the sample container the build makes passes the check
TEST(ResfileCheck, SampleContainerPasses) {
    const auto outcome = RunTool({"check", SAMPLE_CONTAINER});
    EXPECT_EQ(outcome.status, kExitOk) << outcome.output;
}

// checks that a container with everything the catalogue asks for passes, so that each case below
// fails for its own fault only
TEST(ResfileCheck, CompleteContainerPasses) {
    const Checked checked = Check(Builder(ValidEntries()));
    EXPECT_EQ(checked.status, kExitOk) << checked.output;
    EXPECT_NE(checked.output.find("no problems found"), std::string::npos);
}

// checks that each kind of problem is found and named
TEST(ResfileCheck, NamesEachProblem) {
    const auto name = [](int i) {
        return static_cast<ResourceId>(catalogue::kCdFileNameFirst + i);
    };
    const auto content = [](int i) {
        return static_cast<ResourceId>(catalogue::kCdFileContentFirst + i);
    };
    struct Case {
        const char* name;
        std::function<void(Entries&)> spoil;
        const char* message;
    };
    const Case cases[] = {
        {"text missing", [](Entries& e) { e.erase(1000); }, "text 1000: missing"},
        {"text empty", [](Entries& e) { e[1001] = {}; }, "text 1001: empty"},
        {"text with NUL",
         [](Entries& e) {
             e[1002] = {'a', 0, 'b'};
         },
         "text 1002: holds a NUL byte at byte 1"},
        {"format of the wrong kind", [](Entries& e) { e[1016] = TextBytes("%s of %d"); },
         "format 1016 \"%s of %d\": does not fit its arguments (integer, integer)"},
        {"format with too many conversions", [](Entries& e) { e[1010] = TextBytes("%c %c"); },
         "format 1010 \"%c %c\": does not fit"},
        {"format missing", [](Entries& e) { e.erase(1023); }, "format 1023: missing"},
        {"drive entry too long", [](Entries& e) { e[1037] = TextBytes("Floppy disk drive %c:"); },
         "gives 20 characters for drive A:"},
        {"picture missing", [](Entries& e) { e.erase(100); }, "picture 100: missing"},
        {"picture not a BMP", [](Entries& e) { e[100] = TextBytes("GIF89a"); },
         "picture 100: not a BMP image"},
        {"picture cut short", [](Entries& e) { e[100].resize(e[100].size() - 1); },
         "pixel array runs past its end"},
        {"boot image missing", [](Entries& e) { e.erase(10000); }, "boot image 10000: missing"},
        {"boot image short", [](Entries& e) { e[10000].pop_back(); },
         "boot image 10000: 1474559 bytes; it must be exactly 1474560"},
        {"boot image data after the fill",
         [](Entries& e) { e[10000][5 * catalogue::kCylinderBytes + 7] = 0; },
         "cylinder 5 holds data after the all-fill cylinder 2"},
        {"CD set empty", [&](Entries& e) { e[name(0)] = {}; }, "CD file set: empty"},
        {"CD contents missing", [&](Entries& e) { e.erase(content(1)); },
         "CD file 1 (entry 5001 \"Notes.txt\"): no contents entry 5101"},
        {"CD name after a gap", [&](Entries& e) { e.erase(name(1)); },
         "entry 5002 names a CD file after the end of the set (entry 5001"},
        {"CD name with a colon", [&](Entries& e) { e[name(2)] = TextBytes("A:B"); },
         "the name holds the character :"},
        {"CD name with a control character", [&](Entries& e) { e[name(2)] = TextBytes("A\tB"); },
         "the name holds the control character \\t"},
        {"CD name too long", [&](Entries& e) { e[name(2)] = Bytes(65, 'N'); },
         "the name is 65 characters long"},
        {"CD name of a megabyte", [&](Entries& e) { e[name(2)] = Bytes(1 << 20, 'N'); },
         "the name is 1048576 bytes long; the CD build job's storage takes at most 31 characters"},
        {"CD name ending in a dot", [&](Entries& e) { e[name(2)] = TextBytes("NAME."); },
         "the name ends with a dot"},
        {"CD names equal ignoring case", [&](Entries& e) { e[name(2)] = TextBytes("readme.txt"); },
         "CD file 2 (entry 5002 \"readme.txt\"): the same name as CD file 0"},
        {"CD set ending at an empty name", [&](Entries& e) { e[name(2)] = {}; },
         "CD file set: ends early, after CD file 1: entry 5002 is empty, so no later name is read"},
        {"CD set ending at a NUL-led name",
         [&](Entries& e) {
             e[name(1)] = {0, 'X'};
         },
         "CD file set: ends early, after CD file 0: entry 5001 starts with a NUL byte"},
        {"CD contents never read", [&](Entries& e) { e[content(7)] = TextBytes("lost"); },
         "entry 5107 holds the contents of CD file 7, which is not in the set (entry 5003 is "
         "missing); it is never read"},
        {"CD names equal ignoring the case of an ANSI letter",
         [&](Entries& e) {
             e[name(1)] = {'C', 'A', 'F', 0xC9};
             e[name(2)] = {'c', 'a', 'f', 0xE9};
         },
         "the same name as CD file 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Entries entries = ValidEntries();
        c.spoil(entries);
        const Checked checked = Check(Builder(entries));
        EXPECT_EQ(checked.status, kExitProblems);
        EXPECT_NE(checked.output.find(c.message), std::string::npos) << checked.output;
    }
}

// checks that every CD name the CD build job would refuse is reported, once, with the first rule
// it breaks in the job's order and under the code page the job would convert it with, and that
// a name that is one with an earlier one names both entries
TEST(ResfileCheck, ReportsEachCdNameTheJobWouldRefuse) {
    struct Case {
        const char* what;
        const char* codePage;
        std::vector<Bytes> names;
        std::vector<std::string> problems; // one per refused name, in set order
    };
    const std::string first = "CD file 0 (entry 5000 \"";
    const std::vector<Case> cases = {
        {"fits", "1252", {TextBytes("a.txt"), TextBytes(std::string(31, 'n'))}, {}},
        {"32 characters",
         "1252",
         {Bytes(32, 'n')},
         {first + std::string(32, 'n') +
          "\"): the name is 32 characters long; the CD build job's storage takes at most 31"}},
        {"exclamation mark",
         "1252",
         {TextBytes("Hi!.txt")},
         {"(entry 5000 \"Hi!.txt\"): the name holds the character !, which the CD build job's "
          "storage refuses"}},
        {"question mark",
         "1252",
         {TextBytes("why?.txt")},
         {"the name holds the character ?, which the disc cannot carry"}},
        {"final blank", "1252", {TextBytes("name ")}, {"ends with a dot or a blank"}},
        {"Makefile and Makefile.",
         "1252",
         {TextBytes("Makefile"), TextBytes("Makefile.")},
         {"CD file 1 (entry 5001 \"Makefile.\"): the name ends with a dot or a blank"}},
        {"three in one",
         "1252",
         {TextBytes("a.txt"), TextBytes("A.TXT"), TextBytes("a.TXT")},
         {"CD file 1 (entry 5001 \"A.TXT\"): the same name as CD file 0 (entry 5000 \"a.txt\") "
          "when case is ignored",
          "CD file 2 (entry 5002 \"a.TXT\"): the same name as CD file 0 (entry 5000 \"a.txt\")"}},
        {"Windows-1252 case",
         "1252",
         {{0x9A}, {0x8A}},
         {"CD file 1 (entry 5001 \"\\x8A\"): the same name as CD file 0"}},
        {"Cyrillic case",
         "1251",
         {{0xA8}, {0xB8}},
         {"CD file 1 (entry 5001 \"\\xB8\"): the same name as CD file 0"}},
        {"the same bytes in Windows-1252", "1252", {{0xA8}, {0xB8}}, {}},
        {"byte Windows-1251 lacks",
         "1251",
         {{'a', 0x98}},
         {"the name does not convert one-to-one from the ANSI code page"}},
        {"bytes Windows-1252 leaves undefined",
         "1252",
         {{'a', 0x81}, {'a', 0x8D}},
         {"the name holds the control character U+0081, which the disc cannot carry",
          "the name holds the control character U+008D, which the disc cannot carry"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const test::ScopedEnv codePage("BOOTMEDIA_CODEPAGE", c.codePage);
        Entries entries = ValidEntries();
        for (int i = 0; i < catalogue::kCdFileMax; ++i) {
            entries.erase(static_cast<ResourceId>(catalogue::kCdFileNameFirst + i));
            entries.erase(static_cast<ResourceId>(catalogue::kCdFileContentFirst + i));
        }
        for (std::size_t i = 0; i < c.names.size(); ++i) {
            entries[static_cast<ResourceId>(catalogue::kCdFileNameFirst + i)] = c.names[i];
            entries[static_cast<ResourceId>(catalogue::kCdFileContentFirst + i)] = TextBytes("x");
        }
        const Checked checked = Check(Builder(entries));
        EXPECT_EQ(checked.status, c.problems.empty() ? kExitOk : kExitProblems) << checked.output;
        std::size_t at = 0;
        for (const std::string& problem : c.problems) {
            at = checked.output.find(problem, at);
            EXPECT_NE(at, std::string::npos) << problem << "\n" << checked.output;
        }
        const auto lines = std::count(checked.output.begin(), checked.output.end(), '\n');
        // One line per problem, and the count (or "no problems found").
        EXPECT_EQ(static_cast<std::size_t>(lines), c.problems.size() + 1) << checked.output;
    }
}

// checks that directory faults, which only a foreign writer makes, are found
TEST(ResfileCheck, FindsDirectoryFaults) {
    ContainerBuilder duplicate = Builder(ValidEntries());
    duplicate.add(1000, "again");
    Checked checked = Check(duplicate);
    EXPECT_EQ(checked.status, kExitProblems);
    EXPECT_NE(checked.output.find("entry 1000 appears 2 times"), std::string::npos)
        << checked.output;

    ContainerBuilder outside = Builder(ValidEntries());
    outside.record({.id = 7, .dataOffset = 0x7FFFFF00, .dataSize = 16});
    outside.record({.id = 8, .dataOffset = 0x80000000, .dataSize = 0});
    outside.record({.id = 9, .dataOffset = 0x7FFFFFF0, .dataSize = 16});
    checked = Check(outside);
    EXPECT_EQ(checked.status, kExitProblems);
    for (const char* message :
         {"entry 7: its data (16 bytes at offset 2147483392) do not lie inside the file",
          "entry 8: its data (0 bytes at offset 2147483648) run to 2 GiB or beyond; the reader "
          "positions with a signed 32-bit offset",
          "entry 9: its data (16 bytes at offset 2147483632) run to 2 GiB or beyond"})
        EXPECT_NE(checked.output.find(message), std::string::npos) << message << "\n"
                                                                   << checked.output;
}

// checks that a text of megabytes is quoted only as far as a message shows it, and that check
// still finds what is wrong with it
TEST(ResfileCheck, QuotesOnlyTheStartOfAHugeText) {
    Entries entries = ValidEntries();
    std::string huge = "%s";
    huge.append(std::size_t{4} << 20, '\x01');
    entries[1016] = TextBytes(huge);
    const Checked checked = Check(Builder(entries));
    EXPECT_EQ(checked.status, kExitProblems);
    EXPECT_NE(checked.output.find("format 1016 \"%s\\x01\\x01"), std::string::npos)
        << checked.output.substr(0, 1000);
    EXPECT_LT(checked.output.size(), 1000u);
}

// checks that every problem is reported, not just the first, with their count
TEST(ResfileCheck, ReportsEveryProblem) {
    Entries entries = ValidEntries();
    entries.erase(1000);
    entries.erase(100);
    entries[10000].pop_back();
    const Checked checked = Check(Builder(entries));
    EXPECT_EQ(checked.status, kExitProblems);
    for (const char* message : {"text 1000: missing", "picture 100: missing",
                                "boot image 10000: 1474559", "3 problems found"})
        EXPECT_NE(checked.output.find(message), std::string::npos) << message << "\n"
                                                                   << checked.output;
}

// checks that a file that is no container is refused as such, and one whose directory lies
// beyond the reader's reach is refused for that reason
TEST(ResfileCheck, RefusesAFileThatIsNoContainer) {
    Checked checked = Check(ContainerBuilder().magic(0xBABEAFFE));
    EXPECT_EQ(checked.status, kExitProblems);
    EXPECT_NE(checked.output.find("not a resource container"), std::string::npos) << checked.output;

    checked = Check(ContainerBuilder().add(1000, "x").directoryOffsetField(0x80000000));
    EXPECT_EQ(checked.status, kExitProblems);
    EXPECT_NE(checked.output.find("has its directory at offset 2147483648; the reader positions "
                                  "with a signed 32-bit offset"),
              std::string::npos)
        << checked.output;
}

} // namespace

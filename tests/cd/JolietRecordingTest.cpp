// SPDX-License-Identifier: GPL-2.0-or-later
// The Linux disc master's Joliet format, end to end into a file recorder: staging, the boot
// properties, and the disc that RecordDisc leaves (or does not leave) behind.
#include "IsoDirectory.h"
#include "JolietTestbed.h"
#include "ShownStorage.h"
#include "platform/ScopedHandle.h"
#include "resfile/Catalogue.h"
#include "resfile/ResourceFile.h"
#include "support/DiscTools.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <string>

using namespace win;
using disctest::JolietTest;
using disctest::StreamFile;
using test::Bytes;

namespace {

constexpr const char* kEmulator = "qemu-system-i386";
constexpr int kBootedStatus = 33;
constexpr const char* kBootedMarker = "BOOTMEDIA-OK";
constexpr std::size_t kOldDiscBytes = 3000000;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// The files of the sample container's CD file set and its boot image, as the job stages them.
struct SampleDisc {
    std::vector<StreamFile> streams;
    std::map<std::string, Bytes> files;
    Bytes floppy;
};

std::optional<SampleDisc> ReadSample() {
    const char* sample = std::getenv("BOOTMEDIA_SAMPLE");
    if (sample == nullptr || !std::filesystem::exists(sample))
        return std::nullopt;
    const platform::FileHandle file(OpenResourceFile(sample, true));
    std::uint16_t count = 0;
    const std::unique_ptr<ResourceEntry, FreeDeleter> directory(
        ReadResourceDirectory(file.get(), &count));
    const auto entry = [&](ResourceId id) {
        std::uint32_t size = 0;
        const std::unique_ptr<void, FreeDeleter> data(
            ReadResourceData(file.get(), id, directory.get(), &size));
        const auto* bytes = static_cast<const std::uint8_t*>(data.get());
        return data ? Bytes(bytes, bytes + size) : Bytes();
    };
    SampleDisc disc;
    for (int i = 0; i < catalogue::kCdFileMax; ++i) {
        const ResourceText name = ReadResourceText(file.get(), catalogue::kCdFileNameFirst + i);
        const std::string text = name ? name.get() : "";
        if (text.empty())
            break;
        Bytes contents = entry(static_cast<ResourceId>(catalogue::kCdFileContentFirst + i));
        disc.streams.emplace_back(std::u16string(text.begin(), text.end()), contents);
        disc.files[text] = std::move(contents);
    }
    disc.floppy = entry(catalogue::kBootImage);
    return disc;
}

} // namespace

// checks that the sample's file set and boot floppy make a disc with an El Torito 1.44 MB
// emulation for 80x86 and a Joliet tree holding every file byte for byte, that an older,
// larger .iso is replaced by exactly the image, and that an emulated PC boots the disc.
TEST_F(JolietTest, RecordsSampleDiscThatBoots) {
    const std::optional<SampleDisc> sample = ReadSample();
    if (!sample)
        GTEST_SKIP() << "BOOTMEDIA_SAMPLE names no sample container";
    ASSERT_FALSE(sample->streams.empty());
    ASSERT_EQ(sample->floppy.size(), disctest::kFloppyBytes);
    ASSERT_TRUE(test::WriteFileBytes(discPath(), Bytes(kOldDiscBytes, 0xEE)));
    ASSERT_EQ(addFiles(sample->streams), S_OK);
    ASSERT_EQ(setBoot(sample->floppy), S_OK);
    ASSERT_EQ(record(), S_OK);

    const std::string boot = disctest::ElToritoReport(discPath());
    EXPECT_NE(boot.find("BIOS"), std::string::npos) << boot;
    EXPECT_NE(boot.find("fd1.4"), std::string::npos) << boot;
    const std::string toc = disctest::TableOfContents(discPath());
    EXPECT_NE(toc.find("Boot record  : El Torito"), std::string::npos) << toc;
    EXPECT_NE(toc.find("ISO offers   : Joliet"), std::string::npos) << toc;
    EXPECT_EQ(disctest::DiscFiles(discPath(), dir_.path("files")), sample->files);
    EXPECT_LT(std::filesystem::file_size(discPath()), kOldDiscBytes);

    if (!disctest::HaveProgram(kEmulator))
        GTEST_SKIP() << kEmulator << " is not installed";
    const disctest::Run booted = disctest::BootDisc(discPath(), dir_.path("console.log"));
    EXPECT_EQ(booted.status, kBootedStatus);
    EXPECT_NE(booted.output.find(kBootedMarker), std::string::npos) << booted.output;
}

// checks that names reach the disc unchanged, up to 64 UTF-16 units, outside the BMP and in
// any script, and that files of one size keep their own bytes.
TEST_F(JolietTest, CarriesNamesUnchanged) {
    const std::u16string longest(64, u'n');
    const std::u16string pairAtTheEnd = std::u16string(62, u'p') + u"\U0001F600";
    const std::vector<StreamFile> streams = {
        {u"README", Text("first")},
        {u"a.b.c", Text("secnd")},
        {u" spaced .txt", Text("third")},
        {u"Grüße Ωμέγα.txt", Text("fourth")},
        {longest, Text("5")},
        {pairAtTheEnd, Text("6")},
        {u"empty", Bytes()},
        {u".hidden", Text("dot")},
    };
    ASSERT_EQ(joliet_->AddData(disctest::StorageShowing(streams).get(), 1), S_OK);
    ASSERT_EQ(record(), S_OK);
    const std::map<std::string, Bytes> expected = {
        {"README", Text("first")},
        {"a.b.c", Text("secnd")},
        {" spaced .txt", Text("third")},
        {"Grüße Ωμέγα.txt", Text("fourth")},
        {std::string(64, 'n'), Text("5")},
        {std::string(62, 'p') + "\xF0\x9F\x98\x80", Text("6")},
        {"empty", Bytes()},
        {".hidden", Text("dot")},
    };
    EXPECT_EQ(disctest::DiscFiles(discPath(), dir_.path("files")), expected);
    EXPECT_EQ(disctest::TableOfContents(discPath()).find("El Torito"), std::string::npos);
}

// checks that a name the disc cannot carry unchanged, or one Windows would open as another
// (a final dot or blank, as "Makefile." for "Makefile"), fails AddData with
// IMAPI_E_BADJOLIETNAME and stages nothing of that storage.
TEST_F(JolietTest, RefusesNamesTheDiscCannotCarry) {
    const std::u16string tooLong(65, u'x');
    const std::u16string brokenPair = std::u16string(u"a") + char16_t(0xD800) + u"b";
    const std::u16string control = std::u16string(u"tab") + char16_t(0x09);
    for (const std::u16string& name :
         {tooLong, brokenPair, control, std::u16string(u"."), std::u16string(u".."),
          std::u16string(u"a*b"), std::u16string(u"a:b"), std::u16string(u"a;1"),
          std::u16string(u"a?b"), std::u16string(u"a\\b"), std::u16string(u"a\"b"),
          std::u16string(u"a<b"), std::u16string(u"a>b"), std::u16string(u"a|b"),
          std::u16string(u"a\x7F"), std::u16string(u"a\x85"), std::u16string(u"Makefile."),
          std::u16string(u"name ")}) {
        SCOPED_TRACE(testing::PrintToString(std::string(name.begin(), name.end())));
        const auto storage =
            disctest::StorageShowing({{u"good.txt", Text("good")}, {name, Text("bad")}});
        EXPECT_EQ(joliet_->AddData(storage.get(), 1), IMAPI_E_BADJOLIETNAME);
    }
    ASSERT_EQ(record(), S_OK);
    EXPECT_TRUE(disctest::DiscFiles(discPath(), dir_.path("files")).empty());
}

// checks that a name staged before, in any case, is refused with IMAPI_E_FILEEXISTS without
// overwrite and replaced with it, so the disc holds the newer file under its name.
TEST_F(JolietTest, SameNameInAnyCase) {
    ASSERT_EQ(addFiles({{u"Grüße.TXT", Text("old")}, {u"keep.txt", Text("kept")}}), S_OK);
    EXPECT_EQ(addFiles({{u"GRÜSSE.txt", Text("other")}}, 0), S_OK);
    EXPECT_EQ(addFiles({{u"grüße.txt", Text("refused")}, {u"new.txt", Text("n")}}, 0),
              IMAPI_E_FILEEXISTS);
    ASSERT_EQ(addFiles({{u"Жук.txt", Text("beetle")}}, 0), S_OK);
    EXPECT_EQ(addFiles({{u"жУК.TXT", Text("refused")}}, 0), IMAPI_E_FILEEXISTS);
    ASSERT_EQ(addFiles({{u"grüße.txt", Text("newer")}}, 1), S_OK);
    ASSERT_EQ(record(), S_OK);
    const std::map<std::string, Bytes> expected = {{"grüße.txt", Text("newer")},
                                                   {"GRÜSSE.txt", Text("other")},
                                                   {"keep.txt", Text("kept")},
                                                   {"Жук.txt", Text("beetle")}};
    EXPECT_EQ(disctest::DiscFiles(discPath(), dir_.path("files")), expected);
}

// checks that the Joliet tree names the files as Windows shows them, without the ";1" version
// and without a dot added to a name that has none, while the ISO 9660 tree keeps its level-1
// names with both.
TEST_F(JolietTest, JolietNamesAsWindowsShowsThem) {
    ASSERT_EQ(addFiles({{u"Makefile", Text("make")}, {u"readme.txt", Text("read")}}), S_OK);
    ASSERT_EQ(record(), S_OK);
    EXPECT_THAT(disctest::JolietRootNames(discPath()),
                testing::UnorderedElementsAre(u"Makefile", u"readme.txt"));
    EXPECT_THAT(disctest::IsoRootNames(discPath()),
                testing::UnorderedElementsAre("MAKEFILE.;1", "README.TXT;1"));
}

// checks that boot settings other than the one record built fail RecordDisc with their exact
// code before the recorder is touched: an older disc stays as it was.
TEST_F(JolietTest, RefusesOtherBootRecords) {
    struct Case {
        const char* what;
        std::size_t floppyBytes;
        std::uint8_t platform;
        std::uint8_t media;
        HRESULT result;
    };
    const Case cases[] = {
        {"one byte short", disctest::kFloppyBytes - 1, 0, 2, IMAPI_E_INVALIDIMAGE},
        {"one byte long", disctest::kFloppyBytes + 1, 0, 2, IMAPI_E_INVALIDIMAGE},
        {"2.88 MB", 2 * disctest::kFloppyBytes, 0, 2, IMAPI_E_INVALIDIMAGE},
        {"PowerPC", disctest::kFloppyBytes, 1, 2, E_INVALIDARG},
        {"no emulation", disctest::kFloppyBytes, 0, 0, E_INVALIDARG},
        {"1.2 MB emulation", disctest::kFloppyBytes, 0, 1, E_INVALIDARG},
        {"2.88 MB emulation", disctest::kFloppyBytes, 0, 3, E_INVALIDARG},
    };
    ASSERT_EQ(addFiles({{u"a.txt", Text("a")}}), S_OK);
    ASSERT_TRUE(test::WriteFileBytes(discPath(), Text("older disc")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(setBoot(disctest::FilledFloppy(c.floppyBytes), c.platform, c.media), S_OK);
        EXPECT_EQ(record(), c.result);
        EXPECT_EQ(test::ReadFileBytes(discPath()), Text("older disc"));
    }
}

// SPDX-License-Identifier: GPL-2.0-or-later
// Temporary storages: creation modes, the unlinked file and its lifetime, stream names,
// exclusive opening and the element list.
#include "StorageTesting.h"
#include "platform/linux/storage/TempFile.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace win;
using namespace storagetest;

namespace {

constexpr DWORD kUnknownModeBit = 0x80;

struct ModeCase {
    const char* what;
    const WCHAR* name;
    DWORD mode;
    DWORD reserved;
    HRESULT expected;
};

} // namespace

// checks that only the temporary docfile the CD job asks for is made, every other request
// failing with its own code and no storage.
TEST(TempStorage, CreationModesOtherThanTheJobsFail) {
    TempFolderScope folder;
    const ModeCase cases[] = {
        {"the job's mode", nullptr, kDocfileMode, 0, S_OK},
        {"without STGM_CREATE", nullptr, STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, S_OK},
        {"a named file", u"x.stg", kDocfileMode, 0, STG_E_INVALIDFUNCTION},
        {"reserved set", nullptr, kDocfileMode, 1, STG_E_INVALIDPARAMETER},
        {"read only", nullptr, STGM_SHARE_EXCLUSIVE | STGM_READ, 0, STG_E_INVALIDFLAG},
        {"write only", nullptr, STGM_SHARE_EXCLUSIVE | STGM_WRITE, 0, STG_E_INVALIDFLAG},
        {"shared", nullptr, STGM_SHARE_DENY_WRITE | STGM_READWRITE, 0, STG_E_INVALIDFLAG},
        {"transacted", nullptr, kDocfileMode | STGM_TRANSACTED, 0, STG_E_INVALIDFLAG},
        {"unknown bit", nullptr, kDocfileMode | kUnknownModeBit, 0, STG_E_INVALIDFLAG},
    };
    for (const ModeCase& test : cases) {
        SCOPED_TRACE(test.what);
        ComPtr<IStorage> storage;
        EXPECT_EQ(StgCreateDocfile(test.name, test.mode, test.reserved, storage.put()),
                  test.expected);
        EXPECT_EQ(static_cast<bool>(storage), test.expected == S_OK);
    }
    EXPECT_EQ(StgCreateDocfile(nullptr, kDocfileMode, 0, nullptr), STG_E_INVALIDPOINTER);
}

// checks that a storage lives in one unnamed file that goes with the storage's last
// reference, and that its open streams are reverted then, as on Windows.
TEST(TempStorage, LastReleaseClosesTheFileAndRevertsStreams) {
    TempFolderScope folder;
    const std::size_t before = OpenDescriptorCount();
    ComPtr<IStorage> storage = NewStorage();
    ASSERT_TRUE(storage);
    EXPECT_EQ(OpenDescriptorCount(), before + 1);
    ComPtr<IStream> stream = CreateStream(storage.get(), u"kept", kReadWriteMode);
    ASSERT_TRUE(stream);
    WriteInPieces(stream.get(), Pattern(100, 1));
    EXPECT_TRUE(std::filesystem::is_empty(folder.dir().root()));

    storage.reset();
    EXPECT_EQ(OpenDescriptorCount(), before);
    unsigned char byte = 0;
    EXPECT_EQ(stream->Write(&byte, 1, nullptr), STG_E_REVERTED);
    EXPECT_EQ(stream->Read(&byte, 1, nullptr), STG_E_REVERTED);
    STATSTG stat{};
    EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), STG_E_REVERTED);
    EXPECT_EQ(stream->Commit(STGC_DEFAULT), STG_E_REVERTED);
}

// checks that a temporary folder that does not exist is reported, not taken for success.
TEST(TempStorage, MissingTempFolderIsPathNotFound) {
    TempFolderScope folder;
    setenv("TMPDIR", (folder.dir().root() / "absent").c_str(), 1);
    ComPtr<IStorage> storage;
    EXPECT_EQ(StgCreateDocfile(nullptr, kDocfileMode, 0, storage.put()), STG_E_PATHNOTFOUND);
    EXPECT_FALSE(storage);
}

// checks that the fallback for file systems without unnamed files leaves no name behind.
TEST(TempFile, NamedFallbackIsUnlinkedAtOnce) {
    test::TempDir dir;
    int error = 0;
    platform::layer::FileDescriptor file =
        platform::layer::CreateAndUnlinkFile(dir.root().string(), &error);
    ASSERT_TRUE(file) << error;
    EXPECT_TRUE(std::filesystem::is_empty(dir.root()));
    EXPECT_EQ(::write(file.get(), "x", 1), 1);
}

// checks the name rules of a compound file: 1 to 31 units, no '/', '\', ':' or '!'.
TEST(TempStorage, StreamNamesFollowCompoundFileRules) {
    TempFolderScope folder;
    ComPtr<IStorage> storage = NewStorage();
    ASSERT_TRUE(storage);
    const std::u16string longest(31, u'n');
    const std::u16string tooLong(32, u'n');
    const struct {
        const char16_t* name;
        HRESULT expected;
    } cases[] = {
        {longest.c_str(), S_OK},     {u"README.TXT", S_OK},
        {u"\x05Info", S_OK},         {tooLong.c_str(), STG_E_INVALIDNAME},
        {u"", STG_E_INVALIDNAME},    {nullptr, STG_E_INVALIDNAME},
        {u"a/b", STG_E_INVALIDNAME}, {u"a\\b", STG_E_INVALIDNAME},
        {u"a:b", STG_E_INVALIDNAME}, {u"a!b", STG_E_INVALIDNAME},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message()
                     << "name of " << (test.name ? std::u16string(test.name).size() : 0));
        ComPtr<IStream> stream;
        EXPECT_EQ(storage->CreateStream(test.name, kCreateMode, 0, 0, stream.put()), test.expected);
        EXPECT_EQ(static_cast<bool>(stream), test.expected == S_OK);
    }
}

// checks that a stream is open in one object at a time and that names ignore case, as in a
// compound file: a second open, a replacement or a removal of an open stream is refused.
TEST(TempStorage, OpenStreamsAreExclusive) {
    TempFolderScope folder;
    ComPtr<IStorage> storage = NewStorage();
    ASSERT_TRUE(storage);
    ComPtr<IStream> writer = CreateStream(storage.get(), u"bootimg");
    ASSERT_TRUE(writer);
    ComPtr<IStream> other;
    EXPECT_EQ(storage->OpenStream(u"BOOTIMG", nullptr, kOpenMode, 0, other.put()),
              STG_E_ACCESSDENIED);
    EXPECT_EQ(storage->CreateStream(u"bootimg", kCreateMode, 0, 0, other.put()),
              STG_E_ACCESSDENIED);
    EXPECT_EQ(storage->DestroyElement(u"bootimg"), STG_E_ACCESSDENIED);
    WriteInPieces(writer.get(), Pattern(9, 2));
    writer.reset();

    ComPtr<IStream> reader = OpenStream(storage.get(), u"BootImg");
    ASSERT_TRUE(reader);
    EXPECT_EQ(storage->OpenStream(u"bootimg", nullptr, kOpenMode, 0, other.put()),
              STG_E_ACCESSDENIED);
    EXPECT_EQ(ReadToEnd(reader.get()), Pattern(9, 2));
    reader.reset();

    EXPECT_EQ(storage->CreateStream(u"bootimg", kCreateMode & ~STGM_CREATE, 0, 0, other.put()),
              STG_E_FILEALREADYEXISTS);
    EXPECT_EQ(storage->OpenStream(u"missing", nullptr, kOpenMode, 0, other.put()),
              STG_E_FILENOTFOUND);
    EXPECT_EQ(storage->OpenStream(u"bootimg", nullptr, kOpenMode | STGM_CREATE, 0, other.put()),
              STG_E_INVALIDFLAG);
    EXPECT_EQ(storage->OpenStream(u"bootimg", nullptr, STGM_READ, 0, other.put()),
              STG_E_INVALIDFLAG);
    EXPECT_EQ(storage->OpenStream(u"bootimg", nullptr, kOpenMode | STGM_TRANSACTED, 0, other.put()),
              STG_E_INVALIDFUNCTION);
    EXPECT_EQ(storage->CreateStream(u"bootimg", kCreateMode, 1, 0, other.put()),
              STG_E_INVALIDPARAMETER);
    EXPECT_FALSE(other);

    ComPtr<IStream> replaced = CreateStream(storage.get(), u"BOOTIMG");
    ASSERT_TRUE(replaced);
    EXPECT_EQ(SizeOf(replaced.get()), 0u);
}

// checks that names are compared as a compound file compares them, after upper-casing every
// script (not ASCII and Latin-1 alone): a second stream of one name in another case is refused
// without STGM_CREATE, and one of another name is not.
TEST(TempStorage, NamesAreOneInAnyCaseOfAnyScript) {
    TempFolderScope folder;
    ComPtr<IStorage> storage = NewStorage();
    ASSERT_TRUE(storage);
    constexpr DWORD kNewOnly = kCreateMode & ~STGM_CREATE;
    const struct {
        const char* what;
        const char16_t* first;
        const char16_t* second;
        bool same;
    } cases[] = {
        {"ASCII", u"readme.txt", u"README.TXT", true},
        {"Latin-1", u"caf\u00E9", u"CAF\u00C9", true},
        {"Latin Extended", u"\u0161.txt", u"\u0160.txt", true},
        {"y with diaeresis", u"\u00FF", u"\u0178", true},
        {"Cyrillic", u"\u0436\u0443\u043A", u"\u0416\u0423\u041A", true},
        {"Greek", u"\u03C9", u"\u03A9", true},
        {"two controls", u"a\u0081", u"a\u008D", false},
        {"sharp s", u"\u00DF", u"SS", false},
        {"two Cyrillic letters", u"\u0436", u"\u0437", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ComPtr<IStream> first;
        ASSERT_EQ(storage->CreateStream(c.first, kNewOnly, 0, 0, first.put()), S_OK);
        ComPtr<IStream> second;
        EXPECT_EQ(storage->CreateStream(c.second, kNewOnly, 0, 0, second.put()),
                  c.same ? STG_E_FILEALREADYEXISTS : S_OK);
        first.reset();
        second.reset();
        EXPECT_EQ(storage->DestroyElement(c.first), S_OK);
        if (!c.same) {
            EXPECT_EQ(storage->DestroyElement(c.second), S_OK);
        }
    }
}

// checks that the element list names every stream with its size, in a compound file's
// directory order, in fresh task memory, and that a removed stream leaves it.
TEST(TempStorage, EnumElementsListsStreamsInDirectoryOrder) {
    TempFolderScope folder;
    ComPtr<IStorage> storage = NewStorage();
    ASSERT_TRUE(storage);
    const struct {
        const char16_t* name;
        std::size_t size;
    } made[] = {{u"zz", 3}, {u"B", 0}, {u"a", 5}, {u"Cc", 4}, {u"gone", 1}};
    for (const auto& stream : made)
        WriteInPieces(CreateStream(storage.get(), stream.name).get(), Pattern(stream.size, 3));
    EXPECT_EQ(storage->DestroyElement(u"GONE"), S_OK);
    EXPECT_EQ(storage->DestroyElement(u"gone"), STG_E_FILENOTFOUND);

    ComPtr<IEnumSTATSTG> elements;
    ASSERT_EQ(storage->EnumElements(0, nullptr, 0, elements.put()), S_OK);
    STATSTG listed[5] = {};
    ULONG fetched = 0;
    EXPECT_EQ(elements->Next(5, listed, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 4u);
    const std::pair<std::u16string, std::uint64_t> expected[] = {
        {u"a", 5}, {u"B", 0}, {u"Cc", 4}, {u"zz", 3}};
    for (ULONG at = 0; at < fetched; ++at) {
        SCOPED_TRACE(at);
        EXPECT_EQ(listed[at].pwcsName, expected[at].first);
        EXPECT_EQ(listed[at].type, static_cast<DWORD>(STGTY_STREAM));
        EXPECT_EQ(listed[at].cbSize.QuadPart, expected[at].second);
        CoTaskMemFree(listed[at].pwcsName);
    }
    EXPECT_EQ(storage->EnumElements(1, nullptr, 0, elements.put()), STG_E_INVALIDPARAMETER);
}

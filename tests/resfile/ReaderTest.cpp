// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Files.h"
#include "platform/ScopedHandle.h"
#include "platform/linux/DeviceRegistry.h"
#include "resfile/ResourceFile.h"
#include "support/ContainerBuilder.h"
#include "support/MemoryFile.h"
#include "support/TempDir.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <thread>

using namespace win;
using platform::FileHandle;
using test::Bytes;
using test::ContainerBuilder;

namespace {

// The container of one text entry 1000 "abc", byte for byte.
const Bytes kExample = {0xBA, 0xBE, 0xAF, 0xFE, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00,
                        0x0E, 0x00, 0x00, 0x00, 0x00, 0xE8, 0x03, 0x00, 0x1A, 0x00,
                        0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x61, 0x62, 0x63};
// What CreateResourceFile writes.
const Bytes kEmpty = {0xBA, 0xBE, 0xAF, 0xFE, 0x00, 0x00, 0x01,
                      0x00, 0x00, 0x00, 0x0E, 0x00, 0x00, 0x00};
constexpr std::uint32_t kFirstNegativeSeek = 0x80000000u;
constexpr const char* kMemoryDevice = R"(\\.\CONTAINER)";

std::string Text(HANDLE file, std::uint32_t id) {
    return ReadResourceText(file, id).get();
}

class ResourceFileTest : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(GetResourceError(), kResourceOk) << "the test left an error pending";
    }

    // Writes the container to install.dat and opens it read-only.
    FileHandle openBuilt(const ContainerBuilder& builder) {
        builder.write(path());
        return FileHandle(OpenResourceFile(path().c_str(), true));
    }

    std::string path() { return dir.path("install.dat"); }

    test::TempDir dir;
};

// checks that the documented 29-byte container is what the builder makes and reads back "abc".
TEST_F(ResourceFileTest, ExampleContainerIsReadByteForByte) {
    EXPECT_EQ(ContainerBuilder().add(1000, "abc").bytes(), kExample);
    test::WriteFileBytes(path(), kExample);
    FileHandle file(OpenResourceFile(path().c_str(), true));
    ASSERT_TRUE(file);
    EXPECT_EQ(Text(file.get(), 1000), "abc");
}

// checks each header fault gives its own error code, no handle, and a closed file.
TEST_F(ResourceFileTest, OpenValidatesTheHeader) {
    const struct {
        const char* name;
        Bytes bytes;
        std::int32_t error;
    } cases[] = {
        {"version 0", ContainerBuilder().version(0).bytes(), kResourceOk},
        {"version 1", ContainerBuilder().version(1).bytes(), kResourceOk},
        {"version 2", ContainerBuilder().version(2).bytes(), kResourceBadVersion},
        {"version 0xFFFF", ContainerBuilder().version(0xFFFF).bytes(), kResourceBadVersion},
        {"magic in big-endian order", ContainerBuilder().magic(0xBABEAFFE).bytes(),
         kResourceBadMagic},
        {"13 bytes", Bytes(kEmpty.begin(), kEmpty.end() - 1), kResourceIoError},
        {"no bytes", Bytes(), kResourceIoError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteFileBytes(path(), c.bytes);
        HANDLE file = OpenResourceFile(path().c_str(), true);
        EXPECT_EQ(GetResourceError(), c.error);
        EXPECT_EQ(file != INVALID_HANDLE_VALUE, c.error == kResourceOk);
        if (file != INVALID_HANDLE_VALUE)
            CloseResourceFile(file);
        // A failed open must not keep the file: an exclusive open succeeds.
        EXPECT_TRUE(FileHandle(CreateFileA(path().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                           OPEN_EXISTING, 0, nullptr)));
    }
    EXPECT_EQ(OpenResourceFile(dir.path("missing.dat").c_str(), true), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetResourceError(), kResourceCannotOpen);
}

// checks that a new container is the 14 header bytes and behaves as empty: no directory, no
// error for that, and every lookup reports "not found".
TEST_F(ResourceFileTest, CreatedContainerIsEmpty) {
    HANDLE created = CreateResourceFile(path().c_str());
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    CloseResourceFile(created);
    EXPECT_EQ(test::ReadFileBytes(path()), kEmpty);

    FileHandle file(OpenResourceFile(path().c_str(), true));
    ASSERT_TRUE(file);
    std::uint16_t count = 99;
    EXPECT_EQ(ReadResourceDirectory(file.get(), &count), nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(GetResourceError(), kResourceOk);
    ResourceEntry entry;
    FindResourceEntry(file.get(), 1000, nullptr, &entry);
    EXPECT_EQ(GetResourceError(), kResourceNotFound);
    EXPECT_EQ(Text(file.get(), 1000), "");
    EXPECT_EQ(LoadResourceBitmap(file.get(), 100), nullptr);
    EXPECT_EQ(GetResourceError(), kResourceOk);
}

// checks the identifier is read from bytes 1-2 of a record, little-endian, and that the ignored
// bytes take no part.
TEST_F(ResourceFileTest, IdentifierStartsAtByteOne) {
    ResourceEntry entry;
    entry.bytes = {0x00, 0xE8, 0x03, 0x00, 0x1A, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00};
    EXPECT_EQ(entry.id(), 1000);
    EXPECT_EQ(entry.dataOffset(), 26u);
    EXPECT_EQ(entry.dataSize(), 3u);
    entry.bytes = {0xE8, 0x03, 0x00, 0x00, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(entry.id(), 3);
    EXPECT_EQ(entry.dataOffset(), 0x12345678u);
    EXPECT_EQ(entry.dataSize(), 0xFFFFFFFFu);

    // Read from byte 0, the first record would be 1000 and the second 0xE8FF.
    ContainerBuilder builder;
    builder.record({.id = 3, .dataOffset = 38, .dataSize = 5, .ignored0 = 0xE8})
        .record({.id = 1000, .dataOffset = 43, .dataSize = 4, .ignored0 = 0xFF, .ignored3 = 0xFF})
        .place(38, test::TextBytes("threekilo"));
    FileHandle file = openBuilt(builder);
    ASSERT_TRUE(file);
    EXPECT_EQ(Text(file.get(), 3), "three");
    EXPECT_EQ(Text(file.get(), 1000), "kilo");
}

// checks the directory copy holds every record byte for byte in file order, wherever the
// directory lies.
TEST_F(ResourceFileTest, DirectoryCopyIsTheRecordsAsStored) {
    ContainerBuilder builder;
    builder.directoryAt(64).place(14, test::TextBytes("data before the directory"));
    builder.record({.id = 7, .dataOffset = 14, .dataSize = 4, .ignored0 = 0xAA, .ignored3 = 0x55});
    builder.record({.id = 1, .dataOffset = 18, .dataSize = 6});
    FileHandle file = openBuilt(builder);
    ASSERT_TRUE(file);

    std::uint16_t count = 0;
    const std::unique_ptr<ResourceEntry, FreeDeleter> directory(
        ReadResourceDirectory(file.get(), &count));
    ASSERT_NE(directory, nullptr);
    ASSERT_EQ(count, 2);
    const Bytes stored = builder.bytes();
    EXPECT_EQ(std::memcmp(directory.get(), stored.data() + 64, 2 * kResourceEntrySize), 0);
    EXPECT_EQ(Text(file.get(), 7), "data");
    EXPECT_EQ(Text(file.get(), 1), " befor");
}

// checks identifiers compare on their low 16 bits and the first of two equal ones wins.
TEST_F(ResourceFileTest, LookupUsesLow16BitsAndFirstMatch) {
    ContainerBuilder builder;
    builder.add(1000, "thousand").add(7, "first").add(7, "second");
    FileHandle file = openBuilt(builder);
    ASSERT_TRUE(file);
    EXPECT_EQ(Text(file.get(), 66536), "thousand");
    EXPECT_EQ(Text(file.get(), 0xFFFF0000u + 1000), "thousand");
    EXPECT_EQ(Text(file.get(), 7), "first");

    std::uint32_t size = 0;
    EXPECT_EQ(GetResourceLocation(file.get(), 7, &size), builder.dataOffsetOf(1));
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(GetResourceError(), kResourceOk);
}

// checks an empty entry, wherever its offset points, gives a valid buffer of size 0 and ""
// without an error.
TEST_F(ResourceFileTest, ZeroSizeEntryIsAValidEmptyBuffer) {
    for (const std::uint32_t offset : {26u, 1000u}) {
        SCOPED_TRACE(offset);
        FileHandle file = openBuilt(ContainerBuilder().record({.id = 5, .dataOffset = offset}));
        ASSERT_TRUE(file);
        std::uint16_t count = 0;
        const std::unique_ptr<ResourceEntry, FreeDeleter> directory(
            ReadResourceDirectory(file.get(), &count));
        std::uint32_t size = 99;
        const std::unique_ptr<void, FreeDeleter> data(
            ReadResourceData(file.get(), 5, directory.get(), &size));
        EXPECT_NE(data, nullptr);
        EXPECT_EQ(size, 0u);
        EXPECT_EQ(GetResourceError(), kResourceOk);
        EXPECT_EQ(Text(file.get(), 5), "");
    }
}

// checks a text keeps every byte, a NUL inside it included, and gets one NUL appended.
TEST_F(ResourceFileTest, TextKeepsInnerNulAndIsTerminated) {
    const Bytes text = {'a', 'b', 0, 'c', 'd'};
    FileHandle file = openBuilt(ContainerBuilder().add(9, text));
    ASSERT_TRUE(file);
    const ResourceText copy = ReadResourceText(file.get(), 9);
    const char expected[] = {'a', 'b', 0, 'c', 'd', 0};
    EXPECT_EQ(std::memcmp(copy.get(), expected, sizeof expected), 0);
}

// checks data that are not all inside the file give error 1 and no buffer (nothing is
// allocated for a bogus size), and that the string loader turns that into "".
TEST_F(ResourceFileTest, DataPastTheEndOfFileIsAnIoError) {
    const struct {
        const char* name;
        std::uint32_t offset;
        std::uint32_t size;
    } cases[] = {
        {"one byte too many", 26, 4},
        {"offset at the end", 29, 1},
        {"offset past the end", 1000, 1},
        {"size of 4 GiB", 26, 0xFFFFFFFFu},
        {"offset plus size wraps", 26, 0xFFFFFFF0u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ContainerBuilder builder;
        builder.record({.id = 1, .dataOffset = c.offset, .dataSize = c.size})
            .place(26, test::TextBytes("abc"));
        FileHandle file = openBuilt(builder);
        ASSERT_TRUE(file);
        std::uint16_t count = 0;
        const std::unique_ptr<ResourceEntry, FreeDeleter> directory(
            ReadResourceDirectory(file.get(), &count));
        std::uint32_t size = 99;
        EXPECT_EQ(ReadResourceData(file.get(), 1, directory.get(), &size), nullptr);
        EXPECT_EQ(size, 0u);
        EXPECT_EQ(GetResourceError(), kResourceIoError);
        EXPECT_EQ(Text(file.get(), 1), "");
        EXPECT_EQ(GetResourceError(), kResourceOk);
    }
}

// checks offsets of 2^31 and above fail their seek even where the file holds the bytes.
TEST_F(ResourceFileTest, OffsetsFrom2GiBFailTheirSeek) {
    {
        FileHandle file =
            openBuilt(ContainerBuilder().add(1, "x").directoryOffsetField(kFirstNegativeSeek));
        ASSERT_TRUE(file);
        std::uint16_t count = 0;
        EXPECT_EQ(ReadResourceDirectory(file.get(), &count), nullptr);
        EXPECT_EQ(GetResourceError(), kResourceIoError);
    }
    // A sparse file that really has data at 2 GiB.
    ContainerBuilder builder;
    builder.record({.id = 1, .dataOffset = kFirstNegativeSeek, .dataSize = 3});
    builder.write(path());
    std::filesystem::resize_file(path(), kFirstNegativeSeek + 3);
    {
        std::fstream out(path(), std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(kFirstNegativeSeek);
        out.write("big", 3);
    }
    FileHandle file(OpenResourceFile(path().c_str(), true));
    ASSERT_TRUE(file);
    std::uint32_t size = 0;
    EXPECT_EQ(GetResourceLocation(file.get(), 1, &size), kFirstNegativeSeek);
    EXPECT_EQ(GetResourceError(), kResourceOk);
    EXPECT_EQ(Text(file.get(), 1), "");
    char buffer[3];
    std::uint32_t got = 0;
    EXPECT_FALSE(ReadResourceBytesAt(file.get(), kFirstNegativeSeek, buffer, 3, &got));
    EXPECT_FALSE(SeekResourceFile(file.get(), 0xFFFFFFFFu));
    std::uint16_t count = 0;
    std::unique_ptr<ResourceEntry, FreeDeleter> directory(
        ReadResourceDirectory(file.get(), &count));
    EXPECT_EQ(ReadResourceData(file.get(), 1, directory.get(), &size), nullptr);
    EXPECT_EQ(GetResourceError(), kResourceIoError);
}

// checks that while an error is pending every operation leaves its outputs and the file alone,
// and that the error stays until it is read.
TEST_F(ResourceFileTest, PendingErrorStopsEveryOperation) {
    FileHandle file = openBuilt(ContainerBuilder().add(1, "one"));
    ASSERT_TRUE(file);
    std::uint32_t size = 0;
    GetResourceLocation(file.get(), 2, &size);

    ResourceHeader header;
    header.entryCount = 77;
    ReadResourceHeader(file.get(), &header);
    EXPECT_EQ(header.entryCount, 77);
    std::uint16_t count = 77;
    EXPECT_EQ(ReadResourceDirectory(file.get(), &count), nullptr);
    EXPECT_EQ(count, 77);
    ResourceEntry entry;
    entry.bytes.fill(0x77);
    const ResourceEntry directory[1] = {};
    FindResourceEntry(file.get(), 1, directory, &entry);
    EXPECT_EQ(entry.bytes[0], 0x77);
    size = 77;
    EXPECT_EQ(ReadResourceData(file.get(), 1, directory, &size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(OpenResourceFile(path().c_str(), true), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateResourceFile(dir.path("new.dat").c_str()), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(std::filesystem::exists(dir.path("new.dat")));
    EXPECT_EQ(GetResourceError(), kResourceNotFound);
    EXPECT_EQ(GetResourceError(), kResourceOk);
}

// checks GetResourceLocation leaves its failure pending, so the next loader yields its empty
// result even for an entry that exists, and the one after that works again.
TEST_F(ResourceFileTest, LoadersConsumeAPendingError) {
    FileHandle file = openBuilt(ContainerBuilder().add(1, "one"));
    ASSERT_TRUE(file);
    std::uint32_t size = 99;
    EXPECT_EQ(GetResourceLocation(file.get(), 2, &size), 0u);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(Text(file.get(), 1), "");
    EXPECT_EQ(GetResourceError(), kResourceOk);
    EXPECT_EQ(Text(file.get(), 1), "one");

    GetResourceLocation(file.get(), 2, &size);
    EXPECT_EQ(LoadResourceBitmap(file.get(), 1), nullptr);
    EXPECT_EQ(GetResourceError(), kResourceOk);
}

// checks the loaders and lookups on an invalid handle or without a place for the result report
// their own codes.
TEST_F(ResourceFileTest, BadArgumentsHaveTheirCodes) {
    ResourceHeader header;
    ReadResourceHeader(INVALID_HANDLE_VALUE, &header);
    EXPECT_EQ(GetResourceError(), kResourceCannotOpen);
    EXPECT_EQ(Text(INVALID_HANDLE_VALUE, 1), "");
    EXPECT_EQ(GetResourceError(), kResourceOk);

    FileHandle file = openBuilt(ContainerBuilder().add(1, "one"));
    ASSERT_TRUE(file);
    std::uint16_t count = 0;
    const std::unique_ptr<ResourceEntry, FreeDeleter> directory(
        ReadResourceDirectory(file.get(), &count));
    FindResourceEntry(file.get(), 1, directory.get(), nullptr);
    EXPECT_EQ(GetResourceError(), kResourceNoPlaceForEntry);
}

// checks CloseResourceFile with an error pending keeps the handle open and the error pending.
TEST_F(ResourceFileTest, CloseWithErrorPendingKeepsTheFileOpen) {
    ContainerBuilder().add(1, "one").write(path());
    HANDLE file = OpenResourceFile(path().c_str(), true);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::uint32_t size = 0;
    GetResourceLocation(file, 2, &size);
    CloseResourceFile(file);

    char bytes[3];
    std::uint32_t got = 0;
    EXPECT_TRUE(ReadResourceBytesAt(file, 26, bytes, 3, &got));
    EXPECT_EQ(std::string(bytes, got), "one");
    EXPECT_EQ(GetResourceError(), kResourceNotFound);
    CloseResourceFile(file);
    EXPECT_FALSE(CloseHandle(file)) << "the second close should have closed it";
}

// checks the read-write mode: a missing file becomes the 14-byte empty container, a bad header
// is refused and left as it was, and the open is exclusive.
TEST_F(ResourceFileTest, ReadWriteOpenCreatesOnlyWhatIsMissing) {
    HANDLE created = OpenResourceFile(path().c_str(), false);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetResourceError(), kResourceOk);
    EXPECT_EQ(OpenResourceFile(path().c_str(), true), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetResourceError(), kResourceCannotOpen);
    CloseResourceFile(created);
    EXPECT_EQ(test::ReadFileBytes(path()), kEmpty);

    const struct {
        const char* name;
        Bytes bytes;
        std::int32_t error;
    } bad[] = {
        {"bad magic", ContainerBuilder().magic(0).add(1, "x").bytes(), kResourceBadMagic},
        {"version 2", ContainerBuilder().version(2).add(1, "x").bytes(), kResourceBadVersion},
        {"5 bytes", Bytes(kEmpty.begin(), kEmpty.begin() + 5), kResourceIoError},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.name);
        test::WriteFileBytes(path(), c.bytes);
        EXPECT_EQ(OpenResourceFile(path().c_str(), false), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetResourceError(), c.error);
        EXPECT_EQ(test::ReadFileBytes(path()), c.bytes);
    }
}

// checks a container held open elsewhere is never replaced, by either way of creating one.
TEST_F(ResourceFileTest, HeldFileIsNeverReplaced) {
    const Bytes stored = ContainerBuilder().add(1, "keep me").bytes();
    test::WriteFileBytes(path(), stored);
    FileHandle holder(OpenResourceFile(path().c_str(), true));
    ASSERT_TRUE(holder);

    EXPECT_EQ(OpenResourceFile(path().c_str(), false), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetResourceError(), kResourceCannotOpen);
    EXPECT_EQ(CreateResourceFile(path().c_str()), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetResourceError(), kResourceCannotOpen);
    EXPECT_EQ(test::ReadFileBytes(path()), stored);
    EXPECT_EQ(Text(holder.get(), 1), "keep me");
}

// checks positioned reads return what lies there, fewer bytes at the end of the file, and
// that SeekResourceFile leaves the handle where a plain read continues.
TEST_F(ResourceFileTest, PositionedReadsAndSeeks) {
    FileHandle file = openBuilt(ContainerBuilder().add(1, "0123456789"));
    ASSERT_TRUE(file);
    char bytes[8] = {};
    std::uint32_t got = 0;
    ASSERT_TRUE(ReadResourceBytesAt(file.get(), 26 + 6, bytes, sizeof bytes, &got));
    EXPECT_EQ(std::string(bytes, got), "6789");
    ASSERT_TRUE(SeekResourceFile(file.get(), 26 + 2));
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(file.get(), bytes, 3, &read, nullptr));
    EXPECT_EQ(std::string(bytes, read), "234");
}

// checks that threads sharing one handle, reading texts and making positioned reads at once,
// each get their own bytes: no seek of one lands between another's seek and read. The file
// pauses in every read, so without the container lock the seeks would interleave.
TEST_F(ResourceFileTest, ThreadsSharingTheHandleGetTheirOwnBytes) {
    const std::string alpha(300, 'a');
    std::string beta;
    for (int i = 0; i < 4000; ++i)
        beta += static_cast<char>('A' + i % 26);
    ContainerBuilder builder;
    builder.add(1, alpha).add(2, beta);
    test::MemoryFile memory(builder.bytes(), std::chrono::microseconds(20));
    platform::layer::ScopedDevice mount(kMemoryDevice, memory.factory());
    FileHandle file(OpenResourceFile(kMemoryDevice, true));
    ASSERT_TRUE(file);
    const std::uint32_t betaOffset = builder.dataOffsetOf(1);

    constexpr int kRounds = 100;
    std::atomic<int> wrong{0};
    std::thread texts([&] {
        for (int i = 0; i < kRounds; ++i) {
            if (Text(file.get(), 1) != alpha || GetResourceError() != kResourceOk)
                ++wrong;
        }
    });
    std::thread positioned([&] {
        std::string buffer(beta.size(), '\0');
        for (int i = 0; i < kRounds; ++i) {
            std::uint32_t got = 0;
            const bool read = ReadResourceBytesAt(file.get(), betaOffset, buffer.data(),
                                                  static_cast<std::uint32_t>(buffer.size()), &got);
            if (!read || buffer != beta || Text(file.get(), 2) != beta)
                ++wrong;
        }
    });
    texts.join();
    positioned.join();
    EXPECT_EQ(wrong.load(), 0);
}

// checks an error pending on one thread neither blocks nor shows on another.
TEST_F(ResourceFileTest, ErrorsStayOnTheirThread) {
    FileHandle file = openBuilt(ContainerBuilder().add(1, "one"));
    ASSERT_TRUE(file);
    std::uint32_t size = 0;
    GetResourceLocation(file.get(), 2, &size);

    std::int32_t seen = -1;
    std::string text;
    std::int32_t ownError = -1;
    std::thread other([&] {
        seen = GetResourceError();
        text = Text(file.get(), 1);
        std::uint32_t otherSize = 0;
        GetResourceLocation(file.get(), 3, &otherSize);
        ownError = GetResourceError();
    });
    other.join();
    EXPECT_EQ(seen, kResourceOk);
    EXPECT_EQ(text, "one");
    EXPECT_EQ(ownError, kResourceNotFound);
    EXPECT_EQ(GetResourceError(), kResourceNotFound);
}

} // namespace

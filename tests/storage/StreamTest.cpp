// SPDX-License-Identifier: GPL-2.0-or-later
// Streams of a temporary storage: copies in small pieces, the boot image copy, access
// modes, seeking and sizing, a full medium, and the layer's positioned reads.
#include "StorageTesting.h"
#include "platform/linux/storage/StreamBytes.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>
#include <thread>

using namespace win;
using namespace storagetest;
using platform::layer::IID_IStreamBytes;
using platform::layer::IStreamBytes;

namespace {

LARGE_INTEGER Distance(std::int64_t distance) {
    LARGE_INTEGER value;
    value.QuadPart = distance;
    return value;
}

ULARGE_INTEGER Count(std::uint64_t count) {
    ULARGE_INTEGER value;
    value.QuadPart = count;
    return value;
}

std::uint64_t Position(IStream* stream) {
    ULARGE_INTEGER position{};
    EXPECT_EQ(stream->Seek(Distance(0), STREAM_SEEK_CUR, &position), S_OK);
    return position.QuadPart;
}

} // namespace

// checks that a copy in small pieces (one 4-byte Write per piece, the last one short) stores
// exactly the entry's bytes, for sizes of whole pieces and not.
TEST(StorageStream, PieceCopyStoresExactlyTheEntry) {
    TempFolderScope folder;
    ComPtr<IStorage> storage = NewStorage();
    ASSERT_TRUE(storage);
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{5}, std::size_t{8}, kBootImageSize}) {
        SCOPED_TRACE(size);
        const std::vector<unsigned char> entry = Pattern(size, 4);
        ComPtr<IStream> writer = CreateStream(storage.get(), u"file");
        ASSERT_TRUE(writer);
        WriteInPieces(writer.get(), entry);
        EXPECT_EQ(SizeOf(writer.get()), size);
        writer.reset();
        ComPtr<IStream> reader = OpenStream(storage.get(), u"file");
        ASSERT_TRUE(reader);
        EXPECT_EQ(ReadToEnd(reader.get()), entry);
    }
}

// checks the job's boot image path: written in pieces into "bootimg", opened again for
// reading, and copied by CopyTo(0x168000) into a stream of another storage, with the counts.
TEST(StorageStream, BootImageCopiesIntoAnotherStorage) {
    TempFolderScope folder;
    const std::vector<unsigned char> image = Pattern(kBootImageSize, 5);
    ComPtr<IStorage> bootStorage = NewStorage();
    ComPtr<IStorage> targetStorage = NewStorage();
    ASSERT_TRUE(bootStorage && targetStorage);
    WriteInPieces(CreateStream(bootStorage.get(), u"bootimg").get(), image);
    ComPtr<IStream> bootReader = OpenStream(bootStorage.get(), u"bootimg");
    ComPtr<IStream> target = CreateStream(targetStorage.get(), u"boot", kReadWriteMode);
    ASSERT_TRUE(bootReader && target);

    ULARGE_INTEGER read{};
    ULARGE_INTEGER written{};
    EXPECT_EQ(bootReader->CopyTo(target.get(), Count(kBootImageSize), &read, &written), S_OK);
    EXPECT_EQ(read.QuadPart, kBootImageSize);
    EXPECT_EQ(written.QuadPart, kBootImageSize);
    EXPECT_EQ(Position(bootReader.get()), kBootImageSize);

    // Asking for more stops at the source's end.
    EXPECT_EQ(bootReader->Seek(Distance(-100), STREAM_SEEK_END, nullptr), S_OK);
    EXPECT_EQ(bootReader->CopyTo(target.get(), Count(kBootImageSize), &read, &written), S_OK);
    EXPECT_EQ(read.QuadPart, 100u);
    EXPECT_EQ(written.QuadPart, 100u);

    std::vector<unsigned char> expected = image;
    expected.insert(expected.end(), image.end() - 100, image.end());
    EXPECT_EQ(target->Seek(Distance(0), STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(ReadToEnd(target.get()), expected);
}

// checks that a stream's mode is kept: a write-only stream refuses to be read or copied from,
// a read-only one to be written or sized, and a refused copy target fails the copy.
TEST(StorageStream, AccessModesAreEnforced) {
    TempFolderScope folder;
    ComPtr<IStorage> storage = NewStorage();
    ASSERT_TRUE(storage);
    ComPtr<IStream> writeOnly = CreateStream(storage.get(), u"w");
    ComPtr<IStream> readOnly = CreateStream(storage.get(), u"r", kCreateMode & ~STGM_WRITE);
    ComPtr<IStream> source = CreateStream(storage.get(), u"s", kReadWriteMode);
    ASSERT_TRUE(writeOnly && readOnly && source);
    unsigned char byte = 0;
    ULONG count = 7;
    EXPECT_EQ(writeOnly->Read(&byte, 1, &count), STG_E_ACCESSDENIED);
    EXPECT_EQ(writeOnly->CopyTo(source.get(), Count(1), nullptr, nullptr), STG_E_ACCESSDENIED);
    EXPECT_EQ(readOnly->Write(&byte, 1, nullptr), STG_E_ACCESSDENIED);
    EXPECT_EQ(readOnly->SetSize(Count(1)), STG_E_ACCESSDENIED);
    EXPECT_EQ(writeOnly->Write(nullptr, 1, nullptr), STG_E_INVALIDPOINTER);

    WriteInPieces(source.get(), Pattern(10, 6));
    EXPECT_EQ(source->Seek(Distance(0), STREAM_SEEK_SET, nullptr), S_OK);
    ULARGE_INTEGER read{};
    ULARGE_INTEGER written{};
    EXPECT_EQ(source->CopyTo(readOnly.get(), Count(10), &read, &written), STG_E_ACCESSDENIED);
    EXPECT_EQ(read.QuadPart, 10u);
    EXPECT_EQ(written.QuadPart, 0u);
    EXPECT_EQ(source->CopyTo(nullptr, Count(10), nullptr, nullptr), STG_E_INVALIDPOINTER);
}

// checks seeking and sizing: bytes a stream gains without writes read as zeros, even where
// it held data before it was cut, and positions before the start are refused.
TEST(StorageStream, SeekAndSetSizeKeepUnwrittenBytesZero) {
    TempFolderScope folder;
    ComPtr<IStorage> storage = NewStorage();
    ASSERT_TRUE(storage);
    ComPtr<IStream> stream = CreateStream(storage.get(), u"s", kReadWriteMode);
    ASSERT_TRUE(stream);
    WriteInPieces(stream.get(), std::vector<unsigned char>(100, 0xAA));
    EXPECT_EQ(stream->SetSize(Count(10)), S_OK);
    EXPECT_EQ(stream->SetSize(Count(50)), S_OK);
    EXPECT_EQ(stream->Seek(Distance(60), STREAM_SEEK_SET, nullptr), S_OK);
    const unsigned char tail[] = {1, 2};
    EXPECT_EQ(stream->Write(tail, 2, nullptr), S_OK);

    // Grown past the last write, so the end lies beyond what the file holds.
    EXPECT_EQ(stream->SetSize(Count(70)), S_OK);
    std::vector<unsigned char> expected(70, 0);
    std::fill(expected.begin(), expected.begin() + 10, 0xAA);
    expected[60] = 1;
    expected[61] = 2;
    ULARGE_INTEGER position{};
    EXPECT_EQ(stream->Seek(Distance(-70), STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 0u);
    EXPECT_EQ(ReadToEnd(stream.get()), expected);

    EXPECT_EQ(stream->Seek(Distance(-71), STREAM_SEEK_END, nullptr), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->Seek(Distance(-1), STREAM_SEEK_END + 1u, nullptr), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(Position(stream.get()), 70u);
    unsigned char byte = 0;
    ULONG read = 9;
    EXPECT_EQ(stream->Read(&byte, 1, &read), S_OK);
    EXPECT_EQ(read, 0u);
}

// checks that a write the file system stops short reports STG_E_MEDIUMFULL with the bytes
// really written, and that the stream holds just those.
TEST(StorageStream, ShortWriteReportsWhatWasWritten) {
    TempFolderScope folder;
    ComPtr<IStorage> storage = NewStorage();
    ASSERT_TRUE(storage);
    ComPtr<IStream> stream = CreateStream(storage.get(), u"s", kReadWriteMode);
    ASSERT_TRUE(stream);
    constexpr ULONG kLimit = 6000;
    const std::vector<unsigned char> bytes = Pattern(2 * kLimit, 7);
    ULONG written = 0;
    {
        test::FileSizeLimit limit(kLimit);
        EXPECT_EQ(stream->Write(bytes.data(), 2 * kLimit, &written), STG_E_MEDIUMFULL);
    }
    EXPECT_EQ(written, kLimit);
    EXPECT_EQ(SizeOf(stream.get()), kLimit);
    EXPECT_EQ(Position(stream.get()), kLimit);
}

// checks the layer's positioned reads: they leave the seek pointer alone, work from another
// thread, read a write-only stream, and end with the storage.
TEST(StorageStream, PositionedReadsLeaveTheSeekPointer) {
    TempFolderScope folder;
    ComPtr<IStorage> storage = NewStorage();
    ASSERT_TRUE(storage);
    ComPtr<IStream> stream = CreateStream(storage.get(), u"s");
    ASSERT_TRUE(stream);
    const std::vector<unsigned char> bytes = Pattern(300000, 8);
    WriteInPieces(stream.get(), bytes);

    ComPtr<IStreamBytes> reader;
    ASSERT_EQ(stream->QueryInterface(IID_IStreamBytes, reader.putVoid()), S_OK);
    ComPtr<ISequentialStream> sequential;
    ASSERT_EQ(stream->QueryInterface(IID_ISequentialStream, sequential.putVoid()), S_OK);
    EXPECT_EQ(static_cast<void*>(sequential.get()), static_cast<void*>(stream.get()));

    std::vector<unsigned char> got(bytes.size() + 10);
    ULONG read = 0;
    std::thread([&] {
        EXPECT_EQ(reader->ReadAt(1000, got.data(), static_cast<ULONG>(got.size()), &read), S_OK);
    }).join();
    EXPECT_EQ(read, bytes.size() - 1000);
    EXPECT_TRUE(std::equal(bytes.begin() + 1000, bytes.end(), got.begin()));
    std::uint64_t size = 0;
    EXPECT_EQ(reader->GetSize(&size), S_OK);
    EXPECT_EQ(size, bytes.size());
    EXPECT_EQ(Position(stream.get()), bytes.size());

    storage.reset();
    EXPECT_EQ(reader->ReadAt(0, got.data(), 1, &read), STG_E_REVERTED);
    EXPECT_EQ(reader->GetSize(&size), STG_E_REVERTED);
}

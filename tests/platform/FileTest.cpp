// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Files.h"
#include "platform/ScopedHandle.h"
#include "platform/linux/DeviceRegistry.h"
#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

using namespace win;
using platform::FileHandle;

namespace {

std::vector<unsigned char> Pattern(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

FileHandle OpenShared(const std::string& path) {
    return FileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
}

FileHandle OpenExclusive(const std::string& path, DWORD disposition) {
    return FileHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  disposition, 0, nullptr));
}

std::vector<unsigned char> ReadAt(HANDLE file, LONG offset, DWORD size) {
    std::vector<unsigned char> bytes(size);
    EXPECT_NE(SetFilePointer(file, offset, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(file, bytes.data(), size, &got, nullptr));
    bytes.resize(got);
    return bytes;
}

} // namespace

// checks that shared readers coexist while an exclusive open or a replacement is refused, and
// that a refused CREATE_ALWAYS leaves the file's bytes alone.
TEST(Files, SharingIsEnforcedBetweenOpens) {
    test::TempDir dir;
    const std::string path = dir.path("shared.bin");
    WriteBytes(path, Pattern(100));

    FileHandle first = OpenShared(path);
    FileHandle second = OpenShared(path);
    ASSERT_TRUE(first && second);

    EXPECT_FALSE(OpenExclusive(path, OPEN_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(OpenExclusive(path, CREATE_ALWAYS));
    EXPECT_EQ(ReadAt(first.get(), 0, 200), Pattern(100));

    first.reset();
    second.reset();
    FileHandle exclusive = OpenExclusive(path, OPEN_EXISTING);
    ASSERT_TRUE(exclusive);
    EXPECT_FALSE(OpenShared(path));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
}

// checks that the seek distance is a signed 32-bit value without a high part, as on Windows.
TEST(Files, SeekBeyondTwoGigabytesFailsWithoutHighPart) {
    test::TempDir dir;
    const std::string path = dir.path("seek.bin");
    WriteBytes(path, Pattern(10));
    FileHandle file = OpenShared(path);
    ASSERT_TRUE(file);

    EXPECT_EQ(SetFilePointer(file.get(), static_cast<LONG>(0x80000000u), nullptr, FILE_BEGIN),
              INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
    EXPECT_EQ(SetFilePointer(file.get(), 0x7FFFFFFF, nullptr, FILE_BEGIN), 0x7FFFFFFFu);
    LONG high = 0;
    EXPECT_EQ(SetFilePointer(file.get(), static_cast<LONG>(0x80000000u), &high, FILE_BEGIN),
              0x80000000u);
    EXPECT_EQ(SetFilePointer(file.get(), -3, nullptr, FILE_END), 7u);
    EXPECT_EQ(SetFilePointer(file.get(), 2, nullptr, FILE_CURRENT), 9u);
    DWORD got = 99;
    unsigned char byte = 0;
    ASSERT_TRUE(ReadFile(file.get(), &byte, 1, &got, nullptr));
    EXPECT_EQ(got, 1u);
    EXPECT_EQ(byte, Pattern(10)[9]);
    ASSERT_TRUE(ReadFile(file.get(), &byte, 1, &got, nullptr));
    EXPECT_EQ(got, 0u);
}

// checks that buffered small reads, jumps and large reads on a read-only handle return exactly
// the file's bytes wherever the position goes.
TEST(Files, BufferedReadsFollowEverySeek) {
    test::TempDir dir;
    const std::string path = dir.path("big.bin");
    const std::vector<unsigned char> content = Pattern(300000);
    WriteBytes(path, content);
    FileHandle file = OpenShared(path);
    ASSERT_TRUE(file);

    const struct {
        LONG offset;
        DWORD size;
    } reads[] = {{0, 4}, {4, 4}, {65534, 4}, {3, 70000}, {299998, 4}, {131072, 1}, {10, 200000}};
    for (const auto& r : reads) {
        SCOPED_TRACE(r.offset);
        const std::vector<unsigned char> got = ReadAt(file.get(), r.offset, r.size);
        const std::size_t end = std::min<std::size_t>(content.size(), r.offset + r.size);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), content.begin() + r.offset,
                               content.begin() + static_cast<long>(end)));
        EXPECT_EQ(got.size(), end - static_cast<std::size_t>(r.offset));
    }

    // Sequential 4-byte reads over a buffer boundary see every byte once.
    ASSERT_NE(SetFilePointer(file.get(), 65530, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    std::vector<unsigned char> pieces;
    for (int i = 0; i < 8; ++i) {
        unsigned char piece[4];
        DWORD got = 0;
        ASSERT_TRUE(ReadFile(file.get(), piece, 4, &got, nullptr));
        pieces.insert(pieces.end(), piece, piece + got);
    }
    EXPECT_TRUE(std::equal(pieces.begin(), pieces.end(), content.begin() + 65530));
}

// checks that CREATE_ALWAYS replaces a file nobody holds and writes land at the position.
TEST(Files, CreateAlwaysTruncatesAndWritesAtPosition) {
    test::TempDir dir;
    const std::string path = dir.path("new.bin");
    WriteBytes(path, Pattern(50));
    {
        FileHandle file = OpenExclusive(path, CREATE_ALWAYS);
        ASSERT_TRUE(file);
        DWORD put = 0;
        ASSERT_TRUE(WriteFile(file.get(), "abc", 3, &put, nullptr));
        EXPECT_EQ(put, 3u);
        ASSERT_EQ(SetFilePointer(file.get(), 1, nullptr, FILE_BEGIN), 1u);
        ASSERT_TRUE(WriteFile(file.get(), "Z", 1, &put, nullptr));
    }
    FileHandle file = OpenShared(path);
    EXPECT_EQ(ReadAt(file.get(), 0, 10), (std::vector<unsigned char>{'a', 'Z', 'c'}));
}

// checks that handles that are not open fail cleanly, and a closed handle cannot be used again.
TEST(Files, StaleAndInvalidHandlesFail) {
    test::TempDir dir;
    const std::string path = dir.path("x.bin");
    WriteBytes(path, Pattern(4));
    HANDLE raw = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    ASSERT_NE(raw, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(raw));
    for (HANDLE bad : {raw, static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
        EXPECT_FALSE(CloseHandle(bad));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        DWORD got = 7;
        char byte;
        EXPECT_FALSE(ReadFile(bad, &byte, 1, &got, nullptr));
        EXPECT_EQ(got, 0u);
    }
    EXPECT_EQ(CreateFileA(dir.path("missing").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CreateFileA(dir.path("").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

// checks that a device path reaches the device mounted over it, and only while it is mounted.
TEST(Files, DevicePathsOpenMountedDevices) {
    struct Echo : platform::layer::KernelObject {
        bool read(void* buffer, DWORD toRead, DWORD* bytesRead) override {
            std::fill_n(static_cast<char*>(buffer), toRead, 'e');
            *bytesRead = toRead;
            return true;
        }
    };
    const char* path = "\\\\.\\FAKE0";
    {
        platform::layer::ScopedDevice mount(
            "\\\\.\\fake0",
            [](const platform::layer::OpenRequest&) { return std::make_shared<Echo>(); });
        FileHandle device(CreateFileA(path, 0, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(device);
        char bytes[2] = {};
        DWORD got = 0;
        EXPECT_TRUE(ReadFile(device.get(), bytes, 2, &got, nullptr));
        EXPECT_EQ(std::string(bytes, 2), "ee");
        EXPECT_FALSE(WriteFile(device.get(), bytes, 2, &got, nullptr));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_FUNCTION);
    }
    EXPECT_EQ(CreateFileA(path, 0, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

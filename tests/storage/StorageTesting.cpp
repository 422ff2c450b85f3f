// SPDX-License-Identifier: GPL-2.0-or-later
#include "StorageTesting.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>

using namespace win;

namespace storagetest {
namespace {

constexpr const char* kTempFolderVariable = "TMPDIR";
constexpr ULONG kReadPiece = 64 * 1024;

} // namespace

TempFolderScope::TempFolderScope() : folder_(kTempFolderVariable, dir_.root().c_str()) {
}

ComPtr<IStorage> NewStorage() {
    ComPtr<IStorage> storage;
    EXPECT_EQ(StgCreateDocfile(nullptr, kDocfileMode, 0, storage.put()), S_OK);
    return storage;
}

ComPtr<IStream> CreateStream(IStorage* storage, const char16_t* name, DWORD mode) {
    ComPtr<IStream> stream;
    EXPECT_EQ(storage->CreateStream(name, mode, 0, 0, stream.put()), S_OK);
    return stream;
}

ComPtr<IStream> OpenStream(IStorage* storage, const char16_t* name, DWORD mode) {
    ComPtr<IStream> stream;
    EXPECT_EQ(storage->OpenStream(name, nullptr, mode, 0, stream.put()), S_OK);
    return stream;
}

std::vector<unsigned char> Pattern(std::size_t size, unsigned seed) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t at = 0; at < size; ++at)
        bytes[at] = static_cast<unsigned char>((at * 7 + at / 251 + seed) & 0xFF);
    return bytes;
}

void WriteInPieces(IStream* stream, const std::vector<unsigned char>& bytes) {
    for (std::size_t at = 0; at < bytes.size(); at += kPieceSize) {
        const auto piece = static_cast<ULONG>(std::min(kPieceSize, bytes.size() - at));
        ULONG written = 0;
        ASSERT_EQ(stream->Write(bytes.data() + at, piece, &written), S_OK);
        ASSERT_EQ(written, piece);
    }
}

std::vector<unsigned char> ReadToEnd(IStream* stream) {
    std::vector<unsigned char> bytes;
    std::vector<unsigned char> piece(kReadPiece);
    for (;;) {
        ULONG read = 0;
        EXPECT_EQ(stream->Read(piece.data(), kReadPiece, &read), S_OK);
        if (read == 0)
            return bytes;
        bytes.insert(bytes.end(), piece.begin(), piece.begin() + read);
    }
}

std::uint64_t SizeOf(IStream* stream) {
    STATSTG stat{};
    EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    return stat.cbSize.QuadPart;
}

std::size_t OpenDescriptorCount() {
    const std::filesystem::directory_iterator descriptors("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(descriptors), end(descriptors)));
}

} // namespace storagetest

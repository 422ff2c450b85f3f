// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Helpers of the storage tests: a temporary folder for the test's storages, the modes of the CD
// build job, and stream reading and writing as the job does it.

#include "platform/ComPtr.h"
#include "platform/Storage.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace storagetest {

using platform::ComPtr;

// The modes the CD build job passes, and one to create a stream for reading and writing.
inline constexpr win::DWORD kDocfileMode = 0x1012; // create, exclusive, read-write
inline constexpr win::DWORD kCreateMode = 0x1011;  // create, exclusive, write
inline constexpr win::DWORD kOpenMode = 0x10;      // exclusive, read
inline constexpr win::DWORD kReadWriteMode =
    win::STGM_CREATE | win::STGM_SHARE_EXCLUSIVE | win::STGM_READWRITE;

// The boot floppy image's size, and a small piece for writers that write little at a time.
inline constexpr std::size_t kBootImageSize = 0x168000;
inline constexpr std::size_t kPieceSize = 4;

/// Points $TMPDIR at a fresh folder for its lifetime; the folder must be empty when it goes
/// (TempDir fails the test otherwise), as the storages' unlinked files leave nothing behind.
class TempFolderScope {
public:
    TempFolderScope();
    TempFolderScope(const TempFolderScope&) = delete;
    TempFolderScope& operator=(const TempFolderScope&) = delete;

    test::TempDir& dir() { return dir_; }

private:
    test::TempDir dir_;
    test::ScopedEnv folder_;
};

/// A temporary storage made as the CD build job makes it; null (with a failure) if it cannot.
ComPtr<win::IStorage> NewStorage();
ComPtr<win::IStream> CreateStream(win::IStorage* storage, const char16_t* name,
                                  win::DWORD mode = kCreateMode);
ComPtr<win::IStream> OpenStream(win::IStorage* storage, const char16_t* name,
                                win::DWORD mode = kOpenMode);

/// size bytes that differ from piece to piece, and from seed to seed.
std::vector<unsigned char> Pattern(std::size_t size, unsigned seed);

/// Writes bytes in small pieces: one Write per 4-byte piece, the last one holding the rest.
void WriteInPieces(win::IStream* stream, const std::vector<unsigned char>& bytes);

/// Reads from the seek pointer to the end.
std::vector<unsigned char> ReadToEnd(win::IStream* stream);

/// The stream's size by Stat.
std::uint64_t SizeOf(win::IStream* stream);

/// How many file descriptors the process holds.
std::size_t OpenDescriptorCount();

} // namespace storagetest

// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/JobStorage.h"

#include "cd/BuildFailure.h"
#include "cd/PieceCopy.h"

using namespace win;

namespace {
constexpr DWORD kStorageMode = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;
// Without STGM_CREATE: a second file of a name already in the storage (in any case) is refused,
// never put in place of the first, so no file of the set goes missing from the disc unnoticed.
constexpr DWORD kNewStreamMode = STGM_SHARE_EXCLUSIVE | STGM_WRITE;
constexpr DWORD kReserved = 0;
} // namespace

platform::ComPtr<IStorage> CreateTemporaryStorage(const char* reason) {
    platform::ComPtr<IStorage> storage;
    if (FAILED(StgCreateDocfile(nullptr, kStorageMode, kReserved, storage.put())) || !storage)
        throw BuildFailure{reason};
    return storage;
}

void StoreEntry(IStorage* storage, const OLECHAR* name, ResourceId id) {
    platform::ComPtr<IStream> stream;
    if (FAILED(storage->CreateStream(name, kNewStreamMode, kReserved, kReserved, stream.put())) ||
        !stream)
        throw BuildFailure{buildfailure::kCreatingStream};
    CopyEntryToStream(id, stream.get());
}

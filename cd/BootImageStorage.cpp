// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/BootImageStorage.h"

#include "cd/BuildFailure.h"
#include "cd/JobStorage.h"
#include "cd/WidenAnsi.h"
#include "resfile/Catalogue.h"

using namespace win;

namespace {
constexpr const char* kBootStreamName = "bootimg";
constexpr DWORD kReaderMode = STGM_SHARE_EXCLUSIVE | STGM_READ;
constexpr DWORD kReserved = 0;
} // namespace

BootImageStorage BuildBootImageStorage() {
    BootImageStorage boot;
    boot.storage = CreateTemporaryStorage(buildfailure::kCreatingTempBoot);
    const WideText name = WidenAnsi(kBootStreamName);
    StoreEntry(boot.storage.get(), name.c_str(), catalogue::kBootImage);
    if (FAILED(boot.storage->OpenStream(name.c_str(), nullptr, kReaderMode, kReserved,
                                        boot.reader.put())) ||
        !boot.reader)
        throw BuildFailure{buildfailure::kOpeningBootStream};
    return boot;
}

// SPDX-License-Identifier: GPL-2.0-or-later
// StgCreateDocfile: the layer makes temporary compound files only.
#include "platform/Storage.h"
#include "platform/linux/storage/AccessModes.h"
#include "platform/linux/storage/OutOfMemory.h"
#include "platform/linux/storage/TempFile.h"
#include "platform/linux/storage/TempStorage.h"

#include <cerrno>
#include <memory>

namespace win {
namespace {

using namespace platform::layer;

HRESULT StorageErrorFromErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return STG_E_PATHNOTFOUND;
    case EACCES:
    case EPERM:
    case EROFS:
        return STG_E_ACCESSDENIED;
    case ENOSPC:
    case EDQUOT:
        return STG_E_MEDIUMFULL;
    case EMFILE:
    case ENFILE:
        return STG_E_TOOMANYOPENFILES;
    case ENOMEM:
        return STG_E_INSUFFICIENTMEMORY;
    default:
        return STG_E_UNKNOWN;
    }
}

} // namespace

HRESULT StgCreateDocfile(const WCHAR* name, DWORD mode, DWORD reserved, IStorage** storage) {
    if (storage == nullptr)
        return STG_E_INVALIDPOINTER;
    *storage = nullptr;
    if (reserved != 0)
        return STG_E_INVALIDPARAMETER;
    if (name != nullptr)
        return STG_E_INVALIDFUNCTION;
    const HRESULT allowed = CheckDocfileMode(mode);
    if (FAILED(allowed))
        return allowed;
    return ReportOutOfMemory(STG_E_INSUFFICIENTMEMORY, [&] {
        int error = 0;
        ScopedDescriptor file = OpenUnlinkedFile(TempFolder(), &error);
        if (!file)
            return StorageErrorFromErrno(error);
        *storage = MakeComObject<TempStorage>(std::make_shared<StorageFile>(std::move(file)), mode)
                       .detach();
        return S_OK;
    });
}

} // namespace win

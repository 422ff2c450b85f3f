// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/storage/TempStorage.h"

#include "platform/linux/com/Enumerator.h"
#include "platform/linux/storage/ElementStat.h"
#include "platform/linux/storage/OutOfMemory.h"
#include "platform/linux/storage/StorageStream.h"

#include <string>
#include <utility>
#include <vector>

namespace platform::layer {

using namespace win;

namespace {

// The enumerator has no way to report a failure: a name that finds no memory comes as null.
STATSTG DeliverElement(const ElementInfo& element) {
    STATSTG stat{};
    DescribeElement(element.name, STGTY_STREAM, element.size, 0, STATFLAG_DEFAULT, &stat);
    return stat;
}

using ElementEnumerator = Enumerator<IEnumSTATSTG, ElementInfo, STATSTG, DeliverElement>;

} // namespace

TempStorage::TempStorage(std::shared_ptr<StorageFile> file, DWORD mode)
    : file_(std::move(file)), mode_(mode) {
}

TempStorage::~TempStorage() {
    file_->revert();
}

HRESULT TempStorage::CreateStream(const OLECHAR* name, DWORD mode, DWORD reserved1, DWORD reserved2,
                                  IStream** stream) {
    if (stream == nullptr)
        return STG_E_INVALIDPOINTER;
    *stream = nullptr;
    if (reserved1 != 0 || reserved2 != 0)
        return STG_E_INVALIDPARAMETER;
    return openStream(name, mode, StreamOpening::Create, stream);
}

HRESULT TempStorage::OpenStream(const OLECHAR* name, void* reserved1, DWORD mode, DWORD reserved2,
                                IStream** stream) {
    if (stream == nullptr)
        return STG_E_INVALIDPOINTER;
    *stream = nullptr;
    if (reserved1 != nullptr || reserved2 != 0)
        return STG_E_INVALIDPARAMETER;
    return openStream(name, mode, StreamOpening::Open, stream);
}

HRESULT TempStorage::openStream(const OLECHAR* name, DWORD mode, StreamOpening opening,
                                IStream** stream) {
    if (!IsValidElementName(name))
        return STG_E_INVALIDNAME;
    const HRESULT allowed = CheckStreamMode(mode, opening);
    if (FAILED(allowed))
        return allowed;
    return ReportOutOfMemory(STG_E_INSUFFICIENTMEMORY, [&] {
        std::u16string key(name);
        std::shared_ptr<StreamEntry> entry;
        const HRESULT found = opening == StreamOpening::Create
                                  ? file_->createStream(key, (mode & STGM_CREATE) != 0, &entry)
                                  : file_->openStream(key, &entry);
        if (FAILED(found))
            return found;
        try {
            *stream = MakeComObject<StorageStream>(file_, entry, std::move(key), mode).detach();
        } catch (const std::bad_alloc&) {
            file_->closeStream(*entry);
            throw;
        }
        return S_OK;
    });
}

HRESULT TempStorage::CreateStorage(const OLECHAR*, DWORD, DWORD, DWORD, IStorage** storage) {
    if (storage != nullptr)
        *storage = nullptr;
    return STG_E_INVALIDFUNCTION;
}

HRESULT TempStorage::OpenStorage(const OLECHAR*, IStorage*, DWORD, SNB, DWORD, IStorage** storage) {
    if (storage != nullptr)
        *storage = nullptr;
    return STG_E_INVALIDFUNCTION;
}

HRESULT TempStorage::CopyTo(DWORD, const IID*, SNB, IStorage*) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT TempStorage::MoveElementTo(const OLECHAR*, IStorage*, const OLECHAR*, DWORD) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT TempStorage::Commit(DWORD) {
    return S_OK;
}

HRESULT TempStorage::Revert() {
    return S_OK;
}

HRESULT TempStorage::EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3,
                                  IEnumSTATSTG** elements) {
    if (elements == nullptr)
        return STG_E_INVALIDPOINTER;
    *elements = nullptr;
    if (reserved1 != 0 || reserved2 != nullptr || reserved3 != 0)
        return STG_E_INVALIDPARAMETER;
    return ReportOutOfMemory(STG_E_INSUFFICIENTMEMORY, [&] {
        auto listed = std::make_shared<const std::vector<ElementInfo>>(file_->elements());
        *elements = MakeComObject<ElementEnumerator>(std::move(listed)).detach();
        return S_OK;
    });
}

HRESULT TempStorage::DestroyElement(const OLECHAR* name) {
    if (!IsValidElementName(name))
        return STG_E_INVALIDNAME;
    return ReportOutOfMemory(STG_E_INSUFFICIENTMEMORY,
                             [&] { return file_->destroyStream(std::u16string(name)); });
}

HRESULT TempStorage::RenameElement(const OLECHAR*, const OLECHAR*) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT TempStorage::SetElementTimes(const OLECHAR*, const FILETIME*, const FILETIME*,
                                     const FILETIME*) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT TempStorage::SetClass(REFCLSID clsid) {
    clsid_ = clsid;
    return S_OK;
}

HRESULT TempStorage::SetStateBits(DWORD bits, DWORD mask) {
    stateBits_ = (stateBits_ & ~mask) | (bits & mask);
    return S_OK;
}

HRESULT TempStorage::Stat(STATSTG* stat, DWORD flags) {
    if (stat == nullptr)
        return STG_E_INVALIDPOINTER;
    const HRESULT described = DescribeElement(u"", STGTY_STORAGE, 0, mode_, flags, stat);
    if (SUCCEEDED(described)) {
        stat->clsid = clsid_;
        stat->grfStateBits = stateBits_;
    }
    return described;
}

} // namespace platform::layer

// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/DiscMaster.h"

#include "platform/linux/cd/BurnDrive.h"
#include "platform/linux/com/Enumerator.h"

#include <memory>
#include <vector>

namespace platform::layer {

using namespace win;

namespace {

IID DeliverFormat(const IID& format) {
    return format;
}

IDiscRecorder* DeliverRecorder(const ComPtr<IDiscRecorder>& recorder) {
    return recorder.share().detach();
}

using FormatEnumerator = Enumerator<IEnumDiscMasterFormats, IID, IID, DeliverFormat>;
using RecorderEnumerator =
    Enumerator<IEnumDiscRecorders, ComPtr<IDiscRecorder>, IDiscRecorder*, DeliverRecorder>;

} // namespace

HRESULT DiscMaster::Open() {
    if (open_)
        return IMAPI_E_ALREADYOPEN;
    if (!BurnLibraryReady())
        return E_FAIL;
    open_ = true;
    return S_OK;
}

HRESULT DiscMaster::EnumDiscMasterFormats(IEnumDiscMasterFormats** formats) {
    if (formats == nullptr)
        return E_POINTER;
    *formats = nullptr;
    if (!open_)
        return IMAPI_E_NOTOPENED;
    auto offered = std::make_shared<const std::vector<IID>>(1, IID_IJolietDiscMaster);
    *formats = MakeComObject<FormatEnumerator>(std::move(offered)).detach();
    return S_OK;
}

HRESULT DiscMaster::GetActiveDiscMasterFormat(IID*) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::SetActiveDiscMasterFormat(REFIID, void**) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::EnumDiscRecorders(IEnumDiscRecorders** recorders) {
    if (recorders == nullptr)
        return E_POINTER;
    *recorders = nullptr;
    if (!open_)
        return IMAPI_E_NOTOPENED;
    auto found = std::make_shared<std::vector<ComPtr<IDiscRecorder>>>();
    for (RecorderEntry& entry : Recorders())
        found->push_back(MakeComObject<DiscRecorder>(std::move(entry)));
    *recorders = MakeComObject<RecorderEnumerator>(std::move(found)).detach();
    return S_OK;
}

HRESULT DiscMaster::GetActiveDiscRecorder(IDiscRecorder**) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::SetActiveDiscRecorder(IDiscRecorder* recorder) {
    if (!open_)
        return IMAPI_E_NOTOPENED;
    if (recorder == nullptr)
        return E_POINTER;
    auto* own = dynamic_cast<DiscRecorder*>(recorder);
    if (own == nullptr)
        return E_INVALIDARG;
    own->AddRef();
    activeRecorder_ = ComPtr<DiscRecorder>::adopt(own);
    return S_OK;
}

HRESULT DiscMaster::ClearFormatContent() {
    return E_NOTIMPL;
}

HRESULT DiscMaster::ProgressAdvise(IDiscMasterProgressEvents*, UINT_PTR*) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::ProgressUnadvise(UINT_PTR) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::RecordDisc(boolean, boolean) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::Close() {
    if (!open_)
        return IMAPI_E_NOTOPENED;
    activeRecorder_.reset();
    open_ = false;
    return S_OK;
}

HRESULT DiscMaster::GetTotalDataBlocks(LONG*) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::GetUsedDataBlocks(LONG*) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::GetDataBlockSize(LONG*) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::AddData(IStorage*, LONG) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::GetJolietProperties(IPropertyStorage**) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::SetJolietProperties(IPropertyStorage*) {
    return E_NOTIMPL;
}

} // namespace platform::layer

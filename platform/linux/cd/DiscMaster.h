// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The disc master (CLSID_MSDiscMasterObj) over libburn: once opened it offers the Joliet data
// disc format and the recorders of the recorder registry, and keeps the active recorder. It
// answers for IDiscMaster and IJolietDiscMaster. Staging and recording a disc are not built
// yet: those methods report E_NOTIMPL.

#include "platform/linux/cd/DiscRecorder.h"
#include "platform/linux/com/ComObject.h"

namespace platform::layer {

class DiscMaster final : public ComObject<win::IDiscMaster, win::IJolietDiscMaster> {
public:
    DiscMaster() = default;

    // IDiscMaster. The methods built so far, but Open, report IMAPI_E_NOTOPENED on a closed
    // object.

    /// IMAPI_E_ALREADYOPEN when open, E_FAIL when libburn cannot be used.
    win::HRESULT STDMETHODCALLTYPE Open() override;
    /// The formats: the Joliet data disc only. E_POINTER for a null output.
    win::HRESULT STDMETHODCALLTYPE
    EnumDiscMasterFormats(win::IEnumDiscMasterFormats** formats) override;
    win::HRESULT STDMETHODCALLTYPE GetActiveDiscMasterFormat(win::IID* format) override;
    win::HRESULT STDMETHODCALLTYPE SetActiveDiscMasterFormat(win::REFIID format,
                                                             void** formatObject) override;
    /// The recorders of the registry, in its order. E_POINTER for a null output.
    win::HRESULT STDMETHODCALLTYPE EnumDiscRecorders(win::IEnumDiscRecorders** recorders) override;
    win::HRESULT STDMETHODCALLTYPE GetActiveDiscRecorder(win::IDiscRecorder** recorder) override;
    /// Makes one of this service's recorders the active one; E_POINTER for none, E_INVALIDARG
    /// for a recorder from elsewhere.
    win::HRESULT STDMETHODCALLTYPE SetActiveDiscRecorder(win::IDiscRecorder* recorder) override;
    win::HRESULT STDMETHODCALLTYPE ClearFormatContent() override;
    win::HRESULT STDMETHODCALLTYPE ProgressAdvise(win::IDiscMasterProgressEvents* events,
                                                  win::UINT_PTR* cookie) override;
    win::HRESULT STDMETHODCALLTYPE ProgressUnadvise(win::UINT_PTR cookie) override;
    win::HRESULT STDMETHODCALLTYPE RecordDisc(win::boolean simulate,
                                              win::boolean ejectAfterBurn) override;
    /// Gives up the active recorder and closes the object.
    win::HRESULT STDMETHODCALLTYPE Close() override;

    // IJolietDiscMaster
    win::HRESULT STDMETHODCALLTYPE GetTotalDataBlocks(win::LONG* blocks) override;
    win::HRESULT STDMETHODCALLTYPE GetUsedDataBlocks(win::LONG* blocks) override;
    win::HRESULT STDMETHODCALLTYPE GetDataBlockSize(win::LONG* blockBytes) override;
    win::HRESULT STDMETHODCALLTYPE AddData(win::IStorage* storage,
                                           win::LONG fileOverwrite) override;
    win::HRESULT STDMETHODCALLTYPE GetJolietProperties(win::IPropertyStorage** properties) override;
    win::HRESULT STDMETHODCALLTYPE SetJolietProperties(win::IPropertyStorage* properties) override;

private:
    bool open_ = false;
    ComPtr<DiscRecorder> activeRecorder_;
};

} // namespace platform::layer

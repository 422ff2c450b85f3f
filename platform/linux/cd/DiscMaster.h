// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The disc master (CLSID_MSDiscMasterObj) over libisofs and libburn: once opened it offers the
// Joliet data disc format and the recorders of the recorder registry, keeps the active
// recorder, stages files from storages with the El Torito boot settings, and records the disc.
// It answers for IDiscMaster and IJolietDiscMaster. The methods the system does not call report
// E_NOTIMPL.

#include "platform/Storage.h"
#include "platform/linux/cd/BootProperties.h"
#include "platform/linux/cd/DiscRecorder.h"
#include "platform/linux/cd/StagedFiles.h"
#include "platform/linux/com/ComObject.h"

namespace platform::layer {

class DiscMaster final : public ComObject<win::IDiscMaster, win::IJolietDiscMaster> {
public:
    DiscMaster() = default;

    // IDiscMaster and IJolietDiscMaster. The methods built, but Open, report IMAPI_E_NOTOPENED
    // on a closed object.

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
    /// Records the staged files, and the boot record when the Joliet properties switch it on,
    /// onto the active recorder; returns when the recorder is done (see RecordImage). With
    /// simulate, libburn's simulation runs instead. S_OK only for a disc that is there and good.
    /// IMAPI_E_NOACTIVERECORDER; E_INVALIDARG and IMAPI_E_INVALIDIMAGE for boot settings other
    /// than a 1.44 MB floppy of exactly 1,474,560 bytes for 80x86 (see BootFloppyBytes), before
    /// anything is recorded; IMAPI_E_FILEACCESS (a staged stream is gone or open);
    /// IMAPI_E_FILESYSTEM; and the failures of RecordImage.
    win::HRESULT STDMETHODCALLTYPE RecordDisc(win::boolean simulate,
                                              win::boolean ejectAfterBurn) override;
    /// Gives up the active recorder, the staged files and the boot settings, and closes the
    /// object.
    win::HRESULT STDMETHODCALLTYPE Close() override;

    // IJolietDiscMaster
    win::HRESULT STDMETHODCALLTYPE GetTotalDataBlocks(win::LONG* blocks) override;
    win::HRESULT STDMETHODCALLTYPE GetUsedDataBlocks(win::LONG* blocks) override;
    win::HRESULT STDMETHODCALLTYPE GetDataBlockSize(win::LONG* blockBytes) override;
    /// Stages the storage's streams as the disc's files, keeping a reference to the storage; a
    /// non-zero fileOverwrite lets them replace staged files of the same names. Nothing is
    /// staged on failure; the failures of StagedFiles::add.
    win::HRESULT STDMETHODCALLTYPE AddData(win::IStorage* storage,
                                           win::LONG fileOverwrite) override;
    /// A new property set with the boot settings (BootProperties.h). Until a boot image is
    /// set, property 8 is an empty stream of a temporary storage of the disc master's own, to
    /// copy the image into. E_POINTER; a failure to make the storage or the set.
    win::HRESULT STDMETHODCALLTYPE GetJolietProperties(win::IPropertyStorage** properties) override;
    /// Takes the boot settings over from the set (see ReadBootProperties): S_OK, or
    /// IMAPI_S_PROPERTIESIGNORED; E_POINTER, E_INVALIDARG.
    win::HRESULT STDMETHODCALLTYPE SetJolietProperties(win::IPropertyStorage* properties) override;

private:
    // Gives the boot settings an empty image stream of the disc master's own storage.
    win::HRESULT makeBootImageStream();

    bool open_ = false;
    ComPtr<DiscRecorder> activeRecorder_;
    StagedFiles staged_;
    BootSettings boot_;
    ComPtr<win::IStorage> bootStorage_;
};

} // namespace platform::layer

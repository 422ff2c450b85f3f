// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The root storage of a temporary compound file: a flat directory of streams in an unlinked
// file. Its last Release closes the file and reverts the streams still open. Sub-storages and
// the operations that move elements are not offered (STG_E_INVALIDFUNCTION).

#include "platform/linux/com/ComObject.h"
#include "platform/linux/storage/AccessModes.h"
#include "platform/linux/storage/StorageFile.h"
#include "platform/linux/storage/StorageIds.h"

#include <memory>

namespace platform::layer {

class TempStorage final : public ComObject<win::IStorage> {
public:
    TempStorage(std::shared_ptr<StorageFile> file, win::DWORD mode);
    ~TempStorage() override;

    /// Makes an empty stream, open in mode (see CheckStreamMode); with STGM_CREATE it replaces
    /// one of that name. Names as IsValidElementName, compared as ElementNameLess.
    /// STG_E_INVALIDPOINTER, STG_E_INVALIDPARAMETER (reserved not 0), STG_E_INVALIDNAME,
    /// STG_E_INVALIDFLAG, STG_E_INVALIDFUNCTION, STG_E_FILEALREADYEXISTS (without STGM_CREATE),
    /// STG_E_ACCESSDENIED (that stream is open), STG_E_INSUFFICIENTMEMORY.
    win::HRESULT STDMETHODCALLTYPE CreateStream(const win::OLECHAR* name, win::DWORD mode,
                                                win::DWORD reserved1, win::DWORD reserved2,
                                                win::IStream** stream) override;
    /// Opens a stream in mode, its seek pointer at the start. As CreateStream, with
    /// STG_E_FILENOTFOUND, and STG_E_ACCESSDENIED when it is open already.
    win::HRESULT STDMETHODCALLTYPE OpenStream(const win::OLECHAR* name, void* reserved1,
                                              win::DWORD mode, win::DWORD reserved2,
                                              win::IStream** stream) override;
    win::HRESULT STDMETHODCALLTYPE CreateStorage(const win::OLECHAR* name, win::DWORD mode,
                                                 win::DWORD reserved1, win::DWORD reserved2,
                                                 win::IStorage** storage) override;
    win::HRESULT STDMETHODCALLTYPE OpenStorage(const win::OLECHAR* name, win::IStorage* priority,
                                               win::DWORD mode, win::SNB exclude,
                                               win::DWORD reserved,
                                               win::IStorage** storage) override;
    win::HRESULT STDMETHODCALLTYPE CopyTo(win::DWORD excludedCount, const win::IID* excludedIids,
                                          win::SNB excludedNames, win::IStorage* target) override;
    win::HRESULT STDMETHODCALLTYPE MoveElementTo(const win::OLECHAR* name, win::IStorage* target,
                                                 const win::OLECHAR* newName,
                                                 win::DWORD flags) override;
    /// Direct mode: nothing to commit or revert.
    win::HRESULT STDMETHODCALLTYPE Commit(win::DWORD flags) override;
    win::HRESULT STDMETHODCALLTYPE Revert() override;
    /// A snapshot of the streams in directory order; each STATSTG has the name, STGTY_STREAM
    /// and the size. STG_E_INVALIDPOINTER, STG_E_INVALIDPARAMETER (reserved not 0),
    /// STG_E_INSUFFICIENTMEMORY.
    win::HRESULT STDMETHODCALLTYPE EnumElements(win::DWORD reserved1, void* reserved2,
                                                win::DWORD reserved3,
                                                win::IEnumSTATSTG** elements) override;
    /// Removes a stream. STG_E_INVALIDNAME, STG_E_FILENOTFOUND, STG_E_ACCESSDENIED (it is open).
    win::HRESULT STDMETHODCALLTYPE DestroyElement(const win::OLECHAR* name) override;
    win::HRESULT STDMETHODCALLTYPE RenameElement(const win::OLECHAR* oldName,
                                                 const win::OLECHAR* newName) override;
    win::HRESULT STDMETHODCALLTYPE SetElementTimes(const win::OLECHAR* name,
                                                   const win::FILETIME* created,
                                                   const win::FILETIME* accessed,
                                                   const win::FILETIME* modified) override;
    win::HRESULT STDMETHODCALLTYPE SetClass(win::REFCLSID clsid) override;
    win::HRESULT STDMETHODCALLTYPE SetStateBits(win::DWORD bits, win::DWORD mask) override;
    /// STGTY_STORAGE with the creation mode, class and state bits; the name (unless
    /// STATFLAG_NONAME) is empty, since the file has none.
    win::HRESULT STDMETHODCALLTYPE Stat(win::STATSTG* stat, win::DWORD flags) override;

private:
    win::HRESULT openStream(const win::OLECHAR* name, win::DWORD mode, StreamOpening opening,
                            win::IStream** stream);

    std::shared_ptr<StorageFile> file_;
    win::DWORD mode_;
    win::CLSID clsid_{};
    win::DWORD stateBits_ = 0;
};

} // namespace platform::layer

// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One recorder of the disc master: what the recorder registry found, as an IDiscRecorder.

#include "platform/linux/cd/RecorderRegistry.h"
#include "platform/linux/com/ComObject.h"

namespace platform::layer {

class DiscRecorder final : public ComObject<win::IDiscRecorder> {
public:
    explicit DiscRecorder(RecorderEntry entry) : entry_(std::move(entry)) {}

    /// The recorder's device path and libburn address.
    const RecorderEntry& entry() const { return entry_; }

    win::HRESULT STDMETHODCALLTYPE Init(win::BYTE* uniqueId, win::ULONG idSize,
                                        win::ULONG driveNumber) override;
    win::HRESULT STDMETHODCALLTYPE GetRecorderGUID(win::BYTE* uniqueId, win::ULONG bufferSize,
                                                   win::ULONG* sizeRequired) override;
    win::HRESULT STDMETHODCALLTYPE GetRecorderType(win::LONG* typeCode) override;
    win::HRESULT STDMETHODCALLTYPE GetDisplayNames(win::BSTR* vendor, win::BSTR* product,
                                                   win::BSTR* revision) override;
    win::HRESULT STDMETHODCALLTYPE GetBasePnPID(win::BSTR* basePnpId) override;
    /// *path = the device path as a new system string; E_POINTER for a null path,
    /// E_OUTOFMEMORY.
    win::HRESULT STDMETHODCALLTYPE GetPath(win::BSTR* path) override;
    win::HRESULT STDMETHODCALLTYPE
    GetRecorderProperties(win::IPropertyStorage** properties) override;
    win::HRESULT STDMETHODCALLTYPE
    SetRecorderProperties(win::IPropertyStorage* properties) override;
    win::HRESULT STDMETHODCALLTYPE GetRecorderState(win::ULONG* stateFlags) override;
    win::HRESULT STDMETHODCALLTYPE OpenExclusive() override;
    win::HRESULT STDMETHODCALLTYPE QueryMediaType(win::LONG* mediaType,
                                                  win::LONG* mediaFlags) override;
    win::HRESULT STDMETHODCALLTYPE QueryMediaInfo(win::BYTE* sessions, win::BYTE* lastTrack,
                                                  win::ULONG* startAddress,
                                                  win::ULONG* nextWritable,
                                                  win::ULONG* freeBlocks) override;
    win::HRESULT STDMETHODCALLTYPE Eject() override;
    win::HRESULT STDMETHODCALLTYPE Erase(win::boolean fullErase) override;
    /// S_OK: the recorder is held exclusively only while a disc is recorded.
    win::HRESULT STDMETHODCALLTYPE Close() override;

private:
    RecorderEntry entry_;
};

} // namespace platform::layer

// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/DiscRecorder.h"

#include <string>

namespace platform::layer {

using namespace win;

HRESULT DiscRecorder::Init(BYTE*, ULONG, ULONG) {
    return E_NOTIMPL;
}

HRESULT DiscRecorder::GetRecorderGUID(BYTE*, ULONG, ULONG*) {
    return E_NOTIMPL;
}

HRESULT DiscRecorder::GetRecorderType(LONG*) {
    return E_NOTIMPL;
}

HRESULT DiscRecorder::GetDisplayNames(BSTR*, BSTR*, BSTR*) {
    return E_NOTIMPL;
}

HRESULT DiscRecorder::GetBasePnPID(BSTR*) {
    return E_NOTIMPL;
}

HRESULT DiscRecorder::GetPath(BSTR* path) {
    if (path == nullptr)
        return E_POINTER;
    // Device paths are ASCII, so each byte is one unit.
    const std::u16string wide(entry_.devicePath.begin(), entry_.devicePath.end());
    *path = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *path != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT DiscRecorder::GetRecorderProperties(IPropertyStorage**) {
    return E_NOTIMPL;
}

HRESULT DiscRecorder::SetRecorderProperties(IPropertyStorage*) {
    return E_NOTIMPL;
}

HRESULT DiscRecorder::GetRecorderState(ULONG*) {
    return E_NOTIMPL;
}

HRESULT DiscRecorder::OpenExclusive() {
    return E_NOTIMPL;
}

HRESULT DiscRecorder::QueryMediaType(LONG*, LONG*) {
    return E_NOTIMPL;
}

HRESULT DiscRecorder::QueryMediaInfo(BYTE*, BYTE*, ULONG*, ULONG*, ULONG*) {
    return E_NOTIMPL;
}

HRESULT DiscRecorder::Eject() {
    return E_NOTIMPL;
}

HRESULT DiscRecorder::Erase(boolean) {
    return E_NOTIMPL;
}

HRESULT DiscRecorder::Close() {
    return S_OK;
}

} // namespace platform::layer

// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/CdBurn.h"

#include "platform/linux/cd/RecorderRegistry.h"

namespace platform::layer {

using namespace win;

HRESULT CdBurn::GetRecorderDriveLetter(LPWSTR, UINT) {
    return E_NOTIMPL;
}

HRESULT CdBurn::Burn(HWND) {
    return E_NOTIMPL;
}

HRESULT CdBurn::HasRecordableDrive(BOOL* hasRecorder) {
    if (hasRecorder == nullptr)
        return E_POINTER;
    *hasRecorder = Recorders().empty() ? FALSE : TRUE;
    return S_OK;
}

} // namespace platform::layer

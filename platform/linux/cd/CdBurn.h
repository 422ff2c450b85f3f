// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The shell's CD burning service (CLSID_CDBurn): it tells whether the system has a recorder.
// Burning through the shell is not offered.

#include "platform/linux/com/ComObject.h"

namespace platform::layer {

class CdBurn final : public ComObject<win::ICDBurn> {
public:
    CdBurn() = default;

    win::HRESULT STDMETHODCALLTYPE GetRecorderDriveLetter(win::LPWSTR drive,
                                                          win::UINT size) override;
    win::HRESULT STDMETHODCALLTYPE Burn(win::HWND window) override;
    /// *hasRecorder = TRUE when the recorder registry has a recorder: an optical drive that
    /// writes CD-R or CD-RW, or a file recorder. E_POINTER for a null output.
    win::HRESULT STDMETHODCALLTYPE HasRecordableDrive(win::BOOL* hasRecorder) override;
};

} // namespace platform::layer

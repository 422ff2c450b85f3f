// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Message boxes: MessageBoxA with the styles and answers the system uses.

#include "platform/Gdi.h"
#include "platform/Types.h"

#if defined(_WIN32)
namespace win {
using ::MessageBoxA;
} // namespace win
#else
namespace win {
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_TYPEMASK = 0xF;
inline constexpr UINT MB_ICONMASK = 0xF0;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

/// Shows a box and waits for the answer on the calling thread. owner null: no owner window, and
/// only the calling thread waits. Texts are 8-bit text of the ANSI code page. The answer comes
/// from the presenter in force (see MessageBoxPresenter.h); without one the box is written to
/// standard error and answered as if dismissed: IDOK for an OK box, IDCANCEL for a question, so
/// that nothing is started that nobody confirmed.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
} // namespace win
#endif

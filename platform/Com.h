// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// COM as the system uses it: identifiers, result codes, IUnknown, apartments, object creation,
// system strings, and the conversions between UTF-16 text and the ANSI code page. On Windows these
// are the real API. Result codes, SUCCEEDED/FAILED, REFIID/REFCLSID, STDMETHODCALLTYPE and the
// CLSCTX values are macros or global names there, so code writes them unqualified.

#include "platform/Types.h"

#if defined(_WIN32)
#include <objbase.h>
#include <oleauto.h>

namespace win {
using ::boolean;
using ::BSTR;
using ::CLSID;
using ::CoCreateInstance;
using ::CoInitialize;
using ::CoUninitialize;
using ::GUID;
using ::IID;
using ::IID_IUnknown;
using ::IUnknown;
using ::LPCWSTR;
using ::LPWSTR;
using ::MultiByteToWideChar;
using ::OLECHAR;
using ::SysAllocString;
using ::SysAllocStringLen;
using ::SysFreeString;
using ::SysStringLen;
using ::UINT_PTR;
using ::WCHAR;
using ::WideCharToMultiByte;
} // namespace win
#else
#include <cstdint>

// Calling conventions exist only on 32-bit Windows.
#define STDMETHODCALLTYPE

namespace win {

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend constexpr bool operator==(const GUID&, const GUID&) = default;
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

using boolean = unsigned char;
using UINT_PTR = std::uintptr_t;
using WCHAR = char16_t;
using OLECHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
inline constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);

inline constexpr bool SUCCEEDED(HRESULT result) {
    return result >= 0;
}
inline constexpr bool FAILED(HRESULT result) {
    return result < 0;
}

inline constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

/// The base of every interface. The layout is the COM one: the three methods come first in the
/// table of every interface. Objects are destroyed by their last Release, never by delete.
struct IUnknown {
    /// Stores an added reference to the interface iid names, or null with E_NOINTERFACE;
    /// E_POINTER for a null object.
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IUnknown() = default;
};

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;

/// Enters the calling thread into COM. Counted per thread: S_OK for the first call, S_FALSE for
/// each further one; E_INVALIDARG when reserved is not null. Balance every successful call with
/// CoUninitialize.
HRESULT CoInitialize(LPVOID reserved);
/// Undoes one CoInitialize of the calling thread; does nothing on a thread without one.
void CoUninitialize();

/// Creates an object of the class and stores an added reference to its interface iid in
/// *object (null on failure). The Linux layer knows the shell CD burning class and the disc
/// master; tests put their own over them (platform/linux/com/ClassRegistry.h). Failures:
/// E_POINTER (object null), CO_E_NOTINITIALIZED (thread not in COM), CLASS_E_NOAGGREGATION
/// (outer not null), REGDB_E_CLASSNOTREG (unknown class, or a context without in-process or
/// local server), E_NOINTERFACE, or what the class reports.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         LPVOID* object);

/// A system string: UTF-16 text with its length in front and a terminating 0. A null BSTR is
/// the empty string. Allocated by the Sys* functions; whoever receives one frees it with
/// SysFreeString.
using BSTR = OLECHAR*;

/// Copies the 0-terminated text into a new system string; null for null text or no memory.
BSTR SysAllocString(const OLECHAR* text);
/// A new system string of length units, copied from text (zeroed when text is null); null when
/// there is no memory.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
/// Frees a system string; null is allowed.
void SysFreeString(BSTR text);
/// The length in units, without the terminating 0; 0 for null.
UINT SysStringLen(BSTR text);

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_THREAD_ACP = 3;
inline constexpr DWORD ERROR_INVALID_FLAGS = 1004;

/// Converts UTF-16 text to the layer's ANSI code page (CP_ACP and CP_THREAD_ACP are the same
/// on Linux): Windows-1252 unless the environment variable BOOTMEDIA_CODEPAGE names another
/// (a number such as 1251, or an iconv name). wideCount -1 converts up to and including the
/// terminating 0. multiSize 0 asks for the size only. A character the code page lacks becomes
/// *defaultChar ('?' without one) and sets *usedDefault. Returns the bytes written (or needed);
/// 0 on failure with the last error: ERROR_INVALID_PARAMETER (other code page, null or empty
/// input), ERROR_INVALID_FLAGS (flags other than 0), ERROR_INSUFFICIENT_BUFFER.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount, LPSTR multi,
                        int multiSize, LPCSTR defaultChar, BOOL* usedDefault);

/// Converts 8-bit text of the layer's ANSI code page (as WideCharToMultiByte names it) to
/// UTF-16. multiCount -1 converts up to and including the terminating 0. wideSize 0 asks for the
/// size only. A byte the code page does not define becomes U+FFFD. Returns the units written (or
/// needed); 0 on failure with the last error: ERROR_INVALID_PARAMETER (other code page, null or
/// empty input), ERROR_INVALID_FLAGS (flags other than 0), ERROR_INSUFFICIENT_BUFFER.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multi, int multiCount, LPWSTR wide,
                        int wideSize);

} // namespace win
#endif

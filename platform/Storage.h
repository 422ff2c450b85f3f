// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Structured storage as the CD build job uses it: temporary compound files, their streams, and
// property sets with their values. On Windows these are the real API; the interfaces keep the
// method order of the published ones. Result codes, STGM_ modes, PRSPEC_ kinds and VT_ types are
// macros or global names there, so code writes them unqualified.

#include "platform/Com.h"
#include "platform/Devices.h" // LARGE_INTEGER
#include "platform/Types.h"

#if defined(_WIN32)
#include <objbase.h>
#include <objidl.h>
#include <propidl.h>

namespace win {
using ::CoTaskMemAlloc;
using ::CoTaskMemFree;
using ::FILETIME;
using ::FMTID;
using ::IEnumSTATPROPSTG;
using ::IEnumSTATSTG;
using ::IID_IEnumSTATPROPSTG;
using ::IID_IEnumSTATSTG;
using ::IID_IPropertyStorage;
using ::IID_ISequentialStream;
using ::IID_IStorage;
using ::IID_IStream;
using ::IPropertyStorage;
using ::ISequentialStream;
using ::IStorage;
using ::IStream;
using ::LPOLESTR;
using ::PROPID;
using ::PROPSPEC;
using ::PROPVARIANT;
using ::PropVariantClear;
using ::PropVariantCopy;
using ::PropVariantInit;
using ::SIZE_T;
using ::SNB;
using ::STATPROPSETSTG;
using ::STATPROPSTG;
using ::STATSTG;
using ::StgCreateDocfile;
using ::VARIANT_BOOL;
using ::VARTYPE;
} // namespace win
#else
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace win {

using SIZE_T = std::size_t;
using LPOLESTR = OLECHAR*;
/// A null-terminated list of element names.
using SNB = OLECHAR**;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using PROPID = ULONG;
using FMTID = GUID;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

// Access, sharing and creation modes of storages and streams.
inline constexpr DWORD STGM_READ = 0x0;
inline constexpr DWORD STGM_WRITE = 0x1;
inline constexpr DWORD STGM_READWRITE = 0x2;
inline constexpr DWORD STGM_SHARE_EXCLUSIVE = 0x10;
inline constexpr DWORD STGM_SHARE_DENY_WRITE = 0x20;
inline constexpr DWORD STGM_SHARE_DENY_READ = 0x30;
inline constexpr DWORD STGM_SHARE_DENY_NONE = 0x40;
inline constexpr DWORD STGM_FAILIFTHERE = 0x0;
inline constexpr DWORD STGM_CREATE = 0x1000;
inline constexpr DWORD STGM_DIRECT = 0x0;
inline constexpr DWORD STGM_TRANSACTED = 0x10000;
inline constexpr DWORD STGM_CONVERT = 0x20000;
inline constexpr DWORD STGM_PRIORITY = 0x40000;
inline constexpr DWORD STGM_NOSCRATCH = 0x100000;
inline constexpr DWORD STGM_NOSNAPSHOT = 0x200000;
inline constexpr DWORD STGM_DIRECT_SWMR = 0x400000;
inline constexpr DWORD STGM_DELETEONRELEASE = 0x4000000;
inline constexpr DWORD STGM_SIMPLE = 0x8000000;

inline constexpr DWORD STGC_DEFAULT = 0;

enum STGTY : DWORD { STGTY_STORAGE = 1, STGTY_STREAM = 2, STGTY_LOCKBYTES = 3, STGTY_PROPERTY = 4 };
enum STREAM_SEEK : DWORD { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 };
enum STATFLAG : DWORD { STATFLAG_DEFAULT = 0, STATFLAG_NONAME = 1, STATFLAG_NOOPEN = 2 };

inline constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001u);
inline constexpr HRESULT STG_E_FILENOTFOUND = static_cast<HRESULT>(0x80030002u);
inline constexpr HRESULT STG_E_PATHNOTFOUND = static_cast<HRESULT>(0x80030003u);
inline constexpr HRESULT STG_E_TOOMANYOPENFILES = static_cast<HRESULT>(0x80030004u);
inline constexpr HRESULT STG_E_ACCESSDENIED = static_cast<HRESULT>(0x80030005u);
inline constexpr HRESULT STG_E_INSUFFICIENTMEMORY = static_cast<HRESULT>(0x80030008u);
inline constexpr HRESULT STG_E_INVALIDPOINTER = static_cast<HRESULT>(0x80030009u);
inline constexpr HRESULT STG_E_WRITEFAULT = static_cast<HRESULT>(0x8003001Du);
inline constexpr HRESULT STG_E_READFAULT = static_cast<HRESULT>(0x8003001Eu);
inline constexpr HRESULT STG_E_FILEALREADYEXISTS = static_cast<HRESULT>(0x80030050u);
inline constexpr HRESULT STG_E_INVALIDPARAMETER = static_cast<HRESULT>(0x80030057u);
inline constexpr HRESULT STG_E_MEDIUMFULL = static_cast<HRESULT>(0x80030070u);
inline constexpr HRESULT STG_E_INVALIDNAME = static_cast<HRESULT>(0x800300FCu);
inline constexpr HRESULT STG_E_UNKNOWN = static_cast<HRESULT>(0x800300FDu);
inline constexpr HRESULT STG_E_INVALIDFLAG = static_cast<HRESULT>(0x800300FFu);
inline constexpr HRESULT STG_E_REVERTED = static_cast<HRESULT>(0x80030102u);

inline constexpr IID IID_ISequentialStream = {
    0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
inline constexpr IID IID_IStorage = {
    0x0000000B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IStream = {
    0x0000000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IEnumSTATSTG = {
    0x0000000D, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPropertyStorage = {
    0x00000138, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IEnumSTATPROPSTG = {
    0x00000139, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

/// What Stat and the element enumerator tell about a storage or a stream. pwcsName comes from
/// CoTaskMemAlloc (null with STATFLAG_NONAME); the receiver frees it with CoTaskMemFree.
struct STATSTG {
    LPOLESTR pwcsName;
    DWORD type;
    ULARGE_INTEGER cbSize;
    FILETIME mtime;
    FILETIME ctime;
    FILETIME atime;
    DWORD grfMode;
    DWORD grfLocksSupported;
    CLSID clsid;
    DWORD grfStateBits;
    DWORD reserved;
};

/// Sequential reading and writing. A count pointer may be null when the caller does not want it.
struct ISequentialStream : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) = 0;
    virtual HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG size, ULONG* written) = 0;

protected:
    ~ISequentialStream() = default;
};

/// A stream of bytes with a seek pointer.
struct IStream : public ISequentialStream {
    virtual HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                           ULARGE_INTEGER* newPosition) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER newSize) = 0;
    /// Copies up to size bytes from this stream's seek pointer into target at its own.
    virtual HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER size,
                                             ULARGE_INTEGER* read, ULARGE_INTEGER* written) = 0;
    virtual HRESULT STDMETHODCALLTYPE Commit(DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Revert() = 0;
    virtual HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size,
                                                 DWORD lockType) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size,
                                                   DWORD lockType) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IStream** copy) = 0;

protected:
    ~IStream() = default;
};

/// The elements of a storage, one STATSTG each.
struct IEnumSTATSTG : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Next(ULONG count, STATSTG* elements, ULONG* fetched) = 0;
    virtual HRESULT STDMETHODCALLTYPE Skip(ULONG count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IEnumSTATSTG** copy) = 0;

protected:
    ~IEnumSTATSTG() = default;
};

/// A compound file or one of its folders: named streams and storages.
struct IStorage : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateStream(const OLECHAR* name, DWORD mode, DWORD reserved1,
                                                   DWORD reserved2, IStream** stream) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenStream(const OLECHAR* name, void* reserved1, DWORD mode,
                                                 DWORD reserved2, IStream** stream) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateStorage(const OLECHAR* name, DWORD mode,
                                                    DWORD reserved1, DWORD reserved2,
                                                    IStorage** storage) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenStorage(const OLECHAR* name, IStorage* priority,
                                                  DWORD mode, SNB exclude, DWORD reserved,
                                                  IStorage** storage) = 0;
    virtual HRESULT STDMETHODCALLTYPE CopyTo(DWORD excludedCount, const IID* excludedIids,
                                             SNB excludedNames, IStorage* target) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveElementTo(const OLECHAR* name, IStorage* target,
                                                    const OLECHAR* newName, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Commit(DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Revert() = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumElements(DWORD reserved1, void* reserved2,
                                                   DWORD reserved3, IEnumSTATSTG** elements) = 0;
    virtual HRESULT STDMETHODCALLTYPE DestroyElement(const OLECHAR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE RenameElement(const OLECHAR* oldName,
                                                    const OLECHAR* newName) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetElementTimes(const OLECHAR* name, const FILETIME* created,
                                                      const FILETIME* accessed,
                                                      const FILETIME* modified) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetClass(REFCLSID clsid) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetStateBits(DWORD bits, DWORD mask) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) = 0;

protected:
    ~IStorage() = default;
};

// The value types of a property.
enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_LPSTR = 30,
    VT_LPWSTR = 31,
    VT_FILETIME = 64,
    VT_STREAM = 66,
    VT_STORAGE = 67,
    VT_CLSID = 72,
    VT_BYREF = 0x4000,
};

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

/// A property value: its type in vt and the value in the member the type names. Strings
/// (pszVal, pwszVal and puuid from CoTaskMemAlloc, bstrVal from SysAllocString) and
/// interfaces (an added reference) belong to the value; PropVariantClear frees them. 16 bytes
/// on both platforms, the value at byte 8.
struct PROPVARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        char cVal;
        unsigned char bVal;
        std::int16_t iVal;
        std::uint16_t uiVal;
        LONG lVal;
        ULONG ulVal;
        int intVal;
        UINT uintVal;
        LARGE_INTEGER hVal;
        ULARGE_INTEGER uhVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        LONG scode;
        FILETIME filetime;
        CLSID* puuid;
        BSTR bstrVal;
        LPSTR pszVal;
        LPWSTR pwszVal;
        IUnknown* punkVal;
        IStream* pStream;
        IStorage* pStorage;
    };
};
static_assert(sizeof(PROPVARIANT) == 16 && offsetof(PROPVARIANT, bVal) == 8);

// Kinds of property specifier.
inline constexpr ULONG PRSPEC_LPWSTR = 0;
inline constexpr ULONG PRSPEC_PROPID = 1;

// Property ids 0 (the name dictionary) and 1 (the code page) are reserved.
inline constexpr PROPID PID_FIRST_USABLE = 2;
inline constexpr DWORD PROPSETFLAG_DEFAULT = 0;

/// Names a property by id or by name, as ulKind says.
struct PROPSPEC {
    ULONG ulKind;
    union {
        PROPID propid;
        LPOLESTR lpwstr;
    };
};

/// What the property enumerator tells about one property. lpwstrName comes from
/// CoTaskMemAlloc (null for a property without a name); the receiver frees it.
struct STATPROPSTG {
    LPOLESTR lpwstrName;
    PROPID propid;
    VARTYPE vt;
};

struct STATPROPSETSTG {
    FMTID fmtid;
    CLSID clsid;
    DWORD grfFlags;
    FILETIME mtime;
    FILETIME ctime;
    FILETIME atime;
    DWORD dwOSVersion;
};

/// The properties of a set, one STATPROPSTG each.
struct IEnumSTATPROPSTG : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Next(ULONG count, STATPROPSTG* properties,
                                           ULONG* fetched) = 0;
    virtual HRESULT STDMETHODCALLTYPE Skip(ULONG count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IEnumSTATPROPSTG** copy) = 0;

protected:
    ~IEnumSTATPROPSTG() = default;
};

/// A property set: values by id, and names for ids.
struct IPropertyStorage : public IUnknown {
    /// Stores a copy of each named value in values (VT_EMPTY for one the set lacks; the caller
    /// clears them with PropVariantClear). S_FALSE when none of them exists.
    virtual HRESULT STDMETHODCALLTYPE ReadMultiple(ULONG count, const PROPSPEC* specifiers,
                                                   PROPVARIANT* values) = 0;
    /// Stores copies of the values; a property named by a new name gets an id from
    /// firstNameId on.
    virtual HRESULT STDMETHODCALLTYPE WriteMultiple(ULONG count, const PROPSPEC* specifiers,
                                                    const PROPVARIANT* values,
                                                    PROPID firstNameId) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeleteMultiple(ULONG count, const PROPSPEC* specifiers) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReadPropertyNames(ULONG count, const PROPID* ids,
                                                        LPOLESTR* names) = 0;
    virtual HRESULT STDMETHODCALLTYPE WritePropertyNames(ULONG count, const PROPID* ids,
                                                         const LPOLESTR* names) = 0;
    virtual HRESULT STDMETHODCALLTYPE DeletePropertyNames(ULONG count, const PROPID* ids) = 0;
    virtual HRESULT STDMETHODCALLTYPE Commit(DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Revert() = 0;
    virtual HRESULT STDMETHODCALLTYPE Enum(IEnumSTATPROPSTG** properties) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetTimes(const FILETIME* created, const FILETIME* accessed,
                                               const FILETIME* modified) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetClass(REFCLSID clsid) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stat(STATPROPSETSTG* stat) = 0;

protected:
    ~IPropertyStorage() = default;
};

/// Creates a compound file and stores a reference to its root storage in *storage (null on
/// failure). The Linux layer makes only temporary ones: name null, mode STGM_READWRITE |
/// STGM_SHARE_EXCLUSIVE, optionally with STGM_CREATE and STGM_DELETEONRELEASE. Such a storage
/// lives in an unlinked file of $TMPDIR (else /tmp) and ends with its last reference: its open
/// streams then report STG_E_REVERTED. Failures: STG_E_INVALIDPOINTER (storage null),
/// STG_E_INVALIDPARAMETER (reserved not 0), STG_E_INVALIDFUNCTION (a name),
/// STG_E_INVALIDFLAG (any other mode), or what creating the file met: STG_E_PATHNOTFOUND,
/// STG_E_ACCESSDENIED, STG_E_MEDIUMFULL, STG_E_TOOMANYOPENFILES, STG_E_INSUFFICIENTMEMORY,
/// STG_E_UNKNOWN.
HRESULT StgCreateDocfile(const WCHAR* name, DWORD mode, DWORD reserved, IStorage** storage);

/// Memory that crosses the seam: what one side allocates the other frees. CoTaskMemAlloc
/// returns null when there is no memory; CoTaskMemFree accepts null.
LPVOID CoTaskMemAlloc(SIZE_T size);
void CoTaskMemFree(LPVOID memory);

/// An empty value (VT_EMPTY).
inline void PropVariantInit(PROPVARIANT* value) {
    std::memset(value, 0, sizeof(PROPVARIANT));
}
/// Frees what the value owns (strings, an interface reference) and leaves it VT_EMPTY; S_OK
/// for null. STG_E_INVALIDPARAMETER, the value untouched, for a type this layer does not know.
HRESULT PropVariantClear(PROPVARIANT* value);
/// Makes *copy an independent copy of *value: strings are duplicated, an interface gets an
/// added reference. *copy is not cleared first. On failure it is left VT_EMPTY:
/// STG_E_INVALIDPARAMETER (an unknown type), E_OUTOFMEMORY.
HRESULT PropVariantCopy(PROPVARIANT* copy, const PROPVARIANT* value);

} // namespace win
#endif

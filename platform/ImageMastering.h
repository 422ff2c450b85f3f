// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The shell's CD burning service and the first version of the image mastering service. The
// image mastering interfaces are declared here once for both targets (the mingw-w64 headers
// lack them), so their method order has one source: it is the order of the published
// interfaces, which the table layout of the real service depends on. On Windows ICDBurn and
// CLSID_CDBurn are the shell's own.

#include "platform/Com.h"
#include "platform/Gdi.h"
#include "platform/Types.h"

#if defined(_WIN32)
#include <propidl.h>
#include <shobjidl.h>

namespace win {
using ::CLSID_CDBurn;
using ::ICDBurn;
using ::IID_ICDBurn;
using ::IPropertyStorage;
using ::IStorage;
} // namespace win
#else
namespace win {

// Structured storage comes with the CD build job.
struct IStorage;
struct IPropertyStorage;

inline constexpr CLSID CLSID_CDBurn = {
    0xFBEB8A05, 0xBEEE, 0x4442, {0x80, 0x4E, 0x40, 0x9D, 0x6C, 0x45, 0x15, 0xE9}};
inline constexpr IID IID_ICDBurn = {
    0x3D73A659, 0xE5D0, 0x4D42, {0xAF, 0xC0, 0x51, 0x21, 0xBA, 0x42, 0x5C, 0x8D}};

/// The shell's CD burning service.
struct ICDBurn : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetRecorderDriveLetter(LPWSTR drive, UINT size) = 0;
    virtual HRESULT STDMETHODCALLTYPE Burn(HWND window) = 0;
    /// *hasRecorder = whether a drive that writes CDs is present.
    virtual HRESULT STDMETHODCALLTYPE HasRecordableDrive(BOOL* hasRecorder) = 0;

protected:
    ~ICDBurn() = default;
};

} // namespace win
#endif

// COM interfaces are released, never deleted, so they have no virtual destructor; the
// Windows IUnknown they derive from has a public one, which the warning would flag.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace win {

struct IDiscMasterProgressEvents;

inline constexpr CLSID CLSID_MSDiscMasterObj = {
    0x520CCA63, 0x51A5, 0x11D3, {0x91, 0x44, 0x00, 0x10, 0x4B, 0xA1, 0x1C, 0x5E}};
inline constexpr IID IID_IDiscMaster = {
    0x520CCA62, 0x51A5, 0x11D3, {0x91, 0x44, 0x00, 0x10, 0x4B, 0xA1, 0x1C, 0x5E}};
inline constexpr IID IID_IDiscRecorder = {
    0x85AC9776, 0xCA88, 0x4CF2, {0x89, 0x4E, 0x09, 0x59, 0x8C, 0x07, 0x8A, 0x41}};
inline constexpr IID IID_IEnumDiscRecorders = {
    0x9B1921E1, 0x54AC, 0x11D3, {0x91, 0x44, 0x00, 0x10, 0x4B, 0xA1, 0x1C, 0x5E}};
inline constexpr IID IID_IEnumDiscMasterFormats = {
    0xDDF445E1, 0x54BA, 0x11D3, {0x91, 0x44, 0x00, 0x10, 0x4B, 0xA1, 0x1C, 0x5E}};
inline constexpr IID IID_IJolietDiscMaster = {
    0xE3BC42CE, 0x4E5C, 0x11D3, {0x91, 0x44, 0x00, 0x10, 0x4B, 0xA1, 0x1C, 0x5E}};

// Results of the image mastering service (interface facility, 0x200 + n).
inline constexpr HRESULT IMAPI_S_PROPERTIESIGNORED = static_cast<HRESULT>(0x00040200u);
inline constexpr HRESULT IMAPI_E_NOTOPENED = static_cast<HRESULT>(0x8004020Bu);
inline constexpr HRESULT IMAPI_E_GENERIC = static_cast<HRESULT>(0x8004020Eu);
inline constexpr HRESULT IMAPI_E_MEDIUM_NOTPRESENT = static_cast<HRESULT>(0x8004020Fu);
inline constexpr HRESULT IMAPI_E_MEDIUM_INVALIDTYPE = static_cast<HRESULT>(0x80040210u);
inline constexpr HRESULT IMAPI_E_DEVICE_NOTACCESSIBLE = static_cast<HRESULT>(0x80040212u);
inline constexpr HRESULT IMAPI_E_FILESYSTEM = static_cast<HRESULT>(0x80040217u);
inline constexpr HRESULT IMAPI_E_FILEACCESS = static_cast<HRESULT>(0x80040218u);
inline constexpr HRESULT IMAPI_E_DISCFULL = static_cast<HRESULT>(0x8004021Cu);
inline constexpr HRESULT IMAPI_E_BADJOLIETNAME = static_cast<HRESULT>(0x8004021Du);
inline constexpr HRESULT IMAPI_E_INVALIDIMAGE = static_cast<HRESULT>(0x8004021Eu);
inline constexpr HRESULT IMAPI_E_NOACTIVERECORDER = static_cast<HRESULT>(0x80040220u);
inline constexpr HRESULT IMAPI_E_ALREADYOPEN = static_cast<HRESULT>(0x80040222u);
inline constexpr HRESULT IMAPI_E_FILEEXISTS = static_cast<HRESULT>(0x80040224u);

/// One CD recorder of the image mastering service.
struct IDiscRecorder : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Init(BYTE* uniqueId, ULONG idSize, ULONG driveNumber) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRecorderGUID(BYTE* uniqueId, ULONG bufferSize,
                                                      ULONG* sizeRequired) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRecorderType(LONG* typeCode) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDisplayNames(BSTR* vendor, BSTR* product,
                                                      BSTR* revision) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBasePnPID(BSTR* basePnpId) = 0;
    /// *path = a new system string with the device's name in the system's object namespace
    /// (the caller frees it).
    virtual HRESULT STDMETHODCALLTYPE GetPath(BSTR* path) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRecorderProperties(IPropertyStorage** properties) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetRecorderProperties(IPropertyStorage* properties) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetRecorderState(ULONG* stateFlags) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenExclusive() = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryMediaType(LONG* mediaType, LONG* mediaFlags) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryMediaInfo(BYTE* sessions, BYTE* lastTrack,
                                                     ULONG* startAddress, ULONG* nextWritable,
                                                     ULONG* freeBlocks) = 0;
    virtual HRESULT STDMETHODCALLTYPE Eject() = 0;
    virtual HRESULT STDMETHODCALLTYPE Erase(boolean fullErase) = 0;
    /// Ends exclusive use of the recorder.
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;

protected:
    ~IDiscRecorder() = default;
};

/// The recorders of a disc master, one after the other.
struct IEnumDiscRecorders : public IUnknown {
    /// Delivers up to count added references into recorders and their number into *fetched:
    /// S_OK when count were delivered, S_FALSE when fewer.
    virtual HRESULT STDMETHODCALLTYPE Next(ULONG count, IDiscRecorder** recorders,
                                           ULONG* fetched) = 0;
    virtual HRESULT STDMETHODCALLTYPE Skip(ULONG count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IEnumDiscRecorders** copy) = 0;

protected:
    ~IEnumDiscRecorders() = default;
};

/// The disc formats a disc master offers, by the interface identifier of each.
struct IEnumDiscMasterFormats : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Next(ULONG count, IID* formats, ULONG* fetched) = 0;
    virtual HRESULT STDMETHODCALLTYPE Skip(ULONG count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IEnumDiscMasterFormats** copy) = 0;

protected:
    ~IEnumDiscMasterFormats() = default;
};

/// The Joliet data disc format of a disc master.
struct IJolietDiscMaster : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTotalDataBlocks(LONG* blocks) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetUsedDataBlocks(LONG* blocks) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDataBlockSize(LONG* blockBytes) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddData(IStorage* storage, LONG fileOverwrite) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetJolietProperties(IPropertyStorage** properties) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetJolietProperties(IPropertyStorage* properties) = 0;

protected:
    ~IJolietDiscMaster() = default;
};

/// The image mastering service: opened, it offers disc formats and recorders, stages a disc in
/// the active format and records it on the active recorder.
struct IDiscMaster : public IUnknown {
    /// Opens the service for this object; IMAPI_E_ALREADYOPEN when it is open.
    virtual HRESULT STDMETHODCALLTYPE Open() = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumDiscMasterFormats(IEnumDiscMasterFormats** formats) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetActiveDiscMasterFormat(IID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetActiveDiscMasterFormat(REFIID format,
                                                                void** formatObject) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnumDiscRecorders(IEnumDiscRecorders** recorders) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetActiveDiscRecorder(IDiscRecorder** recorder) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetActiveDiscRecorder(IDiscRecorder* recorder) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearFormatContent() = 0;
    virtual HRESULT STDMETHODCALLTYPE ProgressAdvise(IDiscMasterProgressEvents* events,
                                                     UINT_PTR* cookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE ProgressUnadvise(UINT_PTR cookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE RecordDisc(boolean simulate, boolean ejectAfterBurn) = 0;
    /// Closes the service for this object; the active recorder is given up.
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;

protected:
    ~IDiscMaster() = default;
};

} // namespace win

#pragma GCC diagnostic pop

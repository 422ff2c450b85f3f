// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Stand-ins for the shell's CD burning service and the image mastering service. Each one writes
// the calls that matter, and its own end ("NAME.released"), to a shared call log.

#include "platform/ImageMastering.h"
#include "platform/linux/cd/RecorderRegistry.h"
#include "platform/linux/com/ClassRegistry.h"
#include "platform/linux/com/ComObject.h"
#include "support/TempDir.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fake {

using platform::ComPtr;
using Log = std::shared_ptr<std::vector<std::string>>;

inline Log NewLog() {
    return std::make_shared<std::vector<std::string>>();
}

/// Answers HasRecordableDrive with result and hasDrive.
class Burner final : public platform::layer::ComObject<win::ICDBurn> {
public:
    Burner(Log log, win::HRESULT result, win::BOOL hasDrive);
    ~Burner() override;

    win::HRESULT GetRecorderDriveLetter(win::LPWSTR, win::UINT) override { return win::E_NOTIMPL; }
    win::HRESULT Burn(win::HWND) override { return win::E_NOTIMPL; }
    win::HRESULT HasRecordableDrive(win::BOOL* hasRecorder) override;

private:
    Log log_;
    win::HRESULT result_;
    win::BOOL hasDrive_;
};

/// A recorder named name whose GetPath gives path, or fails with E_FAIL without one.
class Recorder final : public platform::layer::ComObject<win::IDiscRecorder> {
public:
    Recorder(Log log, std::string name, std::optional<std::u16string> path);
    ~Recorder() override;

    win::HRESULT Init(win::BYTE*, win::ULONG, win::ULONG) override { return win::E_NOTIMPL; }
    win::HRESULT GetRecorderGUID(win::BYTE*, win::ULONG, win::ULONG*) override {
        return win::E_NOTIMPL;
    }
    win::HRESULT GetRecorderType(win::LONG*) override { return win::E_NOTIMPL; }
    win::HRESULT GetDisplayNames(win::BSTR*, win::BSTR*, win::BSTR*) override {
        return win::E_NOTIMPL;
    }
    win::HRESULT GetBasePnPID(win::BSTR*) override { return win::E_NOTIMPL; }
    win::HRESULT GetPath(win::BSTR* path) override;
    win::HRESULT GetRecorderProperties(win::IPropertyStorage**) override { return win::E_NOTIMPL; }
    win::HRESULT SetRecorderProperties(win::IPropertyStorage*) override { return win::E_NOTIMPL; }
    win::HRESULT GetRecorderState(win::ULONG*) override { return win::E_NOTIMPL; }
    win::HRESULT OpenExclusive() override { return win::E_NOTIMPL; }
    win::HRESULT QueryMediaType(win::LONG*, win::LONG*) override { return win::E_NOTIMPL; }
    win::HRESULT QueryMediaInfo(win::BYTE*, win::BYTE*, win::ULONG*, win::ULONG*,
                                win::ULONG*) override {
        return win::E_NOTIMPL;
    }
    win::HRESULT Eject() override { return win::E_NOTIMPL; }
    win::HRESULT Erase(win::boolean) override { return win::E_NOTIMPL; }
    win::HRESULT Close() override;

private:
    Log log_;
    std::string name_;
    std::optional<std::u16string> path_;
};

using Recorders = std::vector<ComPtr<win::IDiscRecorder>>;

/// Hands out its recorders one by one; Next answers S_FALSE with nothing at the end. With
/// faultyNext, Next fails with E_FAIL although it delivers a recorder.
class RecorderEnum final : public platform::layer::ComObject<win::IEnumDiscRecorders> {
public:
    RecorderEnum(Log log, Recorders recorders, bool faultyNext = false);
    ~RecorderEnum() override;

    win::HRESULT Next(win::ULONG count, win::IDiscRecorder** recorders,
                      win::ULONG* fetched) override;
    win::HRESULT Skip(win::ULONG) override { return win::E_NOTIMPL; }
    win::HRESULT Reset() override { return win::E_NOTIMPL; }
    win::HRESULT Clone(win::IEnumDiscRecorders**) override { return win::E_NOTIMPL; }

private:
    Log log_;
    Recorders recorders_;
    std::size_t next_ = 0;
    bool faultyNext_;
};

/// Answers Open with openResult and hands its recorders to the enumerator it gives out (one
/// with faultyNext when asked); its format enumeration fails with E_FAIL.
class DiscMaster final : public platform::layer::ComObject<win::IDiscMaster> {
public:
    DiscMaster(Log log, win::HRESULT openResult, Recorders recorders, bool faultyNext = false);
    ~DiscMaster() override;

    win::HRESULT Open() override;
    win::HRESULT EnumDiscMasterFormats(win::IEnumDiscMasterFormats** formats) override;
    win::HRESULT GetActiveDiscMasterFormat(win::IID*) override { return win::E_NOTIMPL; }
    win::HRESULT SetActiveDiscMasterFormat(win::REFIID, void**) override { return win::E_NOTIMPL; }
    win::HRESULT EnumDiscRecorders(win::IEnumDiscRecorders** recorders) override;
    win::HRESULT GetActiveDiscRecorder(win::IDiscRecorder**) override { return win::E_NOTIMPL; }
    win::HRESULT SetActiveDiscRecorder(win::IDiscRecorder* recorder) override;
    win::HRESULT ClearFormatContent() override { return win::E_NOTIMPL; }
    win::HRESULT ProgressAdvise(win::IDiscMasterProgressEvents*, win::UINT_PTR*) override {
        return win::E_NOTIMPL;
    }
    win::HRESULT ProgressUnadvise(win::UINT_PTR) override { return win::E_NOTIMPL; }
    win::HRESULT RecordDisc(win::boolean, win::boolean) override { return win::E_NOTIMPL; }
    win::HRESULT Close() override;

private:
    Log log_;
    win::HRESULT openResult_;
    Recorders recorders_;
    bool faultyNext_;
};

/// Puts a class over clsid whose every creation hands out a new object from make(), or fails
/// with the result of fail.
class StandIn {
public:
    template <typename Make>
    StandIn(const win::CLSID& clsid, Make make)
        : override_(clsid, [make](win::REFIID iid, void** object) {
              return make()->QueryInterface(iid, object);
          }) {}
    StandIn(const win::CLSID& clsid, win::HRESULT fail);

private:
    platform::layer::ScopedClassOverride override_;
};

/// "\Device\CdRom<index>": the layer's device path of its recorder index.
std::u16string CdRomPath(int index);

/// Recorders "r0", "r1", ... with the device paths of the layer's recorders 0, 1, ...
Recorders MakeRecorders(const Log& log, int count);

/// A stand-in burning service answering HasRecordableDrive with result and hasDrive.
StandIn BurnerSaying(const Log& log, win::HRESULT result, win::BOOL hasDrive);

/// A stand-in disc master; its first creation takes the recorders.
StandIn MasterWith(const Log& log, win::HRESULT openResult, Recorders recorders,
                   bool faultyNext = false);

/// count file recorders in dir ("disc0.iso", ...), and no optical drive.
platform::layer::RecorderSources FileRecorders(test::TempDir& dir, int count);

} // namespace fake

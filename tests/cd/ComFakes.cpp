// SPDX-License-Identifier: GPL-2.0-or-later
#include "ComFakes.h"

#include <string>
#include <utility>

using namespace win;

namespace fake {

Burner::Burner(Log log, HRESULT result, BOOL hasDrive)
    : log_(std::move(log)), result_(result), hasDrive_(hasDrive) {
}

Burner::~Burner() {
    log_->push_back("burner.released");
}

HRESULT Burner::HasRecordableDrive(BOOL* hasRecorder) {
    log_->push_back("burner.HasRecordableDrive");
    *hasRecorder = hasDrive_;
    return result_;
}

Recorder::Recorder(Log log, std::string name, std::optional<std::u16string> path)
    : log_(std::move(log)), name_(std::move(name)), path_(std::move(path)) {
}

Recorder::~Recorder() {
    log_->push_back(name_ + ".released");
}

HRESULT Recorder::GetPath(BSTR* path) {
    log_->push_back(name_ + ".GetPath");
    if (!path_)
        return E_FAIL;
    *path = SysAllocString(path_->c_str());
    return S_OK;
}

HRESULT Recorder::Close() {
    log_->push_back(name_ + ".Close");
    return S_OK;
}

RecorderEnum::RecorderEnum(Log log, Recorders recorders, bool faultyNext)
    : log_(std::move(log)), recorders_(std::move(recorders)), faultyNext_(faultyNext) {
}

RecorderEnum::~RecorderEnum() {
    log_->push_back("enumerator.released");
}

HRESULT RecorderEnum::Next(ULONG count, IDiscRecorder** recorders, ULONG* fetched) {
    ULONG delivered = 0;
    for (; delivered < count && next_ < recorders_.size(); ++delivered)
        recorders[delivered] = recorders_[next_++].detach();
    *fetched = delivered;
    if (faultyNext_)
        return E_FAIL;
    return delivered == count ? S_OK : S_FALSE;
}

DiscMaster::DiscMaster(Log log, HRESULT openResult, Recorders recorders, bool faultyNext)
    : log_(std::move(log)), openResult_(openResult), recorders_(std::move(recorders)),
      faultyNext_(faultyNext) {
}

DiscMaster::~DiscMaster() {
    log_->push_back("master.released");
}

HRESULT DiscMaster::Open() {
    log_->push_back("master.Open");
    return openResult_;
}

HRESULT DiscMaster::EnumDiscMasterFormats(IEnumDiscMasterFormats** formats) {
    log_->push_back("master.EnumDiscMasterFormats");
    *formats = nullptr;
    return E_FAIL;
}

HRESULT DiscMaster::EnumDiscRecorders(IEnumDiscRecorders** recorders) {
    log_->push_back("master.EnumDiscRecorders");
    *recorders =
        platform::layer::MakeComObject<RecorderEnum>(log_, std::move(recorders_), faultyNext_)
            .detach();
    return S_OK;
}

HRESULT DiscMaster::SetActiveDiscRecorder(IDiscRecorder* recorder) {
    log_->push_back(recorder == nullptr ? "master.SetActiveDiscRecorder(none)"
                                        : "master.SetActiveDiscRecorder");
    return recorder == nullptr ? E_POINTER : S_OK;
}

HRESULT DiscMaster::Close() {
    log_->push_back("master.Close");
    return S_OK;
}

StandIn::StandIn(const CLSID& clsid, HRESULT fail)
    : override_(clsid, [fail](REFIID, void**) { return fail; }) {
}

std::u16string CdRomPath(int index) {
    const std::string path = "\\Device\\CdRom" + std::to_string(index);
    return std::u16string(path.begin(), path.end());
}

Recorders MakeRecorders(const Log& log, int count) {
    Recorders recorders;
    for (int i = 0; i < count; ++i)
        recorders.push_back(
            platform::layer::MakeComObject<Recorder>(log, "r" + std::to_string(i), CdRomPath(i)));
    return recorders;
}

StandIn BurnerSaying(const Log& log, HRESULT result, BOOL hasDrive) {
    return StandIn(CLSID_CDBurn,
                   [=] { return platform::layer::MakeComObject<Burner>(log, result, hasDrive); });
}

StandIn MasterWith(const Log& log, HRESULT openResult, Recorders recorders, bool faultyNext) {
    auto shared = std::make_shared<Recorders>(std::move(recorders));
    return StandIn(CLSID_MSDiscMasterObj, [=] {
        return platform::layer::MakeComObject<DiscMaster>(log, openResult, std::move(*shared),
                                                          faultyNext);
    });
}

platform::layer::RecorderSources FileRecorders(test::TempDir& dir, int count) {
    platform::layer::RecorderSources sources{.opticalDrives = false, .files = {}};
    for (int i = 0; i < count; ++i)
        sources.files.push_back(dir.path("disc" + std::to_string(i) + ".iso"));
    return sources;
}

} // namespace fake

// SPDX-License-Identifier: GPL-2.0-or-later
#include "JolietFakes.h"

#include "app/JobState.h"
#include "platform/linux/storage/PropertySet.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

using namespace win;
using platform::layer::MakeComObject;

namespace fake {
namespace {

constexpr DWORD kExclusive = STGM_CREATE | STGM_SHARE_EXCLUSIVE;
constexpr PROPID kOtherId = 5;
constexpr std::uint8_t kUnsetByte = 0xEE;
constexpr ULONG kChunk = 65536;

PROPSPEC Specifier(PROPID id) {
    PROPSPEC specifier;
    std::memset(&specifier, 0, sizeof(specifier));
    specifier.ulKind = PRSPEC_PROPID;
    specifier.propid = id;
    return specifier;
}

PROPVARIANT Value(VARTYPE type) {
    PROPVARIANT value;
    PropVariantInit(&value);
    value.vt = type;
    return value;
}

// Writes a copy of value; a text borrowed by value is copied too.
void Write(IPropertyStorage* set, PROPID id, PROPVARIANT value) {
    const PROPSPEC specifier = Specifier(id);
    set->WriteMultiple(1, &specifier, &value, PID_FIRST_USABLE);
}

PROPVARIANT Text(const char16_t* text) {
    PROPVARIANT value = Value(VT_LPWSTR);
    value.pwszVal = const_cast<char16_t*>(text);
    return value;
}

// The value of a property (VT_EMPTY when the set lacks it); numbers are kept as they are, a text
// as the text, anything else as nothing.
std::optional<PROPVARIANT> ReadNumber(IPropertyStorage* set, PROPID id,
                                      std::optional<std::u16string>* text = nullptr) {
    const PROPSPEC specifier = Specifier(id);
    PROPVARIANT value = Value(VT_EMPTY);
    set->ReadMultiple(1, &specifier, &value);
    if (value.vt == VT_LPWSTR && text != nullptr)
        *text = value.pwszVal;
    if (value.vt == VT_EMPTY || value.vt == VT_LPWSTR || value.vt == VT_STREAM) {
        PropVariantClear(&value);
        return std::nullopt;
    }
    return value;
}

} // namespace

OwnStream NewStream(bool readOnly) {
    OwnStream made;
    StgCreateDocfile(nullptr, kExclusive | STGM_READWRITE, 0, made.storage.put());
    made.storage->CreateStream(u"stream", kExclusive | (readOnly ? STGM_READ : STGM_READWRITE), 0,
                               0, made.stream.put());
    return made;
}

Bytes ReadAll(IStream* stream) {
    Bytes bytes;
    stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
    std::array<std::uint8_t, kChunk> chunk{};
    ULONG read = 0;
    while (SUCCEEDED(stream->Read(chunk.data(), kChunk, &read)) && read > 0)
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + read);
    return bytes;
}

std::map<std::u16string, Bytes> StreamsOf(IStorage* storage) {
    std::map<std::u16string, Bytes> files;
    ComPtr<IEnumSTATSTG> elements;
    storage->EnumElements(0, nullptr, 0, elements.put());
    STATSTG element{};
    while (elements->Next(1, &element, nullptr) == S_OK) {
        const std::u16string name(element.pwcsName);
        CoTaskMemFree(element.pwcsName);
        ComPtr<IStream> stream;
        storage->OpenStream(name.c_str(), nullptr, STGM_SHARE_EXCLUSIVE | STGM_READ, 0,
                            stream.put());
        files[name] = ReadAll(stream.get());
    }
    return files;
}

JolietMaster::JolietMaster(Log log, Seen seen, JolietBehaviour behaviour, Recorders recorders)
    : log_(std::move(log)), seen_(std::move(seen)), behaviour_(std::move(behaviour)),
      recorders_(std::move(recorders)) {
    for (const auto& recorder : recorders_)
        identities_.push_back(recorder.get());
}

JolietMaster::~JolietMaster() {
    // Beside the master's own reference and the probe's, any is one the job did not give back.
    // The sets go first: they hold the boot image stream.
    const auto probe = [&](auto& held) {
        constexpr ULONG kOwnAndProbe = 2;
        if (held && held->AddRef() > kOwnAndProbe)
            log_->push_back("master.propertiesLeaked");
        if (held)
            held->Release();
        held.reset();
    };
    std::for_each(handedOut_.begin(), handedOut_.end(), probe);
    if (bootImage_)
        probe(bootImage_->stream);
    log_->push_back("master.released");
}

void JolietMaster::note(const std::string& call) {
    log_->push_back("master." + call + " in phase " + std::to_string(JobState.cdPhase.load()));
}

HRESULT JolietMaster::QueryInterface(REFIID iid, void** object) {
    if (iid == IID_IJolietDiscMaster && !behaviour_.offersJoliet) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    return ComObject::QueryInterface(iid, object);
}

HRESULT JolietMaster::Open() {
    log_->push_back("master.Open");
    return behaviour_.openResult;
}

HRESULT JolietMaster::EnumDiscMasterFormats(IEnumDiscMasterFormats** formats) {
    *formats = nullptr;
    return E_NOTIMPL;
}

HRESULT JolietMaster::EnumDiscRecorders(IEnumDiscRecorders** recorders) {
    *recorders = nullptr;
    if (!behaviour_.enumeratesRecorders)
        return E_FAIL;
    *recorders = MakeComObject<RecorderEnum>(log_, std::move(recorders_)).detach();
    return S_OK;
}

HRESULT JolietMaster::SetActiveDiscRecorder(IDiscRecorder* recorder) {
    const auto found = std::find(identities_.begin(), identities_.end(), recorder);
    const std::string name =
        recorder == nullptr ? "none" : "r" + std::to_string(found - identities_.begin());
    log_->push_back("master.SetActiveDiscRecorder(" + name + ")");
    return recorder == nullptr ? E_POINTER : S_OK;
}

HRESULT JolietMaster::RecordDisc(boolean simulate, boolean ejectAfterBurn) {
    note("RecordDisc(" + std::to_string(simulate) + "," + std::to_string(ejectAfterBurn) + ")");
    return behaviour_.recordResult;
}

HRESULT JolietMaster::Close() {
    log_->push_back("master.Close");
    return S_OK;
}

HRESULT JolietMaster::AddData(IStorage* storage, LONG fileOverwrite) {
    note("AddData(" + std::to_string(fileOverwrite) + ")");
    seen_->files = StreamsOf(storage);
    return behaviour_.addDataResult;
}

HRESULT JolietMaster::GetJolietProperties(IPropertyStorage** properties) {
    note("GetJolietProperties");
    *properties = nullptr;
    if (FAILED(behaviour_.getPropertiesResult))
        return behaviour_.getPropertiesResult;
    const auto holds = [&](PROPID id) {
        return std::count(behaviour_.bootIds.begin(), behaviour_.bootIds.end(), id) > 0;
    };
    ComPtr<IPropertyStorage> set = MakeComObject<platform::layer::PropertySet>(FMTID{});
    PROPVARIANT number = Value(VT_UI1);
    number.bVal = kUnsetByte;
    if (holds(4))
        Write(set.get(), 4, Value(VT_BOOL));
    Write(set.get(), kOtherId, Text(u"volume"));
    if (holds(6))
        Write(set.get(), 6, behaviour_.platformAsText ? Text(u"x86") : number);
    if (holds(7))
        Write(set.get(), 7, number);
    if (holds(8)) {
        if (!bootImage_)
            bootImage_ = NewStream(behaviour_.readOnlyBootImage);
        PROPVARIANT image = Value(VT_STREAM);
        image.pStream = bootImage_->stream.get();
        Write(set.get(), 8, image);
    }
    handedOut_.push_back(set.share());
    *properties = set.detach();
    return S_OK;
}

HRESULT JolietMaster::SetJolietProperties(IPropertyStorage* properties) {
    note("SetJolietProperties");
    seen_->enabled = ReadNumber(properties, 4);
    seen_->platform = ReadNumber(properties, 6);
    seen_->media = ReadNumber(properties, 7);
    ReadNumber(properties, kOtherId, &seen_->other);
    if (bootImage_)
        seen_->bootImage = ReadAll(bootImage_->stream.get());
    return behaviour_.setPropertiesResult;
}

} // namespace fake

// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A stand-in disc master with the Joliet format for the CD build job's tests. It writes the calls
// that matter to the shared call log, with the job's phase, and keeps what it was handed. The
// property sets and streams it hands out are real ones of the layer.

#include "ComFakes.h"
#include "platform/Storage.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fake {

using Bytes = std::vector<std::uint8_t>;

/// How the master answers.
struct JolietBehaviour {
    win::HRESULT openResult = win::S_OK;
    bool offersJoliet = true;        ///< QueryInterface for the Joliet format succeeds
    bool enumeratesRecorders = true; ///< EnumDiscRecorders gives an enumerator
    win::HRESULT getPropertiesResult = win::S_OK;
    win::HRESULT setPropertiesResult = win::S_OK;
    win::HRESULT addDataResult = win::S_OK;
    win::HRESULT recordResult = win::S_OK;
    /// The boot record's ids the properties hold; 5, a text, is always there as well.
    std::vector<win::PROPID> bootIds = {4, 6, 7, 8};
    bool platformAsText = false;    ///< property 6 holds a text instead of a number
    bool readOnlyBootImage = false; ///< property 8 holds a stream that refuses writes
};

/// What the master was handed: the streams of the storage AddData received (name -> bytes),
/// properties 4, 6, 7 (numbers) and 5 (a text) of the set SetJolietProperties received, and the
/// boot image stream's bytes then.
struct JolietSeen {
    std::optional<std::map<std::u16string, Bytes>> files;
    std::optional<win::PROPVARIANT> enabled, platform, media;
    std::optional<std::u16string> other;
    Bytes bootImage;
};
using Seen = std::shared_ptr<JolietSeen>;

/// A stream in a temporary storage of its own, which must outlive it (the stream goes first).
struct OwnStream {
    platform::ComPtr<win::IStorage> storage;
    platform::ComPtr<win::IStream> stream;
};

/// A new, empty stream; it refuses writes when readOnly.
OwnStream NewStream(bool readOnly = false);

/// The disc master. The log names the recorder made active: "master.SetActiveDiscRecorder(r1)",
/// or "(none)". Its end logs "master.released", after "master.propertiesLeaked" when a property
/// set or stream it handed out is still referenced.
class JolietMaster final
    : public platform::layer::ComObject<win::IDiscMaster, win::IJolietDiscMaster> {
public:
    JolietMaster(Log log, Seen seen, JolietBehaviour behaviour, Recorders recorders);
    ~JolietMaster() override;

    win::HRESULT QueryInterface(win::REFIID iid, void** object) override;

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
    win::HRESULT RecordDisc(win::boolean simulate, win::boolean ejectAfterBurn) override;
    win::HRESULT Close() override;

    win::HRESULT GetTotalDataBlocks(win::LONG*) override { return win::E_NOTIMPL; }
    win::HRESULT GetUsedDataBlocks(win::LONG*) override { return win::E_NOTIMPL; }
    win::HRESULT GetDataBlockSize(win::LONG*) override { return win::E_NOTIMPL; }
    win::HRESULT AddData(win::IStorage* storage, win::LONG fileOverwrite) override;
    win::HRESULT GetJolietProperties(win::IPropertyStorage** properties) override;
    win::HRESULT SetJolietProperties(win::IPropertyStorage* properties) override;

private:
    void note(const std::string& call);

    Log log_;
    Seen seen_;
    JolietBehaviour behaviour_;
    Recorders recorders_;
    std::vector<win::IDiscRecorder*> identities_; // to name the recorder made active
    std::optional<OwnStream> bootImage_;
    std::vector<platform::ComPtr<win::IPropertyStorage>> handedOut_;
};

/// The bytes from a stream's start to its end.
Bytes ReadAll(win::IStream* stream);

/// The streams of a storage, read whole: name -> bytes.
std::map<std::u16string, Bytes> StreamsOf(win::IStorage* storage);

} // namespace fake

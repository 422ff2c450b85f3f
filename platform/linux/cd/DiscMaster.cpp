// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/DiscMaster.h"

#include "platform/linux/cd/BurnDrive.h"
#include "platform/linux/cd/DiscRecording.h"
#include "platform/linux/cd/JolietImage.h"
#include "platform/linux/cd/LibraryMessages.h"
#include "platform/linux/cd/StreamSource.h"
#include "platform/linux/com/Enumerator.h"

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace platform::layer {

using namespace win;

namespace {

IID DeliverFormat(const IID& format) {
    return format;
}

IDiscRecorder* DeliverRecorder(const ComPtr<IDiscRecorder>& recorder) {
    return recorder.share().detach();
}

using FormatEnumerator = Enumerator<IEnumDiscMasterFormats, IID, IID, DeliverFormat>;
using RecorderEnumerator =
    Enumerator<IEnumDiscRecorders, ComPtr<IDiscRecorder>, IDiscRecorder*, DeliverRecorder>;

constexpr DWORD kTemporaryStorageMode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr const OLECHAR* kBootImageStreamName = u"boot image";

// The image of the disc: the staged files and the boot floppy when boot is on, each read on
// libisofs's thread when the disc is recorded. A failed read sets *readFailed.
HRESULT ComposeImage(JolietImage& image, const StagedFiles& staged, const BootSettings& boot,
                     const std::shared_ptr<std::atomic<bool>>& readFailed) {
    if (boot.enabled) {
        ComPtr<IStreamBytes> floppy;
        const HRESULT checked = BootFloppyBytes(boot, &floppy);
        if (FAILED(checked))
            return checked;
        const HRESULT booted = image.setBootFloppy(
            MakeStreamSource(ReaderOf(std::move(floppy)), kBootFloppyBytes, readFailed));
        if (FAILED(booted))
            return booted;
    }
    for (const StagedFile& file : staged.files()) {
        ComPtr<IStreamBytes> bytes;
        std::uint64_t size = 0;
        if (FAILED(file.open(&bytes)) || FAILED(bytes->GetSize(&size)))
            return IMAPI_E_FILEACCESS;
        const HRESULT added = image.addFile(
            file.isoName, MakeStreamSource(ReaderOf(std::move(bytes)), size, readFailed));
        if (FAILED(added))
            return added;
    }
    return S_OK;
}

} // namespace

HRESULT DiscMaster::Open() {
    if (open_)
        return IMAPI_E_ALREADYOPEN;
    if (!BurnLibraryReady())
        return E_FAIL;
    open_ = true;
    return S_OK;
}

HRESULT DiscMaster::EnumDiscMasterFormats(IEnumDiscMasterFormats** formats) {
    if (formats == nullptr)
        return E_POINTER;
    *formats = nullptr;
    if (!open_)
        return IMAPI_E_NOTOPENED;
    auto offered = std::make_shared<const std::vector<IID>>(1, IID_IJolietDiscMaster);
    *formats = MakeComObject<FormatEnumerator>(std::move(offered)).detach();
    return S_OK;
}

HRESULT DiscMaster::GetActiveDiscMasterFormat(IID*) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::SetActiveDiscMasterFormat(REFIID, void**) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::EnumDiscRecorders(IEnumDiscRecorders** recorders) {
    if (recorders == nullptr)
        return E_POINTER;
    *recorders = nullptr;
    if (!open_)
        return IMAPI_E_NOTOPENED;
    auto found = std::make_shared<std::vector<ComPtr<IDiscRecorder>>>();
    for (RecorderEntry& entry : Recorders())
        found->push_back(MakeComObject<DiscRecorder>(std::move(entry)));
    *recorders = MakeComObject<RecorderEnumerator>(std::move(found)).detach();
    return S_OK;
}

HRESULT DiscMaster::GetActiveDiscRecorder(IDiscRecorder**) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::SetActiveDiscRecorder(IDiscRecorder* recorder) {
    if (!open_)
        return IMAPI_E_NOTOPENED;
    if (recorder == nullptr)
        return E_POINTER;
    auto* own = dynamic_cast<DiscRecorder*>(recorder);
    if (own == nullptr)
        return E_INVALIDARG;
    own->AddRef();
    activeRecorder_ = ComPtr<DiscRecorder>::adopt(own);
    return S_OK;
}

HRESULT DiscMaster::ClearFormatContent() {
    return E_NOTIMPL;
}

HRESULT DiscMaster::ProgressAdvise(IDiscMasterProgressEvents*, UINT_PTR*) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::ProgressUnadvise(UINT_PTR) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::RecordDisc(boolean simulate, boolean ejectAfterBurn) {
    if (!open_)
        return IMAPI_E_NOTOPENED;
    if (!activeRecorder_)
        return IMAPI_E_NOACTIVERECORDER;
    std::optional<JolietImage> image = JolietImage::Create();
    if (!image)
        return IMAPI_E_FILESYSTEM;
    const auto readFailed = std::make_shared<std::atomic<bool>>(false);
    const HRESULT composed = ComposeImage(*image, staged_, boot_, readFailed);
    if (FAILED(composed)) {
        LogLibraryMessages();
        return composed;
    }
    const RecordingRequest request{.simulate = simulate != 0, .eject = ejectAfterBurn != 0};
    return RecordImage(activeRecorder_->entry(), *image, request, *readFailed);
}

HRESULT DiscMaster::Close() {
    if (!open_)
        return IMAPI_E_NOTOPENED;
    activeRecorder_.reset();
    staged_.clear();
    boot_ = BootSettings();
    bootStorage_.reset();
    open_ = false;
    return S_OK;
}

HRESULT DiscMaster::GetTotalDataBlocks(LONG*) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::GetUsedDataBlocks(LONG*) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::GetDataBlockSize(LONG*) {
    return E_NOTIMPL;
}

HRESULT DiscMaster::AddData(IStorage* storage, LONG fileOverwrite) {
    if (!open_)
        return IMAPI_E_NOTOPENED;
    return staged_.add(storage, fileOverwrite != 0);
}

HRESULT DiscMaster::GetJolietProperties(IPropertyStorage** properties) {
    if (properties == nullptr)
        return E_POINTER;
    *properties = nullptr;
    if (!open_)
        return IMAPI_E_NOTOPENED;
    if (!boot_.image) {
        const HRESULT made = makeBootImageStream();
        if (FAILED(made))
            return made;
    }
    return WriteBootProperties(boot_, properties);
}

HRESULT DiscMaster::SetJolietProperties(IPropertyStorage* properties) {
    if (!open_)
        return IMAPI_E_NOTOPENED;
    return ReadBootProperties(properties, &boot_);
}

HRESULT DiscMaster::makeBootImageStream() {
    if (!bootStorage_) {
        const HRESULT created =
            StgCreateDocfile(nullptr, kTemporaryStorageMode, 0, bootStorage_.put());
        if (FAILED(created))
            return created;
    }
    return bootStorage_->CreateStream(kBootImageStreamName, kTemporaryStorageMode, 0, 0,
                                      boot_.image.put());
}

} // namespace platform::layer

// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/StagedFiles.h"

#include "platform/FileNameRules.h"
#include "platform/ImageMastering.h"
#include "platform/linux/cd/JolietName.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace platform::layer {

using namespace win;

namespace {

constexpr DWORD kReadMode = STGM_READ | STGM_SHARE_EXCLUSIVE;
constexpr ULONG kOneElement = 1;

struct TaskMemoryFree {
    void operator()(OLECHAR* memory) const noexcept { CoTaskMemFree(memory); }
};
using ElementName = std::unique_ptr<OLECHAR, TaskMemoryFree>;

bool HasKey(const std::vector<StagedFile>& files, const std::u16string& key) {
    return std::any_of(files.begin(), files.end(),
                       [&key](const StagedFile& file) { return file.key == key; });
}

// The staged file for one element of the storage, or the failure that refuses it. The stream
// is opened once to see that it can be read when the disc is recorded.
HRESULT StageElement(IStorage* storage, const STATSTG& element, StagedFile* file) {
    if (element.type != STGTY_STREAM)
        return E_NOTIMPL;
    // An enumerator that found no memory for the name gives none.
    if (element.pwcsName == nullptr)
        return E_OUTOFMEMORY;
    const std::u16string_view name(element.pwcsName);
    std::optional<std::string> isoName = JolietFileName(name);
    if (!isoName)
        return IMAPI_E_BADJOLIETNAME;
    file->name = name;
    file->isoName = std::move(*isoName);
    file->key = NameKey(name);
    storage->AddRef();
    file->storage = ComPtr<IStorage>::adopt(storage);
    ComPtr<IStreamBytes> bytes;
    return file->open(&bytes);
}

} // namespace

HRESULT StagedFile::open(ComPtr<IStreamBytes>* bytes) const {
    ComPtr<IStream> stream;
    if (FAILED(storage->OpenStream(name.c_str(), nullptr, kReadMode, 0, stream.put())) ||
        FAILED(stream->QueryInterface(IID_IStreamBytes, bytes->putVoid())))
        return IMAPI_E_FILEACCESS;
    return S_OK;
}

HRESULT StagedFiles::add(IStorage* storage, bool overwrite) {
    if (storage == nullptr)
        return E_POINTER;
    ComPtr<IEnumSTATSTG> elements;
    HRESULT result = storage->EnumElements(0, nullptr, 0, elements.put());
    if (FAILED(result))
        return result;
    std::vector<StagedFile> incoming;
    for (;;) {
        STATSTG element = {};
        result = elements->Next(kOneElement, &element, nullptr);
        const ElementName owned(element.pwcsName);
        if (result != S_OK)
            break;
        StagedFile file;
        const HRESULT staged = StageElement(storage, element, &file);
        if (FAILED(staged))
            return staged;
        if (HasKey(incoming, file.key) || (!overwrite && HasKey(files_, file.key)))
            return IMAPI_E_FILEEXISTS;
        incoming.push_back(std::move(file));
    }
    if (FAILED(result))
        return result;
    for (StagedFile& file : incoming) {
        const auto same =
            std::find_if(files_.begin(), files_.end(),
                         [&file](const StagedFile& old) { return old.key == file.key; });
        if (same != files_.end())
            *same = std::move(file);
        else
            files_.push_back(std::move(file));
    }
    return S_OK;
}

} // namespace platform::layer

// SPDX-License-Identifier: GPL-2.0-or-later
#include "ShownStorage.h"

#include "platform/linux/com/ComObject.h"
#include "platform/linux/com/Enumerator.h"
#include "platform/linux/storage/StorageIds.h"

#include <algorithm>
#include <cstring>
#include <memory>

using namespace win;
using platform::ComPtr;

namespace disctest {
namespace {

struct Shown {
    std::u16string name;
    DWORD type;
};

STATSTG DeliverShown(const Shown& element) {
    STATSTG stat = {};
    const std::size_t bytes = (element.name.size() + 1) * sizeof(OLECHAR);
    stat.pwcsName = static_cast<OLECHAR*>(CoTaskMemAlloc(bytes));
    if (stat.pwcsName != nullptr)
        std::memcpy(stat.pwcsName, element.name.c_str(), bytes);
    stat.type = element.type;
    return stat;
}

using ShownEnumerator = platform::layer::Enumerator<IEnumSTATSTG, Shown, STATSTG, DeliverShown>;

// The real stream behind shown name i is named "s" and i.
std::u16string RealName(std::size_t index) {
    const std::string name = "s" + std::to_string(index);
    return std::u16string(name.begin(), name.end());
}

class ShownStorage final : public platform::layer::ComObject<IStorage> {
public:
    ShownStorage(ComPtr<IStorage> real, std::vector<Shown> shown)
        : real_(std::move(real)), shown_(std::make_shared<std::vector<Shown>>(std::move(shown))) {}

    HRESULT OpenStream(const OLECHAR* name, void* reserved1, DWORD mode, DWORD reserved2,
                       IStream** stream) override {
        const auto found = std::find_if(shown_->begin(), shown_->end(), [name](const Shown& s) {
            return s.type == STGTY_STREAM && s.name == name;
        });
        if (found == shown_->end())
            return STG_E_FILENOTFOUND;
        const std::u16string real = RealName(static_cast<std::size_t>(found - shown_->begin()));
        return real_->OpenStream(real.c_str(), reserved1, mode, reserved2, stream);
    }
    HRESULT EnumElements(DWORD, void*, DWORD, IEnumSTATSTG** elements) override {
        *elements = platform::layer::MakeComObject<ShownEnumerator>(shown_).detach();
        return S_OK;
    }

    HRESULT CreateStream(const OLECHAR*, DWORD, DWORD, DWORD, IStream**) override {
        return E_NOTIMPL;
    }
    HRESULT CreateStorage(const OLECHAR*, DWORD, DWORD, DWORD, IStorage**) override {
        return E_NOTIMPL;
    }
    HRESULT OpenStorage(const OLECHAR*, IStorage*, DWORD, SNB, DWORD, IStorage**) override {
        return E_NOTIMPL;
    }
    HRESULT CopyTo(DWORD, const IID*, SNB, IStorage*) override { return E_NOTIMPL; }
    HRESULT MoveElementTo(const OLECHAR*, IStorage*, const OLECHAR*, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT Revert() override { return E_NOTIMPL; }
    HRESULT DestroyElement(const OLECHAR*) override { return E_NOTIMPL; }
    HRESULT RenameElement(const OLECHAR*, const OLECHAR*) override { return E_NOTIMPL; }
    HRESULT SetElementTimes(const OLECHAR*, const FILETIME*, const FILETIME*,
                            const FILETIME*) override {
        return E_NOTIMPL;
    }
    HRESULT SetClass(REFCLSID) override { return E_NOTIMPL; }
    HRESULT SetStateBits(DWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }

private:
    ComPtr<IStorage> real_;
    std::shared_ptr<const std::vector<Shown>> shown_;
};

} // namespace

ComPtr<IStorage> StorageShowing(const std::vector<StreamFile>& files,
                                const std::vector<std::u16string>& folders) {
    std::vector<StreamFile> real;
    std::vector<Shown> shown;
    for (const auto& [name, bytes] : files) {
        real.emplace_back(RealName(real.size()), bytes);
        shown.push_back({name, STGTY_STREAM});
    }
    for (const std::u16string& folder : folders)
        shown.push_back({folder, STGTY_STORAGE});
    return platform::layer::MakeComObject<ShownStorage>(StorageWith(real), std::move(shown));
}

} // namespace disctest

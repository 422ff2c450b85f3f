// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/JolietRef.h"

using namespace win;

namespace {
constexpr LONG kReplaceFiles = 1;
constexpr LONG kKeepFiles = 0;
} // namespace

JolietRef::JolietRef(const DiscMasterRef& discMaster) {
    if (discMaster.empty())
        record(E_POINTER);
    else
        record(discMaster.get()->QueryInterface(IID_IJolietDiscMaster, ref_.putVoid()));
}

HRESULT JolietRef::getProperties(platform::ComPtr<IPropertyStorage>* properties) {
    properties->reset();
    if (empty())
        return record(E_POINTER);
    return record(ref_->GetJolietProperties(properties->put()));
}

HRESULT JolietRef::setProperties(IPropertyStorage* properties) {
    if (empty())
        return record(E_POINTER);
    return record(ref_->SetJolietProperties(properties));
}

HRESULT JolietRef::addData(IStorage* storage, bool overwrite) {
    if (empty())
        return record(E_POINTER);
    return record(ref_->AddData(storage, overwrite ? kReplaceFiles : kKeepFiles));
}

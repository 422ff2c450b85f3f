// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The holder of a disc master's Joliet data disc format: the file set and the boot properties
// of the disc go through it.

#include "cd/ComRef.h"
#include "cd/DiscMasterRef.h"
#include "platform/ComPtr.h"
#include "platform/ImageMastering.h"
#include "platform/Storage.h"

class JolietRef : public ComRef<win::IJolietDiscMaster> {
public:
    /// Asks the disc master for its Joliet interface (QueryInterface); the holder stays empty
    /// when that fails, or (lastResult() E_POINTER) when discMaster is empty. The reference is
    /// released when the holder goes.
    explicit JolietRef(const DiscMasterRef& discMaster);

    /// IJolietDiscMaster::GetJolietProperties into *properties (emptied first); the result.
    /// E_POINTER for an empty holder.
    win::HRESULT getProperties(platform::ComPtr<win::IPropertyStorage>* properties);

    /// IJolietDiscMaster::SetJolietProperties; the result. E_POINTER for an empty holder.
    win::HRESULT setProperties(win::IPropertyStorage* properties);

    /// IJolietDiscMaster::AddData with the storage whose streams become the disc's files;
    /// overwrite says whether a file of the same name is replaced. The result; E_POINTER for an
    /// empty holder.
    win::HRESULT addData(win::IStorage* storage, bool overwrite);
};

// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/CdBurn.h"
#include "platform/linux/cd/DiscMaster.h"
#include "platform/linux/com/ClassRegistry.h"

namespace platform::layer {

win::HRESULT CreateBuiltinObject(const win::CLSID& clsid, win::REFIID iid, void** object) {
    if (clsid == win::CLSID_CDBurn)
        return CreateComObject<CdBurn>(iid, object);
    if (clsid == win::CLSID_MSDiscMasterObj)
        return CreateComObject<DiscMaster>(iid, object);
    return win::REGDB_E_CLASSNOTREG;
}

} // namespace platform::layer

// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/CdBurnRef.h"

using namespace win;

CdBurnRef::CdBurnRef() {
    record(CreateServerObject(CLSID_CDBurn, IID_ICDBurn, ref_.putVoid()));
}

bool CdBurnRef::hasRecordableDrive() {
    if (empty())
        return false;
    BOOL hasDrive = FALSE;
    return SUCCEEDED(record(ref_->HasRecordableDrive(&hasDrive))) && hasDrive != FALSE;
}

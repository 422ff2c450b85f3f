// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The holder of a disc master's recorder enumerator.

#include "cd/ComRef.h"
#include "cd/DiscMasterRef.h"
#include "cd/RecorderRef.h"
#include "platform/ImageMastering.h"

class RecorderEnumRef : public ComRef<win::IEnumDiscRecorders> {
public:
    /// Obtains the enumerator with IDiscMaster::EnumDiscRecorders; the holder stays empty when
    /// that fails, or (lastResult() E_POINTER) when discMaster is empty.
    explicit RecorderEnumRef(const DiscMasterRef& discMaster);

    /// Empties recorder (closing and releasing what it held), then asks the enumerator for one
    /// recorder into it; lastResult() is the result of Next. True only when the result is not
    /// negative and exactly one recorder came.
    bool nextRecorder(RecorderRef& recorder);
};

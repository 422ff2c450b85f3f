// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The holder of the shell's CD burning service.

#include "cd/ComRef.h"
#include "platform/ImageMastering.h"

class CdBurnRef : public ComRef<win::ICDBurn> {
public:
    /// Creates the service object; lastResult() is the creation result, and the holder stays
    /// empty when it fails.
    CdBurnRef();

    /// True only when the object exists and ICDBurn::HasRecordableDrive succeeds and reports a
    /// drive; a missing object or a failing call counts as no drive.
    bool hasRecordableDrive();
};

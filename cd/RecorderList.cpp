// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/RecorderList.h"

#include "cd/CdBurnRef.h"
#include "cd/DiscMasterRef.h"
#include "cd/DriveLetter.h"
#include "cd/RecorderEnumRef.h"
#include "platform/ComApartment.h"

std::int32_t RecorderList::EnumerateRecorders() {
    // Declared first, so that the apartment is left after every holder is gone; the holders go
    // in reverse order: enumerator, recorder, disc master, burning service.
    const platform::ComApartment apartment;
    CdBurnRef burner;
    if (!burner.hasRecordableDrive())
        return 0;
    DiscMasterRef discMaster;
    if (!discMaster.open())
        return 0;
    RecorderRef recorder;
    RecorderEnumRef enumerator(discMaster);

    letters_.fill(0);
    std::int32_t found = 0;
    while (found < kMaxRecorders && enumerator.nextRecorder(recorder)) {
        letters_[found] = DriveLetterFromDevicePath(recorder.devicePath());
        ++found;
    }
    count_ = found;
    return found;
}

unsigned char RecorderList::letterAt(std::int32_t i) const {
    return i >= 0 && i < count_ ? letters_[i] : 0;
}

// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The boot record of the disc, set through the Joliet properties of the disc master: boot on,
// platform 80x86, 1.44 MB diskette emulation, and the boot image itself.

#include "cd/JolietRef.h"
#include "platform/ComPtr.h"
#include "platform/Storage.h"

/// The property sets the pass obtained; the job keeps them until it ends.
struct JolietPropertySets {
    /// The set the pass filled and handed back.
    platform::ComPtr<win::IPropertyStorage> written;
    /// The set obtained again afterwards, to read every property once.
    platform::ComPtr<win::IPropertyStorage> readBack;
};

/// Obtains the Joliet properties, sets property 4 (boot on) to 1, 6 (platform) to 0 and 7 (boot
/// media) to 2 in place of what they held, copies the 1,474,560-byte boot image from the start of
/// bootReader into the stream property 8 holds, writes each back, hands the set to the disc
/// master and reads the properties again. Properties of other ids are left alone. Calling
/// thread: the CD build job's. Throws BuildFailure: "Missing interface" when a property set or
/// its enumerator cannot be obtained; "Failed setting boot properties" when one of the four is
/// missing or holds a value of another kind (a number for 4, 6 and 7, a stream for 8), when
/// reading, writing back, handing over or reading again fails, or when the copy fails or does not
/// move the whole image.
JolietPropertySets SetBootProperties(JolietRef& joliet, win::IStream* bootReader);

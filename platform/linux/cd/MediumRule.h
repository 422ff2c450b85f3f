// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Which media a recording writes: blank ones only. Write-once and sequentially rewritable media
// (CD-R, CD-RW, DVD-R, DVD-RW, DVD+R, BD-R) are blank when libburn says so. libburn calls
// overwritable media (DVD-RAM, formatted DVD-RW, DVD+RW, BD-RE) blank whether or not they hold
// data, so for them blank means new: not formatted yet, or formatted with nothing but zeros in
// their first 32 blocks, where ISO images and file systems keep their descriptors (and where
// blanking an overwritable medium leaves zeros). A file recorder's file is always a new one.

#include "platform/Com.h"

#include <string>

namespace platform::layer {

/// The MMC profile libburn reports for a file recorder's file.
inline constexpr int kFileProfile = 0xFFFF;
/// The blocks of 2048 bytes at the start of a medium that must be zeros for an overwritable
/// medium to count as blank.
inline constexpr int kDescriptorBlocks = 32;

/// What a grabbed drive reports about its medium.
struct MediumFacts {
    /// libburn's disc status (burn_disc_status).
    int discStatus = 0;
    /// The MMC profile number and libburn's name for it (empty when unknown).
    int profile = 0;
    std::string profileName;
    /// libburn's format status (BURN_FORMAT_IS_*), 0 when the drive tells none.
    int formatStatus = 0;
    /// The first kDescriptorBlocks blocks are not all zeros, or cannot be read. Asked only of
    /// formatted overwritable media.
    bool startHoldsData = false;
};

/// DVD-RAM, DVD-RW restricted overwrite, DVD+RW, BD-RE: the media libburn writes at random.
bool IsOverwritableProfile(int profile);

struct MediumVerdict {
    /// S_OK to write; IMAPI_E_MEDIUM_NOTPRESENT (no disc) or IMAPI_E_MEDIUM_INVALIDTYPE.
    win::HRESULT result;
    /// Why the medium is refused, for the log; empty when it is taken.
    std::string reason;
};

/// Whether the recording may write the medium.
MediumVerdict JudgeMedium(const MediumFacts& facts);

} // namespace platform::layer

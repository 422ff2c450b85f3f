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

/// MMC profile numbers of media, as libburn reports them.
namespace profile {
inline constexpr int kCdRom = 0x08;
inline constexpr int kCdR = 0x09;
inline constexpr int kCdRw = 0x0A;
inline constexpr int kDvdRom = 0x10;
inline constexpr int kDvdRSequential = 0x11;
inline constexpr int kDvdRam = 0x12;
inline constexpr int kDvdRwOverwrite = 0x13;
inline constexpr int kDvdRwSequential = 0x14;
inline constexpr int kDvdRDualLayer = 0x15;
inline constexpr int kDvdPlusRw = 0x1A;
inline constexpr int kDvdPlusR = 0x1B;
inline constexpr int kDvdPlusRDualLayer = 0x2B;
inline constexpr int kBdRSequential = 0x41;
inline constexpr int kBdRe = 0x43;
/// libburn's own number for a file recorder's file.
inline constexpr int kFile = 0xFFFF;
} // namespace profile
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

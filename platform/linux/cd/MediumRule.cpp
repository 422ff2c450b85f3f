// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/MediumRule.h"

#include "platform/ImageMastering.h"

#include <algorithm>
#include <array>
#include <libburn/libburn.h>

namespace platform::layer {

using namespace win;

namespace {

// MMC profile numbers.
constexpr int kCdR = 0x09;
constexpr int kCdRw = 0x0A;
constexpr int kDvdRSequential = 0x11;
constexpr int kDvdRam = 0x12;
constexpr int kDvdRwOverwrite = 0x13;
constexpr int kDvdRwSequential = 0x14;
constexpr int kDvdRDualLayer = 0x15;
constexpr int kDvdPlusRw = 0x1A;
constexpr int kDvdPlusR = 0x1B;
constexpr int kDvdPlusRDualLayer = 0x2B;
constexpr int kBdRSequential = 0x41;
constexpr int kBdRe = 0x43;

// The profiles libburn writes, blank as it reports them.
constexpr std::array kSequentialProfiles{
    kCdR,           kCdRw,     kDvdRSequential,    kDvdRwSequential,
    kDvdRDualLayer, kDvdPlusR, kDvdPlusRDualLayer, kBdRSequential,
    kFileProfile};
constexpr std::array kOverwritableProfiles{kDvdRam, kDvdRwOverwrite, kDvdPlusRw, kBdRe};

template <std::size_t N> bool Contains(const std::array<int, N>& profiles, int profile) {
    return std::find(profiles.begin(), profiles.end(), profile) != profiles.end();
}

std::string MediumName(const MediumFacts& facts) {
    return facts.profileName.empty() ? "the disc" : "the " + facts.profileName + " disc";
}

MediumVerdict Refused(const MediumFacts& facts, const std::string& why) {
    return {IMAPI_E_MEDIUM_INVALIDTYPE, MediumName(facts) + " " + why};
}

MediumVerdict JudgeBlank(const MediumFacts& facts) {
    if (Contains(kSequentialProfiles, facts.profile))
        return {S_OK, {}};
    if (!Contains(kOverwritableProfiles, facts.profile))
        return Refused(facts, "is not a medium libburn writes");
    if (facts.formatStatus == BURN_FORMAT_IS_UNFORMATTED || !facts.startHoldsData)
        return {S_OK, {}};
    return Refused(facts, "holds data (overwritable media are written only when new)");
}

} // namespace

bool IsOverwritableProfile(int profile) {
    return Contains(kOverwritableProfiles, profile);
}

MediumVerdict JudgeMedium(const MediumFacts& facts) {
    switch (facts.discStatus) {
    case burn::BURN_DISC_BLANK:
        return JudgeBlank(facts);
    case burn::BURN_DISC_EMPTY:
        return {IMAPI_E_MEDIUM_NOTPRESENT, "there is no disc in the drive"};
    case burn::BURN_DISC_APPENDABLE:
        return Refused(facts, "is not blank: it holds sessions and is still open");
    case burn::BURN_DISC_FULL:
        return Refused(facts, "is not blank: it is closed");
    case burn::BURN_DISC_UNREADY:
        return Refused(facts, "is not ready to be written");
    case burn::BURN_DISC_UNSUITABLE:
        return Refused(facts, "is not suitable for this drive");
    default:
        return Refused(facts, "is in a state libburn does not tell");
    }
}

} // namespace platform::layer
